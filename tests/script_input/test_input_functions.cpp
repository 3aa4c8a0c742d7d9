// The script input functions run from real Lua states: what they send, the
// exact error lines of bad calls and the values bad calls return.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <lua.hpp>

#include <cstdio>
#include <string>
#include <vector>

#include "input/KeyNames.h"
#include "script/ScriptFunctions.h"
#include "tests/input/RecordLines.h"
#include "tests/input/WaitTimeline.h"
#include "tests/script_input/RunContextDouble.h"

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

const std::string CountError = "Wrong number of arguments.\n";
const std::string KeyUnknown = "Key not recognized.\n";

std::string errorLine(int line, const std::string& message) {
    return "Error Line " + std::to_string(line) + ": " + message;
}
std::string kindError(int line, const std::string& expected) {
    return errorLine(line, "Wrong type of arguments, \nExpected: " + expected + "\n");
}

class InputFunctionsTest : public testing::Test {
protected:
    static void SetUpTestSuite() { initKeyNames(); }

    InputFunctionsTest() : state(luaL_newstate()) {
        run_double::reset();
        luaL_openlibs(state);
        registerScriptFunctions(state);
    }
    ~InputFunctionsTest() override { lua_close(state); }

    // Runs a chunk; any Lua error fails the test (the functions raise none).
    void run(const std::string& chunk) {
        ASSERT_EQ(luaL_dostring(state, chunk.c_str()), LUA_OK) << lua_tostring(state, -1);
        lua_settop(state, 0);
    }

    // The values of "return <call>", each as kind and value.
    std::vector<std::string> results(const std::string& call) {
        lua_settop(state, 0);
        const std::string chunk = "return " + call;
        if (luaL_dostring(state, chunk.c_str()) != LUA_OK) {
            ADD_FAILURE() << call << " raised " << lua_tostring(state, -1);
            return {};
        }
        std::vector<std::string> values;
        for (int i = 1; i <= lua_gettop(state); ++i) values.push_back(describe(i));
        lua_settop(state, 0);
        return values;
    }

    std::string describe(int index) {
        switch (lua_type(state, index)) {
        case LUA_TBOOLEAN: return lua_toboolean(state, index) ? "true" : "false";
        case LUA_TSTRING: return std::string("string ") + lua_tostring(state, index);
        case LUA_TNUMBER: {
            if (lua_isinteger(state, index))
                return "integer " + std::to_string(lua_tointeger(state, index));
            char text[64];
            std::snprintf(text, sizeof text, "float %.1f", lua_tonumber(state, index));
            return text;
        }
        default: return luaL_typename(state, index);
        }
    }

    std::vector<std::string>& log() { return run_double::logLines(); }
    platform::FakePlatform& fake() { return run_double::fake(); }

    lua_State* state;
    WaitTimeline timeline{run_double::fake()};
};

TEST_F(InputFunctionsTest, CountErrorsReportAndReturnTheTabledResults) {
    struct Row {
        const char* call;
        std::vector<std::string> returned;
    };
    const Row rows[] = {
        {"KeyPressed()", {"false"}},
        {"KeyReleased('A', 'B')", {"false"}},
        {"KeyPressedVK()", {"false"}},
        {"KeyReleasedVK(1, 2)", {"false"}},
        {"MouseButtonPressed()", {"false"}},
        {"MouseButtonReleased()", {"false"}},
        {"MouseButtonPressedVK()", {"false"}},
        {"MouseButtonReleasedVK(1, 2)", {"false"}},
        {"FromStringToVirtualKey()", {}},
        {"FromVirtualKeyToString(1, 2)", {}},
        {"PressKey()", {}},
        {"HitKey('A', 100)", {}},
        {"HitKeyVK(65, 1)", {}},
        {"HitMouseButton('MouseLeft', 1, 2, 3)", {}},
        {"HitKeyAfterModifier('A', 'Control', 1)", {}},
        {"HitKeyAfterModifier('A')", {}},
        {"SetMousePosition(1)", {}},
        {"MoveMouse(1, 2)", {}},
        {"DragMouse(1, 2, 3, 4)", {}},
        {"ChangeMousePosition()", {}},
        {"MouseWheel()", {}},
        {"TypeString('a', 'b')", {}},
        {"TypeChar()", {}},
    };
    for (const Row& row : rows) {
        run_double::reset();
        EXPECT_EQ(results(row.call), row.returned) << row.call;
        EXPECT_THAT(log(), ElementsAre(errorLine(1, CountError))) << row.call;
        EXPECT_THAT(fake().calls(), IsEmpty()) << row.call;
        EXPECT_EQ(timeline.waitCount(), 0u) << row.call;
    }
}

