#include "ScriptArguments.h"

#include <lua.hpp>

#include "ScriptContext.h"
#include "ScriptTexts.h"

bool checkOneArgument(lua_State* state, ArgumentKind kind) {
    if (lua_gettop(state) != 1) {
        logScriptError(state, scriptText::WrongArgumentCount);
        return false;
    }
    const bool fits = kind == ArgumentKind::Number ? lua_isnumber(state, 1) : lua_isstring(state, 1);
    if (!fits) {
        logScriptError(state, kind == ArgumentKind::Number ? scriptText::ExpectedNumber
                                                           : scriptText::ExpectedString);
        return false;
    }
    return true;
}
