// The script input functions run from real Lua states, with this file
// standing in for their run (ScriptContext.h): what each call sends and
// queries, with its waits among the records, what it logs and returns.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <lua.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "input/InjectionContext.h"
#include "input/InputInjector.h"
#include "platform/fake/FakePlatform.h"
#include "script/ScriptContext.h"
#include "script/ScriptFunctions.h"

using testing::ElementsAre;

namespace {

platform::FakePlatform& fake() {
    static platform::FakePlatform platform;
    return platform;
}
std::vector<std::string>& logLines() {
    static std::vector<std::string> lines;
    return lines;
}

// Lends the functions their pauses and puts each among the fake's calls as
// "wait N". A pause sleeps at most a glide's step, so glides keep their pace.
class WaitTimeline final : public InjectionContext {
public:
    bool pause(double ms) override {
        waits.emplace_back(fake().calls().size(), "wait " + QString::number(ms).toStdString());
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(std::min(ms, GlideStepPause)));
        return true;
    }
    bool interrupted() const override { return false; }
    HeldInputs* heldInputs() override { return &held; }
    std::vector<std::string> lines() const {
        std::vector<std::string> merged = fake().calls();
        for (auto w = waits.rbegin(); w != waits.rend(); ++w) merged.insert(merged.begin() + w->first, w->second);
        return merged;
    }
    std::vector<std::pair<std::size_t, std::string>> waits;
    HeldInputs held;
};
WaitTimeline& timeline() {
    static WaitTimeline lent;
    return lent;
}

}  // namespace

platform::Platform& scriptPlatform() { return fake(); }
void appendLog(const QString& text) { logLines().push_back(text.toStdString()); }
void logScriptError(lua_State*, std::string message) { appendLog(QString::fromStdString("Error " + message)); }
InjectionContext& scriptInjection() { return timeline(); }

namespace {

// The fake's calls in short: k<scan>+/- a key by scan code pressed/released
// (x<scan>: extended), v<vk>+/- by virtual key only (both hex), a<x>,<y> an
// absolute move, m<dx>,<dy>,<data>,<hex flags> a mouse record, w<ms> a wait,
// q<code> a key state query, c the cursor query.
std::string key(int vk, int scan, int flags) {
    return "sendInput key vk=" + std::to_string(vk) + " scan=" + std::to_string(scan) + " flags=" + std::to_string(flags);
}
std::string mouse(long dx, long dy, long data, unsigned long flags) {
    return "sendInput mouse dx=" + std::to_string(dx) + " dy=" + std::to_string(dy) + " data=" + std::to_string(data) +
           " flags=" + std::to_string(flags);
}

std::vector<std::string> calls(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string t; in >> t;) {
        const int up = t.back() == '-' ? 0x02 : 0;
        const std::string n = t.substr(1);
        long a = 0, b = 0, c = 0;
        unsigned long d = 0;
        std::sscanf(n.c_str(), t[0] == 'm' ? "%ld,%ld,%ld,%lx" : "%ld,%ld", &a, &b, &c, &d);
        switch (t[0]) {
        case 'k': lines.push_back(key(0, std::stoi(n, nullptr, 16), 0x08 | up)); break;
        case 'x': lines.push_back(key(0, std::stoi(n, nullptr, 16), 0x09 | up)); break;
        case 'v': lines.push_back(key(std::stoi(n, nullptr, 16), 0, up)); break;
        case 'a': lines.push_back(mouse(a, b, 0, 0x8001)); break;
        case 'm': lines.push_back(mouse(a, b, c, d)); break;
        case 'w': lines.push_back("wait " + n); break;
        case 'q': lines.push_back("asyncKeyState " + n); break;
        case 'c': lines.push_back("cursorPosition"); break;
        }
    }
    return lines;
}

class InputFunctions : public testing::Test {
protected:
    InputFunctions() : state(luaL_newstate()) {
        luaL_openlibs(state);
        registerScriptFunctions(state);
        run("function show(...) local t = {} for i = 1, select('#', ...) do t[i] = tostring((select(i, ...))) end "
            "Log(table.concat(t, ' ')) end");
    }
    ~InputFunctions() override { lua_close(state); }

    void run(const std::string& chunk) {
        fake().clearCalls();
        timeline().waits.clear();
        logLines().clear();
        ASSERT_EQ(luaL_dostring(state, chunk.c_str()), LUA_OK) << lua_tostring(state, -1);
    }

