#include "FuzzChecks.h"

#include <cstdio>
#include <cstdlib>
#include <lua.hpp>

void fuzzFailure(const char* what, const QByteArray& text) {
    std::fprintf(stderr, "fuzz property failed: %s\n---\n%s\n---\n", what, text.constData());
    std::abort();
}

bool luaLoads(const QByteArray& script, QByteArray* error) {
    lua_State* state = luaL_newstate();
    if (!state)
        fuzzFailure("no Lua state", QByteArray());
    const bool loads = luaL_loadbuffer(state, script.constData(), script.size(), "script") == LUA_OK;
    if (!loads && error)
        *error = lua_tostring(state, -1);
    lua_close(state);
    return loads;
}
