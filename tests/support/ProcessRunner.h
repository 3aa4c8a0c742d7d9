#pragma once
// Runs another program (xdotool, xinput, ...) and gives back what it printed.

#include <string>
#include <vector>

struct ProcessResult {
    int exitCode = -1;
    std::string output;  // standard output only
};

// Runs argv[0] found on PATH with the arguments; waits for it to end.
ProcessResult runProcess(const std::vector<std::string>& argv);
