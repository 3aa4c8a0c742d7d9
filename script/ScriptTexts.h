#pragma once
// The fixed texts a run writes to its log and the fixed messages of the
// script functions. Every log text carries its own line end.

namespace scriptText {

constexpr const char* LoadingPrefix = "-- Loading: ";
constexpr const char* TableName = "TABLE";
constexpr const char* LoopingSuffix = "\nLooping...\n";
constexpr const char* FinishedPrefix = "-- Finished executing: ";
constexpr const char* FinishedSuffix = "\n\n";
constexpr const char* ErrorPrefix = "Error ";
constexpr const char* ErrorLinePrefix = "Error Line ";
constexpr const char* ErrorLineSeparator = ": ";

// Logged in place of the finishing line when the script calls os.exit(N):
// prefix, N, suffix.
constexpr const char* ExitPrefix = "-- Script called os.exit(";
constexpr const char* ExitSuffix = "): run ended\n\n";
// Logged when a run cannot even create its Lua state.
constexpr const char* NoStateMessage = "Error cannot create the Lua state: not enough memory\n";

// Ends the log of a run that was stopped while it was still going.
constexpr const char* ExecutionStopped = "-- Execution Stopped\n\n";

// Raised (with the interpreter's position prefix) when a run is stopped.
constexpr const char* StopMessage = "Stopped execution from gui thread";

constexpr const char* WrongArgumentCount = "Wrong number of arguments.\n";
constexpr const char* ExpectedNumber = "Wrong type of arguments, \nExpected: number\n";
constexpr const char* ExpectedString = "Wrong type of arguments, \nExpected: string\n";

}  // namespace scriptText
