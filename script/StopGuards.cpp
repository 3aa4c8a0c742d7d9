#include "StopGuards.h"

#include <lua.hpp>

#include "ScriptTexts.h"
#include "StopSignal.h"

// No function here may keep a C++ object with a destructor alive where it
// raises a Lua error: the C build of Lua unwinds with longjmp.

namespace {

// The address is the registry key of the state's stop signal.
const char StopSignalKey = 0;

StopSignal* stopSignalOf(lua_State* state) {
    lua_rawgetp(state, LUA_REGISTRYINDEX, &StopSignalKey);
    auto* signal = static_cast<StopSignal*>(lua_touserdata(state, -1));
    lua_pop(state, 1);
    return signal;
}

bool stopRequestedFor(lua_State* state) {
    StopSignal* signal = stopSignalOf(state);
    return signal && signal->endRequested();
}

void stopHook(lua_State* state, lua_Debug* record) {
    if (record->event != LUA_HOOKCOUNT || !stopRequestedFor(state))
        return;
    luaL_error(state, "%s", scriptText::StopMessage);
}

// --- coroutine.resume and coroutine.wrap, tracking what is being resumed ---

// Resumes co with narg values from state; returns the number of results
// moved back, or -1 with the error value on top.
int resumeTracked(lua_State* state, lua_State* co, int narg) {
    if (!lua_checkstack(co, narg)) {
        lua_pushliteral(state, "too many arguments to resume");
        return -1;
    }
    if (lua_status(co) == LUA_OK && lua_gettop(co) == 0) {
        lua_pushliteral(state, "cannot resume dead coroutine");
        return -1;
    }
    lua_xmove(state, co, narg);
    StopSignal* signal = stopSignalOf(state);
    if (signal)
        signal->enterCoroutine(co);
    // lua_resume catches every error of the coroutine, so leave is reached.
    int status = lua_resume(co, state, narg);
    if (signal)
        signal->leaveCoroutine(co);
    if (status != LUA_OK && status != LUA_YIELD) {
        lua_xmove(co, state, 1);
        return -1;
    }
    int results = lua_gettop(co);
    if (!lua_checkstack(state, results + 1)) {
        lua_pop(co, results);
        lua_pushliteral(state, "too many results to resume");
        return -1;
    }
    lua_xmove(co, state, results);
    return results;
}

int trackedResume(lua_State* state) {
    lua_State* co = lua_tothread(state, 1);
    luaL_argcheck(state, co, 1, "thread expected");
    int results = resumeTracked(state, co, lua_gettop(state) - 1);
    if (results < 0) {
        lua_pushboolean(state, 0);
        lua_insert(state, -2);
        return 2;
    }
    lua_pushboolean(state, 1);
    lua_insert(state, -(results + 1));
    return results + 1;
}

int trackedWrapCall(lua_State* state) {
    lua_State* co = lua_tothread(state, lua_upvalueindex(1));
    int results = resumeTracked(state, co, lua_gettop(state));
    if (results < 0) {
        if (lua_type(state, -1) == LUA_TSTRING) {
            luaL_where(state, 1);
            lua_insert(state, -2);
            lua_concat(state, 2);
        }
        return lua_error(state);
    }
    return results;
}

int trackedWrap(lua_State* state) {
    luaL_checktype(state, 1, LUA_TFUNCTION);
    lua_State* co = lua_newthread(state);
    lua_pushvalue(state, 1);
    lua_xmove(state, co, 1);
    lua_pushcclosure(state, trackedWrapCall, 1);
    return 1;
}

// --- xpcall with a guarded message handler ---

// An error raised from a hook runs the message handler with hooks off, so
// after a stop the user's handler is skipped and the error passes as is.
int guardedHandler(lua_State* state) {
    if (stopRequestedFor(state)) {
        lua_settop(state, 1);
        return 1;
    }
    lua_pushvalue(state, lua_upvalueindex(1));
    lua_insert(state, 1);
    lua_call(state, lua_gettop(state) - 1, LUA_MULTRET);
    return lua_gettop(state);
}

int finishGuardedCall(lua_State* state, int status, lua_KContext extra) {
    if (status != LUA_OK && status != LUA_YIELD) {
        lua_pushboolean(state, 0);
        lua_pushvalue(state, -2);
        return 2;
    }
    return lua_gettop(state) - static_cast<int>(extra);
}

int guardedXpcall(lua_State* state) {
    int count = lua_gettop(state);
    luaL_checktype(state, 2, LUA_TFUNCTION);
    lua_pushvalue(state, 2);
    lua_pushcclosure(state, guardedHandler, 1);
    lua_replace(state, 2);
    // As the standard xpcall: true and the function go below the arguments.
    lua_pushboolean(state, 1);
    lua_pushvalue(state, 1);
    lua_rotate(state, 3, 2);
    int status = lua_pcallk(state, count - 2, LUA_MULTRET, 2, 2, finishGuardedCall);
    return finishGuardedCall(state, status, 2);
}

}  // namespace

void installStopGuards(lua_State* state, StopSignal* signal) {
    lua_pushlightuserdata(state, signal);
    lua_rawsetp(state, LUA_REGISTRYINDEX, &StopSignalKey);

    lua_pushcfunction(state, guardedXpcall);
    lua_setglobal(state, "xpcall");
    if (lua_getglobal(state, "coroutine") == LUA_TTABLE) {
        lua_pushcfunction(state, trackedResume);
        lua_setfield(state, -2, "resume");
        lua_pushcfunction(state, trackedWrap);
        lua_setfield(state, -2, "wrap");
    }
    lua_pop(state, 1);
}

void armStopHook(lua_State* state) {
    lua_sethook(state, stopHook, LUA_MASKCOUNT, 1);
}
