#pragma once
// The X11 backend. Three connections: one for injection and state queries
// (any thread, under a mutex), one serviced on the GUI thread for hotkey
// grabs, keymap changes and XInput2 raw events, and one that carries
// nothing but RECORD's captured key events.

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "KeyboardLayout.h"
#include "platform/linux/HookKeyMessages.h"
#include "platform/linux/PointerMath.h"
#include "platform/Platform.h"

typedef struct _XDisplay Display;

namespace platform {

class X11Capture;
class X11Hotkeys;
struct CapturedEvent;

class X11Platform : public Platform {
public:
    // Connects to the session's X server; null with a reason when it cannot.
    static std::unique_ptr<X11Platform> open(std::string* error);
    ~X11Platform() override;

    void sendInput(const InputRecord& record, const SendInterruption* interruption = nullptr) override;
    uint16_t scanCodeOfVirtualKey(uint32_t virtualKey) override;
    uint16_t asyncKeyState(int virtualKey) override;
    bool cursorPosition(Point* position) override;
    Rect desktopRect() override;

    void setListener(CaptureListener* listener) override;
    HotkeyResult registerHotkey(int id, uint32_t modifiers, uint32_t virtualKey) override;
    void unregisterHotkey(int id) override;
    void startCapture(uintptr_t nativeWindow) override;
    void stopCapture() override;
    int eventDescriptor() const override { return epollFd_; }
    void processPendingEvents() override;
    uint32_t captureTime() override;

    // False when capture could not start (no RECORD or XInput 2 on the server).
    bool capturing() const;
    // The keymap as the backend sees it now.
    KeyboardLayout layout();

private:
    X11Platform(Display* inject, Display* gui, Display* data);
    bool setUpDescriptors();
    void sendKey(const KeyboardInput& key);
    int sendMouse(const MouseInput& mouse);
    void sendWheelClicks(int clicks, const SendInterruption* interruption);
    void reloadLayout();
    void deliver(const CapturedEvent& event);
    void deliverKey(const CapturedEvent& event);
    void deliverButton(const CapturedEvent& event);
    void updateRepeatTimer();

    // Any-thread group, under mutex_.
    std::mutex mutex_;
    Display* inject_;
    KeyboardLayout layout_;
    WheelAccumulator wheel_;
    unsigned numLockMask_ = 0;
    unsigned long timeWindow_ = 0;  // where captureTime() changes a property
    unsigned long timeAtom_ = 0;

    // GUI thread.
    Display* gui_;
    Display* data_;
    std::unique_ptr<X11Hotkeys> hotkeys_;
    std::unique_ptr<X11Capture> capture_;
    std::map<int, uint32_t> hotkeyKeys_;  // registered virtual key by id
    int xkbEventBase_ = 0;
    int epollFd_ = -1;
    int repeatTimerFd_ = -1;
    bool repeatTimerArmed_ = false;
    HookKeyMessages keysDown_;  // virtual keys held, as captured
    CaptureListener* listener_ = nullptr;
};

}  // namespace platform
