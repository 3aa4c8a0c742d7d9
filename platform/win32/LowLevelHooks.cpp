#include "LowLevelHooks.h"

#include <windows.h>

namespace platform {

namespace {

// Hook procedures carry no context, so the one installation lives here.
CaptureListener* const* hookListener = nullptr;
HHOOK keyboardHook = nullptr;
HHOOK mouseHook = nullptr;

bool isKeyMessage(WPARAM message) {
    return message == MsgKeyDown || message == MsgKeyUp || message == MsgSysKeyDown ||
           message == MsgSysKeyUp;
}

// Moves (0x200) are left to raw input; the horizontal wheel is not ours.
bool isButtonOrWheelMessage(WPARAM message) {
    return message >= MsgLeftDown && message <= MsgXUp;
}

CaptureListener* currentListener() {
    return hookListener ? *hookListener : nullptr;
}

LRESULT CALLBACK keyboardProc(int code, WPARAM message, LPARAM data) {
    CaptureListener* listener = currentListener();
    if (code == HC_ACTION && listener && isKeyMessage(message)) {
        const auto* record = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        listener->keyboardEvent(KeyEvent{static_cast<uint32_t>(message), record->vkCode, record->time});
    }
    // Other hooks of the desktop must see the event too; the chain's answer
    // is passed back so that no event is changed or swallowed here.
    return CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK mouseProc(int code, WPARAM message, LPARAM data) {
    CaptureListener* listener = currentListener();
    if (code == HC_ACTION && listener && isButtonOrWheelMessage(message)) {
        const auto* record = reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
        listener->mouseEvent(MouseEvent{static_cast<uint32_t>(message), record->mouseData, record->time});
    }
    return CallNextHookEx(nullptr, code, message, data);
}

}  // namespace

void installLowLevelHooks(CaptureListener* const* listener) {
    if (keyboardHook || mouseHook) return;
    hookListener = listener;
    // Low-level hooks are never injected into other processes; the module
    // is our own image, which every Windows version accepts.
    HINSTANCE module = GetModuleHandleW(nullptr);
    keyboardHook = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProc, module, 0);
    mouseHook = SetWindowsHookExW(WH_MOUSE_LL, mouseProc, module, 0);
}

void removeLowLevelHooks() {
    if (keyboardHook) UnhookWindowsHookEx(keyboardHook);
    if (mouseHook) UnhookWindowsHookEx(mouseHook);
    keyboardHook = nullptr;
    mouseHook = nullptr;
    hookListener = nullptr;
}

}  // namespace platform
