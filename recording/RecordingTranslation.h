#pragma once
// Turns recording records into a Lua script that replays them, waiting
// before each event until as much time has passed as had at recording.

#include <QString>

// The whole script for `records`, one statement per line, each ended by "\n".
QString recordingToScript(const QString& records);
// Writes the script for `records` to `path`, replacing it. False when the
// file cannot be written (nothing is reported).
bool writeRecordingScript(const QString& path, const QString& records);
