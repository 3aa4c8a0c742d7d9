// Runs as a whole: the log of each run mode byte for byte, globals across
// executions, the file reloaded each time, error reports, logging off, and
// the manager's keeping and ending of threads.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>

#include "RunHarness.h"
#include "script/ScriptFunctions.h"

namespace {

constexpr auto StopMessage = "Error Stopped execution from gui thread\n";
// Logs "go!" and then keeps the run busy for 0.3 s where no stop reaches:
// finalizers run with hooks off.
const std::string BusyWhereNoStopReaches =
    "setmetatable({}, {__gc = function() Log(\"go\" .. \"!\") "
    "local t0 = os.clock() while os.clock() - t0 < 0.3 do end end}) collectgarbage()";

// Table runs, logged byte for byte around their echoed text: a single run
// ignores the repeat count; a loop keeps the globals of its run and the next
// run starts afresh; errors by their text, or by their type without one.
TEST(RunModes, TableRunsLogTheirModeAndOutcome) {
    const struct {
        bool loop;
        int repeat;
        std::string script, output;
    } cases[] = {
        {false, 3, "Log(\"x\\n\")\nLog(1 + 1)", "x\n2"},
        {true, 3, "counter = (counter or 0) + 1 Log(counter)", "Looping...\n123"},
        {true, 3, "counter = (counter or 0) + 1 Log(counter)", "Looping...\n123"},
        {false, 1, "Log((", "Error [string \"Log((\"]:1: unexpected symbol near <eof>\n"},
        {true, 1, "error({})", "Looping...\nError (error object is a table value)\n"},
        {true, 1, "error()", "Looping...\nError (error object is a nil value)\n"},
        {true, 1, "error(42, 0)", "Looping...\nError 42\n"},
        // A __tostring that fails must not be called outside a protected call.
        {true, 1, "error(setmetatable({}, {__tostring = function() error('no') end}))",
         "Looping...\nError (error object is a table value)\n"},
    };
    RunHarness h;
    for (const auto& c : cases) {
        h.manager.loopMode = c.loop;
        h.manager.repeatCount = c.repeat;
        EXPECT_EQ(h.run(c.script).toStdString(),
                  "-- Loading: TABLE\n" + c.script + "\n" + c.output + "-- Finished executing: TABLE\n\n");
    }
}

TEST(RunModes, SingleFileRunNamesThePathAndReportsRuntimeErrors) {
    RunHarness h;
    const std::string path = writeScriptFile("single.lua", "Log(\"a\")\nerror(\"boom\")\nLog(\"b\")\n");
    EXPECT_EQ(h.run(path, true).toStdString(),
              "-- Loading: " + path + "\na" + "Error " + path + ":2: boom\n" +
                  "-- Finished executing: " + path + "\n\n");
}

TEST(RunModes, LoopWithCountLoadsOnceAndRunsThatManyTimes) {
    RunHarness h;
    h.manager.loopMode = true;
    h.manager.repeatCount = 3;
    const std::string path = writeScriptFile("loop.lua", "Log(\"-\")");
    EXPECT_EQ(h.run(path, true).toStdString(),
              "-- Loading: " + path + "\nLooping...\n---" + "-- Finished executing: " + path + "\n\n");
}

TEST(RunModes, EndlessLoopRunsUntilStoppedAndHasNoFinishingLine) {
    RunHarness h;
    h.manager.loopMode = true;
    h.manager.repeatCount = 0;
    Thread* run = h.start("n = (n or 0) + 1 if n == 50 then Log(\"fif\" .. \"ty\") end");
    ASSERT_TRUE(h.waitForLog(run, "fifty"));
    h.manager.stopRun();
    const QString log = h.finish(run);
    EXPECT_TRUE(log.startsWith("-- Loading: TABLE\nn = (n or 0) + 1 if n == 50 then Log(\"fif\" .. \"ty\") end\nLooping...\nfifty"));
    EXPECT_FALSE(log.contains("-- Finished executing"));
}

TEST(RunModes, EndlessLoopOnAMissingFileLogsEachFailedLoad) {
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
}

TEST(Globals, TheFileIsLoadedAgainForEveryExecution) {
    RunHarness h;
    h.manager.loopMode = true;
    h.manager.repeatCount = 2;
    const std::string path = writeScriptFile("self.lua", "");
    std::ofstream(path) << "Log(\"A\")\nlocal f = io.open(\"" << path
                        << "\", \"w\") f:write('Log(\"B\")') f:close()\n";
    EXPECT_TRUE(h.run(path, true).contains("Looping...\nAB-- Finished"));
}

TEST(Errors, AMemoryBombMeetsTheCeilingAsAnOrdinaryError) {
    RunHarness h;
    h.manager.memoryLimit = 64 << 20;
    const std::string bomb = "t = {} while true do t[#t + 1] = string.rep(\"x\", 1e6) end";
    EXPECT_EQ(h.run(bomb).toStdString(), "-- Loading: TABLE\n" + bomb +
                                             "\nError not enough memory\n-- Finished executing: TABLE\n\n");
}

TEST(Logging, SwitchedOffDropsEverythingOfTheRun) {
    RunHarness h;
    h.manager.logEnabled = false;
    Thread* run = h.start("Log(\"x\") Log() error(\"e\")");
    EXPECT_EQ(h.finish(run), "");
    EXPECT_FALSE(run->logPending());
}

TEST(Logging, TakingTheLogEmptiesItUntilMoreIsWritten) {
    RunHarness h;
    Thread* run = h.start("Log(\"fir\" .. \"st\") while not go do end Log(\"second\")");
    ASSERT_TRUE(h.waitForLog(run, "first"));
    EXPECT_FALSE(run->logPending());
    EXPECT_EQ(run->takeLog(), "");
    run->requestStop();
    h.finish(run);
    EXPECT_TRUE(h.collected().endsWith("first" + QString(StopMessage) + "-- Finished executing: TABLE\n\n"))
        << h.collected().toStdString();
}

TEST(Library, SleepsAndLogAreGlobalsInTheirPlaceOfTheOrderedTable) {
    std::vector<std::string> names;
    for (const luaL_Reg* entry = ScriptFunctions; entry->name; ++entry)
        names.push_back(entry->name);
    const std::vector<std::string> mine = {"HourSleep",  "MinSleep",   "SecSleep", "MilliSleep",
                                           "MicroSleep", "NanoSleep",  "Log"};
    std::vector<std::string> found;
    for (const std::string& name : names)
        if (std::find(mine.begin(), mine.end(), name) != mine.end())
            found.push_back(name);
    EXPECT_EQ(found, mine);
    EXPECT_EQ(names.back(), "Log");

    RunHarness h;
    EXPECT_TRUE(h.run("for _, n in ipairs({'HourSleep','MinSleep','SecSleep','MilliSleep',"
                      "'MicroSleep','NanoSleep','Log'}) do Log(type(_G[n]):sub(1,1)) end")
                    .contains("fffffff-- Finished"));
}

TEST(Manager, KeepsAStoppedRunUntilALaterStartFindsItFinished) {
    RunHarness h;
    Thread* slow = h.start(BusyWhereNoStopReaches);
    ASSERT_TRUE(h.waitForLog(slow, "go!"));
    h.manager.stopRun();
    Thread* next = h.start("Log(1)");
    EXPECT_EQ(h.manager.current(), next);
    EXPECT_EQ(h.manager.threadCount(), 2u);
    EXPECT_TRUE(slow->isRunning());
    h.finish(next);
    slow->wait();
    h.start("Log(2)");
    EXPECT_EQ(h.manager.threadCount(), 1u);
    h.finish(h.manager.current());
}

TEST(Manager, StopRunDoesNothingWithoutARunningThread) {
    RunHarness h;
    h.manager.stopRun();
    Thread* run = h.start("Log(1)");
    h.finish(run);
    h.manager.stopRun();
    EXPECT_FALSE(run->stopRequested());
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

}  // namespace
