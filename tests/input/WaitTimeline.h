#pragma once
// Puts the waits of an injected sequence among the calls the fake platform
// recorded, so a test can compare one ordered list ("wait 50" lines between
// "sendInput ..." lines). The injector takes a plain function pointer, so
// the timeline in use is process-wide.

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "platform/fake/FakePlatform.h"

class WaitTimeline {
public:
    explicit WaitTimeline(platform::FakePlatform& fake) : fake_(fake) { current() = this; }
    ~WaitTimeline() { current() = nullptr; }

    // The wait function to hand to the code under test.
    static void wait(double milliseconds) {
        WaitTimeline* timeline = current();
        timeline->waits_.emplace_back(timeline->fake_.calls().size(), milliseconds);
        if (timeline->waits_.size() == timeline->stopAfter_) timeline->stopped_ = true;
    }

    // From the n-th wait on, the run counts as asked to stop.
    void stopAfterWaits(std::size_t n) { stopAfter_ = n; }
    bool stopped() const { return stopped_; }
    std::size_t waitCount() const { return waits_.size(); }

    // The fake's calls with "wait N" placed where each wait happened.
    std::vector<std::string> lines() const {
        const std::vector<std::string> calls = fake_.calls();
        std::vector<std::string> merged;
        std::size_t next = 0;
        for (std::size_t i = 0; i <= calls.size(); ++i) {
            for (; next < waits_.size() && waits_[next].first == i; ++next)
                merged.push_back(describe(waits_[next].second));
            if (i < calls.size()) merged.push_back(calls[i]);
        }
        return merged;
    }

    void clear() {
        fake_.clearCalls();
        waits_.clear();
    }

private:
    static WaitTimeline*& current() {
        static WaitTimeline* timeline = nullptr;
        return timeline;
    }
    static std::string describe(double milliseconds) {
        char text[64];
        std::snprintf(text, sizeof text, "wait %g", milliseconds);
        return text;
    }

    platform::FakePlatform& fake_;
    std::vector<std::pair<std::size_t, double>> waits_;
    std::size_t stopAfter_ = 0;
    bool stopped_ = false;
};
