#include "ArgumentCheck.h"

#include <lua.hpp>

#include <cstring>

#include "script/ScriptContext.h"
#include "script/ScriptMessages.h"

namespace {

bool hasKind(lua_State* state, int index, char kind) {
    switch (kind) {
    case 's': return lua_isstring(state, index) != 0;
    case 'n': return lua_isnumber(state, index) != 0;
    case 'i': return lua_isinteger(state, index) != 0;
    default: return false;
    }
}

ArgumentCheck refuse(lua_State* state, const char* message, RefusedResult result) {
    logScriptError(state, message);
    if (result == RefusedResult::Nothing) return ArgumentCheck{ArgumentCheck::Refused, 0};
    lua_pushboolean(state, 0);
    return ArgumentCheck{ArgumentCheck::Refused, 1};
}

}  // namespace

ArgumentCheck checkArguments(lua_State* state, const Signature& signature) {
    const int count = lua_gettop(state);
    for (std::size_t f = 0; f < signature.formCount; ++f) {
        const ArgumentForm& form = signature.forms[f];
        if (static_cast<int>(std::strlen(form.kinds)) != count) continue;
        for (int i = 0; i < count; ++i)
            if (!hasKind(state, i + 1, form.kinds[i]))
                return refuse(state, form.typeMessage, signature.afterKindError);
        return ArgumentCheck{static_cast<int>(f), 0};
    }
    return refuse(state, messages::WrongArgumentCount, signature.afterCountError);
}
