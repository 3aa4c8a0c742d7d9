#include "HotkeyControls.h"

#include "HotkeyEditFilter.h"
#include "LogPanel.h"
#include "ui_mainwindow.h"

HotkeyControls::HotkeyControls(Ui::MainWindow& form, QObject* owner, platform::Platform& platform, LogPanel& log)
    : form_(form), log_(log), hotkeys_(platform) {
    auto* modifierFilter = new HotkeyEditFilter(owner);
    form_.Hotkey->installEventFilter(modifierFilter);
    form_.RecordingHotkey->installEventFilter(modifierFilter);
}

void HotkeyControls::useDefaultRunHotkey() {
    form_.Hotkey->setKeySequence(QKeySequence(QString::fromLatin1(DefaultRunHotkey)));
}

QKeySequence HotkeyControls::set(const QKeySequence& sequence, int id) {
    const GlobalHotkeys::Outcome outcome = hotkeys_.set(id, sequence);
    if (!outcome.problem.isEmpty()) log_.add(outcome.problem);
    return outcome.shown;
}

void HotkeyControls::switchRunHotkey(bool running) {
    const GlobalHotkeys::Outcome outcome = hotkeys_.setRunning(running);
    if (outcome.problem.isEmpty()) return;
    log_.add(outcome.problem);
    if (form_.Hotkey->keySequence() != outcome.shown) form_.Hotkey->setKeySequence(outcome.shown);
}

void HotkeyControls::lost(int id, platform::HotkeyResult why) {
    const GlobalHotkeys::Outcome outcome = hotkeys_.lost(id, why);
    if (outcome.problem.isEmpty()) return;
    log_.add(outcome.problem);
    (id == RunHotkeyId ? form_.Hotkey : form_.RecordingHotkey)->setKeySequence(QKeySequence());
}

void HotkeyControls::runEditChanged(const QKeySequence& sequence) {
    form_.Hotkey->setKeySequence(set(sequence, RunHotkeyId));
}

void HotkeyControls::recordingEditChanged(const QKeySequence& sequence) {
    form_.RecordingHotkey->setKeySequence(set(sequence, RecordingHotkeyId));
}

void HotkeyControls::resetRun() { form_.Hotkey->setKeySequence(QKeySequence()); }

void HotkeyControls::resetRecording() { form_.RecordingHotkey->setKeySequence(QKeySequence()); }
