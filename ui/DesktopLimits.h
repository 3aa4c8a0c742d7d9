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
    QString notice;  // one line per missing service, empty when none is

    static DesktopLimits of(platform::Platform& platform);
};