TEST_F(InputFunctionsTest, KindErrorsReportTheirFormsMessage) {
    struct Row {
        const char* call;
        const char* expected;  // what follows "Expected: "
        std::vector<std::string> returned;
    };
    const Row rows[] = {
        {"PressKey({})", "string", {}},
        {"ReleaseKey(nil)", "string", {}},
        {"HitKey(true)", "string", {}},
        {"HitKey('A', 'x', 1)", "string, double, double", {}},
        {"HitKey({}, 1, 1)", "string, double, double", {}},
        {"PressKeyVK(65.0)", "integer", {}},
        {"ReleaseKeyVK('65')", "integer", {}},
        {"HitKeyVK(65.0)", "int", {}},
        {"HitKeyVK(65, 1, 'x')", "integer, double, double", {}},
        {"KeyPressed({})", "string", {"false"}},
        {"KeyReleased(true)", "string", {"false"}},
        {"KeyPressedVK(65.0)", "int", {}},
        {"KeyReleasedVK('65')", "int", {}},
        {"TypeString({})", "string", {}},
        {"TypeChar(false)", "string", {}},
        {"HitKeyAfterModifier('A', {})", "string, string", {}},
        {"HitKeyAfterModifier('A', 'Control', 1, {})", "string, string, double, double", {}},
        {"PressMouseButton({})", "string", {}},
        {"ReleaseMouseButton({})", "string", {}},
        {"HitMouseButton('MouseLeft', {}, 1)", "string, double, double", {}},
        {"PressMouseButtonVK(1.0)", "integer", {}},
        {"ReleaseMouseButtonVK('1')", "integer", {}},
        {"HitMouseButtonVK(1.5)", "integer", {}},
        {"HitMouseButtonVK(1, 1, {})", "integer, double, double", {}},
        {"MouseButtonPressed({})", "string", {}},
        {"MouseButtonReleased({})", "string", {}},
        {"MouseButtonPressedVK(1.0)", "integer", {}},
        {"MouseButtonReleasedVK('1')", "integer", {}},
        {"SetMousePosition(1, 'x')", "number, number", {}},
        {"ChangeMousePosition({}, 1)", "number, number", {}},
        {"MoveMouse(1, 2, '3x')", "number, number, number", {}},
        {"DragMouse(nil, 2, 3)", "number, number, number", {}},
        {"MouseWheel(true)", "number", {}},
        {"FromStringToVirtualKey({})", "string", {}},
        {"FromVirtualKeyToString(6.0)", "integer", {}},
    };
    for (const Row& row : rows) {
        run_double::reset();
        EXPECT_EQ(results(row.call), row.returned) << row.call;
        EXPECT_THAT(log(), ElementsAre(kindError(1, row.expected))) << row.call;
        EXPECT_THAT(fake().calls(), IsEmpty()) << row.call;
        EXPECT_EQ(timeline.waitCount(), 0u) << row.call;
    }
}

TEST_F(InputFunctionsTest, ABadCallIsReportedWithItsLineAndTheScriptGoesOn) {
    run("local a = 1\n"
        "\n"
        "PressKey()\n"
        "after = KeyReleased('NoSuchKey')\n");
    EXPECT_THAT(log(), ElementsAre(errorLine(3, CountError), errorLine(4, KeyUnknown)));
    lua_getglobal(state, "after");
    EXPECT_TRUE(lua_toboolean(state, -1));  // code 0 is never down
    EXPECT_THAT(fake().calls(), ElementsAre("asyncKeyState 0"));
}

// A press and release as typing and the default hits send them.
std::vector<std::string> hit(int scan, bool shifted = false) {
    std::vector<std::string> lines = {key(0, scan, 0x08), "wait 50", key(0, scan, 0x0A), "wait 50"};
    if (!shifted) return lines;
    lines.insert(lines.begin(), key(0, 0x2A, 0x08));
    lines.back() = key(0, 0x2A, 0x0A);
    lines.insert(lines.end() - 1, "wait 50");
    return lines;
}
std::vector<std::string> join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> lines;
    for (const auto& part : parts) lines.insert(lines.end(), part.begin(), part.end());
    return lines;
}

