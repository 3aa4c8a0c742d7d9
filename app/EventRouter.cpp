#include "EventRouter.h"

#include "input/InputCapture.h"

void EventRouter::keyboardEvent(const platform::KeyEvent& event) { keyboardHookProc(0, event); }

void EventRouter::mouseEvent(const platform::MouseEvent& event) { mouseHookProc(0, event); }

void EventRouter::rawMovement(const platform::RawMovement& movement) {
    if (recordingActive && !ignoreMouseMovement) recordRawMovement(movement);
}

void EventRouter::hotkey(int id) {
    // A hotkey queued behind the close is never acted on.
    if (target_.closing()) return;
    if (id == RunHotkeyId && !target_.recording()) target_.setRunning(!target_.running());
    else if (id == RecordingHotkeyId && !target_.running()) target_.setRecording(!target_.recording());
}
