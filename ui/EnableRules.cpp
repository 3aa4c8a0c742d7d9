#include "EnableRules.h"

#include "table/TableVocabulary.h"

namespace {

using namespace table;

// Which editor choices fit the kind of input chosen.
void applyEditorChoices(const EnableInputs& in, EnableStates& out) {
    if (in.location == LocationKeyboard) {
        out.keyChoice = true;
        out.actionChoice = true;
    } else if (in.location == LocationMouse) {
        out.mouseChoice = true;
        out.actionChoice = isMouseButtonName(in.mouseEntry);
        out.position = isPointerEntry(in.mouseEntry);
        out.wheel = isWheelEntry(in.mouseEntry);
    }
}

}  // namespace

EnableStates enableStates(const EnableInputs& in) {
    EnableStates out;  // everything off
    out.logControls = in.logging;

    if (in.running || in.recording) {
        // Only the switch of what is in progress stays usable, to stop it.
        out.runSwitch = in.running;
        out.recordingSwitch = in.recording;
        return out;
    }

    out.runHotkeyControls = in.hotkeysOffered;
    out.runSwitch = true;
    out.recordingSwitch = in.recordingOffered;
    out.recordingSettings = in.recordingOffered;
    out.recordingHotkeyControls = in.recordingOffered && in.hotkeysOffered;
    out.startPosition = in.recordingOffered && in.startPositionOffered;
    out.modeChoice = true;
    out.loop = true;
    out.repeat = in.looping;
    out.convertTableToScript = true;

    if (in.scriptMode) {
        out.scriptFileControls = true;
        out.editScript = true;
        return out;
    }
    out.tableControls = true;
    out.rowButtons = in.rowSelected;
    out.delayAndLocation = true;
    out.fileButtons = true;
    applyEditorChoices(in, out);
    return out;
}
