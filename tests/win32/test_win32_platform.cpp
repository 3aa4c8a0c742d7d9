// Drives the Windows backend and the program's native loop under Wine (or
// Windows) and checks what the system reports back. Wine differences are
// noted where a check is left out because of them.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "app/win32/NativeLoop.h"
#include "input/KeyNames.h"
#include "platform/fake/UsScanCodes.h"
#include "platform/win32/NativeInput.h"
#include "platform/win32/Win32Platform.h"

using namespace platform;

namespace {

// What the hooks saw: message, and the key or the high word of the mouse
// data; or raw movements.
using Seen = std::vector<std::pair<int64_t, int64_t>>;

std::ostream& operator<<(std::ostream& out, const Seen& events) {
    for (const auto& [first, second] : events) out << first << ":" << second << " ";
    return out;
}

// Each failure is printed with its group; main's summary decides the exit status.
struct Checks {
    const char* group = "";
    int passed = 0, failed = 0;
    template <class A, class B = bool>
    void equal(const A& actual, const B& expected, const std::string& what) {
        std::ostringstream text;
        text << what << ": got " << actual << ", expected " << expected;
        ++(actual == expected ? passed : failed);
        if (!(actual == expected)) std::printf("FAILED [%s] %s\n", group, text.str().c_str());
    }
    void that(bool ok, const std::string& what) { equal(ok, true, what); }
};

// Set by run-under-wine.sh: the Wine desktop size, "WIDTHxHEIGHT", and a
// Windows path the test writes xdotool arguments to, which the script runs.
constexpr char DesktopSizeVariable[] = "QP_DESKTOP_SIZE";
constexpr char XdotoolRequestVariable[] = "QP_XDOTOOL_REQUEST";
// The loop's exit codes here: a posted quit, and the watchdog's.
constexpr int QuitCode = 7, GaveUpCode = 99;
constexpr UINT CloseTimer = 1, WatchdogTimer = 2, LoopWatchdogMs = 10000;

// A Win32Platform capturing into this recording listener, with a hidden
// window of its own as the raw-input target and timer window, and the means
// to inject from another thread while this (GUI) thread pumps.
struct CaptureSession : CaptureListener {
    CaptureSession() {
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        platform.setListener(this);
    }

