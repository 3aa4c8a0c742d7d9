#pragma once
// Turns recording records into a Lua script that replays them, waiting
// before each event until as much time has passed as had at recording.

#include <QString>

#include "table/TextFileWriter.h"

// The whole script for `records`, one statement per line, each ended by "\n".
QString recordingToScript(const QString& records);
// Writes the script for `records` to `path`, replacing it only once the whole
// script is written; the outcome carries the reason of a failure.
table::WriteOutcome writeRecordingScript(const QString& path, const QString& records);
