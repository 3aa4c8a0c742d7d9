#pragma once
// A small assertion harness for the console tests that run under Wine,
// where GoogleTest is not available: checks are counted per group and the
// summary line decides the exit status.

#include <sstream>
#include <string>

namespace check {

// Names the group that the following checks belong to.
void group(const std::string& name);
// Counts one check; prints the failure with its description.
bool that(bool condition, const std::string& what);
// Counts one check comparing two printable values.
template <class A, class B>
bool equal(const A& actual, const B& expected, const std::string& what) {
    if (actual == expected) return that(true, what);
    std::ostringstream text;
    text << what << ": got " << actual << ", expected " << expected;
    return that(false, text.str());
}
// Prints "N passed, N failed"; returns the process exit status.
int summary();

}  // namespace check
