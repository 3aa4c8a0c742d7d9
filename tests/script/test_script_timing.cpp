// The sleeps and a run's waits: deadlines in whole units of elapsed time,
// NanoSleep's count, real pauses (checked with generous bounds: a wait on a
// monotonic clock never ends early, but may end late on a busy machine), and
// a stop that cuts every kind of wait short.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "RunHarness.h"
#include "script/SleepFunctions.h"
#include "script/TimedWait.h"
#include "tests/input/RecordLines.h"

namespace {

using namespace std::chrono;
constexpr double LateSlack = 1.5;  // seconds; the suite also runs under the sanitizers on two busy cores
constexpr double Inf = std::numeric_limits<double>::infinity();

TEST(SleepTime, DeadlinesCountWholeUnitsAndNothingToWaitForEndsAtTheStart) {
    const WaitClock::time_point t0{seconds(1000)};
    const struct {
        double argument;
        PauseUnit unit;
        WaitClock::duration after;
    } cases[] = {
        {0.0001, HourSleepUnit, seconds(1)},  // 0.36 s -> one whole second
        {0.01, MinSleepUnit, milliseconds(600)}, {0.0004, SecSleepUnit, milliseconds(1)},
        {0.0015, MilliSleepUnit, microseconds(2)}, {1.5, MicroSleepUnit, nanoseconds(1500)},
        {2.5, StoppableWaitUnit, microseconds(2500)}, {1e5, HourSleepUnit, hours(100000)},
        {0.0, SecSleepUnit, {}}, {-0.0001, SecSleepUnit, {}}, {std::nan(""), SecSleepUnit, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(pauseDeadline(t0, c.argument, c.unit), t0 + c.after) << c.argument;
    // Pauses beyond a century end only by a stop.
    EXPECT_FALSE(pauseDeadline(t0, Inf, MilliSleepUnit));
    EXPECT_FALSE(pauseDeadline(t0, 1e6, HourSleepUnit));
}

TEST(SleepTime, NanoSleepTruncatesAndKeepsTheLow32BitsOfA64BitInteger) {
    const struct {
        double argument;
        uint32_t nanoseconds;
    } cases[] = {{1.9, 1u}, {-1.9, 4294967295u}, {4294967296.0, 0u}, {4294967297.5, 1u},
                 // without a 64-bit integer, nothing
                 {std::nan(""), 0u}, {-Inf, 0u}, {9223372036854775808.0, 0u}};
    for (const auto& c : cases) EXPECT_EQ(nanoSleepNanoseconds(c.argument), c.nanoseconds) << c.argument;
}

// Each sleep in its own unit, and a glide that reaches its target; os.clock
// counts the elapsed time, not the processor's.
TEST(SleepTime, PausesLastTheirTargetByTheElapsedClock) {
    RunHarness h;
    const auto start = steady_clock::now();
    const QString out = scriptOutput(h,
        "local t = os.clock() HourSleep(0.0001) MinSleep(0.001) SecSleep(0.05) MilliSleep('50') "
        "MicroSleep(50000) NanoSleep(50000000) MoveMouse(1900, 1000, 50) Log(os.clock() - t)");
    const double outside = secondsSince(start), inside = out.toDouble();
    EXPECT_GE(inside, 1.0 + 0.06 + 0.05 * 4) << out.toStdString();
    EXPECT_LE(inside, outside);
    EXPECT_LT(outside, 1.26 + LateSlack);
    EXPECT_EQ(h.platform.calls().back(), mouse(64886, 60741, 0, 0x8001));
}

// The run ends at once, with the stop's line, whichever wait it was in; what
// was cut short is finished and nothing else is sent: the typed character,
// the drag's release, no step to the glide's target.
TEST(SleepStop, AStopEndsEveryKindOfWaitAtOnce) {
    const std::string target = mouse(64886, 60741, 0, 0x8001);
    const struct {
        std::string call, last = "", never = "";
    } cases[] = {
        {"HourSleep(1)"}, {"MinSleep(1)"}, {"SecSleep(60)"}, {"MilliSleep(60000)"}, {"MicroSleep(60000000)"},
        {"MilliSleep(1/0)"}, {"NanoSleep(-1)"},
        {"HitKey('A', 600000, 0)", key(0, 0x1E, 0x0A)},
        {"TypeString(string.rep('b', 60) .. 'Z')", key(0, 0x30, 0x0A), key(0, 0x2A, 0x08)},
        {"MoveMouse(1900, 1000, 600000)", "", target},
        {"DragMouse(1900, 1000, 600000)", mouse(0, 0, 0, 0x04), target},
    };
    for (const auto& c : cases) {
        RunHarness h;
        h.platform.setCursor({100, 100});
        Thread* run = h.start("TypeString('b') Log('go' .. '!') " + c.call + " Log('after')");
        ASSERT_TRUE(h.waitForLog(run, "go!"));
        const auto stopped = steady_clock::now();
        h.manager.stopRun();
        const QString log = h.finish(run);
        EXPECT_LT(secondsSince(stopped), LateSlack) << c.call;
        EXPECT_TRUE(log.endsWith("go!Error Stopped execution from gui thread\n-- Finished executing: TABLE\n\n"))
            << log.toStdString();
        std::vector<std::string> sent;
        for (const std::string& call : h.platform.calls())
            if (call.rfind("sendInput", 0) == 0) sent.push_back(call);
        ASSERT_GE(sent.size(), 2u);
        if (!c.last.empty()) {
            EXPECT_EQ(sent.back(), c.last) << c.call;
        }
        EXPECT_NE(sent[sent.size() - 2], sent.back()) << c.call << ": sent twice";
        EXPECT_EQ(std::count(sent.begin(), sent.end(), c.never), 0) << c.call;
    }
}

}  // namespace
