// Cost of one injected event: through InputInjector and through a script
// function called from Lua (its waits left out), against sending a ready
// record straight to the platform and against starting one xdotool process
// per event (keydown or keyup, no delay, on a private Xvfb). Each figure is the best
// of several rounds, all measured in this run.

#include <lua.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "input/InputInjector.h"
#include "input/KeyNames.h"
#include "platform/fake/FakePlatform.h"
#include "script/ScriptFunctions.h"
#include "script/ScriptContext.h"
#include "tests/support/ProcessRunner.h"
#include "tests/support/XvfbServer.h"

namespace {

// Takes records and answers queries without recording: isolates the cost
// of building records from the fake's own bookkeeping.
class CountingPlatform : public platform::FakePlatform {
public:
    void sendInput(const platform::InputRecord& record,
                   const platform::SendInterruption* = nullptr) override {
        sent += record.keyboard.scanCode + 1;
    }
    uint16_t scanCodeOfVirtualKey(uint32_t) override { return 0x1E; }
    platform::Rect desktopRect() override { return {0, 0, 1920, 1080}; }
    long long sent = 0;
};

platform::Platform* benchPlatform = nullptr;

// As a run lends it, keeping the record of held keys, but without waits.
class NoWaitContext final : public InjectionContext {
public:
    bool pause(double) override { return true; }
    bool interrupted() const override { return false; }
    HeldInputs* heldInputs() override { return &held; }
    HeldInputs held;
};
NoWaitContext noWait;

constexpr int Rounds = 5;

// Best nanoseconds per event over the rounds; body sends `events` events.
double bestNanosPerEvent(int events, const std::function<void()>& body) {
    double best = 1e300;
    for (int round = 0; round < Rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        body();
        const std::chrono::duration<double, std::nano> spent =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, spent.count() / events);
    }
    return best;
}

// One xdotool process per event, alternating key-down and key-up of A, on
// a private X server. Negative when xdotool fails.
double xdotoolNanosPerEvent(int calls) {
    XvfbServer server;
    bool failed = false;
    const double nanos = bestNanosPerEvent(calls, [&] {
        for (int i = 0; i < calls && !failed; ++i)
            failed = runProcess({"xdotool", i % 2 ? "keyup" : "keydown", "--delay", "0", "a"})
                         .exitCode != 0;
    });
    return failed ? -1.0 : nanos;
}

// Runs a Lua loop that calls PressKey and ReleaseKey: one event per call.
double scriptNanosPerEvent(platform::Platform& target, int events) {
    benchPlatform = &target;
    lua_State* state = luaL_newstate();
    luaL_openlibs(state);
    registerScriptFunctions(state);
    lua_pushinteger(state, events / 2);
    lua_setglobal(state, "pairsToSend");
    const double nanos = bestNanosPerEvent(events, [&] {
        luaL_dostring(state, "for i = 1, pairsToSend do PressKey('A') ReleaseKey('A') end");
    });
    lua_close(state);
    return nanos;
}

}  // namespace

// What the script functions take from their run: here a platform and no waits.
platform::Platform& scriptPlatform() { return *benchPlatform; }
void appendLog(const QString&) {}
void logScriptError(lua_State*, std::string) {}
InjectionContext& scriptInjection() { return noWait; }

int main() {
    initKeyNames();
    constexpr int Events = 200000;
    constexpr int XdotoolCalls = 50;

    CountingPlatform counting;
    const platform::InputRecord ready =
        platform::InputRecord::key({0, 0x1E, platform::KeyScanCode});
    platform::Platform& direct = counting;  // through the interface, as the injector calls it
    const double raw = bestNanosPerEvent(Events, [&] {
        for (int i = 0; i < Events; ++i) direct.sendInput(ready);
    });
    const double injected = bestNanosPerEvent(Events, [&] {
        InputInjector injector(counting, noWait);
        for (int i = 0; i < Events / 2; ++i) {
            injector.keyDown(0x41);
            injector.keyUp(0x41);
        }
    });
    const double scripted = scriptNanosPerEvent(counting, Events);

    platform::FakePlatform fake;
    const double fakeInjected = bestNanosPerEvent(Events, [&] {
        fake.clearCalls();
        InputInjector injector(fake, noWait);
        for (int i = 0; i < Events / 2; ++i) {
            injector.keyDown(0x41);
            injector.keyUp(0x41);
        }
    });
    const double fakeScripted = scriptNanosPerEvent(fake, Events);
    fake.clearCalls();

    const double xdotool = xdotoolNanosPerEvent(XdotoolCalls);

    std::printf("ns per injected key event (best of %d rounds)\n", Rounds);
    std::printf("  ready record to the platform (floor)   %10.1f\n", raw);
    std::printf("  InputInjector, counting platform       %10.1f  (%.2fx the floor)\n", injected,
                injected / raw);
    std::printf("  PressKey/ReleaseKey from Lua, counting %10.1f  (%.2fx the floor)\n", scripted,
                scripted / raw);
    std::printf("  InputInjector, FakePlatform            %10.1f\n", fakeInjected);
    std::printf("  PressKey/ReleaseKey from Lua, Fake     %10.1f\n", fakeScripted);
    if (xdotool < 0) {
        std::printf("  xdotool: could not be run\n");
        return 0;
    }
    std::printf("  one xdotool process per event          %10.1f\n", xdotool);
    std::printf("script function vs xdotool: %.0fx faster (target 100x); on the fake: %.0fx\n",
                xdotool / scripted, xdotool / fakeScripted);
    return 0;
}
