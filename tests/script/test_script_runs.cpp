// Whole runs: the log of each mode byte for byte, error reports, the memory
// ceiling, the log channel, numbers under a foreign locale, the manager's
// keeping and ending of threads, the runner's line for a bad call, what a
// run leaves pressed by how it ends (os.exit included), stopping runs and
// the sleeps.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <lua.hpp>

#include <algorithm>
#include <clocale>
#include <fstream>

#include "RunHarness.h"
#include "script/RunLog.h"

using testing::ElementsAre;
using namespace std::chrono;

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

// A stopped run still busy is kept beside the next until a later start finds
// it finished; a finished run is not asked to stop; destroying the manager
// stops its runs and waits for the end of one that no stop reaches.
TEST(Manager, KeepsAStoppedRunUntilItEndsAndAwaitsEveryRunWhenDestroyed) {
    std::chrono::steady_clock::time_point busy;
    {
        RunHarness h;
        h.manager.stopRun();  // nothing to stop yet
        Thread* slow = h.start(BusyWhereNoStopReaches);
        ASSERT_TRUE(h.waitForLog(slow, "go!"));
        h.manager.stopRun();
        Thread* next = h.start("Log(1)");
        EXPECT_EQ(h.manager.threadCount(), 2u);
        EXPECT_TRUE(slow->isRunning());
        h.finish(next);
        h.manager.stopRun();
        EXPECT_FALSE(next->stopRequested()) << "a finished run was asked to stop";
        slow->wait();
        Thread* endless = h.start("Log(\"go\" .. \"!\") while true do end");
        EXPECT_EQ(h.manager.threadCount(), 1u);
        ASSERT_TRUE(h.waitForLog(endless, "go!"));
        h.manager.loopMode = true;
        busy = std::chrono::steady_clock::now();
        ASSERT_TRUE(h.waitForLog(h.start(BusyWhereNoStopReaches), "go!"));
    }
    EXPECT_GE(secondsSince(busy), 0.3);
}

// A finished run (also one ended by os.exit, which pcall cannot catch)
// keeps what it holds, and a later run leaves that alone; a stopped or
// failed one releases what it still holds, newest first.
TEST(HeldInput, ARunEndedByAStopOrAnErrorReleasesWhatItStillHolds) {
    RunHarness h;
    h.run("PressKey('LControl')");
    h.run("PressKey('LAlt') os.exit(3)");
    EXPECT_THAT(sentLines(h.platform), ElementsAre(key(0, 0x1D, 0x08), key(0, 0x38, 0x08)));

    h.platform.clearCalls();
    Thread* run = h.start("PressKey('A') PressKey('LShift') ReleaseKey('A') PressMouseButton('MouseRight')\n"
                          "Log('go' .. '!') while true do end");
    ASSERT_TRUE(h.waitForLog(run, "go!"));
    h.manager.stopRun();
    EXPECT_TRUE(h.finish(run).contains("Error Stopped execution from gui thread\n"));
    EXPECT_THAT(sentLines(h.platform),
                ElementsAre(key(0, 0x1E, 0x08), key(0, 0x2A, 0x08), key(0, 0x1E, 0x0A),
                            mouse(0, 0, 0, 0x08), mouse(0, 0, 0, 0x10), key(0, 0x2A, 0x0A)));

    h.platform.clearCalls();
    EXPECT_TRUE(h.run("PressMouseButton('MouseX2') PressKey('RShift') error('x')").contains("x\n"));
    EXPECT_THAT(sentLines(h.platform), ElementsAre(mouse(0, 0, 2, 0x80), key(0, 0x36, 0x08),
                                                   key(0, 0x36, 0x0A), mouse(0, 0, 2, 0x100)));
}

// Times are checked with generous bounds: a wait on a monotonic clock never
// ends early, but may end late on a busy machine.
const QString StopLine = "Error Stopped execution from gui thread\n";
constexpr double LateSlack = 5;  // seconds; the suite also runs under the sanitizers on two busy cores
const std::string Target = mouse(64886, 60741, 0, 0x8001);  // (1900, 1000) on the fake's 1920x1080

