// The script functions as a run reaches them: the runner's line for a bad
// call and the sleeps' and Log's argument checks; what a run leaves pressed
// by how it ends, and os.exit ending the run.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "tests/input/RecordLines.h"
#include "tests/script/RunHarness.h"

using testing::ElementsAre;

namespace {

std::vector<std::string> sentLines(const platform::FakePlatform& fake) {
    std::vector<std::string> lines;
    for (const std::string& call : fake.calls())
        if (call.rfind("sendInput", 0) == 0) lines.push_back(call);
    return lines;
}

const std::string Count = "Wrong number of arguments.\n";
std::string kind(const std::string& expected) { return "Wrong type of arguments, \nExpected: " + expected + "\n"; }

// The runner reports each bad call at its row's first line, in the Lua
// function that made it, and the run goes on; a bad sleep does not pause
// (these would take an hour, a minute, half a minute).
TEST(ArgumentChecks, BadCallsAreReportedAtTheirLineAndNeitherSendNorWait) {
    const struct {
        std::string call, message;
    } rows[] = {
        {"HourSleep(1, 2)", Count}, {"MinSleep('1x')", kind("number")}, {"SecSleep(30, 2)", Count},
        {"MilliSleep({})", kind("number")}, {"MicroSleep(nil)", kind("number")}, {"NanoSleep()", Count},
        {"NanoSleep('1e9x')", kind("number")}, {"Log()", Count}, {"Log('a', 'b')", Count},
        {"Log({})", kind("string")}, {"Log(nil)", kind("string")}, {"PressKeyVK(65.0)", kind("integer")},
        {"coroutine.wrap(function() MouseWheel(true)\nend)()", kind("number")},
        {";(function() HitKey('A', 'x', 1)\nend)()", kind("string, double, double")},
        {"pcall(MilliSleep)", Count},  // called by no Lua function
    };
    std::string script = "local a";
    std::string expected;
    int line = 1;
    for (const auto& row : rows) {
        script += "\n" + row.call;
        ++line;
        expected += "Error Line " + std::to_string(row.call.rfind("pcall", 0) ? line : -1) + ": " + row.message;
        line += std::count(row.call.begin(), row.call.end(), '\n');
    }
    RunHarness h;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(scriptOutput(h, script + "\nLog('on')").toStdString(), expected + "on");
    EXPECT_LT(secondsSince(start), 10);
    EXPECT_THAT(sentLines(h.platform), testing::IsEmpty());
}

// A finished run (also one ended by os.exit, which pcall cannot catch)
// keeps what it holds, and a later run leaves that alone; a stopped or
// failed one releases what it still holds, newest first.
TEST(HeldInput, ARunEndedByAStopOrAnErrorReleasesWhatItStillHolds) {
    RunHarness h;
    scriptOutput(h, "PressKey('LControl')");
    const std::string exits = "PressKey('LAlt') pcall(os.exit, 3) Log('never')";
    EXPECT_EQ(h.run(exits).toStdString(), "-- Loading: TABLE\n" + exits + "\n-- Script called os.exit(3): run ended\n\n");
    EXPECT_EQ(h.manager.current()->exitStatus(), 3);
    EXPECT_THAT(sentLines(h.platform), ElementsAre(key(0, 0x1D, 0x08), key(0, 0x38, 0x08)));

    h.platform.clearCalls();
    EXPECT_TRUE(h.stopAfterGo("PressKey('A') PressKey('LShift') ReleaseKey('A') PressMouseButton('MouseRight')\n"
                              "Log('go' .. '!') while true do end")
                    .contains("Error Stopped execution from gui thread\n"));
    EXPECT_THAT(sentLines(h.platform),
                ElementsAre(key(0, 0x1E, 0x08), key(0, 0x2A, 0x08), key(0, 0x1E, 0x0A),
                            mouse(0, 0, 0, 0x08), mouse(0, 0, 0, 0x10), key(0, 0x2A, 0x0A)));

    h.platform.clearCalls();
    EXPECT_TRUE(h.run("PressMouseButton('MouseX2') PressKey('RShift') error('x')").contains("x\n"));
    EXPECT_THAT(sentLines(h.platform), ElementsAre(mouse(0, 0, 2, 0x80), key(0, 0x36, 0x08),
                                                   key(0, 0x36, 0x0A), mouse(0, 0, 2, 0x100)));
}

}  // namespace
