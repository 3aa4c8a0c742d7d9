#pragma once
// The script function library: every function a run offers as a global,
// in one ordered table.

#include <lua.hpp>

// The library in registration order; ends with {nullptr, nullptr}.
extern const luaL_Reg ScriptFunctions[];

// Registers the library as globals, each a C function without upvalues.
void registerScriptFunctions(lua_State* state);
