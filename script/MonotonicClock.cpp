#include "MonotonicClock.h"

#include <chrono>
#include <lua.hpp>

namespace {

double monotonicSeconds() {
    using Seconds = std::chrono::duration<double>;
    return std::chrono::duration_cast<Seconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int monotonicClock(lua_State* state) {
    lua_pushnumber(state, monotonicSeconds() - lua_tonumber(state, lua_upvalueindex(1)));
    return 1;
}

}  // namespace

void installMonotonicClock(lua_State* state) {
    if (lua_getglobal(state, "os") == LUA_TTABLE) {
        lua_pushnumber(state, monotonicSeconds());
        lua_pushcclosure(state, monotonicClock, 1);
        lua_setfield(state, -2, "clock");
    }
    lua_pop(state, 1);
}
