#pragma once
// Runs scripts through a ThreadManager on the fake platform and collects
// their log, for the script runner's tests.

#include <QString>
#include <chrono>
#include <string>
#include <vector>

#include "platform/fake/FakePlatform.h"
#include "script/ThreadManager.h"
#include "tests/support/QtPrinters.h"

class RunHarness {
public:
    RunHarness() { manager.logEnabled = true; }

    QString run(const std::string& text, bool isFile = false) { return finish(start(text, isFile)); }
    Thread* start(const std::string& text, bool isFile = false);
    // Aborts the test program when the run does not end: a hung run cannot
    // be recovered. Returns everything collected from the run.
    QString finish(Thread* run);
    // Collects the run's log until it contains marker; false on timeout.
    bool waitForLog(Thread* run, const QString& marker);

    platform::FakePlatform platform;
    ThreadManager manager{platform};

private:
    QString log_;
};


// The records sent, as lines; the fake also lists its queries.
std::vector<std::string> sentLines(const platform::FakePlatform& fake);
// The fake's line for one sent record.
std::string key(int vk, int scan, int flags);
std::string mouse(int dx, int dy, int data, int flags);

double secondsSince(std::chrono::steady_clock::time_point start);

// Writes a script file in a fresh temporary folder and returns its path.
std::string writeScriptFile(const std::string& name, const std::string& text);
