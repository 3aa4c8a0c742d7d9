#pragma once
// Starts runs and keeps their threads: the latest run is current; older
// ones stay until a later start finds them finished, or until the manager
// is destroyed (which stops them and waits for their end).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Thread.h"

namespace platform {
class Platform;
}

class ThreadManager {
public:
    // Every run injects through platform, which must outlive the manager.
    explicit ThreadManager(platform::Platform& platform);
    ~ThreadManager();
    ThreadManager(const ThreadManager&) = delete;
    ThreadManager& operator=(const ThreadManager&) = delete;

    // Settings copied into each new run.
    bool logEnabled = false;
    bool loopMode = false;
    int32_t repeatCount = 0;
    std::size_t memoryLimit = defaultScriptMemoryLimit();

    // Starts a run of the file at text (UTF-8 path) when isFile, else of the
    // Lua text itself; it becomes current. Finished older runs are deleted.
    void startRun(std::string text, bool isFile);
    // Asks the current run to stop, if it is running.
    void stopRun();
    // The latest run; null before the first.
    Thread* current() const;
    // Runs not yet deleted, oldest first.
    std::size_t threadCount() const { return threads.size(); }

private:
    platform::Platform& platform_;
    std::vector<std::unique_ptr<Thread>> threads;
};
