#include "StopSignal.h"

#include <algorithm>

#include "StopGuards.h"

void StopSignal::requestStop() {
    std::lock_guard<std::mutex> lock(stopMutex);
    stopRequest = true;
    armAndWake();
}

void StopSignal::requestExit(int status) {
    std::lock_guard<std::mutex> lock(stopMutex);
    if (!exitRequest)
        exitRequest = status;
    armAndWake();
}

std::optional<int> StopSignal::exitStatus() const {
    std::lock_guard<std::mutex> lock(stopMutex);
    return exitRequest;
}

bool StopSignal::endRequested() const {
    std::lock_guard<std::mutex> lock(stopMutex);
    return ending();
}

void StopSignal::armAndWake() {
    if (luaState)
        armStopHook(luaState);
    for (lua_State* coroutine : resumedCoroutines)
        armStopHook(coroutine);
    stopWake.notify_all();
}

bool StopSignal::stopRequested() const {
    std::lock_guard<std::mutex> lock(stopMutex);
    return stopRequest;
}

bool StopSignal::waitUntil(Clock::time_point deadline) const {
    std::unique_lock<std::mutex> lock(stopMutex);
    return stopWake.wait_until(lock, deadline, [this] { return ending(); });
}

void StopSignal::waitForStop() const {
    std::unique_lock<std::mutex> lock(stopMutex);
    stopWake.wait(lock, [this] { return ending(); });
}

void StopSignal::attachState(lua_State* state) {
    std::lock_guard<std::mutex> lock(stopMutex);
    luaState = state;
    if (ending())
        armStopHook(state);
}

void StopSignal::detachState() {
    std::lock_guard<std::mutex> lock(stopMutex);
    luaState = nullptr;
    resumedCoroutines.clear();
}

void StopSignal::enterCoroutine(lua_State* coroutine) {
    std::lock_guard<std::mutex> lock(stopMutex);
    resumedCoroutines.push_back(coroutine);
    // A coroutine created before the stop does not inherit the hook.
    if (ending())
        armStopHook(coroutine);
}

void StopSignal::leaveCoroutine(lua_State* coroutine) {
    std::lock_guard<std::mutex> lock(stopMutex);
    auto last = std::find(resumedCoroutines.rbegin(), resumedCoroutines.rend(), coroutine);
    if (last != resumedCoroutines.rend())
        resumedCoroutines.erase(std::next(last).base());
}
