#pragma once
// What the program does with its command line: the one entry main calls.

#include "app/ProgramStart.h"

namespace cli {

// Parses argv and does what it asks: help, version, a headless run, a
// request to the running window, or the window itself. Returns the exit
// status. loop serves the window's session (Qt's own loop when empty).
int runCommandLine(int argc, char* argv[], const SessionLoop& loop = {});

}  // namespace cli
