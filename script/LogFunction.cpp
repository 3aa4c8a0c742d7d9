#include "LogFunction.h"

#include <QString>
#include <lua.hpp>

#include "ScriptArguments.h"
#include "ScriptContext.h"

int scriptLog(lua_State* state) {
    if (!checkOneArgument(state, ArgumentKind::String))
        return 0;
    // A number takes Lua's own text form; a string ends at its first zero byte.
    appendLog(QString::fromUtf8(lua_tostring(state, 1)));
    return 0;
}
