#include "ScriptContext.h"

#include <QtGlobal>
#include <lua.hpp>

#include "ScriptTexts.h"
#include "Thread.h"

platform::Platform& scriptPlatform() {
    Thread* run = Thread::current();
    Q_ASSERT_X(run, "scriptPlatform", "called outside a run's thread");
    return run->platform();
}

void appendLog(const QString& text) {
    if (Thread* run = Thread::current())
        run->appendToLog(text);
}

void logScriptError(lua_State* state, std::string message) {
    // Level 1 is the function that called the script function; a C caller
    // (pcall) has no current line and gives -1.
    int line = -1;
    lua_Debug record;
    if (lua_getstack(state, 1, &record) && lua_getinfo(state, "nSl", &record))
        line = record.currentline;
    appendLog(scriptText::ErrorLinePrefix + QString::number(line) + scriptText::ErrorLineSeparator +
              QString::fromStdString(message));
}

InjectionContext& scriptInjection() {
    Thread* run = Thread::current();
    Q_ASSERT_X(run, "scriptInjection", "called outside a run's thread");
    return *run;
}