// What each call sends, with its waits among the records, and what it logs.
TEST_F(InputFunctionsTest, CallsSendTheirRecordsAndWaits) {
    constexpr int32_t Max = 2147483647, Min = -2147483647 - 1;
    const std::vector<std::string> unknown = {errorLine(1, KeyUnknown)};
    struct Row {
        const char* script;
        std::vector<std::string> lines;
        std::vector<std::string> log = {};
    };
    const Row rows[] = {
        // Keys by their traits: scan code, extended, or virtual key only.
        {"PressKey(5) PressKeyVK(65) PressKeyVK(65 + 65536) ReleaseKey('Escape')",  // only the low 16 bits
         {key(0, 0x06, 0x08), key(0, 0x1E, 0x08), key(0, 0x1E, 0x08), key(0x1B, 0, 0x02)}},
        {"ReleaseKey('Left') PressKey('Tab') ReleaseKey('Tab') PressKey('Enter') ReleaseKey('Enter') "
         "PressKey('Return') PressKey('Alt') PressKey('LAlt')",  // the generic Alt is the right-hand one
         {key(0, 0x4B, 0x0B), key(9, 0, 0x00), key(9, 0, 0x02), key(0, 0x1C, 0x09), key(0, 0x1C, 0x0B),
          key(0, 0x1C, 0x08), key(0, 0x38, 0x09), key(0, 0x38, 0x08)}},
        {"PressKey(5.0)", {key(0, 0, 0x08)}, unknown},  // the text 5.0 is no key
        // Buttons and their mouse data; other codes send nothing.
        {"for _, b in ipairs({1, 2, 4, 5, 6}) do PressMouseButtonVK(b) ReleaseMouseButtonVK(b) end",
         {mouse(0, 0, 0, 0x02), mouse(0, 0, 0, 0x04), mouse(0, 0, 0, 0x08), mouse(0, 0, 0, 0x10),
          mouse(0, 0, 0, 0x20), mouse(0, 0, 0, 0x40), mouse(0, 0, 1, 0x80), mouse(0, 0, 1, 0x100),
          mouse(0, 0, 2, 0x80), mouse(0, 0, 2, 0x100)}},
        {"PressMouseButton('Escape') PressMouseButtonVK(3) ReleaseMouseButtonVK(256) PressMouseButtonVK(65)", {}},
        {"PressMouseButton('Nope')", {}, unknown},
        {"HitMouseButton('A')", {"wait 50", "wait 50"}},  // still waits twice
        // Hits: hold, then wait after; only positive numbers wait.
        {"HitKey('A', 0, 0)", {key(0, 0x1E, 0x08), key(0, 0x1E, 0x0A)}},
        {"HitKey('A')", hit(0x1E)},
        {"HitKeyVK(37, -5, '7.5') HitKey('A', 0/0, 0.5)",  // a numeric string is a number
         {key(0, 0x4B, 0x09), key(0, 0x4B, 0x0B), "wait 7.5", key(0, 0x1E, 0x08), key(0, 0x1E, 0x0A),
          "wait 0.5"}},
        {"HitMouseButtonVK(5, 120, 0)", {mouse(0, 0, 1, 0x80), "wait 120", mouse(0, 0, 1, 0x100)}},
        {"HitKeyAfterModifier('A', 'Control')",
         {key(0, 0x1D, 0x08), key(0, 0x1E, 0x08), "wait 50", key(0, 0x1E, 0x0A), "wait 50", key(0, 0x1D, 0x0A)}},
        {"HitKeyAfterModifier('Tab', 'Alt', 10, 0)",
         {key(0, 0x38, 0x09), key(9, 0, 0), "wait 10", key(9, 0, 0x02), key(0, 0x38, 0x0B)}},
        {"HitKeyAfterModifier('a', 'Ctrl', 0, 0)",  // both names reported, and it goes on
         {key(0, 0, 0x08), key(0, 0, 0x08), key(0, 0, 0x0A), key(0, 0, 0x0A)},
         {errorLine(1, KeyUnknown), errorLine(1, "Modifier not recognized.\n")}},
        // Typing: by case, up to the first zero byte, and only bytes that have a key.
        {"TypeString(123) TypeString('a\\0b')", join({hit(0x02), hit(0x03), hit(0x04), hit(0x1E)})},
        {"TypeString('Hi!')", join({hit(0x23, true), hit(0x17), hit(0x02, true)})},
        {"TypeChar('Hello') TypeChar('') TypeChar('\\0x') TypeChar('\\n') TypeChar('\\t')",
         join({hit(0x23, true), hit(0x1C), {key(9, 0, 0x00), "wait 50", key(9, 0, 0x02), "wait 50"}})},
        {"TypeString('\\r\\127\\31\\195\\169')", {}},
        // Pointer: truncated toward zero, normalised on the desktop, clamped far off.
        {"SetMousePosition(0, 0) SetMousePosition(959.9, '539') SetMousePosition(1919, 1079) "
         "SetMousePosition(-1, -1) SetMousePosition(-0.5, 1e300) SetMousePosition(0/0, 0) "
         "SetMousePosition(2147483647, -2147483648)",
         {mouse(34, 60, 0, 0x8001), mouse(32767, 32767, 0, 0x8001), mouse(65535, 65535, 0, 0x8001),
          mouse(0, 0, 0, 0x8001), mouse(34, Max, 0, 0x8001), mouse(34, 60, 0, 0x8001),
          mouse(Max, Min, 0, 0x8001)}},
        {"ChangeMousePosition(-3.9, 2.9) ChangeMousePosition(-100000, 0)",
         {mouse(-3, 2, 0, 0x0001), mouse(-100000, 0, 0, 0x0001)}},
        // 2.9999999 is 3.0 as a float, so a whole 360.
        {"for _, n in ipairs({'2', -0.5, 0.5, 0.004, 2.9999999, 1e30, -1e300, 0/0}) do MouseWheel(n) end",
         {mouse(0, 0, 240, 0x800), mouse(0, 0, -60, 0x800), mouse(0, 0, 60, 0x800), mouse(0, 0, 0, 0x800),
          mouse(0, 0, 360, 0x800), mouse(0, 0, Max, 0x800), mouse(0, 0, Min, 0x800), mouse(0, 0, 0, 0x800)}},
        // Without a duration a glide is one move; a drag holds the left button around it.
        {"MoveMouse(1919, 1079, 0) MoveMouse(0, 0, -5) MoveMouse(0, 0, 0/0) DragMouse('0', 0, -1)",
         {"cursorPosition", mouse(65535, 65535, 0, 0x8001), "cursorPosition", mouse(34, 60, 0, 0x8001),
          "cursorPosition", mouse(34, 60, 0, 0x8001), mouse(0, 0, 0, 0x02), "cursorPosition",
          mouse(34, 60, 0, 0x8001), mouse(0, 0, 0, 0x04)}},
    };
    for (const Row& row : rows) {
        timeline.clear();
        log().clear();
        run(row.script);
        EXPECT_EQ(timeline.lines(), row.lines) << row.script;
        EXPECT_EQ(log(), row.log) << row.script;
    }
}