    // Forgets what was heard and sends the records from a worker thread, as a script run does,
    // while this thread pumps (the hooks run on it) until done() holds or timeoutMs passes, then a
    // little longer so that late events show up.
    void inject(const std::vector<InputRecord>& records, const std::function<bool()>& done,
                int timeoutMs = 3000) {
        clear();
        std::thread sender([&] {
            for (const InputRecord& record : records) platform.sendInput(record);
        });
        for (ULONGLONG end = GetTickCount64() + timeoutMs; GetTickCount64() < end;) {
            platform.processPendingEvents();
            if (done() && end > GetTickCount64() + 100) end = GetTickCount64() + 100;
            MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
        sender.join();
    }
    // A key as the script functions inject it: by virtual key alone, or by
    // the layout's scan code with the key's extended flag.
    InputRecord key(int code, bool up) {
        const uint32_t upFlag = up ? uint32_t(KeyUp) : 0u;
        if (keyVocabulary().virtualKeyOnly[code])
            return InputRecord::key({static_cast<uint16_t>(code), 0, upFlag});
        const uint32_t extended = keyVocabulary().extended[code] ? uint32_t(KeyExtended) : 0u;
        const auto scan = platform.scanCodeOfVirtualKey(code == KeypadEnterCode ? VK_RETURN : code);
        return InputRecord::key({0, scan, KeyScanCode | extended | upFlag});
    }
    void clear() { keys.clear(), buttons.clear(), movements.clear(), hotkeys.clear(); }

    void keyboardEvent(const KeyEvent& event) override { keys.push_back(event); }
    void mouseEvent(const MouseEvent& event) override { buttons.push_back(event); }
    void rawMovement(const RawMovement& move) override { movements.push_back(move); }
    void hotkey(int id) override { hotkeys.push_back(id); }

    Win32Platform platform;
    HWND window = CreateWindowW(L"STATIC", L"", 0, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    std::function<void(UINT_PTR)> onTimer;  // called with the id of each timer tick
    std::vector<KeyEvent> keys;
    std::vector<MouseEvent> buttons;
    std::vector<RawMovement> movements;
    std::vector<int> hotkeys;

    static void CALLBACK tick(HWND window, UINT, UINT_PTR id, DWORD) {
        auto* self = reinterpret_cast<CaptureSession*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self->onTimer) self->onTimer(id);
    }
};

Seen seen(const CaptureSession& s) {
    Seen all;
    for (const KeyEvent& e : s.keys) all.push_back({e.message, e.virtualKey});
    for (const MouseEvent& e : s.buttons) all.push_back({e.message, HIWORD(e.mouseData)});
    return all;
}

InputRecord mouse(uint32_t flags, uint32_t data = 0, int32_t dx = 0, int32_t dy = 0) {
    return InputRecord::pointer({dx, dy, data, flags});
}

void testDesktop(Checks& check, Win32Platform& platform) {
    check.group = "desktop, scan codes";
    int width = 0, height = 0;
    if (const char* size = std::getenv(DesktopSizeVariable))
        std::sscanf(size, "%dx%d", &width, &height);
    check.that(platform.desktopRect() == Rect{0, 0, width, height}, "the runner's desktop");
    check.equal(platform.eventDescriptor(), -1, "events come through the message queue");
    // Wine takes these from the X keymap: no keypad digits, Sleep or
    // F13..F24, and Print Screen as 0x37.
    std::ostringstream wrong;
    for (uint32_t vk = 1; vk < 256; ++vk) {
        const bool wineGap = vk == VK_SNAPSHOT || vk == VK_SLEEP ||
                             (vk >= VK_F13 && vk <= VK_F24) ||
                             (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9);
        const uint16_t us = usScanCodeOfVirtualKey(vk);
        if (us != 0 && !wineGap && platform.scanCodeOfVirtualKey(vk) != us)
            wrong << std::hex << vk << " ";
    }
    check.equal(wrong.str(), "", "virtual keys off the US layout's scan codes");
    // Wine's table would name scan code 0 VolumeMute.
    check.equal(toNativeInput(InputRecord::key({0, 0, KeyScanCode})).ki.wVk, 0,
                "scan code 0 is no key");

    // Before any hook exists: under Wine the cursor position goes stale
    // about 100 ms after a move while a low-level mouse hook is installed.
    check.group = "absolute moves land on every pixel";
    const Rect desktop = platform.desktopRect();
    auto lands = [&](int32_t x, int32_t y) {
        // The injector's rule: pixel p of an extent is ((p + 1) * 65535) / extent.
        platform.sendInput(mouse(MouseMove | MouseAbsolute, 0,
                                 (x + 1) * AbsoluteRange / desktop.right,
                                 (y + 1) * AbsoluteRange / desktop.bottom));
        Point at{-1, -1};
        return platform.cursorPosition(&at) && at == Point{x, y};
    };
    int missed = 0;
    for (int32_t x = 0; x < desktop.right; ++x) missed += !lands(x, 300);
    for (int32_t y = 0; y < desktop.bottom; ++y) missed += !lands(700, y);
    check.equal(missed, 0, "pixels missed along a row and a column");
}

// Then the asynchronous key state while a key and a button are held, and
// global hotkeys as they are registered, moved and freed.
void testHooks(Checks& check, CaptureSession& s) {
    check.group = "keys, buttons and wheel reach the hooks";
    std::string offClock;
    auto expect = [&](const std::string& what, const std::vector<InputRecord>& records,
                      Seen expected) {
        const uint32_t before = s.platform.captureTime();
        s.inject(records, [&] { return seen(s).size() >= expected.size(); });
        const uint32_t span = s.platform.captureTime() - before;
        for (const KeyEvent& e : s.keys) offClock += e.time - before > span ? what : "";
        for (const MouseEvent& e : s.buttons) offClock += e.time - before > span ? what : "";
        Seen got = seen(s);
        // Which up message Alt's own release carries is the system's choice.
        if (got.size() == 4 && got[3] == Seen::value_type{MsgSysKeyUp, expected[3].second})
            got[3].first = MsgKeyUp;
        check.equal(got, expected, what);
    };
    // The hook reports each key's own code, the keypad Enter as Return. E0
    // keys differ from their plain twins only by the extended flag; Tab and
    // Escape go out by virtual key alone.
    for (const char* name :
         {"A", "Up", "RControl", "LControl", "Enter", "Delete", "Divide", "/", "Tab", "Escape"}) {
        const int code = keyCodeFromName(name);
        const uint32_t vk = code == KeypadEnterCode ? VK_RETURN : code;
        expect(name, {s.key(code, false), s.key(code, true)}, {{MsgKeyDown, vk}, {MsgKeyUp, vk}});
    }
    // With Alt held keys are system keys. The generic Alt is extended, so it
    // goes out as the right-hand key.
    for (const auto& [name, vk] : {std::pair{"LAlt", VK_LMENU}, std::pair{"Alt", VK_RMENU}}) {
        const int code = keyCodeFromName(name);
        expect(std::string("A with ") + name,
               {s.key(code, false), s.key('A', false), s.key('A', true), s.key(code, true)},
               {{MsgSysKeyDown, vk}, {MsgSysKeyDown, 'A'}, {MsgSysKeyUp, 'A'}, {MsgKeyUp, vk}});
    }
    // Each button's up flag and up message follow its down ones.
    const std::tuple<const char*, uint32_t, uint32_t, uint32_t> buttons[] = {
        {"left", MouseLeftDown, 0, MsgLeftDown},       {"right", MouseRightDown, 0, MsgRightDown},
        {"middle", MouseMiddleDown, 0, MsgMiddleDown}, {"X1", MouseXDown, XButton1, MsgXDown},
        {"X2", MouseXDown, XButton2, MsgXDown},
    };
    for (const auto& [name, down, data, message] : buttons)
        expect(name, {mouse(down, data), mouse(down << 1, data)},
               {{message, data}, {message + 1, data}});
    expect("wheel forward", {mouse(MouseWheel, WheelDelta)}, {{MsgMouseWheel, WheelDelta}});
    expect("two notches back", {mouse(MouseWheel, uint32_t(-2 * WheelDelta))},
           {{MsgMouseWheel, 65296}});
    check.equal(offClock, "", "events stamped outside the capture clock's interval");

    auto held = [&](std::string state = "") {
        for (int vk : {VK_LSHIFT, VK_SHIFT, VK_RSHIFT, int('K'), VK_RBUTTON})
            state += (s.platform.asyncKeyState(vk) & KeyStateDown) ? '1' : '0';
        return state;
    };
    s.inject({s.key(VK_LSHIFT, false), s.key('K', false), mouse(MouseRightDown)},
             [&] { return seen(s).size() >= 3; });
    check.equal(held(), "11011", "LShift, Shift, RShift, K, right button while held");
    s.inject({s.key('K', true), s.key(VK_LSHIFT, true), mouse(MouseRightUp)},
             [&] { return seen(s).size() >= 3; });
    check.equal(held(), "00000", "and once released");

    check.group = "hotkeys";
    const uint32_t ctrlShift = ModNoRepeat | ModControl | ModShift,
                   any = ModNoRepeat | ModAnyModifiers;
    constexpr HotkeyResult Ok = HotkeyResult::Registered, Held = HotkeyResult::HeldByThisProgram;
    // Each step frees an id and registers one (0: none), then presses Ctrl+Shift+F7.
    const std::tuple<int, int, uint32_t, uint32_t, HotkeyResult, std::vector<int>, const char*>
        steps[] = {
            {0, 1, ctrlShift, VK_F7, Ok, {1}, "Ctrl+Shift+F7 as 1 fires 1 once"},
            {0, 2, ctrlShift, VK_F7, Held, {1}, "the same keys are refused as 2"},
            {1, 2, ctrlShift, VK_F7, Ok, {2}, "freed, they fire 2 alone"},
            {0, 1, any, VK_F7, Ok, {1}, "F7 with any modifiers as 1 takes the press from 2"},
            {2, 0, 0, 0, Ok, {1}, "and keeps it once 2 lets go"},
            {0, 2, ctrlShift, VK_F7, Ok, {1}, "or when 2 comes back under it"},
            {0, 1, ModNoRepeat, VK_F7, Ok, {2}, "F7 alone as 1 gives it back"},
            {1, 2, ctrlShift, VK_F8, Ok, {}, "moving 2 to F8 frees the old keys"},
            {0, 1, ctrlShift, VK_F7, Ok, {1}, "for 1 to take again"},
        };
    for (const auto& [freed, id, modifiers, vk, result, fired, what] : steps) {
        if (freed) s.platform.unregisterHotkey(freed);
        const bool registered = !id || s.platform.registerHotkey(id, modifiers, vk) == result;
        s.inject({s.key(VK_LCONTROL, false), s.key(VK_LSHIFT, false), s.key(VK_F7, false),
                  s.key(VK_F7, true), s.key(VK_LSHIFT, true), s.key(VK_LCONTROL, true)},
                 [&] { return s.keys.size() >= 6; });
        check.that(registered && s.hotkeys == fired, what);
    }
}

// Runs the native loop with s as the router and returns its status. At a
// tick of s's window timer after done() holds, the tick sets the closing flag
// and posts a message behind itself; a watchdog timer quits with GaveUpCode.
int runLoop(Checks& check, CaptureSession& s, const std::function<bool()>& done) {
    bool closing = false;
    s.onTimer = [&](UINT_PTR id) {
        if (id == WatchdogTimer) PostQuitMessage(GaveUpCode);
        if (id != CloseTimer || closing || !done()) return;
        closing = true;
        PostMessageW(s.window, WM_APP, 0, 0);
    };
    SetTimer(s.window, CloseTimer, 10, CaptureSession::tick);
    SetTimer(s.window, WatchdogTimer, LoopWatchdogMs, CaptureSession::tick);
    s.platform.setListener(nullptr);  // the loop itself must hand the router to the backend
    const int status = runNativeLoop(s.platform, s, [&] { return closing; });
    KillTimer(s.window, CloseTimer);
    KillTimer(s.window, WatchdogTimer);
    s.onTimer = nullptr;
    s.platform.setListener(&s);
    MSG behind;
    check.that(!closing || PeekMessageW(&behind, s.window, WM_APP, WM_APP, PM_REMOVE),
               "the loop takes nothing queued behind the close");
    return status;
}

void testNativeLoop(Checks& check, CaptureSession& s) {
    check.group = "the native loop";
    PostQuitMessage(QuitCode);
    check.equal(runLoop(check, s, [] { return false; }), QuitCode,
                "a quit message ends it with its code");

    // Wine accelerates relative moves unless acceleration is off; raw input
    // on Windows reports the device's motion either way.
    int saved[3] = {}, off[3] = {};
    SystemParametersInfoW(SPI_GETMOUSE, 0, saved, 0);
    SystemParametersInfoW(SPI_SETMOUSE, 0, off, 0);
    const Seen moves = {{5, -3}, {-40, 25}, {1, 0}};
    Seen moved;  // a click's raw input must not be among them
    s.clear();
    std::thread sender([&] {
        for (const auto& [x, y] : moves) s.platform.sendInput(mouse(MouseMove, 0, x, y));
        for (uint32_t flag : {MouseMiddleDown, MouseMiddleUp}) s.platform.sendInput(mouse(flag));
    });
    const int closed = runLoop(check, s, [&] {
        moved.clear();
        for (const RawMovement& m : s.movements)
            if (m.lastX != 0 || m.lastY != 0) moved.push_back({m.lastX, m.lastY});
        return moved.size() >= moves.size() && s.buttons.size() >= 2;
    });
    sender.join();
    SystemParametersInfoW(SPI_SETMOUSE, 0, saved, 0);
    check.equal(moved, moves, "relative moves reach the router, a click moves nothing");
    check.equal(closed, NativeLoopClosedStatus, "closing, set in a timer tick, ends it");

    // A hotkey registered with no window, pressed on the X display.
    s.platform.registerHotkey(1, ModNoRepeat, VK_F9);
    s.clear();
    if (const char* request = std::getenv(XdotoolRequestVariable))
        std::ofstream(request) << "key q click 2 key F9";
    runLoop(check, s, [&] { return !s.hotkeys.empty() && seen(s).size() >= 6; });
    check.that(s.hotkeys == std::vector<int>{1}, "xdotool's F9 reaches the router as hotkey 1");
    const Seen xdotool = {{MsgKeyDown, 'Q'}, {MsgKeyUp, 'Q'},    {MsgKeyDown, VK_F9},
                          {MsgKeyUp, VK_F9}, {MsgMiddleDown, 0}, {MsgMiddleUp, 0}};
    check.equal(seen(s), xdotool, "xdotool's keys and click reach the hooks");

    check.group = "stopping capture";
    s.platform.stopCapture();
    s.inject(
        {s.key('B', false), s.key('B', true), mouse(MouseMove, 0, 3, 3)}, [] { return false; },
        300);
    check.that(s.keys.empty() && s.movements.empty(), "no key and no raw movement after it");
}

}  // namespace

int main() {
    Checks check;
    CaptureSession session;
    testDesktop(check, session.platform);
    session.platform.startCapture(reinterpret_cast<uintptr_t>(session.window));
    testHooks(check, session);
    testNativeLoop(check, session);
    std::printf("%d passed, %d failed\n", check.passed, check.failed);
    return check.failed == 0 ? 0 : 1;
}
