// Drives the Windows backend and the program's native loop under Wine (or
// Windows) and checks what the system reports back. Wine differences are
// noted where a check is left out because of them.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <fstream>
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

// Each failure is printed with its group; the summary decides the exit status.
class Checks {
public:
    void group(const char* name) { group_ = name; }
    bool that(bool condition, const std::string& what) {
        ++(condition ? passed_ : failed_);
        if (!condition) std::printf("FAILED [%s] %s\n", group_, what.c_str());
        return condition;
    }
    template <class A, class B>
    bool equal(const A& actual, const B& expected, const std::string& what) {
        std::ostringstream text;
        text << what << ": got " << actual << ", expected " << expected;
        return that(actual == expected, text.str());
    }
    // Prints "N passed, N failed"; returns the process exit status.
    int summary() const {
        std::printf("%d passed, %d failed\n", passed_, failed_);
        return failed_ == 0 ? 0 : 1;
    }

private:
    const char* group_ = "";
    int passed_ = 0;
    int failed_ = 0;
};

// A Win32Platform capturing into this recording listener, with a hidden
// window of its own as the raw-input target and timer window, and the means
// to inject from another thread while this (GUI) thread pumps.
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

// Set by run-under-wine.sh: the Wine desktop size, "WIDTHxHEIGHT", and a
// Windows path the test writes xdotool arguments to, which the script runs.
constexpr char DesktopSizeVariable[] = "QP_DESKTOP_SIZE";
constexpr char XdotoolRequestVariable[] = "QP_XDOTOOL_REQUEST";
// The loop's exit codes here: a posted quit, and the watchdog's.
constexpr int QuitCode = 7;
constexpr int GaveUpCode = 99;
constexpr DWORD LoopWatchdogMs = 10000;

// What the hooks saw: message, and the key or the high word of the mouse
// data; or raw movements.
using Seen = std::vector<std::pair<int64_t, int64_t>>;

Seen seen(const CaptureSession& s) {
    Seen all;
    for (const KeyEvent& e : s.keys) all.push_back({e.message, e.virtualKey});
    for (const MouseEvent& e : s.buttons) all.push_back({e.message, HIWORD(e.mouseData)});
    return all;
}

std::string text(const Seen& events) {
    std::ostringstream out;
    for (const auto& [first, second] : events) out << first << ":" << second << " ";
    return out.str();
}

InputRecord mouse(uint32_t flags, uint32_t data = 0, int32_t dx = 0, int32_t dy = 0) {
    return InputRecord::pointer({dx, dy, data, flags});
}

void testQueries(Checks& check, Win32Platform& platform) {
    check.group("desktop, scan codes");
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
                             (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) ||
                             (vk >= VK_F13 && vk <= VK_F24);
        const uint16_t us = usScanCodeOfVirtualKey(vk);
        if (us != 0 && !wineGap && platform.scanCodeOfVirtualKey(vk) != us)
            wrong << std::hex << vk << " ";
    }
    check.equal(wrong.str(), "", "virtual keys off the US layout's scan codes");
    // Wine's table would name scan code 0 VolumeMute.
    check.equal(toNativeInput(InputRecord::key({0, 0, KeyScanCode})).ki.wVk, 0,
                "scan code 0 is no key");
}

