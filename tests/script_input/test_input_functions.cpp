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

TEST_F(InputFunctionsTest, KeyArgumentsByNameAndByCode) {
    run("PressKey(5)");           // the number becomes the text 5
    run("PressKey(5.0)");         // the text 5.0 is no key: code 0 goes out
    run("PressKeyVK(65)");
    run("PressKeyVK(65 + 65536)");  // only the low 16 bits count
    run("ReleaseKey('Escape')");  // virtual key only
    EXPECT_THAT(fake().calls(), ElementsAre(key(0, 0x06, 0x08), key(0, 0, 0x08), key(0, 0x1E, 0x08),
                                            key(0, 0x1E, 0x08), key(0x1B, 0, 0x02)));
    EXPECT_THAT(log(), ElementsAre(errorLine(1, KeyUnknown)));
}

TEST_F(InputFunctionsTest, AnUnnamedCodeIsReportedAndStillSent) {
    fake().setScanCode(7, 0x5A);
    run("PressKeyVK(7)\nReleaseKeyVK(300)");
    EXPECT_THAT(fake().calls(), ElementsAre(key(0, 0x5A, 0x08), key(0, 0, 0x0A)));
    EXPECT_THAT(log(), ElementsAre(errorLine(1, KeyUnknown), errorLine(2, KeyUnknown)));
}

TEST_F(InputFunctionsTest, HitSequencesAndTheirWaits) {
    run("HitKey('A', 0, 0)");
    EXPECT_THAT(timeline.lines(), ElementsAre(key(0, 0x1E, 0x08), key(0, 0x1E, 0x0A)));
    timeline.clear();

    run("HitKey('A')");
    EXPECT_THAT(timeline.lines(),
                ElementsAre(key(0, 0x1E, 0x08), "wait 50", key(0, 0x1E, 0x0A), "wait 50"));
    timeline.clear();

    run("HitKeyVK(37, -5, '7.5')");  // Left; a numeric string is a number
    EXPECT_THAT(timeline.lines(), ElementsAre(key(0, 0x4B, 0x09), key(0, 0x4B, 0x0B), "wait 7.5"));
    timeline.clear();

    run("HitMouseButtonVK(5, 120, 0)");
    EXPECT_THAT(timeline.lines(),
                ElementsAre(mouse(0, 0, 1, 0x80), "wait 120", mouse(0, 0, 1, 0x100)));
    EXPECT_THAT(log(), IsEmpty());
}

TEST_F(InputFunctionsTest, ButtonFunctionsSendOnlyForButtons) {
    run("PressMouseButton('Escape')");  // a key, not a button: nothing, silently
    EXPECT_THAT(fake().calls(), IsEmpty());
    EXPECT_THAT(log(), IsEmpty());

    run("PressMouseButton('Nope')");
    EXPECT_THAT(fake().calls(), IsEmpty());
    EXPECT_THAT(log(), ElementsAre(errorLine(1, KeyUnknown)));

    run_double::reset();
    run("HitMouseButton('A')");  // still waits twice
    EXPECT_THAT(timeline.lines(), ElementsAre("wait 50", "wait 50"));

    timeline.clear();
    run("PressMouseButton('MouseRight') ReleaseMouseButtonVK(2)");
    EXPECT_THAT(fake().calls(), ElementsAre(mouse(0, 0, 0, 0x08), mouse(0, 0, 0, 0x10)));
}

TEST_F(InputFunctionsTest, ModifierHitSequence) {
    run("HitKeyAfterModifier('A', 'Control')");
    EXPECT_THAT(timeline.lines(),
                ElementsAre(key(0, 0x1D, 0x08), key(0, 0x1E, 0x08), "wait 50", key(0, 0x1E, 0x0A),
                            "wait 50", key(0, 0x1D, 0x0A)));
    timeline.clear();

    run("HitKeyAfterModifier('Tab', 'Alt', 10, 0)");
    EXPECT_THAT(timeline.lines(), ElementsAre(key(0, 0x38, 0x09), key(9, 0, 0), "wait 10",
                                              key(9, 0, 0x02), key(0, 0x38, 0x0B)));
    EXPECT_THAT(log(), IsEmpty());
}

