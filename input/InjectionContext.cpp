#include "InjectionContext.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {
// A run holds a handful of keys at most; room for them up front keeps the
// record from allocating while the script injects.
constexpr std::size_t UsualHeldCount = 16;
}  // namespace

HeldInputs::HeldInputs() { releases_.reserve(UsualHeldCount); }

void HeldInputs::pressed(const platform::InputRecord& release) {
    if (std::find(releases_.begin(), releases_.end(), release) == releases_.end())
        releases_.push_back(release);
}

void HeldInputs::released(const platform::InputRecord& release) {
    releases_.erase(std::remove(releases_.begin(), releases_.end(), release), releases_.end());
}

std::vector<platform::InputRecord> HeldInputs::takeNewestFirst() {
    std::vector<platform::InputRecord> taken(releases_.rbegin(), releases_.rend());
    releases_.clear();
    return taken;
}

bool PlainInjectionContext::pause(double milliseconds) {
    // Bounded so that no argument overflows the clock's count.
    constexpr double LongestPlainPause = 24.0 * 3600.0 * 1000.0;
    const double bounded = std::min(milliseconds, LongestPlainPause);
    if (bounded > 0.0)
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(bounded));
    return true;
}
