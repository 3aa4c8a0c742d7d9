#pragma once
// The program's start-up between its application object and its window,
// shared by the entry and by what starts the program the way it does.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/Platform.h"

// Keeps the numeric locale "C" (the application object has just set it from
// the environment; scripts and files want ".") and opens the platform
// backend, which the window needs at once for its hotkey. Null, with the
// reason in *error, when no backend opens.
// backend names one, or is empty to let the system choose.
std::unique_ptr<platform::Platform> openProgramPlatform(const std::string& backend, std::string* error);

class ProgramSession;

// Waits for and serves events until the session ends; gives the exit status.
using SessionLoop = std::function<int(ProgramSession&, platform::Platform&)>;

// What a caller of runProgram does at its points.
struct ProgramHooks {
    // Once the application object exists, before the backend opens: a
    // status returned here ends the program with it at once.
    std::function<std::optional<int>()> beforeSession;
    // Once the session is up.
    std::function<void(ProgramSession&)> started;
    // The session's event loop; Qt's own when empty.
    SessionLoop loop;
    // The backend asked for (--backend); empty to let the system choose.
    std::string backend;
};

// The whole program: key names, the application object, the backend, the
// session and its event loop, then the backend last. Returns the process's
// exit status.
int runProgram(int argc, char* argv[], const ProgramHooks& hooks);
// The same with only started (for programs that start the program this way
// and then act in it).
int runProgram(int argc, char* argv[], const std::function<void(ProgramSession&)>& started = {});
