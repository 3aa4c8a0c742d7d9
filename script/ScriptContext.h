#pragma once
// What code running on a run's worker thread (the script functions, the
// injector's waits) takes from that run. The runner implements these; each
// finds the run as the current QThread, so call them only on a run's thread
// (stoppableWait also works elsewhere: it then simply waits).

#include <QString>
#include <string>

struct lua_State;
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
// Waits until milliseconds have passed, returning early as soon as the
// current run is asked to stop. Returns at once when milliseconds <= 0.
void stoppableWait(double milliseconds);
