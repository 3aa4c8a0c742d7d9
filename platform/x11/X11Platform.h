#pragma once
// The X11 backend: XTest injects, the server answers state queries.

#include <mutex>

#include "platform/Platform.h"

typedef struct _XDisplay Display;

namespace platform {

class X11Platform : public Platform {
public:
    // Connects to the session's X server; null with a reason when it cannot.
    static std::unique_ptr<X11Platform> open(std::string* error);
    ~X11Platform() override;

    void sendInput(const InputRecord& record) override;
    uint16_t scanCodeOfVirtualKey(uint32_t virtualKey) override;
    uint16_t asyncKeyState(int virtualKey) override;
    bool cursorPosition(Point* position) override;
    Rect desktopRect() override;

    void setListener(CaptureListener* listener) override;
    bool registerHotkey(int id, uint32_t modifiers, uint32_t virtualKey) override;
    void unregisterHotkey(int id) override;
    void startCapture(uintptr_t nativeWindow) override;
    void stopCapture() override;
    int eventDescriptor() const override;
    void processPendingEvents() override;

private:
    explicit X11Platform(Display* display);

    std::mutex mutex_;  // guards display_ for the any-thread group
    Display* display_;
    CaptureListener* listener_ = nullptr;
};

}  // namespace platform
