#pragma once
// What code running on a run's worker thread (the script functions and
// their injectors) takes from that run. The runner implements these; each
// finds the run as the current QThread, so call them only on a run's thread.

#include <QString>
#include <string>

struct lua_State;
class InjectionContext;
namespace platform {
class Platform;
}

// The platform backend the current run injects through.
platform::Platform& scriptPlatform();
// Appends text to the current run's log (dropped when its logging is off).
// The text carries its own line end.
void appendLog(const QString& text);
// Logs "Error Line " + the calling script line + ": " + message.
void logScriptError(lua_State* state, std::string message);
// What the current run lends its injectors: its stoppable pause, its stop
// request, its record of held keys and buttons.
InjectionContext& scriptInjection();
