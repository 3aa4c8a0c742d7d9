#include "CaptureSession.h"

#include <atomic>
#include <thread>

namespace {

constexpr wchar_t WindowClassName[] = L"QuillpressTestTarget";
// Longest single wait for queue activity, so the deadline is seen in time.
constexpr DWORD PumpSliceMs = 10;

HWND createHiddenWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = WindowClassName;
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, WindowClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                           nullptr, nullptr, windowClass.hInstance, nullptr);
}

}  // namespace

CaptureSession::CaptureSession() : window_(createHiddenWindow()) {
    platform_.setListener(this);
}

CaptureSession::~CaptureSession() {
    platform_.stopCapture();
    platform_.setListener(nullptr);
    if (window_) DestroyWindow(window_);
}

void CaptureSession::startCapture() {
    platform_.startCapture(reinterpret_cast<uintptr_t>(window_));
}

void CaptureSession::stopCapture() {
    platform_.stopCapture();
}

bool CaptureSession::pumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    for (;;) {
        platform_.processPendingEvents();
        if (done()) return true;
        if (GetTickCount64() >= deadline) return false;
        MsgWaitForMultipleObjectsEx(0, nullptr, PumpSliceMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

bool CaptureSession::inject(const std::vector<platform::InputRecord>& records,
                            const std::function<bool()>& done, int timeoutMs) {
    std::atomic<bool> sent{false};
    std::thread sender([&] {
        for (const platform::InputRecord& record : records) platform_.sendInput(record);
        sent = true;
    });
    // Low-level hooks are called on this thread, so it must keep pumping
    // while the sender waits for them.
    pumpUntil([&] { return sent.load(); }, timeoutMs);
    sender.join();
    return pumpUntil(done, timeoutMs);
}

void CaptureSession::settle(int ms) {
    pumpUntil([] { return false; }, ms);
}

void CaptureSession::clear() {
    keys.clear();
    buttons.clear();
    movements.clear();
    hotkeys.clear();
}
