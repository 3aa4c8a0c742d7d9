#include "EnableGroups.h"

#include <initializer_list>

#include "DesktopLimits.h"
#include "ui_mainwindow.h"

namespace {

struct Group {
    bool EnableStates::*enabled;
    std::initializer_list<QWidget*> widgets;
};

}  // namespace

void applyEnableStates(Ui::MainWindow& f, const EnableStates& states) {
    using S = EnableStates;
    const Group groups[] = {
        {&S::logControls, {f.LuaLog, f.LuaLogLabel, f.SaveLogAsText, f.ClearLog, f.OpenLogWindow}},
        {&S::runHotkeyControls, {f.Hotkey, f.ResetHotKey, f.HotKeyLabel}},
        {&S::runSwitch, {f.StartStop, f.Running}},
        {&S::recordingSwitch, {f.RecordingStartStop, f.Recording}},
        {&S::recordingSettings, {f.MonitorMouseMovement}},
        {&S::startPosition, {f.MonitorStartPosition}},
        {&S::recordingHotkeyControls,
         {f.RecordingHotkey, f.ResetRecordingHotKey, f.RecordingHotKeyLabel}},
        {&S::loop, {f.Loop}},
        {&S::repeat, {f.Repeat, f.RepeatLabel}},
        {&S::modeChoice, {f.UseScript, f.UseTable}},
        {&S::scriptFileControls, {f.Browse, f.ScriptLocation, f.ScriptLocationLabel}},
        {&S::editScript, {f.EditScript}},
        {&S::convertTableToScript, {f.ConvertTableToScript}},
        {&S::tableControls, {f.Table, f.AddNewInput, f.ResetTable}},
        {&S::rowButtons, {f.ChangeSelectedInput, f.InsertBeforeSelectedInput, f.DeleteSelectedInput}},
        {&S::delayAndLocation, {f.Delay, f.DelayLabel, f.InputLocation, f.InputLocationLabel}},
        {&S::keyChoice, {f.SpecialKeys, f.SpecialKeysLabel}},
        {&S::mouseChoice, {f.MouseKeys, f.MouseKeysLabel}},
        {&S::actionChoice, {f.InputType, f.InputTypeLabel}},
        {&S::position, {f.MouseX, f.MouseXLabel, f.MouseY, f.MouseYLabel, f.MousePosLabel}},
        {&S::wheel, {f.ScrollStrength, f.ScrollStrengthLabel}},
        {&S::fileButtons, {f.LoadTable, f.SaveTable}},
    };
    for (const Group& group : groups)
        for (QWidget* widget : group.widgets) widget->setEnabled(states.*group.enabled);
}

void updateEnabledStates(Ui::MainWindow& form, const DesktopLimits& limits) {
    EnableInputs inputs;
    inputs.logging = form.checkBox->isChecked();
    inputs.running = form.Running->isChecked();
    inputs.recording = form.Recording->isChecked();
    inputs.looping = form.Loop->isChecked();
    inputs.scriptMode = form.UseScript->isChecked();
    inputs.rowSelected = form.Table->selectionModel()->hasSelection();
    inputs.location = form.InputLocation->currentText();
    inputs.mouseEntry = form.MouseKeys->currentText();
    inputs.hotkeysOffered = limits.hotkeys;
    inputs.recordingOffered = limits.recording;
    inputs.startPositionOffered = limits.startPosition;
    applyEnableStates(form, enableStates(inputs));
}
