#include "Win32Platform.h"

#include "LowLevelHooks.h"
#include "NativeInput.h"

namespace platform {

namespace {

// Raw input registration of the generic desktop mouse.
constexpr USHORT UsagePageGenericDesktop = 1;
constexpr USHORT UsageMouse = 2;

bool registerRawMouse(HWND target, DWORD flags) {
    RAWINPUTDEVICE device{};
    device.usUsagePage = UsagePageGenericDesktop;
    device.usUsage = UsageMouse;
    device.dwFlags = flags;
    device.hwndTarget = target;
    return RegisterRawInputDevices(&device, 1, sizeof(device)) != FALSE;
}

}  // namespace

Win32Platform::~Win32Platform() {
    stopCapture();
}

void Win32Platform::sendInput(const InputRecord& record, const SendInterruption*) {
    INPUT native = toNativeInput(record);
    SendInput(1, &native, sizeof(INPUT));
}

uint16_t Win32Platform::scanCodeOfVirtualKey(uint32_t virtualKey) {
    return static_cast<uint16_t>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
}

uint16_t Win32Platform::asyncKeyState(int virtualKey) {
    return static_cast<uint16_t>(GetAsyncKeyState(virtualKey));
}

bool Win32Platform::cursorPosition(Point* position) {
    POINT point;
    if (!GetCursorPos(&point)) return false;
    position->x = point.x;
    position->y = point.y;
    return true;
}

Rect Win32Platform::desktopRect() {
    RECT rect{};
    GetWindowRect(GetDesktopWindow(), &rect);
    return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

void Win32Platform::setListener(CaptureListener* listener) {
    listener_ = listener;
}

HotkeyResult Win32Platform::registerHotkey(int id, uint32_t modifiers, uint32_t virtualKey) {
    // Registering under a live id replaces what it held.
    return hotkeys_.add(id, modifiers, virtualKey);
}

void Win32Platform::unregisterHotkey(int id) { hotkeys_.remove(id); }

void Win32Platform::startCapture(uintptr_t nativeWindow) {
    if (capturing_) return;
    capturing_ = true;
    installLowLevelHooks(&listener_);
    registerRawMouse(reinterpret_cast<HWND>(nativeWindow), RIDEV_INPUTSINK);
}

void Win32Platform::stopCapture() {
    if (!capturing_) return;
    capturing_ = false;
    registerRawMouse(nullptr, RIDEV_REMOVE);
    removeLowLevelHooks();
}

int Win32Platform::eventDescriptor() const {
    return -1;
}

void Win32Platform::processPendingEvents() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        handleMessage(message);
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The hooks' and messages' times are in this clock.
uint32_t Win32Platform::captureTime() { return GetTickCount(); }

bool Win32Platform::handleMessage(const MSG& message) {
    if (message.message == WM_HOTKEY) {
        if (listener_) listener_->hotkey(hotkeys_.idOfMessage(message.wParam, message.lParam));
        return true;
    }
    if (message.message == WM_INPUT) {
        deliverRawInput(message.lParam, message.time);
        return true;
    }
    return false;
}

void Win32Platform::deliverRawInput(LPARAM handle, DWORD time) {
    if (!listener_) return;
    auto rawHandle = reinterpret_cast<HRAWINPUT>(handle);
    UINT size = 0;
    if (GetRawInputData(rawHandle, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER)) != 0)
        return;
    // Only the mouse is registered; anything larger than a mouse record is
    // not ours and must not overrun the buffer.
    RAWINPUT raw;
    if (size == 0 || size > sizeof(raw)) return;
    if (GetRawInputData(rawHandle, RID_INPUT, &raw, &size, sizeof(RAWINPUTHEADER)) != size)
        return;
    if (raw.header.dwType != RIM_TYPEMOUSE) return;
    listener_->rawMovement(RawMovement{raw.data.mouse.lLastX, raw.data.mouse.lLastY, time});
}

}  // namespace platform