    lua_State* state;
};

const std::string N = "Wrong number of arguments.\n";
std::string T(const std::string& expected) { return "Wrong type of arguments, \nExpected: " + expected + "\n"; }

// A refused call sends, queries and waits for nothing; the key state tests
// still answer false where their form says so.
TEST_F(InputFunctions, BadCallsAreReportedAndReturnTheirDefault) {
    const struct {
        std::string call, message, returned = "";
    } rows[] = {
        {"KeyPressed()", N, "false"}, {"KeyReleased('A', 'B')", N, "false"}, {"KeyPressedVK()", N, "false"},
        {"KeyReleasedVK(1, 2)", N, "false"}, {"MouseButtonPressed()", N, "false"}, {"MouseButtonReleased()", N, "false"},
        {"MouseButtonPressedVK()", N, "false"}, {"MouseButtonReleasedVK(1, 2)", N, "false"},
        {"KeyPressed({})", T("string"), "false"}, {"KeyReleased(true)", T("string"), "false"},
        {"KeyPressedVK(65.0)", T("int")}, {"KeyReleasedVK('65')", T("int")}, {"MouseButtonPressed({})", T("string")},
        {"MouseButtonReleased({})", T("string")}, {"MouseButtonPressedVK(1.0)", T("integer")},
        {"MouseButtonReleasedVK('1')", T("integer")}, {"FromStringToVirtualKey()", N},
        {"FromStringToVirtualKey({})", T("string")}, {"FromVirtualKeyToString(1, 2)", N},
        {"FromVirtualKeyToString(6.0)", T("integer")}, {"PressKey()", N}, {"PressKey({})", T("string")},
        {"ReleaseKey(nil)", T("string")}, {"HitKey('A', 100)", N}, {"HitKey(true)", T("string")},
        {"HitKey('A', 'x', 1)", T("string, double, double")}, {"HitKey({}, 1, 1)", T("string, double, double")},
        {"PressKeyVK(65.0)", T("integer")}, {"ReleaseKeyVK('65')", T("integer")}, {"HitKeyVK(65, 1)", N},
        {"HitKeyVK(65.0)", T("int")}, {"HitKeyVK(65, 1, 'x')", T("integer, double, double")},
        {"TypeString('a', 'b')", N}, {"TypeString({})", T("string")}, {"TypeChar()", N}, {"TypeChar(false)", T("string")},
        {"HitKeyAfterModifier('A', 'Control', 1)", N}, {"HitKeyAfterModifier('A')", N},
        {"HitKeyAfterModifier('A', {})", T("string, string")},
        {"HitKeyAfterModifier('A', 'Control', 1, {})", T("string, string, double, double")},
        {"PressMouseButton({})", T("string")}, {"ReleaseMouseButton({})", T("string")},
        {"HitMouseButton('MouseLeft', 1, 2, 3)", N}, {"HitMouseButton('MouseLeft', {}, 1)", T("string, double, double")},
        {"PressMouseButtonVK(1.0)", T("integer")}, {"ReleaseMouseButtonVK('1')", T("integer")},
        {"HitMouseButtonVK(1.5)", T("integer")}, {"HitMouseButtonVK(1, 1, {})", T("integer, double, double")},
        {"SetMousePosition(1)", N}, {"SetMousePosition(1, 'x')", T("number, number")}, {"ChangeMousePosition()", N},
        {"ChangeMousePosition({}, 1)", T("number, number")}, {"MoveMouse(1, 2)", N}, {"DragMouse(1, 2, 3, 4)", N},
        {"MoveMouse(1, 2, '3x')", T("number, number, number")}, {"DragMouse(nil, 2, 3)", T("number, number, number")},
        {"MouseWheel()", N}, {"MouseWheel(true)", T("number")},
    };
    for (const auto& row : rows) {
        run("show(" + row.call + ")");
        EXPECT_THAT(logLines(), ElementsAre("Error " + row.message, row.returned)) << row.call;
        EXPECT_THAT(timeline().lines(), testing::IsEmpty()) << row.call;
    }
}