void testAbsoluteMoves(Checks& check, Win32Platform& platform) {
    // Before any hook exists: under Wine the cursor position goes stale
    // about 100 ms after a move while a low-level mouse hook is installed.
    check.group("absolute moves land on every pixel");
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

void testHooks(Checks& check, CaptureSession& s) {
    check.group("keys, buttons and wheel reach the hooks");
    std::string offClock;
    auto expect = [&](const std::string& what, const std::vector<InputRecord>& records,
                      Seen expected) {
        s.clear();
        const uint32_t before = s.platform.captureTime();
        s.inject(records, [&] { return seen(s).size() >= expected.size(); });
        const uint32_t after = s.platform.captureTime();
        for (const KeyEvent& e : s.keys) offClock += e.time - before > after - before ? what : "";
        for (const MouseEvent& e : s.buttons)
            offClock += e.time - before > after - before ? what : "";
        Seen got = seen(s);
        // Which up message Alt's own release carries is the system's choice.
        if (got.size() == 4 &&
            got[3] == std::pair<int64_t, int64_t>{MsgSysKeyUp, expected[3].second})
            got[3].first = MsgKeyUp;
        check.equal(text(got), text(expected), what);
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
}

void testKeyState(Checks& check, CaptureSession& s) {
    check.group("asynchronous key state");
    auto held = [&] {
        std::string state;
        for (int vk : {VK_LSHIFT, VK_SHIFT, VK_RSHIFT, int('K'), VK_RBUTTON})
            state += (s.platform.asyncKeyState(vk) & KeyStateDown) ? '1' : '0';
        return state;
    };
    s.clear();
    s.inject({s.key(VK_LSHIFT, false), s.key('K', false), mouse(MouseRightDown)},
             [&] { return seen(s).size() >= 3; });
    check.equal(held(), "11011", "LShift, Shift, RShift, K, right button while held");
    s.inject({s.key('K', true), s.key(VK_LSHIFT, true), mouse(MouseRightUp)},
             [&] { return seen(s).size() >= 6; });
    check.equal(held(), "00000", "and once released");
}

void testHotkeys(Checks& check, CaptureSession& s) {
    check.group("hotkeys");
    const uint32_t ctrlShift = ModNoRepeat | ModControl | ModShift;
    constexpr HotkeyResult Ok = HotkeyResult::Registered;
    // Each step frees an id and registers one (0: none), then presses Ctrl+Shift+F7.
    const struct {
        int freed, id;
        uint32_t modifiers, vk;
        HotkeyResult result;
        std::vector<int> fired;
        const char* what;
    } steps[] = {
        {0, 1, ctrlShift, VK_F7, Ok, {1}, "Ctrl+Shift+F7 as 1 fires 1 once"},
        {0, 2, ctrlShift, VK_F7, HotkeyResult::HeldByThisProgram, {1}, "the same keys are refused as 2"},
        {1, 2, ctrlShift, VK_F7, Ok, {2}, "freed, they fire 2 alone"},
        {0, 1, ModNoRepeat | ModAnyModifiers, VK_F7, Ok, {1}, "F7 with any modifiers as 1 takes the press from 2"},
        {2, 0, 0, 0, Ok, {1}, "and keeps it once 2 lets go"},
        {0, 2, ctrlShift, VK_F7, Ok, {1}, "or when 2 comes back under it"},
        {0, 1, ModNoRepeat, VK_F7, Ok, {2}, "F7 alone as 1 gives it back"},
        {1, 2, ctrlShift, VK_F8, Ok, {}, "moving 2 to F8 frees the old keys"},
        {0, 1, ctrlShift, VK_F7, Ok, {1}, "for 1 to take again"},
    };
    for (const auto& step : steps) {
        if (step.freed) s.platform.unregisterHotkey(step.freed);
        const bool registered =
            !step.id || s.platform.registerHotkey(step.id, step.modifiers, step.vk) == step.result;
        s.clear();
        s.inject({s.key(VK_LCONTROL, false), s.key(VK_LSHIFT, false), s.key(VK_F7, false),
                  s.key(VK_F7, true), s.key(VK_LSHIFT, true), s.key(VK_LCONTROL, true)},
                 [&] { return s.keys.size() >= 6; });
        check.that(registered && s.hotkeys == step.fired, step.what);
    }
    s.platform.unregisterHotkey(1);
    s.platform.unregisterHotkey(2);
}

// Runs the native loop with s as the router and returns its status. At a
// tick of s's window timer after done() holds, the tick sets the closing flag
// and posts a message behind itself; a watchdog quits with GaveUpCode.
int runLoop(Checks& check, CaptureSession& s, const std::function<bool()>& done) {
    bool closing = false;
    s.onTimer = [&] {
        if (closing || !done()) return;
        closing = true;
        PostMessageW(s.window, WM_APP, 0, 0);
    };
    SetTimer(s.window, 1, 10, nullptr);
    HANDLE ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread watchdog([&, thread = GetCurrentThreadId()] {
        if (WaitForSingleObject(ended, LoopWatchdogMs) == WAIT_TIMEOUT)
            PostThreadMessageW(thread, WM_QUIT, GaveUpCode, 0);
    });
    s.platform.setListener(nullptr);  // the loop itself must hand the router to the backend
    const int status = runNativeLoop(s.platform, s, [&] { return closing; });
    SetEvent(ended);
    watchdog.join();
    CloseHandle(ended);
    KillTimer(s.window, 1);
    s.onTimer = nullptr;
    s.platform.setListener(&s);
    MSG behind;
    if (closing)
        check.that(PeekMessageW(&behind, s.window, WM_APP, WM_APP, PM_REMOVE),
                   "the loop takes nothing queued behind the close");
    return status;
}

void testNativeLoop(Checks& check, CaptureSession& s) {
    check.group("the native loop");
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
        s.platform.sendInput(mouse(MouseMiddleDown));
        s.platform.sendInput(mouse(MouseMiddleUp));
    });
    const int closed = runLoop(check, s, [&] {
        moved.clear();
        for (const RawMovement& m : s.movements)
            if (m.lastX != 0 || m.lastY != 0) moved.push_back({m.lastX, m.lastY});
        return moved.size() >= moves.size() && s.buttons.size() >= 2;
    });
    sender.join();
    SystemParametersInfoW(SPI_SETMOUSE, 0, saved, 0);
    check.equal(text(moved), text(moves), "relative moves reach the router, a click moves nothing");
    check.equal(closed, NativeLoopClosedStatus,
                "closing, set in the test window's WM_TIMER, ends it");

    // A hotkey registered with no window, pressed on the X display.
    s.platform.registerHotkey(1, ModNoRepeat, VK_F9);
    s.clear();
    if (const char* request = std::getenv(XdotoolRequestVariable))
        std::ofstream(request) << "key q click 2 key F9";
    runLoop(check, s, [&] { return !s.hotkeys.empty() && seen(s).size() >= 6; });
    s.platform.unregisterHotkey(1);
    check.that(s.hotkeys == std::vector<int>{1}, "xdotool's F9 reaches the router as hotkey 1");
    const Seen xdotool = {{MsgKeyDown, 'Q'}, {MsgKeyUp, 'Q'},    {MsgKeyDown, VK_F9},
                          {MsgKeyUp, VK_F9}, {MsgMiddleDown, 0}, {MsgMiddleUp, 0}};
    check.equal(text(seen(s)), text(xdotool), "xdotool's keys and click reach the hooks");
}

void testStopCapture(Checks& check, CaptureSession& s) {
    check.group("stopping capture");
    s.platform.stopCapture();
    s.clear();
    s.inject(
        {s.key('B', false), s.key('B', true), mouse(MouseMove, 0, 3, 3)}, [] { return false; },
        300);
    check.that(s.keys.empty() && s.movements.empty(),
               "no key and no raw movement after stopCapture");
}

}  // namespace

int main() {
    Checks check;
    CaptureSession session;
    testQueries(check, session.platform);
    testAbsoluteMoves(check, session.platform);
    session.platform.startCapture(reinterpret_cast<uintptr_t>(session.window));
    testHooks(check, session);
    testKeyState(check, session);
    testHotkeys(check, session);
    testNativeLoop(check, session);
    testStopCapture(check, session);
    return check.summary();
}
