// Stopping runs and the sleeps: a stop ends every kind of loop and wait at
// once with its exact error line, the finishing line by mode, nothing sent
// after it and no lock left held; a stop requested before the run starts;
// the sleeps' deadlines in whole units and real pauses (checked with
// generous bounds: a wait on a monotonic clock never ends early, but may end
// late on a busy machine).

#include <gtest/gtest.h>

#include <lua.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

#include "RunHarness.h"
#include "script/SleepFunctions.h"
#include "script/TimedWait.h"
#include "tests/input/RecordLines.h"

namespace {

using namespace std::chrono;
const QString StopLine = "Error Stopped execution from gui thread\n";
constexpr double LateSlack = 5;  // seconds; the suite also runs under the sanitizers on two busy cores
constexpr double Inf = std::numeric_limits<double>::infinity();
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
        {false, go + "MicroSleep(60000000)", finished}, {false, go + "MilliSleep(1/0)", finished},
        {false, go + "NanoSleep(-1)", finished},
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
    EXPECT_EQ(scriptOutput(h, "Log((function() " + probe + " end)())"), standard);
}

TEST(SleepTime, DeadlinesCountWholeUnitsAndNothingToWaitForEndsAtTheStart) {
    const WaitClock::time_point t0{seconds(1000)};
    const struct {
        double argument;
        PauseUnit unit;
        WaitClock::duration after;
    } cases[] = {
        {0.0001, HourSleepUnit, seconds(1)},  // 0.36 s -> one whole second
        {0.01, MinSleepUnit, milliseconds(600)}, {0.0004, SecSleepUnit, milliseconds(1)},
        {0.0015, MilliSleepUnit, microseconds(2)}, {1.5, MicroSleepUnit, nanoseconds(1500)},
        {2.5, StoppableWaitUnit, microseconds(2500)}, {1e5, HourSleepUnit, hours(100000)},
        {0.0, SecSleepUnit, {}}, {-0.0001, SecSleepUnit, {}}, {std::nan(""), SecSleepUnit, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(pauseDeadline(t0, c.argument, c.unit), t0 + c.after) << c.argument;
    // Pauses beyond a century end only by a stop.
    EXPECT_FALSE(pauseDeadline(t0, Inf, MilliSleepUnit));
    EXPECT_FALSE(pauseDeadline(t0, 1e300, MicroSleepUnit));
    EXPECT_FALSE(pauseDeadline(t0, 1e6, HourSleepUnit));
}

TEST(SleepTime, NanoSleepTruncatesAndKeepsTheLow32BitsOfA64BitInteger) {
    const struct {
        double argument;
        uint32_t nanoseconds;
    } cases[] = {{1.9, 1u}, {-1.9, 4294967295u}, {4294967296.0, 0u}, {4294967297.5, 1u},
                 // without a 64-bit integer, nothing
                 {std::nan(""), 0u}, {-Inf, 0u}, {9223372036854775808.0, 0u}};
    for (const auto& c : cases) EXPECT_EQ(nanoSleepNanoseconds(c.argument), c.nanoseconds) << c.argument;
}

// Each sleep in its own unit, and a glide that reaches its target; os.clock
// counts the elapsed time, not the processor's.
TEST(SleepTime, PausesLastTheirTargetByTheElapsedClock) {
    RunHarness h;
    const auto start = steady_clock::now();
    const QString out = scriptOutput(h,
        "local t = os.clock() HourSleep(0.0001) MinSleep(0.001) SecSleep(0.05) MilliSleep('50') "
        "MicroSleep(50000) NanoSleep(50000000) MoveMouse(1900, 1000, 50) Log(os.clock() - t)");
    const double outside = secondsSince(start), inside = out.toDouble();
    EXPECT_GE(inside, 1.0 + 0.06 + 0.05 * 4) << out.toStdString();
    EXPECT_LE(inside, outside);
    EXPECT_LT(outside, 1.26 + LateSlack);
    EXPECT_EQ(h.platform.calls().back(), Target);
}

}  // namespace
