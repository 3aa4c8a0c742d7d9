#pragma once
// `quillpress run FILE`: one run of a script or a table file without a
// window, on the window's own runner, functions and backend. The log goes
// to standard output as the run writes it; the process's exit status says
// how the run ended.

#include "cli/CommandLine.h"

namespace cli {

// Exit status of a run that ended by an error of its script.
constexpr int ScriptErrorStatus = 1;

// Runs command (Action::Run) to its end and returns the exit status.
int runHeadless(int argc, char* argv[], const Command& command);

}  // namespace cli
