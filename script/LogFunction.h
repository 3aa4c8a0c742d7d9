#pragma once
// Log(text): the script's way to write to the run's log, as it is, with no
// line end added.

struct lua_State;

int scriptLog(lua_State* state);
