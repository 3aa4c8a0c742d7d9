// The sleeps and a run's pause: deadlines in whole units of elapsed time,
// argument errors, real pauses (checked with tolerant bounds: a wait on a
// monotonic clock never ends early, but may end late on a busy machine),
// stops that cut them short, NanoSleep's count, os.clock.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>

#include "RunHarness.h"
#include "script/SleepFunctions.h"
#include "script/TimedWait.h"

namespace {

using namespace std::chrono;
using std::chrono::milliseconds;

// Generous: the suite also runs under the sanitizers on two busy cores.
constexpr double LateSlack = 1.5;

TEST(PauseDeadline, EndsWhenTheWholeUnitsElapsedReachTheTarget) {
    const WaitClock::time_point t0{seconds(1000)};
    const struct {
        double argument;
        PauseUnit unit;
        WaitClock::duration after;
    } cases[] = {
        {0.0001, HourSleepUnit, seconds(1)},  // 0.36 s -> one whole second
        {1, HourSleepUnit, hours(1)},          {0.01, MinSleepUnit, milliseconds(600)},
        {1.5, SecSleepUnit, milliseconds(1500)}, {0.0004, SecSleepUnit, milliseconds(1)},
        {250, MilliSleepUnit, milliseconds(250)}, {0.0015, MilliSleepUnit, microseconds(2)},
        {1.5, MicroSleepUnit, nanoseconds(1500)}, {2.5, StoppableWaitUnit, microseconds(2500)},
        // Nothing to wait for ends at the start.
        {0.0, SecSleepUnit, {}}, {-5.0, SecSleepUnit, {}}, {-0.0001, SecSleepUnit, {}},
        {std::nan(""), SecSleepUnit, {}}, {1e5, HourSleepUnit, hours(100000)},
    };
    for (const auto& c : cases) EXPECT_EQ(pauseDeadline(t0, c.argument, c.unit), t0 + c.after) << c.argument;
    // Pauses beyond a century end only by a stop.
    EXPECT_FALSE(pauseDeadline(t0, std::numeric_limits<double>::infinity(), MilliSleepUnit));
    EXPECT_FALSE(pauseDeadline(t0, 1e300, MicroSleepUnit));
    EXPECT_FALSE(pauseDeadline(t0, 1e6, HourSleepUnit));
}

TEST(NanoSleepCount, TruncatesAndKeepsTheLow32BitsOfA64BitInteger) {
    constexpr double Inf = std::numeric_limits<double>::infinity();
    const struct {
        double argument;
        uint32_t nanoseconds;
    } cases[] = {{0, 0u}, {1000000000, 1000000000u}, {1.9, 1u}, {-1, 4294967295u}, {-1.9, 4294967295u},
                 {4294967295.0, 4294967295u}, {4294967296.0, 0u}, {4294967297.5, 1u}, {-4294967296.0, 0u},
                 // without a 64-bit integer, nothing
                 {std::nan(""), 0u}, {Inf, 0u}, {-Inf, 0u}, {1e30, 0u}, {9223372036854775808.0, 0u}};
    for (const auto& c : cases) EXPECT_EQ(nanoSleepNanoseconds(c.argument), c.nanoseconds) << c.argument;
}

TEST(SleepArguments, WrongCountOrKindIsReportedWithTheLineAndDoesNotPause) {
    RunHarness h;
    h.manager.loopMode = true;
    h.manager.repeatCount = 1;
    const std::string text =
        "local t = os.clock()\n"
        "HourSleep()\n"
        "MinSleep(\"x\")\n"
        "SecSleep(1, 2)\n"
        "MilliSleep({})\n"
        "MicroSleep(nil)\n"
        "NanoSleep()\n"
        "NanoSleep(\"1e9x\")\n"
        "pcall(MilliSleep)\n"
        "if os.clock() - t < 0.5 then Log(\"quick\") end";
    EXPECT_EQ(h.run(text).toStdString(),
              "-- Loading: TABLE\n" + text + "\nLooping...\n" +
                  "Error Line 2: Wrong number of arguments.\n"
                  "Error Line 3: Wrong type of arguments, \nExpected: number\n"
                  "Error Line 4: Wrong number of arguments.\n"
                  "Error Line 5: Wrong type of arguments, \nExpected: number\n"
                  "Error Line 6: Wrong type of arguments, \nExpected: number\n"
                  "Error Line 7: Wrong number of arguments.\n"
                  "Error Line 8: Wrong type of arguments, \nExpected: number\n"
                  "Error Line -1: Wrong number of arguments.\n"
                  "quick"
                  "-- Finished executing: TABLE\n\n");
}

// Runs "local t = os.clock() <call> Log(os.clock() - t)" and returns the seconds logged.
double timedCall(const std::string& call) {
    RunHarness h;
    h.manager.loopMode = true;
    h.manager.repeatCount = 1;
    const QString log = h.run("local t = os.clock() " + call + " Log(string.format('<%.6f>', os.clock() - t))");
    const int open = log.lastIndexOf('<');
    const int close = log.indexOf('>', open);
    EXPECT_TRUE(open >= 0 && close > open) << log.toStdString();
    return log.mid(open + 1, close - open - 1).toDouble();
}

TEST(SleepUnits, PausesLastTheirTargetInWholeUnits) {
    struct Case {
        std::string call;
        double seconds;
    };
    const Case cases[] = {
        {"HourSleep(0.0001)", 1.0},  // 0.36 s, counted in whole seconds
        {"MinSleep(0.01)", 0.6},      {"SecSleep(0.3)", 0.3},   {"MilliSleep(250)", 0.25},
        {"MilliSleep(\"100\")", 0.1}, {"MicroSleep(20000)", 0.02}, {"NanoSleep(50000000)", 0.05},
    };
    for (const Case& c : cases) {
        const double took = timedCall(c.call);
        EXPECT_GE(took, c.seconds) << c.call;
        EXPECT_LT(took, c.seconds + LateSlack) << c.call;
    }
}

TEST(SleepUnits, NothingToWaitForReturnsAtOnce) {
    for (const char* call : {"SecSleep(0)", "SecSleep(-5)", "HourSleep(-1)", "NanoSleep(0)", "MilliSleep(0/0)"})
        EXPECT_LT(timedCall(call), 0.2) << call;
}

TEST(OsClock, AdvancesWithElapsedTimeNotProcessorTime) {
    const auto start = steady_clock::now();
    const double inside = timedCall("NanoSleep(200000000)");
    EXPECT_GE(inside, 0.2);
    EXPECT_LE(inside, secondsSince(start));
}

// Starts text, waits for it to log "go!", stops it and returns how long the
// run took to end after the request.
double stopLatency(const std::string& text) {
    RunHarness h;
    Thread* run = h.start(text);
    EXPECT_TRUE(h.waitForLog(run, "go!"));
    const auto stopped = steady_clock::now();
    h.manager.stopRun();
    const QString log = h.finish(run);
    EXPECT_TRUE(log.endsWith("go!Error Stopped execution from gui thread\n-- Finished executing: TABLE\n\n"))
        << log.toStdString();
    return secondsSince(stopped);
}

TEST(SleepStop, AStopEndsEveryStoppableSleepAtOnce) {
    for (const char* call : {"HourSleep(1)", "MinSleep(1)", "SecSleep(60)", "MilliSleep(60000)",
                             "MicroSleep(60000000)", "MilliSleep(1/0)", "NanoSleep(-1)"})
        EXPECT_LT(stopLatency(std::string("Log(\"go\" .. \"!\") ") + call + " Log(\"after\")"), LateSlack) << call;
}

// A run whose whole work is the pause it lends its injectors: a short one
// to its end, then a long one.
class PausingRun : public Thread {
public:
    using Thread::Thread;
    bool shortPassed = false;
    bool longPassed = true;
    double waited = -1;

protected:
    void run() override {
        shortPassed = pause(30);
        const auto start = steady_clock::now();
        longPassed = pause(60000);
        waited = secondsSince(start);
    }
};

TEST(RunPause, AStopEndsItAndSaysSo) {
    platform::FakePlatform platform;
    PausingRun run(platform, RunSettings{});
    run.start();
    ASSERT_FALSE(run.wait(150));
    const auto stopped = steady_clock::now();
    run.requestStop();
    ASSERT_TRUE(run.wait(60000));
    EXPECT_LT(secondsSince(stopped), LateSlack);
    EXPECT_TRUE(run.shortPassed);
    EXPECT_FALSE(run.longPassed);
    EXPECT_GE(run.waited, 0.05);
}

}  // namespace