TEST_F(InputFunctionsTest, AnUnnamedCodeIsReportedAndStillSent) {
    fake().setScanCode(7, 0x5A);
    fake().setScanCode(300, 0x1E);  // a code above the vocabulary names no key, whatever the platform says
    run("PressKeyVK(7)\nReleaseKeyVK(300)");
    EXPECT_THAT(fake().calls(), ElementsAre(key(0, 0x5A, 0x08), key(0, 0, 0x0A)));
    EXPECT_THAT(log(), ElementsAre(errorLine(1, KeyUnknown), errorLine(2, KeyUnknown)));
}

TEST_F(InputFunctionsTest, AbsoluteMovesReadTheDesktopEachTimeAndNeedOne) {
    run("SetMousePosition(399, 299)");
    fake().setDesktopSize(800, 600);  // a screen change after the run started
    run("SetMousePosition(399, 299)");
    fake().setDesktopSize(0, 1080);
    run("SetMousePosition(10, 10) MoveMouse(10, 10, 0)");
    fake().setDesktopSize(1920, 1080);
    EXPECT_THAT(fake().calls(), ElementsAre(mouse(13653, 18204, 0, 0x8001), mouse(32767, 32767, 0, 0x8001),
                                            "cursorPosition"));
}

TEST_F(InputFunctionsTest, GlidesGoFromTheCursorOrTheOriginToTheTarget) {
    auto moves = [&] {
        std::vector<platform::MouseInput> records;
        for (const platform::InputRecord& r : fake().sentInputs())
            if (r.type == platform::InputRecord::Mouse) records.push_back(r.mouse);
        fake().clearCalls();
        return records;
    };
    fake().setCursor({0, 539});
    run("MoveMouse(1919, 539, 40)");
    std::vector<platform::MouseInput> glide = moves();
    ASSERT_GE(glide.size(), 3u);  // start, at least one step between, target
    EXPECT_EQ(glide.front(), (platform::MouseInput{34, 32767, 0, 0x8001}));
    EXPECT_EQ(glide.back(), (platform::MouseInput{65535, 32767, 0, 0x8001}));
    for (std::size_t i = 1; i < glide.size(); ++i) {
        EXPECT_GE(glide[i].dx, glide[i - 1].dx) << "step " << i;
        EXPECT_EQ(glide[i].dy, 32767) << "step " << i;
    }
    EXPECT_GT(glide[glide.size() - 2].dx, glide.front().dx);

    fake().setCursor({500, 500});
    fake().setCursorFails(true);
    run("DragMouse(1919, 1079, 10)");
    fake().setCursorFails(false);
    glide = moves();
    ASSERT_GE(glide.size(), 4u);
    EXPECT_EQ(glide.front(), (platform::MouseInput{0, 0, 0, 0x02}));
    EXPECT_EQ(glide[1], (platform::MouseInput{34, 60, 0, 0x8001}));
    EXPECT_EQ(glide[glide.size() - 2], (platform::MouseInput{65535, 65535, 0, 0x8001}));
    EXPECT_EQ(glide.back(), (platform::MouseInput{0, 0, 0, 0x04}));
}

