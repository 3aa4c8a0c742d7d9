#pragma once
// Captured input written as text records while a recording is under way.
// All of it lives on the GUI thread, where the platform delivers captured
// events, so none of it takes a lock.
//
// Record: time "," message "," value ":" (movement and start position carry
// two values). Time is the elapsed milliseconds in 'g' 6-digit form.

#include <QString>
#include <cstdint>

#include "platform/InputRecords.h"

// The records of the current or last recording.
extern QString RecordingBuffer;
// True while a recording is under way.
extern bool recordingActive;
// While true, raw mouse movement is not recorded.
extern bool ignoreMouseMovement;
// When the current recording started, in 100 ns ticks of captureTicks().
extern int64_t recordingStart;

// Now, in 100 ns ticks of a monotonic clock.
int64_t captureTicks();
// The clock captureTicks() reads; tests replace it to freeze time.
extern int64_t (*captureClock)();
// The time field of a record made now.
QString recordTime();

// Records a key event (code 0 is a real event); always returns 0 (pass it on).
int keyboardHookProc(int code, const platform::KeyEvent& event);
// Records a mouse button or wheel event; always returns 0 (pass it on).
int mouseHookProc(int code, const platform::MouseEvent& event);
// Records raw relative movement; the caller checks recordingActive and
// ignoreMouseMovement first.
void recordRawMovement(const platform::RawMovement& movement);