// Each script logs "go!", then loops or waits where only the stop ends it: a
// plain loop, through pcall, in coroutines, in xpcall handlers run for the
// stop itself (hooks are off there) or for an ordinary error (the stop then
// strikes inside the handler); every sleep, a hit's hold, typing and glides.
// What the stop cut short is finished and nothing more is sent: the typed
// character, the drag's release, no step to the glide's target.
TEST(Stop, EveryKindOfLoopAndWaitEndsAtOnceWithItsLine) {
    const std::string go = "Log(\"go\" .. \"!\") ";
    const QString finished = "go!" + StopLine + "-- Finished executing: TABLE\n\n";
    const struct {
        bool loop;
        std::string script;
        QString tail;
        std::string last = "", never = "";
    } cases[] = {
        {false, go + "while true do end", finished},
        {true, go + "while true do end", "Looping...\ngo!" + StopLine},
        {false, go + "while true do pcall(function() while true do end end) end", finished},
        {false, "local co = coroutine.create(function() " + go + "while true do end end)\n"
                "local ok, message = coroutine.resume(co)\nLog(\"after\")", finished},
        {false, "local inner = coroutine.create(function() " + go + "while true do end end)\n"
                "local outer = coroutine.create(function() coroutine.resume(inner) while true do end end)\n"
                "coroutine.resume(outer)", "go!" + StopLine},
        {false, "local f = coroutine.wrap(function()\n  " + go + "while true do end end)\nf()",
         "go!Error [string \"local f = coroutine.wrap(function()...\"]:3: Stopped execution from gui thread\n"},
        {false, "local function spin()\n  while true do end\nend\n" + go + "spin()",
         "go!Error [string \"local function spin()...\"]:4: Stopped execution from gui thread\n"},
        {false, "xpcall(function() " + go + "while true do end end,\n  function(m) while true do end end)", finished},
        {false, "xpcall(function() error(\"x\") end,\n  function(m) " + go + "while true do end end)", finished},
        // Stops land anywhere in code that logs, reports, waits and resumes.
        {true, go + "while true do Log(\"x\") Log() MilliSleep(0) SecSleep(\"bad\") "
                    "coroutine.resume(coroutine.create(function() Log(1) end)) xpcall(error, tostring) end", StopLine},
        {false, go + "HourSleep(1)", finished}, {false, go + "MinSleep(1)", finished},
        {false, go + "SecSleep(60)", finished}, {false, go + "MilliSleep(60000)", finished},
        {false, go + "MicroSleep(60000000)", finished}, {false, go + "NanoSleep(-1)", finished},
        // Beyond a century only a stop ends a pause.
        {false, go + "MilliSleep(1/0)", finished}, {false, go + "MicroSleep(1e300)", finished},
        {false, go + "HourSleep(1e6)", finished},
        {false, go + "HitKey('A', 600000, 0)", finished, key(0, 0x1E, 0x0A)},
        {false, "TypeString('b') " + go + "TypeString(string.rep('b', 60) .. 'Z')", finished, key(0, 0x30, 0x0A),
         key(0, 0x2A, 0x08)},
        {false, go + "MoveMouse(1900, 1000, 600000)", finished, "", Target},
        {false, go + "DragMouse(1900, 1000, 600000)", finished, mouse(0, 0, 0, 0x04), Target},
    };
    for (const auto& c : cases) {
        RunHarness h;
        h.manager.loopMode = c.loop;
        h.manager.repeatCount = 5;
        Thread* run = h.start(c.script + " Log('after')");
        ASSERT_TRUE(h.waitForLog(run, "go!"));
        const auto stopped = steady_clock::now();
        h.manager.stopRun();
        const QString log = h.finish(run);
        EXPECT_LT(secondsSince(stopped), LateSlack) << c.script;
        EXPECT_TRUE(log.contains(c.tail)) << log.toStdString();
        EXPECT_EQ(log.contains("-- Finished executing"), !c.loop) << log.toStdString();
        run->requestStop();  // would hang on a lock the unwinding left held
        EXPECT_FALSE(run->logPending());
        const std::vector<std::string> sent = sentLines(h.platform);
        EXPECT_EQ(std::count(sent.begin(), sent.end(), c.never), 0) << c.script;
        if (c.last.empty()) continue;
        ASSERT_GE(sent.size(), 2u);
        EXPECT_EQ(sent.back(), c.last) << c.script;
        EXPECT_NE(sent[sent.size() - 2], sent.back()) << c.script << ": sent twice";
    }
}

