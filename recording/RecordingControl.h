#pragma once
// Starting and ending a recording: the recording state the capture writes by.

#include "platform/InputRecords.h"

// Clears the records, writes the start position when asked, and starts
// the clock. From here on captured events are recorded.
void startRecording(platform::Point cursor, bool monitorStartPosition, bool monitorMouseMovement);
// Stops recording; the records stay until the next start.
void endRecording();
