#pragma once
// The fixed texts script functions report for a bad call, through
// logScriptError. Each carries its own line end.

namespace messages {

constexpr char WrongArgumentCount[] = "Wrong number of arguments.\n";
constexpr char KeyNotRecognized[] = "Key not recognized.\n";
constexpr char ModifierNotRecognized[] = "Modifier not recognized.\n";
// Between a function's name and the desktop's reason.
constexpr char NotAvailableHere[] = " is not available on this desktop: ";

// Kind errors, named by what follows "Expected: ".
constexpr char ExpectString[] = "Wrong type of arguments, \nExpected: string\n";
constexpr char ExpectStringDoubleDouble[] =
    "Wrong type of arguments, \nExpected: string, double, double\n";
constexpr char ExpectStringString[] = "Wrong type of arguments, \nExpected: string, string\n";
constexpr char ExpectStringStringDoubleDouble[] =
    "Wrong type of arguments, \nExpected: string, string, double, double\n";
constexpr char ExpectInteger[] = "Wrong type of arguments, \nExpected: integer\n";
constexpr char ExpectInt[] = "Wrong type of arguments, \nExpected: int\n";
constexpr char ExpectIntegerDoubleDouble[] =
    "Wrong type of arguments, \nExpected: integer, double, double\n";
constexpr char ExpectNumber[] = "Wrong type of arguments, \nExpected: number\n";
constexpr char ExpectNumberNumber[] = "Wrong type of arguments, \nExpected: number, number\n";
constexpr char ExpectNumberNumberNumber[] =
    "Wrong type of arguments, \nExpected: number, number, number\n";

}  // namespace messages
