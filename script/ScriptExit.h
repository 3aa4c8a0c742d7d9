#pragma once
// os.exit inside a run: the C library's exit would run the process's exit
// handlers on the worker thread while the GUI thread still works. The
// replacement records the status and ends the run the way a stop does, so
// pcall cannot swallow it either.

struct lua_State;
class StopSignal;

// Replaces os.exit in the state (the os table must be open).
void installScriptExit(lua_State* state, StopSignal* signal);
