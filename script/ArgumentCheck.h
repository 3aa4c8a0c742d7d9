#pragma once
// The one argument check of the script functions: each states the argument
// counts and kinds it accepts, and this reports the fixed messages and
// pushes the results a refused call gives. It never raises a Lua error.

#include <cstddef>

struct lua_State;

// One accepted argument list: a letter per argument, tested in order with
// the interpreter's own tests:
//   's' string  - a string or a number (lua_isstring)
//   'n' number  - a number or a string that converts to one (lua_isnumber)
//   'i' integer - a number of the integer subtype (lua_isinteger)
struct ArgumentForm {
    const char* kinds;
    const char* typeMessage;  // reported when an argument of this list has the wrong kind
};

// What a refused call returns to the script.
enum class RefusedResult { Nothing, False };

struct Signature {
    const ArgumentForm* forms;
    std::size_t formCount;
    RefusedResult afterCountError;
    RefusedResult afterKindError;
};

template <std::size_t N>
constexpr Signature signature(const ArgumentForm (&forms)[N],
                              RefusedResult afterCountError = RefusedResult::Nothing,
                              RefusedResult afterKindError = RefusedResult::Nothing) {
    return Signature{forms, N, afterCountError, afterKindError};
}

// Result of a check: the index of the accepted form, or Refused with
// results values already pushed (the script function returns that many).
struct ArgumentCheck {
    static constexpr int Refused = -1;
    int form;
    int results;
    bool refused() const { return form == Refused; }
};

// Picks the form with as many kinds as there are arguments and tests the
// kinds first to last. A count no form has reports "Wrong number of
// arguments.\n"; the first argument of the wrong kind reports the form's
// type message.
ArgumentCheck checkArguments(lua_State* state, const Signature& signature);
