#include "Check.h"

#include <cstdio>

namespace check {

namespace {
std::string currentGroup;
int passed = 0;
int failed = 0;
}  // namespace

void group(const std::string& name) {
    currentGroup = name;
    std::printf("-- %s\n", name.c_str());
    std::fflush(stdout);
}

bool that(bool condition, const std::string& what) {
    if (condition) {
        ++passed;
    } else {
        ++failed;
        std::printf("FAILED [%s] %s\n", currentGroup.c_str(), what.c_str());
        std::fflush(stdout);
    }
    return condition;
}

int summary() {
    std::printf("%d passed, %d failed\n", passed, failed);
    std::fflush(stdout);
    return failed == 0 ? 0 : 1;
}

}  // namespace check
