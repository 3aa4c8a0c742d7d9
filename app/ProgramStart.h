#pragma once
// The program's start-up between its application object and its window,
// shared by the entry and by what starts the program the way it does.

#include <functional>
#include <memory>
#include <string>

#include "platform/Platform.h"

// Keeps the numeric locale "C" (the application object has just set it from
// the environment; scripts and files want ".") and opens the platform
// backend, which the window needs at once for its hotkey. Null, with the
// reason in *error, when no backend opens.
std::unique_ptr<platform::Platform> openProgramPlatform(std::string* error);

class ProgramSession;

// The whole program: key names, the application object, the backend, the
// session and its event loop, then the backend last. started is called once
// the session is up (for programs that start the program this way and then
// act in it). loop waits for and serves events until the session ends and
// gives the exit status; Qt's own loop when empty. Returns the process's exit
// status.
using SessionLoop = std::function<int(ProgramSession&, platform::Platform&)>;
int runProgram(int argc, char* argv[], const std::function<void(ProgramSession&)>& started = {},
               const SessionLoop& loop = {});
