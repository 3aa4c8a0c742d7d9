#include "RunContextDouble.h"

#include <lua.hpp>

#include "script/ScriptContext.h"
#include "tests/input/WaitTimeline.h"

namespace run_double {

platform::FakePlatform& fake() {
    static platform::FakePlatform platform;
    return platform;
}

std::vector<std::string>& logLines() {
    static std::vector<std::string> lines;
    return lines;
}

void reset() {
    fake().clearCalls();
    logLines().clear();
}

}  // namespace run_double

platform::Platform& scriptPlatform() { return run_double::fake(); }

void appendLog(const QString& text) { run_double::logLines().push_back(text.toStdString()); }

// The calling Lua function is level 1; a caller that is not Lua code has line -1.
void logScriptError(lua_State* state, std::string message) {
    lua_Debug record{};
    int line = -1;
    if (lua_getstack(state, 1, &record) && lua_getinfo(state, "nSl", &record))
        line = record.currentline;
    appendLog(QString("Error Line %1: ").arg(line) + QString::fromStdString(message));
}

InjectionContext& scriptInjection() { return WaitTimeline::latest(); }
