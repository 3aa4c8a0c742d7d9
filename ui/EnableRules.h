#pragma once
// Which groups of the window's controls are usable, from the state of the
// few controls that decide it. The window maps each group to its widgets.

#include <QString>

struct EnableInputs {
    bool logging = true;
    bool running = false;
    bool recording = false;
    bool looping = false;
    bool scriptMode = false;
    bool rowSelected = false;
    QString location;
    QString mouseEntry;
    // What the desktop offers at all.
    bool hotkeysOffered = true;
    bool recordingOffered = true;
    bool startPositionOffered = true;
};

struct EnableStates {
    bool logControls = false;
    bool runHotkeyControls = false;
    bool runSwitch = false;        // StartStop, Running
    bool recordingSwitch = false;  // RecordingStartStop, Recording
    bool recordingSettings = false;
    bool recordingHotkeyControls = false;
    bool startPosition = false;  // MonitorStartPosition
    bool loop = false;
    bool repeat = false;
    bool modeChoice = false;       // UseScript, UseTable
    bool scriptFileControls = false;
    bool editScript = false;
    bool convertTableToScript = false;
    bool tableControls = false;
    bool rowButtons = false;
    bool delayAndLocation = false;
    bool keyChoice = false;
    bool mouseChoice = false;
    bool actionChoice = false;
    bool position = false;
    bool wheel = false;
    bool fileButtons = false;
};

EnableStates enableStates(const EnableInputs& inputs);
