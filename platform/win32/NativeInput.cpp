#include "NativeInput.h"

#include "ExtendedScanCodes.h"

namespace platform {

namespace {

// The virtual key Windows derives from a scan code: fixed for the extended
// keys (Wine's MapVirtualKeyW drops the E0 prefix), the layout's otherwise.
WORD virtualKeyOfScanCode(WORD scanCode, bool extended) {
    if (extended) return virtualKeyOfExtendedScanCode(scanCode);
    return static_cast<WORD>(MapVirtualKeyW(scanCode, MAPVK_VSC_TO_VK_EX));
}

KEYBDINPUT toNativeKey(const KeyboardInput& key) {
    KEYBDINPUT native{};
    native.wVk = key.virtualKey;
    native.wScan = key.scanCode;
    native.dwFlags = key.flags;
    if ((key.flags & KeyScanCode) && native.wVk == 0 && key.scanCode != 0) {
        // Wine reports a scan-code record's virtual key as given, so 0 would
        // arrive as key 0; Windows ignores it and maps the scan code itself,
        // so naming the same key is harmless there. Scan code 0 is no key
        // (Wine's table would call it VolumeMute).
        native.wVk = virtualKeyOfScanCode(key.scanCode, (key.flags & KeyExtended) != 0);
    }
    return native;
}

MOUSEINPUT toNativeMouse(const MouseInput& mouse) {
    MOUSEINPUT native{};
    native.dx = mouse.dx;
    native.dy = mouse.dy;
    native.mouseData = mouse.mouseData;
    native.dwFlags = mouse.flags;
    return native;
}

}  // namespace

INPUT toNativeInput(const InputRecord& record) {
    INPUT native{};
    if (record.type == InputRecord::Keyboard) {
        native.type = INPUT_KEYBOARD;
        native.ki = toNativeKey(record.keyboard);
    } else {
        native.type = INPUT_MOUSE;
        native.mi = toNativeMouse(record.mouse);
    }
    return native;
}

}  // namespace platform