TEST_F(InputFunctionsTest, KeyStateTestsAndTheKeypadEnter) {
    fake().setKeyDown(13, true);
    fake().setKeyDown(1, true);
    EXPECT_THAT(results("KeyPressed('Enter')"), ElementsAre("true"));
    EXPECT_THAT(results("KeyPressed('Return')"), ElementsAre("true"));
    EXPECT_THAT(results("KeyReleasedVK(256)"), ElementsAre("false"));
    EXPECT_THAT(results("MouseButtonPressed('Enter')"), ElementsAre("false"));
    EXPECT_THAT(results("MouseButtonPressedVK(1)"), ElementsAre("true"));
    EXPECT_THAT(results("MouseButtonReleased('MouseLeft')"), ElementsAre("false"));
    EXPECT_THAT(results("MouseButtonPressed('Return')"), ElementsAre("true"));
    EXPECT_THAT(results("KeyReleased('A')"), ElementsAre("true"));
    EXPECT_THAT(fake().calls(),
                ElementsAre("asyncKeyState 13", "asyncKeyState 13", "asyncKeyState 13",
                            "asyncKeyState 256", "asyncKeyState 1", "asyncKeyState 1",
                            "asyncKeyState 13", "asyncKeyState 65"));
    EXPECT_THAT(log(), IsEmpty());
}

TEST_F(InputFunctionsTest, AnUnknownKeyIsAskedAsCodeZero) {
    fake().setKeyDown(0, true);  // even a platform that answers for 0
    EXPECT_THAT(results("KeyPressed('x')"), ElementsAre("true"));
    EXPECT_THAT(results("KeyPressedVK(7)"), ElementsAre("false"));
    EXPECT_THAT(fake().calls(), ElementsAre("asyncKeyState 0", "asyncKeyState 7"));
    EXPECT_THAT(log(), ElementsAre(errorLine(1, KeyUnknown), errorLine(1, KeyUnknown)));
}

TEST_F(InputFunctionsTest, GetMousePositionGivesTwoFloatsWhateverItIsGiven) {
    fake().setCursor({100, 200});
    EXPECT_THAT(results("GetMousePosition()"), ElementsAre("float 100.0", "float 200.0"));
    EXPECT_THAT(results("GetMousePosition(1, 2, 3)"), ElementsAre("float 100.0", "float 200.0"));
    fake().setCursorFails(true);
    EXPECT_THAT(results("GetMousePosition()"), ElementsAre("float 0.0", "float 0.0"));
    EXPECT_THAT(log(), IsEmpty());
}

TEST_F(InputFunctionsTest, ConversionsBetweenNamesAndCodes) {
    EXPECT_THAT(results("FromStringToVirtualKey('MouseX2')"), ElementsAre("integer 6"));
    EXPECT_THAT(results("FromStringToVirtualKey('mousex2')"), ElementsAre("integer 0"));
    EXPECT_THAT(results("FromStringToVirtualKey('Enter')"), ElementsAre("integer 256"));
    EXPECT_THAT(results("FromStringToVirtualKey(7)"), ElementsAre("integer 55"));  // the text 7
    EXPECT_THAT(results("FromVirtualKeyToString(0x15)"), ElementsAre("string Hanguel"));
    EXPECT_THAT(results("FromVirtualKeyToString(300)"), ElementsAre("string "));
    EXPECT_THAT(results("FromVirtualKeyToString(65 + 65536)"), ElementsAre("string A"));
    EXPECT_THAT(log(), IsEmpty());
    EXPECT_THAT(fake().calls(), IsEmpty());
}

}  // namespace
