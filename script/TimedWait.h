#pragma once
// Pauses counted in whole units of elapsed time on a monotonic clock (a
// change of the wall clock neither stretches nor cuts them), ended early by
// a stop request without polling.

#include <chrono>
#include <optional>

#include "StopSignal.h"

using WaitClock = StopSignal::Clock;

// How an argument becomes a pause: target = argument * factor, in units of
// `counted`; the pause ends once the whole units elapsed reach the target.
struct PauseUnit {
    double factor;
    std::chrono::nanoseconds counted;
};

constexpr PauseUnit HourSleepUnit{3600.0, std::chrono::seconds(1)};
constexpr PauseUnit MinSleepUnit{60000.0, std::chrono::milliseconds(1)};
constexpr PauseUnit SecSleepUnit{1000.0, std::chrono::milliseconds(1)};
constexpr PauseUnit MilliSleepUnit{1000.0, std::chrono::microseconds(1)};
constexpr PauseUnit MicroSleepUnit{1000.0, std::chrono::nanoseconds(1)};
constexpr PauseUnit NanoSleepUnit{1.0, std::chrono::nanoseconds(1)};
constexpr PauseUnit StoppableWaitUnit{1000.0, std::chrono::microseconds(1)};

// Pauses longer than this have no deadline: they end only by a stop.
constexpr std::chrono::hours LongestTimedPause{24 * 365 * 100};

// The moment a pause of `argument` begun at start ends: start when the
// target is not positive (or not a number), nullopt when it is too long to
// have a deadline.
std::optional<WaitClock::time_point> pauseDeadline(WaitClock::time_point start, double argument,
                                                   PauseUnit unit);

// Pauses until the deadline of `argument` or until signal asks to stop;
// false when the stop ended it. Without a signal (not on a run's thread)
// it simply waits.
bool timedPause(StopSignal* signal, WaitClock::time_point start, double argument, PauseUnit unit);
// The same, stopped by the run of the calling thread, if it is one.
bool pauseInCurrentRun(WaitClock::time_point start, double argument, PauseUnit unit);
