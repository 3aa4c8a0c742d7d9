#include "RunHarness.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

Thread* RunHarness::start(const std::string& text, bool isFile) {
    log_.clear();
    manager.startRun(text, isFile);
    return manager.current();
}

QString RunHarness::finish(Thread* run) {
    if (!run->wait(60000)) {
        std::fprintf(stderr, "a run did not end; log so far:\n%s\n", qPrintable(log_ + run->takeLog()));
        std::abort();
    }
    return log_ += run->takeLog();
}

bool RunHarness::waitForLog(Thread* run, const QString& marker) {
    const auto start = std::chrono::steady_clock::now();
    while (secondsSince(start) < 20) {
        log_ += run->takeLog();
        if (log_.contains(marker)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

std::vector<std::string> sentLines(const platform::FakePlatform& fake) {
    std::vector<std::string> lines;
    for (const std::string& call : fake.calls())
        if (call.rfind("sendInput", 0) == 0) lines.push_back(call);
    return lines;
}

std::string key(int vk, int scan, int flags) {
    return "sendInput key vk=" + std::to_string(vk) + " scan=" + std::to_string(scan) + " flags=" + std::to_string(flags);
}

std::string mouse(int dx, int dy, int data, int flags) {
    return "sendInput mouse dx=" + std::to_string(dx) + " dy=" + std::to_string(dy) + " data=" + std::to_string(data) +
           " flags=" + std::to_string(flags);
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string writeScriptFile(const std::string& name, const std::string& text) {
    // The folders live until the test program ends.
    static std::vector<std::unique_ptr<QTemporaryDir>> folders;
    folders.push_back(std::make_unique<QTemporaryDir>());
    const std::string path = QDir(folders.back()->path()).filePath(QString::fromStdString(name)).toStdString();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// Qt is not built with the thread sanitizer, so it cannot see that
// QThread::wait() orders the end of a run (Qt waking its own condition) before
// the QThread's destruction. Our code uses no QWaitCondition.
extern "C" const char* __tsan_default_suppressions() {
    return "race:QWaitCondition::wakeAll\nrace:QWaitCondition::~QWaitCondition\n";
}
