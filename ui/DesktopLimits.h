#pragma once
// What this desktop does not let the program do, as the window shows it:
// the controls of a missing service are disabled and a notice says why.

#include <QString>

namespace platform {
class Platform;
}

struct DesktopLimits {
    bool hotkeys = true;    // global hotkeys are offered
    bool recording = true;  // recording is offered
    QString recordingReason;
    // The pointer's place at a recording's start can be read (a desktop
    // that tells it only after our own moves cannot know where the user
    // left it).
    bool startPosition = true;
    QString startPositionReason;
    QString notice;  // one line per missing service, empty when none is

    static DesktopLimits of(platform::Platform& platform);
};