TEST(StopLoop, ARequestBeforeTheRunStartsStopsItAtTheFirstInstruction) {
    platform::FakePlatform platform;
    RunSettings settings;
    settings.logEnabled = true;
    settings.tableScript = "Log(\"ran\") while true do end";
    Thread run(platform, settings);
    run.requestStop();
    run.start();
    ASSERT_TRUE(run.wait(20000));
    EXPECT_EQ(run.takeLog(), "-- Loading: TABLE\n" + QString::fromStdString(settings.tableScript) + "\n" + StopLine +
                                 "-- Finished executing: TABLE\n\n");
}

// The replaced coroutine.resume, coroutine.wrap and xpcall answer exactly as
// the standard ones of a bare state do.
TEST(StopCoroutine, ReplacementsGiveTheStandardResults) {
    const std::string probe =
        "local t = {}\n"
        "local function out(...) for i = 1, select('#', ...) do t[#t + 1] = tostring((select(i, ...))) end end\n"
        "local co = coroutine.create(function(a, b) local c = coroutine.yield(a + b) error('x' .. c, 0) end)\n"
        "out(coroutine.resume(co, 1, 2)) out(coroutine.resume(co, 'z')) out(coroutine.resume(co))\n"
        "out(pcall(coroutine.resume, 1)) out(pcall(coroutine.wrap, 1))\n"
        "local g = coroutine.wrap(function(...) out(...) coroutine.yield(4, 5) error('w', 0) end)\n"
        "out(g(6, 7)) out(pcall(g)) out(pcall(g))\n"
        "local e = {} local h = coroutine.wrap(function() error(e) end) out(select(2, pcall(h)) == e)\n"
        "out(xpcall(function() error('e', 0) end, function(m) return m .. '!' end))\n"
        "out(xpcall(function(...) return ... end, print, 8, 9)) out(pcall(xpcall, print))\n"
        "out(xpcall(function() error('e', 0) end, function(m) error('again', 0) end))\n"
        "local y = coroutine.wrap(function() out(xpcall(function() return coroutine.yield(1) end, print)) end)\n"
        "out(y()) y(3)\n"
        "return table.concat(t, ',')";

    lua_State* bare = luaL_newstate();
    luaL_openlibs(bare);
    ASSERT_EQ(luaL_loadstring(bare, probe.c_str()), LUA_OK);
    ASSERT_EQ(lua_pcall(bare, 0, 1, 0), LUA_OK) << lua_tostring(bare, -1);
    const QString standard = QString::fromUtf8(lua_tostring(bare, -1));
    lua_close(bare);
    EXPECT_TRUE(standard.startsWith("true,3,false,xz,false,cannot resume dead coroutine,false,"));

    RunHarness h;
    const std::string script = "Log((function() " + probe + " end)())";
    EXPECT_EQ(h.run(script), QString::fromStdString("-- Loading: TABLE\n" + script + "\n") + standard +
                                 "-- Finished executing: TABLE\n\n");
}

// Each sleep in its own unit, counted in whole units of the next smaller
// one (0.36 s is a second), and a glide that reaches its target; os.clock
// counts the elapsed time, not the processor's. Nothing, a negative time or
// no number waits nothing, nor does NanoSleep past the low 32 bits of a
// 64-bit integer.
TEST(SleepTime, PausesLastTheirTargetByTheElapsedClock) {
    RunHarness h;
    const auto start = steady_clock::now();
    const QString out = h.run(
        "local t = os.clock() HourSleep(0.0001) MinSleep(0.001) SecSleep(0.05) MilliSleep('50') "
        "MicroSleep(50000) NanoSleep(50000000) MoveMouse(1900, 1000, 50) SecSleep(0) MinSleep(-1) HourSleep(0/0) "
        "NanoSleep(2^42) NanoSleep(0/0) NanoSleep(-1/0) NanoSleep(2^63) Log(os.clock() - t .. '\\n')");
    const double outside = secondsSince(start), inside = out.section('\n', -4, -4).toDouble();
    EXPECT_GE(inside, 1.0 + 0.06 + 0.05 * 4) << out.toStdString();
    EXPECT_LE(inside, outside);
    EXPECT_LT(outside, 1.26 + LateSlack);
    EXPECT_EQ(h.platform.calls().back(), Target);
}

}  // namespace
