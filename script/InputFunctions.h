#pragma once
// The script functions that press and test keys and mouse buttons, type,
// move the pointer, turn the wheel and convert key names. Each is a Lua C
// function without upvalues; none raises a Lua error: a bad call is logged
// through logScriptError and the script goes on.

#include <lua.hpp>

int scriptPressKey(lua_State* state);
int scriptReleaseKey(lua_State* state);
int scriptHitKey(lua_State* state);
int scriptPressKeyVK(lua_State* state);
int scriptReleaseKeyVK(lua_State* state);
int scriptHitKeyVK(lua_State* state);
int scriptKeyPressed(lua_State* state);
int scriptKeyReleased(lua_State* state);
int scriptKeyPressedVK(lua_State* state);
int scriptKeyReleasedVK(lua_State* state);
int scriptTypeString(lua_State* state);
int scriptTypeChar(lua_State* state);
int scriptHitKeyAfterModifier(lua_State* state);
int scriptPressMouseButton(lua_State* state);
int scriptReleaseMouseButton(lua_State* state);
int scriptHitMouseButton(lua_State* state);
int scriptPressMouseButtonVK(lua_State* state);
int scriptReleaseMouseButtonVK(lua_State* state);
int scriptHitMouseButtonVK(lua_State* state);
int scriptMouseButtonPressed(lua_State* state);
int scriptMouseButtonReleased(lua_State* state);
int scriptMouseButtonPressedVK(lua_State* state);
int scriptMouseButtonReleasedVK(lua_State* state);
int scriptGetMousePosition(lua_State* state);
int scriptSetMousePosition(lua_State* state);
int scriptMoveMouse(lua_State* state);
int scriptDragMouse(lua_State* state);
int scriptChangeMousePosition(lua_State* state);
int scriptMouseWheel(lua_State* state);
int scriptFromStringToVirtualKey(lua_State* state);
int scriptFromVirtualKeyToString(lua_State* state);