TEST_F(InputFunctionsTest, ModifierHitReportsBothUnknownNamesAndGoesOn) {
    run("HitKeyAfterModifier('a', 'Ctrl', 0, 0)");
    EXPECT_THAT(log(), ElementsAre(errorLine(1, KeyUnknown),
                                   errorLine(1, "Modifier not recognized.\n")));
    EXPECT_THAT(fake().calls(), ElementsAre(key(0, 0, 0x08), key(0, 0, 0x08), key(0, 0, 0x0A),
                                            key(0, 0, 0x0A)));
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

TEST_F(InputFunctionsTest, TypingTakesTextUpToItsFirstZeroByte) {
    run("TypeString(123)");
    run("TypeString('a\\0b')");
    std::vector<std::string> expected;
    for (int scan : {0x02, 0x03, 0x04, 0x1E}) {
        expected.push_back(key(0, scan, 0x08));
        expected.push_back(key(0, scan, 0x0A));
    }
    EXPECT_EQ(fake().calls(), expected);
}

TEST_F(InputFunctionsTest, TypeCharTypesOnlyTheFirstByte) {
    run("TypeChar('Hello')");
    EXPECT_THAT(fake().calls(), ElementsAre(key(0, 0x2A, 0x08), key(0, 0x23, 0x08),
                                            key(0, 0x23, 0x0A), key(0, 0x2A, 0x0A)));
    fake().clearCalls();
    run("TypeChar('') TypeChar('\\0x')");  // nothing to type, nothing to report
    EXPECT_THAT(fake().calls(), IsEmpty());
    EXPECT_THAT(log(), IsEmpty());
}

TEST_F(InputFunctionsTest, GetMousePositionGivesTwoFloatsWhateverItIsGiven) {
    fake().setCursor({100, 200});
    EXPECT_THAT(results("GetMousePosition()"), ElementsAre("float 100.0", "float 200.0"));
    EXPECT_THAT(results("GetMousePosition(1, 2, 3)"), ElementsAre("float 100.0", "float 200.0"));
    fake().setCursorFails(true);
    EXPECT_THAT(results("GetMousePosition()"), ElementsAre("float 0.0", "float 0.0"));
    EXPECT_THAT(log(), IsEmpty());
}

TEST_F(InputFunctionsTest, PointerFunctionsTruncateTheirNumbers) {
    run("SetMousePosition(0, 0)");
    run("SetMousePosition(959.9, '539')");
    run("SetMousePosition(-0.5, 1e300)");  // toward zero; far off clamps
    run("SetMousePosition(0/0, 0)");      // not a number is 0
    run("ChangeMousePosition(-3.9, 2.9)");
    run("MouseWheel('2') MouseWheel(-0.5)");
    EXPECT_THAT(fake().calls(),
                ElementsAre(mouse(34, 60, 0, 0x8001), mouse(32767, 32767, 0, 0x8001),
                            mouse(34, 2147483647, 0, 0x8001), mouse(34, 60, 0, 0x8001),
                            mouse(-3, 2, 0, 0x0001), mouse(0, 0, 240, 0x800),
                            mouse(0, 0, -60, 0x800)));
}

TEST_F(InputFunctionsTest, MoveAndDragWithoutDuration) {
    fake().setCursor({5, 5});
    run("MoveMouse(1919, 1079, 0)");
    run("DragMouse('0', 0, -1)");
    EXPECT_THAT(fake().calls(),
                ElementsAre("cursorPosition", mouse(65535, 65535, 0, 0x8001), mouse(0, 0, 0, 0x02),
                            "cursorPosition", mouse(34, 60, 0, 0x8001), mouse(0, 0, 0, 0x04)));
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
