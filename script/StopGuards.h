#pragma once
// How a stop reaches running Lua code. Nothing watches while a script runs;
// a stop request installs a count-1 hook (lua_sethook may be called from
// another thread) on the state and on every coroutine being resumed. The
// hook stays, so a pcall that catches the stop error is stopped again at
// its next instruction.

struct lua_State;
class StopSignal;

// Ties the state to its stop signal and replaces coroutine.resume,
// coroutine.wrap and xpcall with versions that a stop can reach.
void installStopGuards(lua_State* state, StopSignal* signal);
// Installs the stop hook on one state or coroutine. Any thread.
void armStopHook(lua_State* state);
