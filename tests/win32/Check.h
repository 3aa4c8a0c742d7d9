#pragma once
// A small check harness for the console tests that run under Wine, where
// GoogleTest is not available: each failure is printed with its group, and
// the summary decides the exit status.

#include <cstdio>
#include <sstream>
#include <string>

class Checks {
public:
    void group(const char* name) { group_ = name; }
    bool that(bool condition, const std::string& what) {
        ++(condition ? passed_ : failed_);
        if (!condition) std::printf("FAILED [%s] %s\n", group_, what.c_str());
        return condition;
    }
    template <class A, class B>
    bool equal(const A& actual, const B& expected, const std::string& what) {
        std::ostringstream text;
        text << what << ": got " << actual << ", expected " << expected;
        return that(actual == expected, text.str());
    }
    // Prints "N passed, N failed"; returns the process exit status.
    int summary() const {
        std::printf("%d passed, %d failed\n", passed_, failed_);
        return failed_ == 0 ? 0 : 1;
    }

private:
    const char* group_ = "";
    int passed_ = 0;
    int failed_ = 0;
};
