#include "TimedWait.h"

#include <cmath>
#include <thread>

#include "Thread.h"

std::optional<WaitClock::time_point> pauseDeadline(WaitClock::time_point start, double argument,
                                                   PauseUnit unit) {
    const double target = argument * unit.factor;
    if (!(target > 0))
        return start;
    const double units = std::ceil(target);
    const double longest = static_cast<double>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(LongestTimedPause).count());
    if (units * static_cast<double>(unit.counted.count()) > longest)
        return std::nullopt;
    return start + unit.counted * static_cast<int64_t>(units);
}

bool timedPause(StopSignal* signal, WaitClock::time_point start, double argument, PauseUnit unit) {
    const std::optional<WaitClock::time_point> deadline = pauseDeadline(start, argument, unit);
    // A pause already over returns without looking at the stop request.
    if (deadline && WaitClock::now() >= *deadline)
        return true;
    if (signal) {
        if (deadline)
            return !signal->waitUntil(*deadline);
        signal->waitForStop();
        return false;
    }
    if (deadline) {
        std::this_thread::sleep_until(*deadline);
        return true;
    }
    for (;;)
        std::this_thread::sleep_for(LongestTimedPause);
}

bool pauseInCurrentRun(WaitClock::time_point start, double argument, PauseUnit unit) {
    Thread* run = Thread::current();
    return timedPause(run ? &run->stopSignal() : nullptr, start, argument, unit);
}
