#pragma once
// Test fixture: a Win32Platform capturing into a recording listener, with a
// hidden window of its own as the raw-input target, and the means to inject
// from another thread while this (GUI) thread pumps the message queue.

#include <windows.h>

#include <functional>
#include <vector>

#include "platform/win32/Win32Platform.h"

class CaptureSession : public platform::CaptureListener {
public:
    CaptureSession();
    ~CaptureSession() override;

    platform::Win32Platform& platform() { return platform_; }
    void startCapture();
    void stopCapture();

    // Sends the records from a worker thread, as a script run does, while
    // this thread pumps; then pumps until done() holds or timeoutMs passes.
    // True when done() held.
    bool inject(const std::vector<platform::InputRecord>& records,
                const std::function<bool()>& done, int timeoutMs = 3000);
    // Pumps until done() holds or timeoutMs passes; true when it held.
    bool pumpUntil(const std::function<bool()>& done, int timeoutMs);
    // Pumps for a while so that late events show up before the next check.
    void settle(int ms = 150);
    void clear();

    std::vector<platform::KeyEvent> keys;
    std::vector<platform::MouseEvent> buttons;
    std::vector<platform::RawMovement> movements;
    std::vector<int> hotkeys;

    void keyboardEvent(const platform::KeyEvent& event) override { keys.push_back(event); }
    void mouseEvent(const platform::MouseEvent& event) override { buttons.push_back(event); }
    void rawMovement(const platform::RawMovement& movement) override {
        movements.push_back(movement);
    }
    void hotkey(int id) override { hotkeys.push_back(id); }

private:
    platform::Win32Platform platform_;
    HWND window_ = nullptr;
};
