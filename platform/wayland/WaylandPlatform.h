#pragma once
// The Wayland backend for compositors that offer the wlroots virtual-input
// protocols (sway, Hyprland, river, ...): keys through a virtual keyboard
// with a US keymap of our own, the pointer through a virtual pointer that
// addresses the whole output layout.
//
// One connection, no thread of its own: every call takes the lock, sends,
// and reads whatever the compositor has sent meanwhile (output changes)
// without blocking; the GUI thread does the same when the descriptor wakes
// it. The compositor never needs an answer from us, so nothing is gained by
// a thread that would only add a second party to every lock.
//
// What wlroots does not offer is told through availability(): global
// hotkeys always; the pointer position until our own moves have placed it.
// Key state and recording come from the input devices (evdev) when the user
// may read them.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/evdev/EvdevDevices.h"
#include "platform/linux/HookKeyMessages.h"
#include "platform/linux/PointerMath.h"

struct wl_display;
struct wl_registry;
struct wl_seat;
struct wl_output;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;
struct zwlr_virtual_pointer_manager_v1;
struct zwlr_virtual_pointer_v1;
struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace platform {

// One output as the compositor describes it; the layout is their union.
struct WaylandOutput {
    wl_output* output = nullptr;
    uint32_t name = 0;  // the registry's name, to notice its removal
    int32_t x = 0, y = 0;
    int32_t width = 0, height = 0;  // the current mode, in device pixels
    int32_t scale = 1;
    int32_t transform = 0;
};

class WaylandPlatform : public Platform {
public:
    // Connects to the session's compositor (WAYLAND_DISPLAY); null with a
    // reason when it cannot, or when the compositor lacks either protocol.
    static std::unique_ptr<WaylandPlatform> open(std::string* error);
    ~WaylandPlatform() override;

    void sendInput(const InputRecord& record,
                   const SendInterruption* interruption = nullptr) override;
    uint16_t scanCodeOfVirtualKey(uint32_t virtualKey) override;
    uint16_t asyncKeyState(int virtualKey) override;
    bool cursorPosition(Point* position) override;
    Rect desktopRect() override;
    Availability availability(Service service) override;

    void setListener(CaptureListener* listener) override;
    HotkeyResult registerHotkey(int id, uint32_t modifiers, uint32_t virtualKey) override;
    void unregisterHotkey(int id) override;
    void startCapture(uintptr_t nativeWindow) override;
    void stopCapture() override;
    int eventDescriptor() const override;
    void processPendingEvents() override;
    uint32_t captureTime() override;

    // Registry callbacks (C linkage needs them public).
    void globalAdded(wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
    void globalRemoved(uint32_t name);

private:
    explicit WaylandPlatform(wl_display* display);
    std::string setUp();
    bool uploadKeymap();
    void sendKey(const KeyboardInput& key);
    int sendMouse(const MouseInput& mouse);
    void sendWheelClicks(int clicks, const SendInterruption* interruption);
    void pressKey(uint16_t evdev, bool down);
    void readPending();
    void flush();
    void checkConnection();
    Rect layoutExtent() const;

    std::mutex mutex_;  // everything below, and every use of the connection
    wl_display* display_;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    std::vector<std::unique_ptr<WaylandOutput>> outputs_;
    zwp_virtual_keyboard_manager_v1* keyboardManager_ = nullptr;
    zwlr_virtual_pointer_manager_v1* pointerManager_ = nullptr;
    zwp_virtual_keyboard_v1* keyboard_ = nullptr;
    zwlr_virtual_pointer_v1* pointer_ = nullptr;
    xkb_context* xkbContext_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
    xkb_state* keyState_ = nullptr;  // the modifiers our keys have set
    uint32_t sentModifiers_[4] = {};
    WheelAccumulator wheel_;
    // Where our own moves left the pointer: the compositor tells no one
    // where it is, so this is all we know, and only once we placed it.
    bool placed_ = false;
    Point placedAt_;


    // Capture: the input devices, opened with the backend so that key state
    // works without a recording; their inputs reach the listener only while
    // capture is on. down() is any-thread, the rest GUI thread.
    EvdevDevices devices_;
    int epollFd_ = -1;  // the compositor's connection and the devices
    CaptureListener* listener_ = nullptr;
    bool capturing_ = false;
    HookKeyMessages capturedKeys_;
};

}  // namespace platform
