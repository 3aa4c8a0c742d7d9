#include "RecordingControl.h"

#include "input/InputCapture.h"

void startRecording(platform::Point cursor, bool monitorStartPosition, bool monitorMouseMovement) {
    RecordingBuffer.clear();
    if (monitorStartPosition)
        RecordingBuffer += QStringLiteral("0,%1,%2,%3:")
                               .arg(platform::MsgMouseMove)
                               .arg(cursor.x)
                               .arg(cursor.y);
    ignoreMouseMovement = !monitorMouseMovement;
    recordingStart = captureTicks();
    recordingActive = true;
}

void endRecording() { recordingActive = false; }
