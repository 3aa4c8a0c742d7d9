#include "DisplayLoss.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <utility>

namespace platform {

namespace {

// A worker that notices first waits this long for the GUI thread to notice
// too (it does at once: its own connections broke as well), so that the
// last chance runs where the window lives.
constexpr auto GuiHandOverGrace = std::chrono::milliseconds(1000);
constexpr auto GraceStep = std::chrono::milliseconds(5);
const char ExitCalledWhat[] = "the toolkit ended the program: its display connection broke";

struct EndState {
    std::atomic<bool> armed{false};
    std::atomic<bool> exitHandlerAdded{false};
    std::atomic<std::thread::id> guiThread{};
    std::atomic<bool> noticed{false};
    std::atomic<bool> ending{false};
    std::atomic<std::thread::id> endingThread{};
    std::mutex lastChanceMutex;
    std::function<void()> lastChance;
};

EndState& endState() {
    static EndState state;
    return state;
}

[[noreturn]] void blockForever() {
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}

void exitCalled() {
    if (endState().armed.load()) DisplayLoss::end(ExitCalledWhat);
}

}  // namespace

void DisplayLoss::arm() {
    EndState& state = endState();
    state.guiThread.store(std::this_thread::get_id());
    if (!state.exitHandlerAdded.exchange(true)) std::atexit(exitCalled);
    state.armed.store(true);
}

void DisplayLoss::disarm() {
    EndState& state = endState();
    state.armed.store(false);
    state.guiThread.store(std::thread::id());
}

void DisplayLoss::setLastChance(std::function<void()> lastChance) {
    EndState& state = endState();
    std::lock_guard<std::mutex> lock(state.lastChanceMutex);
    state.lastChance = std::move(lastChance);
}

void DisplayLoss::end(const char* what) {
    EndState& state = endState();
    const std::thread::id self = std::this_thread::get_id();
    // The last chance itself touched the dead display: end now.
    if (state.ending.load() && state.endingThread.load() == self) std::_Exit(DisplayLostExitStatus);
    if (!state.noticed.exchange(true)) {
        std::fprintf(stderr, "quillpress: %s; ending with status %d\n", what, DisplayLostExitStatus);
        std::fflush(stderr);
    }
    const std::thread::id gui = state.guiThread.load();
    if (gui != std::thread::id() && self != gui) {
        const auto deadline = std::chrono::steady_clock::now() + GuiHandOverGrace;
        while (!state.ending.load() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(GraceStep);
    }
    bool expected = false;
    if (!state.ending.compare_exchange_strong(expected, true)) blockForever();
    state.endingThread.store(self);
    {
        std::lock_guard<std::mutex> lock(state.lastChanceMutex);
        if (state.lastChance) state.lastChance();
    }
    std::_Exit(DisplayLostExitStatus);
}

}  // namespace platform
