// Whole runs: the log of each mode byte for byte, error reports, the memory
// ceiling, the log channel, numbers under a foreign locale, the manager's
// keeping and ending of threads, the runner's line for a bad call, and
// what a run leaves pressed by how it ends (os.exit included).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <fstream>

#include "RunHarness.h"
#include "script/RunLog.h"
#include "tests/input/RecordLines.h"

using testing::ElementsAre;

namespace {

// Logs "go!" and then keeps the run busy for 0.3 s where no stop reaches:
// finalizers run with hooks off.
const std::string Count = "Wrong number of arguments.\n", Type = "Wrong type of arguments, \nExpected: ";
const std::string BusyWhereNoStopReaches =
    "setmetatable({}, {__gc = function() Log(\"go\" .. \"!\") "
    "local t0 = os.clock() while os.clock() - t0 < 0.3 do end end}) collectgarbage()";

// A single run ignores the repeat count; a loop keeps its globals between
// executions and the next run starts afresh; errors by their text, or by
// their type without one; Log writes Lua's text form without a line end.
// Qt sets the C library's locale from the environment, where a German one
// writes 5,5: every run keeps "." for itself.
TEST(RunModes, TableRunsLogTheirModeAndOutcome) {
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "the de_DE.UTF-8 locale is missing: run scripts/setup.sh";
    const std::string bomb = "t = {} while true do t[#t + 1] = string.rep(\"x\", 1e6) end";
    const struct {
        bool loop;
        int repeat;
        std::string script, output;
    } cases[] = {
        {false, 3, "Log(\"x\\n\")\nLog(1 + 1)", "x\n2"},
        {true, 3, "counter = (counter or 0) + 1 Log(counter)", "Looping...\n123"},
        {true, 3, "counter = (counter or 0) + 1 Log(counter)", "Looping...\n123"},
        {false, 1, "Log(5.5) Log(' ') Log(3.0) Log(' ') Log(2^53) Log(-0.0) Log(\"a\\0b\") Log(\"gr\\xC3\\xBC\\n\")",
         "5.5 3.0 9.007199254741e+15-0.0agr\xC3\xBC\n"},
        {false, 1, "Log(string.format('%.2f', 1.5) .. tonumber('2.5') * 2 .. tostring(tonumber('2,5')))", "1.505.0nil"},
        {false, 1, "Log((", "Error [string \"Log((\"]:1: unexpected symbol near <eof>\n"},
        {true, 1, "error({})", "Looping...\nError (error object is a table value)\n"},
        {true, 1, "error()", "Looping...\nError (error object is a nil value)\n"},
        {true, 1, "error(42, 0)", "Looping...\nError 42\n"},
        // A __tostring that fails must not be called outside a protected call.
        {true, 1, "error(setmetatable({}, {__tostring = function() error('no') end}))",
         "Looping...\nError (error object is a table value)\n"},
        {false, 1, bomb, "Error not enough memory\n"},
        // Bad calls at the line of the Lua function that made them (-1 for none), and the run goes on;
        // a bad sleep does not pause (these would outlast the harness's limit on a run).
        {false, 1, "HourSleep(1, 2) MinSleep('1x')\nSecSleep(600, 2) MilliSleep({}) MicroSleep(nil)\n"
                   "NanoSleep() NanoSleep('1e9x') Log() Log('a', 'b') Log({}) Log(nil) pcall(MilliSleep)\n"
                   "coroutine.wrap(function() MouseWheel(true)\nend)() PressKeyVK(65.0) Log('on')",
         "Error Line 1: " + Count + "Error Line 1: " + Type + "number\nError Line 2: " + Count + "Error Line 2: " +
             Type + "number\nError Line 2: " + Type + "number\nError Line 3: " + Count + "Error Line 3: " + Type +
             "number\nError Line 3: " + Count + "Error Line 3: " + Count + "Error Line 3: " + Type +
             "string\nError Line 3: " + Type + "string\nError Line -1: " + Count + "Error Line 4: " + Type +
             "number\nError Line 5: " + Type + "integer\non"},
    };
    RunHarness h;
    h.manager.memoryLimit = 16 << 20;
    for (const auto& c : cases) {
        h.manager.loopMode = c.loop;
        h.manager.repeatCount = c.repeat;
        EXPECT_EQ(h.run(c.script).toStdString(),
                  "-- Loading: TABLE\n" + c.script + "\n" + c.output + "-- Finished executing: TABLE\n\n");
    }
    std::setlocale(LC_ALL, "C");
    EXPECT_TRUE(sentLines(h.platform).empty());
}

TEST(RunModes, FileRunsNameThePathAndLoadTheFileForEveryExecution) {
    RunHarness h;
    const std::string path = writeScriptFile("run.lua", "Log(\"a\")\nerror(\"boom\")\nLog(\"b\")\n");
    EXPECT_EQ(h.run(path, true).toStdString(),
              "-- Loading: " + path + "\naError " + path + ":2: boom\n-- Finished executing: " + path + "\n\n");
    std::ofstream(path) << "Log(\"A\") local f = io.open(\"" << path << "\", \"w\") f:write('Log(\"B\")') f:close()";
    h.manager.loopMode = true;
    h.manager.repeatCount = 3;
    EXPECT_EQ(h.run(path, true).toStdString(),
              "-- Loading: " + path + "\nLooping...\nABB-- Finished executing: " + path + "\n\n");
}

TEST(RunModes, EndlessLoopOnAMissingFileLogsEachFailedLoadUntilStopped) {
    RunHarness h;
    h.manager.loopMode = true;
    const std::string path = writeScriptFile("gone.lua", "") + ".missing";
    Thread* run = h.start(path, true);
    const std::string failure = "Error cannot open " + path + ": No such file or directory\n";
    ASSERT_TRUE(h.waitForLog(run, QString::fromStdString(failure + failure)));
    h.manager.stopRun();
    const QString log = h.finish(run);
    EXPECT_TRUE(log.startsWith(QString::fromStdString("-- Loading: " + path + "\nLooping...\n" + failure)));
    EXPECT_EQ(log.count("Error "), log.count(QString::fromStdString(failure)));
    EXPECT_FALSE(log.contains("-- Finished executing"));
}

TEST(Logging, SwitchedOffDropsEverythingOfTheRun) {
    RunHarness h;
    h.manager.logEnabled = false;
    Thread* run = h.start("Log(\"x\") Log() error(\"e\")");
    EXPECT_EQ(h.finish(run), "");
    EXPECT_FALSE(run->logPending());
}

// More than the window can take at once waits on disk and comes back in
// order, in pieces of any size, without splitting a character.
TEST(Logging, TextPastThePendingLimitComesBackWholeAndInOrder) {
    constexpr int Lines = 150000;
    const std::string script = "for i = 1, " + std::to_string(Lines) + " do Log(i .. '\\xF0\\x9F\\x98\\x80\\n') end";
    RunHarness h;
    Thread* run = h.start(script);
    ASSERT_TRUE(run->wait(60000));
    QString taken;
    for (QString piece; !(piece = run->log()->take(4099)).isEmpty();) {
        ASSERT_FALSE(piece.at(piece.size() - 1).isHighSurrogate());
        taken += piece;
    }
    EXPECT_FALSE(run->logPending());
    QString expected = QString::fromStdString("-- Loading: TABLE\n" + script + "\n");
    for (int line = 1; line <= Lines; ++line) expected += QString::number(line) + QString::fromUtf8("\xF0\x9F\x98\x80\n");
    expected += "-- Finished executing: TABLE\n\n";
    ASSERT_GT(expected.size(), PendingLogLimit);
    EXPECT_TRUE(taken == expected);
}

TEST(Manager, KeepsAStoppedRunUntilALaterStartFindsItFinished) {
    RunHarness h;
    h.manager.stopRun();  // nothing to stop yet
    Thread* slow = h.start(BusyWhereNoStopReaches);
    ASSERT_TRUE(h.waitForLog(slow, "go!"));
    h.manager.stopRun();
    Thread* next = h.start("Log(1)");
    EXPECT_EQ(h.manager.current(), next);
    EXPECT_EQ(h.manager.threadCount(), 2u);
    EXPECT_TRUE(slow->isRunning());
    h.finish(next);
    h.manager.stopRun();
    EXPECT_FALSE(next->stopRequested()) << "a finished run was asked to stop";
    slow->wait();
    h.finish(h.start("Log(2)"));
    EXPECT_EQ(h.manager.threadCount(), 1u);
}

TEST(Manager, DestructionStopsRunsAndWaitsForTheirEnd) {
    const auto start = std::chrono::steady_clock::now();
    {
        RunHarness h;
        Thread* endless = h.start("Log(\"go\" .. \"!\") while true do end");
        ASSERT_TRUE(h.waitForLog(endless, "go!"));
        h.manager.loopMode = true;
        Thread* busy = h.start(BusyWhereNoStopReaches);
        ASSERT_TRUE(h.waitForLog(busy, "go!"));
    }
    // The busy run cannot be cut short, so its end was awaited.
    EXPECT_GE(secondsSince(start), 0.25);
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