// What the desktop lacks is reported as a bad call is, and the script goes on.
TEST_F(InputFunctions, ServicesTheDesktopLacksAreReportedAndAnswerTheirDefault) {
    fake().setMissing(platform::Service::KeyState, "no key state");
    fake().setMissing(platform::Service::PointerPosition, "no pointer");
    fake().setCursorFails(true);
    run("show(KeyPressed('A'), MouseButtonReleasedVK(1)) show(GetMousePosition()) show('on')");
    const std::string lacks = " is not available on this desktop: ";
    EXPECT_THAT(logLines(), ElementsAre("Error KeyPressed" + lacks + "no key state.\n",
                                        "Error MouseButtonReleasedVK" + lacks + "no key state.\n", "false false",
                                        "Error GetMousePosition" + lacks + "no pointer.\n", "0.0 0.0", "on"));
    EXPECT_THAT(timeline().lines(), ElementsAre("cursorPosition"));
    for (auto service : {platform::Service::KeyState, platform::Service::PointerPosition}) fake().setMissing(service, {});
    fake().setCursorFails(false);
}

TEST_F(InputFunctions, CallsSendAndQueryTheirRecordsWithTheirWaits) {
    fake().setKeyDown(13, true);
    fake().setKeyDown(1, true);
    fake().setCursor({100, 200});
    fake().setScanCode(7, 0x5A);
    fake().setScanCode(300, 0x1E);  // a code above the vocabulary names no key, whatever the platform says
    const std::string Unknown = "Error Key not recognized.\n";
    const struct {
        const char* script;
        std::string calls;
        std::vector<std::string> log = {};
    } rows[] = {
        // Keys by their traits: scan code, extended, or virtual key only; a VK's low 16 bits.
        {"PressKey(5) PressKeyVK(65) PressKeyVK(65 + 65536) ReleaseKey('Escape')", "k06+ k1E+ k1E+ v1B-"},
        {"ReleaseKey('Left') PressKey('Tab') ReleaseKey('Tab') PressKey('Enter') ReleaseKey('Enter') "
         "PressKey('Return') PressKey('Alt') PressKey('LAlt')",  // the generic Alt is the right-hand one
         "x4B- v9+ v9- x1C+ x1C- k1C+ x38+ k38+"},
        {"PressKey(5.0)", "k0+", {Unknown}},  // the text 5.0 is no key
        {"PressKeyVK(7) ReleaseKeyVK(300)", "k5A+ k0-", {Unknown, Unknown}},
        // Buttons and their mouse data; other codes send nothing.
        {"for _, b in ipairs({1, 2, 4, 5, 6}) do PressMouseButtonVK(b) ReleaseMouseButtonVK(b) end",
         "m0,0,0,2 m0,0,0,4 m0,0,0,8 m0,0,0,10 m0,0,0,20 m0,0,0,40 m0,0,1,80 m0,0,1,100 m0,0,2,80 m0,0,2,100"},
        {"PressMouseButton('Escape') PressMouseButtonVK(3) ReleaseMouseButtonVK(256) PressMouseButtonVK(65)", ""},
        {"PressMouseButton('Nope')", "", {Unknown}},
        {"HitMouseButton('A')", "w50 w50"},  // still waits twice
        // Hits: hold, then wait after; only positive numbers wait; a numeric string is a number.
        {"HitKey('A', 0, 0) HitKey('A')", "k1E+ k1E- k1E+ w50 k1E- w50"},
        {"HitKeyVK(37, -5, '7.5') HitKey('A', 0/0, 0.5)", "x4B+ x4B- w7.5 k1E+ k1E- w0.5"},
        {"HitMouseButtonVK(5, 120, 0)", "m0,0,1,80 w120 m0,0,1,100"},
        {"HitKeyAfterModifier('A', 'Control')", "k1D+ k1E+ w50 k1E- w50 k1D-"},
        {"HitKeyAfterModifier('Tab', 'Alt', 10, 0)", "x38+ v9+ w10 v9- x38-"},
        {"HitKeyAfterModifier('a', 'Ctrl', 0, 0)",  // both names reported, and it goes on
         "k0+ k0+ k0- k0-", {Unknown, "Error Modifier not recognized.\n"}},
        // Typing: by case, up to the first zero byte, and only bytes that have a key.
        {"TypeString(123) TypeString('a\\0b')", "k02+ w50 k02- w50 k03+ w50 k03- w50 k04+ w50 k04- w50 k1E+ w50 k1E- w50"},
        {"TypeString('H!')", "k2A+ k23+ w50 k23- w50 k2A- k2A+ k02+ w50 k02- w50 k2A-"},
        {"TypeChar('Hello') TypeChar('') TypeChar('\\0x') TypeChar('\\n') TypeChar('\\t')",
         "k2A+ k23+ w50 k23- w50 k2A- k1C+ w50 k1C- w50 v9+ w50 v9- w50"},
        {"TypeString('\\r\\127\\31\\195\\169')", ""},
        // Pointer: truncated toward zero, normalised on the desktop, clamped far off.
        {"SetMousePosition(0, 0) SetMousePosition(959.9, '539') SetMousePosition(1919, 1079) "
         "SetMousePosition(-1, -1) SetMousePosition(-0.5, 1e300) SetMousePosition(0/0, 0) "
         "SetMousePosition(2147483647, -2147483648)",
         "a34,60 a32767,32767 a65535,65535 a0,0 a34,2147483647 a34,60 a2147483647,-2147483648"},
        {"ChangeMousePosition(-3.9, 2.9) ChangeMousePosition(-100000, 0)", "m-3,2,0,1 m-100000,0,0,1"},
        // 2.9999999 is 3.0 as a float, so a whole 360.
        {"for _, n in ipairs({'2', -0.5, 0.5, 0.004, 2.9999999, 1e30, -1e300, 0/0}) do MouseWheel(n) end",
         "m0,0,240,800 m0,0,-60,800 m0,0,60,800 m0,0,0,800 m0,0,360,800 m0,0,2147483647,800 "
         "m0,0,-2147483648,800 m0,0,0,800"},
        // Without a duration a glide is one move; a drag holds the left button around it.
        {"MoveMouse(1919, 1079, 0) MoveMouse(0, 0, -5) MoveMouse(0, 0, 0/0) DragMouse('0', 0, -1)",
         "c a65535,65535 c a34,60 c a34,60 m0,0,0,2 c a34,60 m0,0,0,4"},
        {"show(GetMousePosition(1, 2, 3))", "c", {"100.0 200.0"}},
        // The keypad Enter is asked as Enter only for keys; an unknown name is asked as code 0.
        {"show(KeyPressed('Enter'), KeyPressed('Return'), KeyReleasedVK(256), MouseButtonPressed('Enter'), "
         "MouseButtonPressedVK(1), MouseButtonReleased('MouseLeft'), MouseButtonPressed('Return'), KeyReleased('A'))",
         "q13 q13 q13 q256 q1 q1 q13 q65", {"true true false false true false true true"}},
        {"show(KeyPressed('x'), KeyPressedVK(7))", "q0 q7", {Unknown, Unknown, "false false"}},
        {"show(FromStringToVirtualKey('MouseX2'), FromStringToVirtualKey('mousex2'), FromStringToVirtualKey('Enter'), "
         "FromStringToVirtualKey(7), FromVirtualKeyToString(0x15), FromVirtualKeyToString(300), "
         "FromVirtualKeyToString(65 + 65536))",  // 7 is the text 7
         "", {"6 0 256 55 Hanguel  A"}},
    };
    for (const auto& row : rows) {
        run(row.script);
        EXPECT_EQ(timeline().lines(), calls(row.calls)) << row.script;
        EXPECT_EQ(logLines(), row.log) << row.script;
    }
}

