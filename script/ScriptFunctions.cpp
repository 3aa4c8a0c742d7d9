#include "ScriptFunctions.h"

#include "LogFunction.h"
#include "SleepFunctions.h"

// The input functions (script/InputFunctions.h) join this table at the
// places marked "input", in the order given there.
const luaL_Reg ScriptFunctions[] = {
    // input 1-29: PressKey, ReleaseKey, HitKey, PressKeyVK, ReleaseKeyVK,
    // HitKeyVK, KeyPressed, KeyReleased, KeyPressedVK, KeyReleasedVK,
    // TypeString, TypeChar, HitKeyAfterModifier, PressMouseButton,
    // ReleaseMouseButton, HitMouseButton, PressMouseButtonVK,
    // ReleaseMouseButtonVK, HitMouseButtonVK, MouseButtonPressed,
    // MouseButtonReleased, MouseButtonPressedVK, MouseButtonReleasedVK,
    // GetMousePosition, SetMousePosition, MoveMouse, DragMouse,
    // ChangeMousePosition, MouseWheel
    {"HourSleep", scriptHourSleep},
    {"MinSleep", scriptMinSleep},
    {"SecSleep", scriptSecSleep},
    {"MilliSleep", scriptMilliSleep},
    {"MicroSleep", scriptMicroSleep},
    {"NanoSleep", scriptNanoSleep},
    // input 36-37: FromStringToVirtualKey, FromVirtualKeyToString
    {"Log", scriptLog},
    {nullptr, nullptr},
};

void registerScriptFunctions(lua_State* state) {
    lua_pushglobaltable(state);
    luaL_setfuncs(state, ScriptFunctions, 0);
    lua_pop(state, 1);
}
