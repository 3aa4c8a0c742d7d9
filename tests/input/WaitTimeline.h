#pragma once
// Lends an injector its pauses and puts them among the calls the fake
// platform recorded, so a test can compare one ordered list ("wait 50"
// lines between "sendInput ..." lines). A pause sleeps at most a glide's
// step, so glides keep their pace while hits do not take their full time.
// The latest timeline is also reachable process-wide, for the stand-in of
// a run that script functions reach through ScriptContext.h.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "input/InjectionContext.h"
#include "input/InputInjector.h"
#include "platform/fake/FakePlatform.h"

class WaitTimeline final : public InjectionContext {
public:
    explicit WaitTimeline(platform::FakePlatform& fake) : fake_(fake) { current() = this; }
    ~WaitTimeline() { current() = nullptr; }
    static WaitTimeline& latest() { return *current(); }

    bool pause(double milliseconds) override {
        waits_.emplace_back(fake_.calls().size(), milliseconds);
        std::this_thread::sleep_for(
            std::chrono::duration<double, std::milli>(std::min(milliseconds, GlideStepPause)));
        return true;
    }
    bool interrupted() const override { return false; }
    HeldInputs* heldInputs() override { return &held_; }

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
    HeldInputs held_;
};
