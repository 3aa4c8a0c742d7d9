#include "ScriptExit.h"

#include <cstdlib>
#include <lua.hpp>

#include "StopSignal.h"

namespace {

// Takes its status as Lua's own os.exit does: true, false or an integer.
// Raises a Lua error: no object with a destructor may live in this frame.
int scriptExit(lua_State* state) {
    int status = EXIT_SUCCESS;
    if (lua_isboolean(state, 1))
        status = lua_toboolean(state, 1) ? EXIT_SUCCESS : EXIT_FAILURE;
    else
        status = static_cast<int>(luaL_optinteger(state, 1, EXIT_SUCCESS));
    auto* signal = static_cast<StopSignal*>(lua_touserdata(state, lua_upvalueindex(1)));
    signal->requestExit(status);
    // Unwinds now; the stop hook, armed by the request, unwinds again past
    // any pcall. The run reports the exit, not this error.
    lua_pushliteral(state, "os.exit");
    return lua_error(state);
}

}  // namespace

void installScriptExit(lua_State* state, StopSignal* signal) {
    if (lua_getglobal(state, "os") == LUA_TTABLE) {
        lua_pushlightuserdata(state, signal);
        lua_pushcclosure(state, scriptExit, 1);
        lua_setfield(state, -2, "exit");
    }
    lua_pop(state, 1);
}
