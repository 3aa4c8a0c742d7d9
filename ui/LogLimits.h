#pragma once
// How much of the log the window keeps on screen and how much it does at a
// time. The whole log since the last Clear is kept in a temporary file and
// saved from there; the view and the log window show its most recent lines.

// Lines the view and the log window keep; older ones leave from the top.
constexpr int LogLineLimit = 100000;
// A line longer than LogLineHead + LogLineTail characters is shown as its
// first LogLineHead characters, LongLineMarker and its last LogLineTail.
constexpr int LogLineHead = 6000;
constexpr int LogLineTail = 2000;
// %1: how many characters are not shown.
constexpr const char* LongLineMarker = " [... %1 characters not shown ...] ";

// One step of the window's work: at most this much text taken from runs, and
// at most this many lines inserted into each widget; more waits for the next
// step, which comes as soon as the window has handled its other events.
constexpr int LogTakeChars = 1 << 19;
constexpr int LogStepLines = 1000;
constexpr int LogStepChars = 1 << 18;
