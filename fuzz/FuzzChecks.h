#pragma once
// What the fuzz targets share: a failed property ends the run as a crash, so
// the fuzzer keeps the input that broke it.

#include <QByteArray>

// Prints `what` and the offending text to stderr, then aborts.
[[noreturn]] void fuzzFailure(const char* what, const QByteArray& text);

// Whether `script` compiles as a Lua chunk; the error message goes to *error.
bool luaLoads(const QByteArray& script, QByteArray* error);
