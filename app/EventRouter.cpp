#include "EventRouter.h"

#include "input/InputCapture.h"
#include "recording/Recorder.h"

void EventRouter::keyboardEvent(const platform::KeyEvent& event) {
    if (const auto record = recordOfKey(event)) recorder_.capture(*record);
}

void EventRouter::mouseEvent(const platform::MouseEvent& event) {
    if (const auto record = recordOfMouse(event)) recorder_.capture(*record);
}

void EventRouter::rawMovement(const platform::RawMovement& movement) {
    if (const auto record = recordOfMovement(movement)) recorder_.capture(*record);
}

void EventRouter::hotkey(int id) {
    // A hotkey queued behind the close is never acted on.
    if (target_.closing()) return;
    if (id == RunHotkeyId && !target_.recording()) target_.setRunning(!target_.running());
    else if (id == RecordingHotkeyId && !target_.running()) target_.setRecording(!target_.recording());
}
