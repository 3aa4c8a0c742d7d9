// Drives the Windows backend through the platform interface under Wine (or
// Windows) and checks what the system reports back. Wine differences are
// noted where a check is left out because of them.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CaptureSession.h"
#include "Check.h"
#include "input/KeyNames.h"
#include "platform/fake/UsScanCodes.h"
#include "platform/win32/NativeInput.h"

using namespace platform;

namespace {

// The Wine desktop size the runner script sets, "WIDTHxHEIGHT".
constexpr char DesktopSizeVariable[] = "QP_DESKTOP_SIZE";
// A Windows path the test creates to ask the runner script for xdotool input.
constexpr char XdotoolRequestVariable[] = "QP_XDOTOOL_REQUEST";
// Key and button the runner script sends through xdotool.
constexpr uint32_t XdotoolKey = 'Q';

constexpr uint16_t Down = 0x8000;  // top bit of GetAsyncKeyState

InputRecord keyRecord(Platform& platform, int code, bool up) {
    // Injected as the script functions inject: by virtual key alone, or by
    // the layout's scan code with the key's extended flag.
    KeyboardInput key;
    const uint32_t upFlag = up ? uint32_t(KeyUp) : 0u;
    if (keyVocabulary().virtualKeyOnly[code]) {
        key.virtualKey = static_cast<uint16_t>(code);
        key.flags = upFlag;
    } else {
        key.scanCode = platform.scanCodeOfVirtualKey(code == KeypadEnterCode ? VK_RETURN : code);
        key.flags = KeyScanCode | (keyVocabulary().extended[code] ? uint32_t(KeyExtended) : 0u) | upFlag;
    }
    return InputRecord::key(key);
}

std::vector<InputRecord> hit(Platform& platform, int code) {
    return {keyRecord(platform, code, false), keyRecord(platform, code, true)};
}

InputRecord mouseRecord(uint32_t flags, uint32_t data = 0, int32_t dx = 0, int32_t dy = 0) {
    MouseInput mouse;
    mouse.dx = dx;
    mouse.dy = dy;
    mouse.mouseData = data;
    mouse.flags = flags;
    return InputRecord::pointer(mouse);
}

std::string describe(const std::vector<KeyEvent>& events) {
    std::ostringstream text;
    for (const KeyEvent& e : events) text << e.message << ":" << e.virtualKey << " ";
    return text.str();
}

std::string describe(const std::vector<MouseEvent>& events) {
    std::ostringstream text;
    for (const MouseEvent& e : events) text << e.message << ":" << HIWORD(e.mouseData) << " ";
    return text.str();
}

std::string describe(const std::vector<RawMovement>& moves) {
    std::ostringstream text;
    for (const RawMovement& m : moves) text << m.lastX << "," << m.lastY << " ";
    return text.str();
}

std::string hex(uint32_t value) {
    std::ostringstream text;
    text << "0x" << std::hex << value;
    return text.str();
}

// The absolute-move rule of the injector: pixel p of an extent maps to
// ((p + 1) * 65535) / extent.
int32_t absoluteCoordinate(int32_t pixel, int32_t extent) {
    return ((pixel + 1) * AbsoluteRange) / extent;
}

void testNativeRecords() {
    check::group("input records become SendInput records");
    INPUT byScan = toNativeInput(InputRecord::key({0, 0x48, KeyScanCode | KeyExtended}));
    check::equal(byScan.type, DWORD(INPUT_KEYBOARD), "keyboard type");
    check::equal(byScan.ki.wScan, 0x48, "scan code kept");
    check::equal(byScan.ki.dwFlags, DWORD(KeyScanCode | KeyExtended), "flags kept");
    // Wine needs the virtual key of a scan-code record; the extended flag
    // decides between the keys that share a scan code.
    check::equal(hex(byScan.ki.wVk), hex(VK_UP), "extended 0x48 names VK_UP");
    auto keyOfScan = [](uint16_t scan, uint32_t extended) {
        return hex(toNativeInput(InputRecord::key({0, scan, KeyScanCode | extended})).ki.wVk);
    };
    check::equal(keyOfScan(0x1D, KeyExtended), hex(VK_RCONTROL), "extended 0x1D is right Ctrl");
    check::equal(keyOfScan(0x1D, 0), hex(VK_LCONTROL), "plain 0x1D is left Ctrl");
    check::equal(keyOfScan(0x38, KeyExtended), hex(VK_RMENU), "extended 0x38 is right Alt");
    check::equal(keyOfScan(0x35, KeyExtended), hex(VK_DIVIDE), "extended 0x35 is keypad /");
    check::equal(keyOfScan(0x35, 0), hex(VK_OEM_2), "plain 0x35 is the slash key");
    check::equal(keyOfScan(0, 0), hex(0), "scan code 0 names no key");
    INPUT byVk = toNativeInput(InputRecord::key({VK_TAB, 0, KeyUp}));
    check::equal(byVk.ki.wVk, VK_TAB, "virtual-key record keeps its key");
    check::equal(byVk.ki.wScan, 0, "virtual-key record has no scan code");
    check::that(byScan.ki.time == 0 && byScan.ki.dwExtraInfo == 0, "no time stamp, no extra info");

    INPUT wheel = toNativeInput(mouseRecord(MouseWheel, static_cast<uint32_t>(-240)));
    check::equal(wheel.type, DWORD(INPUT_MOUSE), "mouse type");
    check::equal(static_cast<int32_t>(wheel.mi.mouseData), -240, "wheel delta keeps its sign");
    INPUT move = toNativeInput(mouseRecord(MouseMove | MouseAbsolute, 0, 34, 65535));
    check::that(move.mi.dx == 34 && move.mi.dy == 65535 &&
                    move.mi.dwFlags == (MouseMove | MouseAbsolute),
                "absolute move kept");
}

void testQueries(Win32Platform& platform) {
    check::group("desktop, scan codes");
    const char* size = std::getenv(DesktopSizeVariable);
    if (check::that(size != nullptr, "QP_DESKTOP_SIZE is set by the runner")) {
        int width = 0, height = 0;
        std::sscanf(size, "%dx%d", &width, &height);
        check::that(platform.desktopRect() == Rect{0, 0, width, height},
                    "desktop rectangle is the virtual desktop");
    }
    check::equal(platform.eventDescriptor(), -1, "events come through the message queue");

    // Keys Wine's table maps differently (it takes them from the X keymap):
    // no keypad digits, Sleep or F13..F24, and Print Screen as 0x37 (E0 37).
    std::vector<uint32_t> wineGaps = {VK_SNAPSHOT, VK_SLEEP};
    for (uint32_t vk = VK_NUMPAD0; vk <= VK_NUMPAD9; ++vk) wineGaps.push_back(vk);
    for (uint32_t vk = VK_F13; vk <= VK_F24; ++vk) wineGaps.push_back(vk);
    for (uint32_t vk = 1; vk < 256; ++vk) {
        if (std::find(wineGaps.begin(), wineGaps.end(), vk) != wineGaps.end()) continue;
        const uint16_t expected = usScanCodeOfVirtualKey(vk);
        if (expected == 0) continue;
        check::equal(hex(platform.scanCodeOfVirtualKey(vk)), hex(expected),
                     "scan code of VK " + hex(vk));
    }
}

void testAbsoluteMoves(Win32Platform& platform) {
    // Run before any hook exists: under Wine the cursor position goes stale
    // about 100 ms after a move while a low-level mouse hook is installed.
    check::group("absolute moves land on exact pixels");
    const Rect desktop = platform.desktopRect();
    auto moveAndRead = [&](int32_t x, int32_t y) {
        platform.sendInput(mouseRecord(MouseMove | MouseAbsolute, 0,
                                       absoluteCoordinate(x, desktop.right),
                                       absoluteCoordinate(y, desktop.bottom)));
        Point at{-1, -1};
        platform.cursorPosition(&at);
        return at;
    };
    const Point corners[] = {{0, 0},
                             {desktop.right - 1, 0},
                             {0, desktop.bottom - 1},
                             {desktop.right - 1, desktop.bottom - 1},
                             {desktop.right / 2 - 1, desktop.bottom / 2 - 1}};
    for (const Point& p : corners) {
        const Point at = moveAndRead(p.x, p.y);
        check::that(at == p, "corner " + std::to_string(p.x) + "," + std::to_string(p.y) +
                                 " reached " + std::to_string(at.x) + "," +
                                 std::to_string(at.y));
    }
    int missedColumns = 0, missedRows = 0;
    for (int32_t x = 0; x < desktop.right; ++x)
        if (!(moveAndRead(x, 300) == Point{x, 300})) ++missedColumns;
    for (int32_t y = 0; y < desktop.bottom; ++y)
        if (!(moveAndRead(700, y) == Point{700, y})) ++missedRows;
    check::equal(missedColumns, 0, "columns missed along a row");
    check::equal(missedRows, 0, "rows missed along a column");
}

void testKeys(CaptureSession& session) {
    check::group("keys reach the keyboard hook");
    Platform& platform = session.platform();
    struct Case {
        const char* name;
        uint32_t hookKey;  // what the hook reports
    };
    const Case cases[] = {
        {"A", 'A'},         {"Up", VK_UP},         {"RControl", VK_RCONTROL},
        {"Enter", VK_RETURN},  // the keypad Enter: Return's scan code, extended
        {"Delete", VK_DELETE}, {"Tab", VK_TAB},    {"Escape", VK_ESCAPE},
    };
    for (const Case& c : cases) {
        session.clear();
        const int code = keyCodeFromName(c.name);
        if (!check::that(code != 0, std::string("key name ") + c.name)) continue;
        session.inject(hit(platform, code), [&] { return session.keys.size() >= 2; });
        session.settle(50);
        const std::vector<KeyEvent> expected = {{MsgKeyDown, c.hookKey}, {MsgKeyUp, c.hookKey}};
        check::equal(describe(session.keys), describe(expected), std::string("key ") + c.name);
    }

    // With Alt held, keys are system keys. The generic Alt goes out as the
    // right-hand key because it is extended.
    for (const char* alt : {"LAlt", "Alt"}) {
        session.clear();
        const int altCode = keyCodeFromName(alt);
        const uint32_t altHook = altCode == VK_MENU ? VK_RMENU : VK_LMENU;
        std::vector<InputRecord> records = {keyRecord(platform, altCode, false),
                                            keyRecord(platform, 'A', false),
                                            keyRecord(platform, 'A', true),
                                            keyRecord(platform, altCode, true)};
        session.inject(records, [&] { return session.keys.size() >= 4; });
        session.settle(50);
        if (!check::equal(session.keys.size(), size_t(4), std::string("events with ") + alt))
            continue;
        const std::vector<KeyEvent> expectedStart = {
            {MsgSysKeyDown, altHook}, {MsgSysKeyDown, 'A'}, {MsgSysKeyUp, 'A'}};
        check::equal(describe(std::vector<KeyEvent>(session.keys.begin(), session.keys.begin() + 3)),
                     describe(expectedStart), std::string("A with ") + alt);
        // Which of the two up messages the Alt key's own release carries
        // is the system's business; it must be a release of that key.
        const KeyEvent last = session.keys[3];
        check::that((last.message == MsgKeyUp || last.message == MsgSysKeyUp) &&
                        last.virtualKey == altHook,
                    std::string("release of ") + alt + ": " + describe(std::vector<KeyEvent>{last}));
    }
}

void testKeyState(CaptureSession& session) {
    check::group("asynchronous key state");
    Platform& platform = session.platform();
    session.clear();
    session.inject({keyRecord(platform, VK_LSHIFT, false), keyRecord(platform, 'K', false)},
                   [&] { return session.keys.size() >= 2; });
    check::that(platform.asyncKeyState(VK_LSHIFT) & Down, "held left Shift is down");
    check::that(platform.asyncKeyState(VK_SHIFT) & Down, "held left Shift counts as Shift");
    check::that(platform.asyncKeyState('K') & Down, "held K is down");
    check::that(!(platform.asyncKeyState(VK_RSHIFT) & Down), "right Shift is not down");
    session.inject({keyRecord(platform, 'K', true), keyRecord(platform, VK_LSHIFT, true)},
                   [&] { return session.keys.size() >= 4; });
    check::that(!(platform.asyncKeyState('K') & Down), "released K is up");
    check::that(!(platform.asyncKeyState(VK_SHIFT) & Down), "released Shift is up");

    session.inject({mouseRecord(MouseRightDown)}, [&] { return !session.buttons.empty(); });
    check::that(platform.asyncKeyState(VK_RBUTTON) & Down, "held right button is down");
    session.inject({mouseRecord(MouseRightUp)}, [&] { return session.buttons.size() >= 2; });
    check::that(!(platform.asyncKeyState(VK_RBUTTON) & Down), "released right button is up");
}

void testButtons(CaptureSession& session) {
    check::group("buttons and wheel reach the mouse hook");
    struct Case {
        const char* what;
        std::vector<InputRecord> records;
        std::vector<MouseEvent> expected;  // mouse data as the hook's high word
    };
    auto high = [](uint32_t word) { return word << 16; };
    const Case cases[] = {
        {"left", {mouseRecord(MouseLeftDown), mouseRecord(MouseLeftUp)},
         {{MsgLeftDown, 0}, {MsgLeftUp, 0}}},
        {"right", {mouseRecord(MouseRightDown), mouseRecord(MouseRightUp)},
         {{MsgRightDown, 0}, {MsgRightUp, 0}}},
        {"middle", {mouseRecord(MouseMiddleDown), mouseRecord(MouseMiddleUp)},
         {{MsgMiddleDown, 0}, {MsgMiddleUp, 0}}},
        {"X1", {mouseRecord(MouseXDown, XButton1), mouseRecord(MouseXUp, XButton1)},
         {{MsgXDown, high(1)}, {MsgXUp, high(1)}}},
        {"X2", {mouseRecord(MouseXDown, XButton2), mouseRecord(MouseXUp, XButton2)},
         {{MsgXDown, high(2)}, {MsgXUp, high(2)}}},
        {"wheel forward", {mouseRecord(MouseWheel, WheelDelta)}, {{MsgMouseWheel, high(120)}}},
        {"wheel backward",
         {mouseRecord(MouseWheel, static_cast<uint32_t>(-WheelDelta))},
         {{MsgMouseWheel, high(65416)}}},
        {"two notches back",
         {mouseRecord(MouseWheel, static_cast<uint32_t>(-2 * WheelDelta))},
         {{MsgMouseWheel, high(65296)}}},
    };
    for (const Case& c : cases) {
        session.clear();
        session.inject(c.records, [&] { return session.buttons.size() >= c.expected.size(); });
        session.settle(50);
        check::equal(describe(session.buttons), describe(c.expected), c.what);
    }
}

void testRawMovement(CaptureSession& session) {
    check::group("relative moves arrive as raw input");
    // Wine accelerates relative moves unless the acceleration is off; on
    // Windows raw input reports the device's motion either way.
    int saved[3] = {};
    SystemParametersInfoW(SPI_GETMOUSE, 0, saved, 0);
    int off[3] = {0, 0, 0};
    SystemParametersInfoW(SPI_SETMOUSE, 0, off, 0);

    const RawMovement moves[] = {{5, -3}, {-40, 25}, {1, 0}};
    for (const RawMovement& m : moves) {
        session.clear();
        session.inject({mouseRecord(MouseMove, 0, m.lastX, m.lastY)},
                       [&] { return !session.movements.empty(); });
        session.settle(50);
        check::equal(describe(session.movements), describe(std::vector<RawMovement>{m}),
                     "move by " + describe(std::vector<RawMovement>{m}));
    }
    // A button alone reports no movement.
    session.clear();
    session.inject({mouseRecord(MouseMiddleDown), mouseRecord(MouseMiddleUp)},
                   [&] { return session.buttons.size() >= 2; });
    session.settle(50);
    for (const RawMovement& m : session.movements)
        check::that(m.lastX == 0 && m.lastY == 0, "a click carries no movement");
    SystemParametersInfoW(SPI_SETMOUSE, 0, saved, 0);
}

void testHotkeys(CaptureSession& session) {
    check::group("hotkeys");
    Platform& platform = session.platform();
    const uint32_t modifiers = ModNoRepeat | ModControl | ModShift;
    const std::vector<InputRecord> press = {
        keyRecord(platform, VK_LCONTROL, false), keyRecord(platform, VK_LSHIFT, false),
        keyRecord(platform, VK_F7, false),       keyRecord(platform, VK_F7, true),
        keyRecord(platform, VK_LSHIFT, true),    keyRecord(platform, VK_LCONTROL, true)};
    auto pressed = [&] { return session.keys.size() >= press.size(); };

    const auto registers = [&](int id, uint32_t mods, uint32_t key) {
        return platform.registerHotkey(id, mods, key) == HotkeyResult::Registered;
    };
    check::that(registers(1, modifiers, VK_F7), "Ctrl+Shift+F7 registers as 1");
    check::that(platform.registerHotkey(2, modifiers, VK_F7) == HotkeyResult::HeldByThisProgram,
                "the same keys refused as 2");
    session.clear();
    session.inject(press, pressed);
    session.settle();
    check::equal(session.hotkeys.size(), size_t(1), "one press, one hotkey");
    check::that(session.hotkeys == std::vector<int>{1}, "the hotkey carries id 1");

    // Freeing the combination lets the other id take it.
    platform.unregisterHotkey(1);
    check::that(registers(2, modifiers, VK_F7), "freed keys register as 2");
    session.clear();
    session.inject(press, pressed);
    session.settle();
    check::that(session.hotkeys == std::vector<int>{2}, "now id 2 fires, alone");

    // F7 with any modifiers takes id 2's Ctrl+Shift+F7 too, and gives it back.
    check::that(registers(1, ModNoRepeat | ModAnyModifiers, VK_F7), "F7 with any modifiers registers as 1");
    session.clear();
    session.inject(press, pressed);
    session.settle();
    check::that(session.hotkeys == std::vector<int>{1}, "Ctrl+Shift+F7 fires 1 while it holds any modifiers");
    check::that(registers(1, ModNoRepeat, VK_F7), "F7 alone registers as 1");
    session.clear();
    session.inject(press, pressed);
    session.settle();
    check::that(session.hotkeys == std::vector<int>{2}, "and Ctrl+Shift+F7 fires 2 again");
    platform.unregisterHotkey(1);

    // Re-registering an id moves it: the old combination stops firing.
    check::that(registers(2, modifiers, VK_F8), "id 2 moves to Ctrl+Shift+F8");
    session.clear();
    session.inject(press, pressed);
    session.settle();
    check::that(session.hotkeys.empty(), "the old combination is gone");
    check::that(registers(1, modifiers, VK_F7), "and is free again");
    platform.unregisterHotkey(1);
    platform.unregisterHotkey(2);
}

void testXdotool(CaptureSession& session) {
    check::group("xdotool input reaches the hooks");
    const char* request = std::getenv(XdotoolRequestVariable);
    if (!check::that(request != nullptr, "QP_XDOTOOL_REQUEST is set by the runner")) return;
    session.clear();
    std::ofstream(request) << "go\n";
    auto complete = [&] {
        return session.keys.size() >= 2 && session.buttons.size() >= 2;
    };
    check::that(session.pumpUntil(complete, 10000), "events arrived within 10 s");
    session.settle();
    const std::vector<KeyEvent> keys = {{MsgKeyDown, XdotoolKey}, {MsgKeyUp, XdotoolKey}};
    const std::vector<MouseEvent> buttons = {{MsgMiddleDown, 0}, {MsgMiddleUp, 0}};
    check::equal(describe(session.keys), describe(keys), "xdotool key q");
    check::equal(describe(session.buttons), describe(buttons), "xdotool click 2");
}

void testStopCapture(CaptureSession& session) {
    check::group("stopping capture");
    session.stopCapture();
    session.clear();
    session.inject(hit(session.platform(), 'B'), [] { return false; }, 300);
    session.inject({mouseRecord(MouseMove, 0, 3, 3)}, [] { return false; }, 300);
    check::that(session.keys.empty(), "no key after stopCapture");
    check::that(session.movements.empty(), "no raw movement after stopCapture");
}

}  // namespace

int main() {
    initKeyNames();
    testNativeRecords();
    {
        CaptureSession session;
        testQueries(session.platform());
        testAbsoluteMoves(session.platform());
        session.startCapture();
        testKeys(session);
        testKeyState(session);
        testButtons(session);
        testRawMovement(session);
        testHotkeys(session);
        testXdotool(session);
        testStopCapture(session);
    }
    return check::summary();
}
