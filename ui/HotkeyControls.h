#pragma once
// The run and recording hotkeys: their edits, their reset buttons and their
// registration with the platform.

#include <QKeySequence>

#include "input/GlobalHotkeys.h"

class LogPanel;
class QObject;
namespace Ui {
class MainWindow;
}

class HotkeyControls {
public:
    // The edits' modifier filter is owner's child.
    HotkeyControls(Ui::MainWindow& form, QObject* owner, platform::Platform& platform, LogPanel& log);

    // Puts F4 in the run hotkey's edit, which registers it; a refusal is logged.
    void useDefaultRunHotkey();

    // Unregisters hotkey id, registers it from sequence when it can, logs a
    // refusal, and returns what the edit is to show: what was registered.
    QKeySequence set(const QKeySequence& sequence, int id);
    // The run hotkey follows the run: see GlobalHotkeys.
    void switchRunHotkey(bool running);

    // The platform took id back: its edit is emptied and the log says why.
    void lost(int id, platform::HotkeyResult why);

    void runEditChanged(const QKeySequence& sequence);
    void recordingEditChanged(const QKeySequence& sequence);
    void resetRun();
    void resetRecording();

private:
    Ui::MainWindow& form_;
    LogPanel& log_;
    GlobalHotkeys hotkeys_;
};
