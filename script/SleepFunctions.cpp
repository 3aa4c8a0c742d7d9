#include "SleepFunctions.h"

#include <chrono>
#include <cmath>
#include <lua.hpp>

#include "ScriptArguments.h"
#include "TimedWait.h"

namespace {

int sleepScript(lua_State* state, PauseUnit unit) {
    // The pause counts from the call, before its argument is looked at.
    const WaitClock::time_point start = WaitClock::now();
    if (!checkOneArgument(state, ArgumentKind::Number))
        return 0;
    pauseInCurrentRun(start, lua_tonumber(state, 1), unit);
    // After a stop the script goes on; the stop hook ends it at its next instruction.
    return 0;
}

}  // namespace

int scriptHourSleep(lua_State* state) { return sleepScript(state, HourSleepUnit); }
int scriptMinSleep(lua_State* state) { return sleepScript(state, MinSleepUnit); }
int scriptSecSleep(lua_State* state) { return sleepScript(state, SecSleepUnit); }
int scriptMilliSleep(lua_State* state) { return sleepScript(state, MilliSleepUnit); }
int scriptMicroSleep(lua_State* state) { return sleepScript(state, MicroSleepUnit); }

// Unlike the others, it counts from after its argument check; but a stop
// ends it just the same.
int scriptNanoSleep(lua_State* state) {
    if (!checkOneArgument(state, ArgumentKind::Number))
        return 0;
    pauseInCurrentRun(WaitClock::now(), nanoSleepNanoseconds(lua_tonumber(state, 1)), NanoSleepUnit);
    return 0;
}

uint32_t nanoSleepNanoseconds(double argument) {
    constexpr double Int64Bound = 9223372036854775808.0;  // 2^63
    if (!(argument > -Int64Bound && argument < Int64Bound))
        return 0;
    return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(argument)));
}
