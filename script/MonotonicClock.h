#pragma once
// os.clock as elapsed seconds of a monotonic clock. Lua's own os.clock is
// the process's CPU time on Linux, which stretches every replay that waits
// for it to advance while the script sleeps.

struct lua_State;

// Replaces os.clock in the state; it counts from this call.
void installMonotonicClock(lua_State* state);
