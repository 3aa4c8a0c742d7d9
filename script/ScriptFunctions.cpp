#include "ScriptFunctions.h"

#include "InputFunctions.h"
#include "LogFunction.h"
#include "SleepFunctions.h"

// Every script function, registered as a global in this order.
const luaL_Reg ScriptFunctions[] = {
    {"PressKey", scriptPressKey},
    {"ReleaseKey", scriptReleaseKey},
    {"HitKey", scriptHitKey},
    {"PressKeyVK", scriptPressKeyVK},
    {"ReleaseKeyVK", scriptReleaseKeyVK},
    {"HitKeyVK", scriptHitKeyVK},
    {"KeyPressed", scriptKeyPressed},
    {"KeyReleased", scriptKeyReleased},
    {"KeyPressedVK", scriptKeyPressedVK},
    {"KeyReleasedVK", scriptKeyReleasedVK},
    {"TypeString", scriptTypeString},
    {"TypeChar", scriptTypeChar},
    {"HitKeyAfterModifier", scriptHitKeyAfterModifier},
    {"PressMouseButton", scriptPressMouseButton},
    {"ReleaseMouseButton", scriptReleaseMouseButton},
    {"HitMouseButton", scriptHitMouseButton},
    {"PressMouseButtonVK", scriptPressMouseButtonVK},
    {"ReleaseMouseButtonVK", scriptReleaseMouseButtonVK},
    {"HitMouseButtonVK", scriptHitMouseButtonVK},
    {"MouseButtonPressed", scriptMouseButtonPressed},
    {"MouseButtonReleased", scriptMouseButtonReleased},
    {"MouseButtonPressedVK", scriptMouseButtonPressedVK},
    {"MouseButtonReleasedVK", scriptMouseButtonReleasedVK},
    {"GetMousePosition", scriptGetMousePosition},
    {"SetMousePosition", scriptSetMousePosition},
    {"MoveMouse", scriptMoveMouse},
    {"DragMouse", scriptDragMouse},
    {"ChangeMousePosition", scriptChangeMousePosition},
    {"MouseWheel", scriptMouseWheel},
    {"HourSleep", scriptHourSleep},
    {"MinSleep", scriptMinSleep},
    {"SecSleep", scriptSecSleep},
    {"MilliSleep", scriptMilliSleep},
    {"MicroSleep", scriptMicroSleep},
    {"NanoSleep", scriptNanoSleep},
    {"FromStringToVirtualKey", scriptFromStringToVirtualKey},
    {"FromVirtualKeyToString", scriptFromVirtualKeyToString},
    {"Log", scriptLog},
    {nullptr, nullptr},
};

void registerScriptFunctions(lua_State* state) {
    lua_pushglobaltable(state);
    luaL_setfuncs(state, ScriptFunctions, 0);
    lua_pop(state, 1);
}
