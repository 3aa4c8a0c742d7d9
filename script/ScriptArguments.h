#pragma once
// The argument check of the script functions that take one value: a wrong
// count or kind is reported with the fixed message and the calling line,
// never raised.

struct lua_State;

enum class ArgumentKind {
    Number,  // a number or a string convertible to one
    String,  // a string or a number
};

// True when exactly one argument of the kind was passed; otherwise reports
// the fault with logScriptError and returns false.
bool checkOneArgument(lua_State* state, ArgumentKind kind);
