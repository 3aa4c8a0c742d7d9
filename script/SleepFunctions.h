#pragma once
// The six sleeps of the script library. All but NanoSleep end early when
// the run is asked to stop; none raises an error.

#include <cstdint>

struct lua_State;

int scriptHourSleep(lua_State* state);
int scriptMinSleep(lua_State* state);
int scriptSecSleep(lua_State* state);
int scriptMilliSleep(lua_State* state);
int scriptMicroSleep(lua_State* state);
int scriptNanoSleep(lua_State* state);

// How long NanoSleep(argument) sleeps: the argument truncated toward zero
// to 64 bits, its low 32 bits as an unsigned count (-1 sleeps 4294967295
// ns). Arguments with no 64-bit value (NaN, infinities, |n| >= 2^63) give 0.
uint32_t nanoSleepNanoseconds(double argument);
