#pragma once
// The Windows backend: user32 injects and answers queries; hooks, raw input
// and hotkeys arrive through the GUI thread's native message queue.

#include <windows.h>

#include "Win32Hotkeys.h"
#include "platform/Platform.h"

namespace platform {

class Win32Platform : public Platform {
public:
    Win32Platform() = default;
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    // One record is one SendInput call: nothing to interrupt.
    void sendInput(const InputRecord& record, const SendInterruption* interruption = nullptr) override;
    uint16_t scanCodeOfVirtualKey(uint32_t virtualKey) override;
    uint16_t asyncKeyState(int virtualKey) override;
    bool cursorPosition(Point* position) override;
    Rect desktopRect() override;

    void setListener(CaptureListener* listener) override;
    HotkeyResult registerHotkey(int id, uint32_t modifiers, uint32_t virtualKey) override;
    void unregisterHotkey(int id) override;
    // Installs both low-level hooks and registers nativeWindow (an HWND) for
    // raw mouse input, also while other programs have the focus.
    void startCapture(uintptr_t nativeWindow) override;
    void stopCapture() override;
    // Always -1: everything arrives through the native message queue.
    int eventDescriptor() const override;
    // Takes, hands to handleMessage, translates and dispatches every queued
    // message without waiting. A quit message is put back for the caller's loop.
    void processPendingEvents() override;
    uint32_t captureTime() override;

    // The native loop calls this for every message it takes, before
    // DispatchMessageW (the raw-input data of a WM_INPUT may be released by
    // its default handling). Hands WM_HOTKEY and raw mouse WM_INPUT to the
    // listener; true when the message was one of those two kinds.
    bool handleMessage(const MSG& message);

private:
    void deliverRawInput(LPARAM handle, DWORD time);

    CaptureListener* listener_ = nullptr;
    bool capturing_ = false;
    Win32Hotkeys hotkeys_;  // registered by this object, released with it
};

}  // namespace platform