TEST_F(InputFunctions, AbsoluteMovesReadTheDesktopEachTimeAndGlideFromTheOriginWithoutACursor) {
    run("SetMousePosition(399, 299)");
    EXPECT_EQ(timeline().lines(), calls("a13653,18204"));
    fake().setDesktopSize(800, 600);  // a screen change after the run started
    run("SetMousePosition(399, 299)");
    EXPECT_EQ(timeline().lines(), calls("a32767,32767"));
    fake().setDesktopSize(0, 1080);
    run("SetMousePosition(10, 10) MoveMouse(10, 10, 0)");
    EXPECT_EQ(timeline().lines(), calls("c"));
    fake().setDesktopSize(1920, 1080);

    fake().setCursor({500, 500});
    fake().setCursorFails(true);
    run("DragMouse(1919, 1079, 10) show(GetMousePosition())");
    fake().setCursorFails(false);
    const std::vector<std::string> sent = timeline().lines();
    ASSERT_GE(sent.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(sent.begin(), sent.begin() + 3), calls("m0,0,0,2 c a34,60"));
    EXPECT_EQ(std::vector<std::string>(sent.end() - 3, sent.end()), calls("a65535,65535 m0,0,0,4 c"));
    EXPECT_THAT(logLines(), ElementsAre("0.0 0.0"));
}

}  // namespace
