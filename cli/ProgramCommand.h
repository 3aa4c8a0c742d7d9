#pragma once
// What the program does with its command line: the one entry main calls.

namespace cli {

// Parses argv and does what it asks: help, version, a headless run, a
// request to the running window, or the window itself. Returns the exit
// status.
int runCommandLine(int argc, char* argv[]);

}  // namespace cli
