// The input functions as scripts reach them through the real runner: the
// records that leave its thread, the lines of bad calls from the runner's
// own error report, results handed back to the script, and a stop arriving
// in the middle of a long TypeString.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "input/InputInjector.h"
#include "input/KeyNames.h"
#include "tests/input/RecordLines.h"
#include "tests/script/RunHarness.h"

using testing::ElementsAre;

namespace {

// Only the records sent, as lines; the fake also lists its queries.
std::vector<std::string> sentLines(const platform::FakePlatform& fake) {
    std::vector<std::string> lines;
    for (const std::string& call : fake.calls())
        if (call.rfind("sendInput", 0) == 0)
            lines.push_back(call);
    return lines;
}

class RunnerInput : public testing::Test {
protected:
    void SetUp() override {
        initKeyNames();
        h.platform.setDesktopSize(1920, 1080);
    }
    RunHarness h;
};

TEST_F(RunnerInput, RecordsLeaveTheRunExactlyAndInOrder) {
    EXPECT_EQ(scriptOutput(h, "PressKey('A') ReleaseKey('A')\n"
                              "HitKey('Return', 0, 0)\n"
                              "HitMouseButton('MouseLeft', 0, 0)\n"
                              "SetMousePosition(1919, 0)\n"
                              "MouseWheel(-2)\n"
                              "TypeString('Hi!')"),
              "");
    EXPECT_THAT(sentLines(h.platform),
                ElementsAre(key(0, 0x1E, 0x08), key(0, 0x1E, 0x0A),       // A
                            key(0, 0x1C, 0x08), key(0, 0x1C, 0x0A),       // Return
                            mouse(0, 0, 0, 0x0002), mouse(0, 0, 0, 0x0004),  // left button
                            mouse(65535, 60, 0, 0x8001),                    // absolute move
                            mouse(0, 0, -240, 0x0800),  // wheel toward the user
                            key(0, 0x2A, 0x08), key(0, 0x23, 0x08), key(0, 0x23, 0x0A), key(0, 0x2A, 0x0A),
                            key(0, 0x17, 0x08), key(0, 0x17, 0x0A),
                            key(0, 0x2A, 0x08), key(0, 0x02, 0x08), key(0, 0x02, 0x0A), key(0, 0x2A, 0x0A)));
}

TEST_F(RunnerInput, BadCallsAreLoggedWithTheRunnersCallingLine) {
    EXPECT_EQ(scriptOutput(h, "PressKey('A')\n"
                              "ReleaseKey('A')\n"
                              "PressKey('NoSuchKey')\n"
                              "pcall(PressKeyVK, 65.0)\n"
                              "local function f()\n"
                              "  HitKeyAfterModifier('A', 'Shift', 'x', 1)\n"
                              "end\n"
                              "f()\n"
                              "Log(tostring(KeyPressedVK()))\n"
                              "Log(select('#', KeyPressedVK(65.0)))\n"
                              "coroutine.wrap(function() MouseWheel(true) end)()\n"
                              "HitKey('A', 100)"),
              "Error Line 3: Key not recognized.\n"
              "Error Line -1: Wrong type of arguments, \nExpected: integer\n"
              "Error Line 6: Wrong type of arguments, \nExpected: string, string, double, double\n"
              "Error Line 9: Wrong number of arguments.\n"
              "false"
              "Error Line 10: Wrong type of arguments, \nExpected: int\n"
              "0"
              "Error Line 11: Wrong type of arguments, \nExpected: number\n"
              "Error Line 12: Wrong number of arguments.\n");
    // A key that is not recognised still goes on as code 0; refused calls send nothing.
    EXPECT_THAT(sentLines(h.platform), ElementsAre(key(0, 0x1E, 0x08), key(0, 0x1E, 0x0A), key(0, 0, 0x08)));
}

TEST_F(RunnerInput, ResultsComeBackToTheScript) {
    h.platform.setCursor({12, 34});
    h.platform.setKeyDown(13, true);
    EXPECT_EQ(scriptOutput(h, "local x, y = GetMousePosition() Log(x .. ',' .. y .. ' ')\n"
                              "Log(tostring(KeyPressed('Enter')) .. tostring(KeyReleased('Return')) .. ' ')\n"
                              "Log(tostring(MouseButtonPressed('Enter')) .. ' ')\n"
                              "Log(FromStringToVirtualKey('MouseX2') .. FromVirtualKeyToString(0x15))"),
              "12.0,34.0 truefalse false 6Hanguel");
}

// About 100 ms per character: unstopped this would take some six seconds.
TEST_F(RunnerInput, AStopDuringALongTypeStringSendsTheRestBackToBackAndEndsTheRun) {
    const std::string text = "The quick brown fox jumps over the lazy dog, 1234567890 times!";
    platform::FakePlatform reference;
    InputInjector(reference, [](double) {}).typeString(text);

    Thread* run = h.start("TypeString('" + text + "')\nLog('aft' .. 'er')");
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (h.platform.sentInputs().size() < 4 && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_GE(h.platform.sentInputs().size(), 4u);
    ASSERT_LT(h.platform.sentInputs().size(), reference.sentInputs().size() / 2);

    const auto stopped = std::chrono::steady_clock::now();
    h.manager.stopRun();
    const QString log = h.finish(run);
    // Not a speed figure: the rest must not be paced (seconds) but sent at once.
    EXPECT_LT(secondsSince(stopped), 1.0);
    EXPECT_EQ(h.platform.sentInputs(), reference.sentInputs());
    EXPECT_TRUE(log.contains("Error Stopped execution from gui thread\n")) << log.toStdString();
    EXPECT_FALSE(log.contains("after"));
}

}  // namespace
