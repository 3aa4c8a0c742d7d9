// Stopping runs: at the next instruction in plain loops, inside coroutines,
// through pcall and past a looping xpcall handler; the exact error line; the
// finishing line by mode; a stop requested before the run starts; and no
// lock left held by the error's unwinding.

#include <gtest/gtest.h>

#include <lua.hpp>

#include "RunHarness.h"

namespace {

const QString StopLine = "Error Stopped execution from gui thread\n";

// Each script logs "go!", then loops where only the stop ends it: a plain
// loop, through pcall, in coroutines, and in xpcall handlers run for the stop
// itself (hooks are off there) or for an ordinary error (the stop then
// strikes inside the handler). A loop run has no finishing line.
TEST(StopLoop, EveryKindOfLoopStopsWithItsLine) {
    const std::string go = "Log(\"go\" .. \"!\") ";
    const QString finished = StopLine + "-- Finished executing: TABLE\n\n";
    const struct {
        bool loop;
        std::string script;
        QString tail;
    } cases[] = {
        {false, go + "while true do end", "go!" + finished},
        {true, go + "while true do end", "Looping...\ngo!" + StopLine},
        {false, go + "while true do pcall(function() while true do end end) end", "go!" + finished},
        {false, "local co = coroutine.create(function() " + go + "while true do end end)\n"
                "local ok, message = coroutine.resume(co)\nLog(\"after\")", "go!" + finished},
        {false, "local inner = coroutine.create(function() " + go + "while true do end end)\n"
                "local outer = coroutine.create(function() coroutine.resume(inner) while true do end end)\n"
                "coroutine.resume(outer)", "go!" + StopLine},
        {false, "local f = coroutine.wrap(function()\n  " + go + "while true do end end)\nf()",
         "go!Error [string \"local f = coroutine.wrap(function()...\"]:3: Stopped execution from gui thread\n"},
        {false, "local function spin()\n  while true do end\nend\n" + go + "spin()",
         "go!Error [string \"local function spin()...\"]:4: Stopped execution from gui thread\n"},
        {false, "xpcall(function() " + go + "while true do end end,\n  function(m) while true do end end)",
         "go!" + finished},
        {false, "xpcall(function() error(\"x\") end,\n  function(m) " + go + "while true do end end)",
         "go!" + finished},
    };
    for (const auto& c : cases) {
        RunHarness h;
        h.manager.loopMode = c.loop;
        h.manager.repeatCount = 5;
        const QString log = h.stopAfterGo(c.script);
        EXPECT_TRUE(log.contains(c.tail)) << log.toStdString();
        EXPECT_EQ(log.contains("-- Finished executing"), !c.loop) << log.toStdString();
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

TEST(StopLocks, NoLockIsLeftHeldAfterStopsAndArgumentErrors) {
    RunHarness h;
    h.manager.loopMode = true;
    // Stops land anywhere in code that logs, reports, waits and resumes.
    const QString log = h.stopAfterGo(
        "Log(\"go\" .. \"!\") while true do Log(\"x\") Log() MilliSleep(0) SecSleep(\"bad\") "
        "coroutine.resume(coroutine.create(function() Log(1) end)) "
        "xpcall(error, function(m) return m end) end");
    EXPECT_TRUE(log.contains(StopLine));
    Thread* stopped = h.manager.current();
    stopped->requestStop();  // would hang on a lock the unwinding left held
    EXPECT_FALSE(stopped->logPending());
    h.manager.repeatCount = 1;
    EXPECT_EQ(h.run("Log(\"next\")"), "-- Loading: TABLE\nLog(\"next\")\nLooping...\nnext"
                                      "-- Finished executing: TABLE\n\n");
}

}  // namespace
