#pragma once
// What the script benchmarks share: a run that notes when its thread ended,
// and the settings of a logged table run.

#include <chrono>
#include <functional>
#include <string>

#include "script/Thread.h"

class TimedRun : public Thread {
public:
    using Thread::Thread;
    std::chrono::steady_clock::time_point ended;
    // Called on the run's thread before the script starts (e.g. to pin it).
    std::function<void()> beforeRun;

protected:
    void run() override {
        if (beforeRun) beforeRun();
        Thread::run();
        ended = std::chrono::steady_clock::now();
    }
};

inline RunSettings tableRun(const std::string& text) {
    RunSettings settings;
    settings.logEnabled = true;
    settings.tableScript = text;
    return settings;
}
