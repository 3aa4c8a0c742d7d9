#include "ThreadManager.h"

#include <algorithm>
#include <utility>

ThreadManager::ThreadManager(platform::Platform& platform) : platform_(platform) {}

ThreadManager::~ThreadManager() {
    // No Thread is destroyed while it runs: ask all to stop, then let each
    // destructor wait for its end.
    for (const auto& thread : threads)
        thread->requestStop();
    threads.clear();
}

void ThreadManager::startRun(std::string text, bool isFile) {
    RunSettings settings;
    settings.logEnabled = logEnabled;
    settings.loopMode = loopMode;
    settings.repeatCount = repeatCount;
    settings.memoryLimit = memoryLimit;
    settings.runFile = isFile;
    if (isFile)
        settings.scriptPath = std::move(text);
    else
        settings.tableScript = std::move(text);

    threads.push_back(std::make_unique<Thread>(platform_, std::move(settings)));
    threads.back()->start(QThread::InheritPriority);

    // Older runs that have come to their end go; the new one stays last.
    const Thread* newest = threads.back().get();
    auto finished = [newest](const std::unique_ptr<Thread>& thread) {
        return thread.get() != newest && !thread->isRunning();
    };
    threads.erase(std::remove_if(threads.begin(), threads.end(), finished), threads.end());
}

void ThreadManager::stopRun() {
    Thread* run = current();
    if (run && run->isRunning())
        run->requestStop();
}

Thread* ThreadManager::current() const {
    return threads.empty() ? nullptr : threads.back().get();
}
