#pragma once
// Test fixture: a Win32Platform capturing into this recording listener, with
// a hidden window of its own as the raw-input target and timer window, and
// the means to inject from another thread while this (GUI) thread pumps.

#include <windows.h>

#include <functional>
#include <thread>
#include <vector>

#include "input/KeyNames.h"
#include "platform/win32/Win32Platform.h"

struct CaptureSession : platform::CaptureListener {
    CaptureSession() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QuillpressTestTarget";
        RegisterClassW(&windowClass);
        window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 100, 100, nullptr,
                                 nullptr, windowClass.hInstance, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        platform.setListener(this);
    }

    // Pumps through the backend until done() holds or timeoutMs passes.
    bool pumpUntil(const std::function<bool()>& done, int timeoutMs) {
        for (const ULONGLONG end = GetTickCount64() + timeoutMs;;) {
            platform.processPendingEvents();
            if (done()) return true;
            if (GetTickCount64() >= end) return false;
            MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
    }
    // Sends the records from a worker thread, as a script run does, while
    // this thread pumps (the hooks run on it) until done() holds, then a
    // little longer so that late events show up. True when done() held.
    bool inject(const std::vector<platform::InputRecord>& records,
                const std::function<bool()>& done, int timeoutMs = 3000) {
        std::thread sender([&] {
            for (const platform::InputRecord& record : records) platform.sendInput(record);
        });
        const bool arrived = pumpUntil(done, timeoutMs);
        pumpUntil([] { return false; }, 100);
        sender.join();
        return arrived;
    }
    // A key as the script functions inject it: by virtual key alone, or by
    // the layout's scan code with the key's extended flag.
    platform::InputRecord key(int code, bool up) {
        const uint32_t upFlag = up ? uint32_t(platform::KeyUp) : 0u;
        if (keyVocabulary().virtualKeyOnly[code])
            return platform::InputRecord::key({static_cast<uint16_t>(code), 0, upFlag});
        const uint32_t extended =
            keyVocabulary().extended[code] ? uint32_t(platform::KeyExtended) : 0u;
        return platform::InputRecord::key(
            {0, platform.scanCodeOfVirtualKey(code == KeypadEnterCode ? VK_RETURN : code),
             platform::KeyScanCode | extended | upFlag});
    }
    void clear() {
        keys.clear();
        buttons.clear();
        movements.clear();
        hotkeys.clear();
    }

    void keyboardEvent(const platform::KeyEvent& event) override { keys.push_back(event); }
    void mouseEvent(const platform::MouseEvent& event) override { buttons.push_back(event); }
    void rawMovement(const platform::RawMovement& move) override { movements.push_back(move); }
    void hotkey(int id) override { hotkeys.push_back(id); }

    platform::Win32Platform platform;
    HWND window = nullptr;
    std::function<void()> onTimer;  // called for each WM_TIMER of window
    std::vector<platform::KeyEvent> keys;
    std::vector<platform::MouseEvent> buttons;
    std::vector<platform::RawMovement> movements;
    std::vector<int> hotkeys;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<CaptureSession*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_TIMER && self && self->onTimer) self->onTimer();
        return DefWindowProcW(window, message, wParam, lParam);
    }
};
