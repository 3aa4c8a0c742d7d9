#pragma once
// The values that cross the platform interface, numbered as the Windows
// user32 services number them, so every caller above it is platform-free.

#include <cstdint>

namespace platform {

// Flags of a keyboard input record.
enum KeyFlags : uint32_t {
    KeyExtended = 0x0001,  // KEYEVENTF_EXTENDEDKEY
    KeyUp = 0x0002,        // KEYEVENTF_KEYUP
    KeyScanCode = 0x0008,  // KEYEVENTF_SCANCODE
};

// Flags of a mouse input record.
enum MouseFlags : uint32_t {
    MouseMove = 0x0001,
    MouseLeftDown = 0x0002,
    MouseLeftUp = 0x0004,
    MouseRightDown = 0x0008,
    MouseRightUp = 0x0010,
    MouseMiddleDown = 0x0020,
    MouseMiddleUp = 0x0040,
    MouseXDown = 0x0080,
    MouseXUp = 0x0100,
    MouseWheel = 0x0800,
    MouseAbsolute = 0x8000,
};

// Virtual-key codes that callers name directly.
enum VirtualKey : uint16_t {
    VkLeftButton = 0x01,
    VkRightButton = 0x02,
    VkMiddleButton = 0x04,
    VkXButton1 = 0x05,
    VkXButton2 = 0x06,
    VkReturn = 0x0D,
    VkShift = 0x10,
    VkControl = 0x11,
    VkMenu = 0x12,
    VkF10 = 0x79,
    VkLShift = 0xA0,
    VkRShift = 0xA1,
    VkLControl = 0xA2,
    VkRControl = 0xA3,
    VkLMenu = 0xA4,
    VkRMenu = 0xA5,
};
// Virtual keys run from 1 to this; hooks report nothing above it.
constexpr uint32_t LastVirtualKey = 0xFF;

// Top bit of an asynchronous key state: the key is down now.
constexpr uint16_t KeyStateDown = 0x8000;

// Mouse data of an X button event.
constexpr uint32_t XButton1 = 1;
constexpr uint32_t XButton2 = 2;
// Mouse data of one wheel notch away from the user.
constexpr int WheelDelta = 120;
// Absolute moves address the primary screen as 0..AbsoluteRange on each axis.
constexpr int AbsoluteRange = 65535;

// Message numbers of captured events.
enum Message : uint32_t {
    MsgKeyDown = 0x100,
    MsgKeyUp = 0x101,
    MsgSysKeyDown = 0x104,
    MsgSysKeyUp = 0x105,
    MsgInput = 0xFF,  // raw input
    MsgMouseMove = 0x200,
    MsgLeftDown = 0x201,
    MsgLeftUp = 0x202,
    MsgLeftDoubleClick = 0x203,
    MsgRightDown = 0x204,
    MsgRightUp = 0x205,
    MsgRightDoubleClick = 0x206,
    MsgMiddleDown = 0x207,
    MsgMiddleUp = 0x208,
    MsgMiddleDoubleClick = 0x209,
    MsgMouseWheel = 0x20A,
    MsgXDown = 0x20B,
    MsgXUp = 0x20C,
    MsgHotkey = 0x312,
};

// Hotkey modifier bits.
enum HotkeyModifiers : uint32_t {
    ModAlt = 0x1,
    ModControl = 0x2,
    ModShift = 0x4,
    ModWin = 0x8,
    ModNoRepeat = 0x4000,
    // Ours, not user32's: the hotkey's key fires it whatever modifiers are
    // held (the given ones, others or none). Each backend translates it.
    ModAnyModifiers = 0x10000,
};

// A keyboard input record (KEYBDINPUT): by scan code, or by virtual key
// when the scan-code flag is clear.
struct KeyboardInput {
    uint16_t virtualKey = 0;
    uint16_t scanCode = 0;
    uint32_t flags = 0;

    bool operator==(const KeyboardInput& o) const {
        return virtualKey == o.virtualKey && scanCode == o.scanCode && flags == o.flags;
    }
};

// A mouse input record (MOUSEINPUT). mouseData is the wheel delta (signed,
// stored in 32 bits) or the X button number.
struct MouseInput {
    int32_t dx = 0;
    int32_t dy = 0;
    uint32_t mouseData = 0;
    uint32_t flags = 0;

    bool operator==(const MouseInput& o) const {
        return dx == o.dx && dy == o.dy && mouseData == o.mouseData && flags == o.flags;
    }
};

// One INPUT record: keyboard or mouse.
struct InputRecord {
    enum Type : uint32_t { Mouse = 0, Keyboard = 1 };
    Type type = Mouse;
    KeyboardInput keyboard;
    MouseInput mouse;

    static InputRecord key(KeyboardInput k) {
        InputRecord r;
        r.type = Keyboard;
        r.keyboard = k;
        return r;
    }
    static InputRecord pointer(MouseInput m) {
        InputRecord r;
        r.type = Mouse;
        r.mouse = m;
        return r;
    }
    bool operator==(const InputRecord& o) const {
        return type == o.type && (type == Keyboard ? keyboard == o.keyboard : mouse == o.mouse);
    }
};

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// A captured keyboard event, as a low-level keyboard hook reports it.
// Times of captured events are milliseconds of the backend's capture clock
// (the X server's time, the system's tick count), the clock that
// Platform::captureTime() reads; they wrap around after 2^32 ms.
struct KeyEvent {
    uint32_t message = 0;  // MsgKeyDown, MsgKeyUp, MsgSysKeyDown, MsgSysKeyUp
    uint32_t virtualKey = 0;
    uint32_t time = 0;
};

// A captured mouse event, as a low-level mouse hook reports it. The high
// word of mouseData holds the wheel delta or the X button number.
struct MouseEvent {
    uint32_t message = 0;  // MsgLeftDown .. MsgXUp
    uint32_t mouseData = 0;
    uint32_t time = 0;
};

// Raw relative movement of the mouse: the device's last-X and last-Y.
struct RawMovement {
    int32_t lastX = 0;
    int32_t lastY = 0;
    uint32_t time = 0;
};

}  // namespace platform
