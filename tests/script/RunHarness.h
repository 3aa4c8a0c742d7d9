#pragma once
// Runs scripts through a ThreadManager on the fake platform and collects
// their log, for the script runner's tests.

#include <QString>
#include <chrono>
#include <functional>
#include <ostream>
#include <string>

#include "platform/fake/FakePlatform.h"
#include "script/ThreadManager.h"

class RunHarness {
public:
    RunHarness() { manager.logEnabled = true; }

    // Starts a run and waits for its end; returns its whole log.
    QString run(const std::string& text, bool isFile = false);
    // Starts a run and returns at once.
    Thread* start(const std::string& text, bool isFile = false);
    // Waits for the run to end (aborting the test program when it does not:
    // a hung run cannot be recovered) and returns the log not yet taken.
    QString finish(Thread* run);
    // Collects the run's log until it contains marker; false on timeout.
    bool waitForLog(Thread* run, const QString& marker);
    // Everything collected from the run so far.
    const QString& collected() const { return log_; }

    platform::FakePlatform platform;
    ThreadManager manager{platform};

private:
    QString log_;
};

// Runs text as a single table run and returns its log without the loading
// and finishing lines (a test failure when they are not as expected).
QString scriptOutput(RunHarness& h, const std::string& text);

// Lets test failures show log text as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// Seconds of a monotonic clock, for measuring from the test's side.
double secondsSince(std::chrono::steady_clock::time_point start);

// True when work returns within the time; a deadlock shows as false (the
// stuck helper thread is then left behind).
bool finishesWithin(std::function<void()> work, std::chrono::milliseconds limit);

// Writes a script file in a fresh temporary folder and returns its path.
std::string writeScriptFile(const std::string& name, const std::string& text);
