#pragma once
// The stop request of one run, and everything needed to act on it at once:
// the run's Lua state and the coroutines being resumed get a count hook
// when (and only when) a stop is requested, and waits are woken.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

struct lua_State;

class StopSignal {
public:
    using Clock = std::chrono::steady_clock;

    // Any thread. Sets the request for good, arms the hook on the attached
    // state and the coroutines being resumed, and wakes every wait.
    void requestStop();
    // Any thread.
    bool stopRequested() const;

    // Worker: os.exit ends the run the way a stop does, keeping the status
    // it asked for. Not a stop request: the run ends by itself.
    void requestExit(int status);
    // The status os.exit asked for, if it was called.
    std::optional<int> exitStatus() const;
    // Whether running code must unwind: after a stop request or os.exit.
    bool endRequested() const;

    // Waits until the deadline or a stop request (or os.exit), without
    // polling. True when the run is to end.
    bool waitUntil(Clock::time_point deadline) const;
    // Waits until a stop request; for waits too long to have a deadline.
    void waitForStop() const;

    // The run's main state, from its creation until just before it closes.
    // A state attached after the request is armed at once.
    void attachState(lua_State* state);
    void detachState();
    // Brackets one resume of a coroutine of the attached state.
    void enterCoroutine(lua_State* coroutine);
    void leaveCoroutine(lua_State* coroutine);

private:
    // Under stopMutex: a stop or an os.exit was asked for.
    bool ending() const { return stopRequest || exitRequest.has_value(); }
    // Under stopMutex: arms the hooks and wakes every wait.
    void armAndWake();

    mutable std::mutex stopMutex;
    mutable std::condition_variable stopWake;
    bool stopRequest = false;
    std::optional<int> exitRequest;
    lua_State* luaState = nullptr;
    std::vector<lua_State*> resumedCoroutines;
};
