#pragma once
// The program's one window: its form, and the parts it owns that act on
// it: the table editor, the runs, the log, the hotkeys, the recording and
// the file dialogs. The form's slots stay here, connected by object name,
// and hand each signal to its part.

#include <QByteArray>
#include <QKeySequence>
#include <QMainWindow>
#include <QString>
#include <memory>

#include "DesktopLimits.h"
#include "FileDialogs.h"
#include "RecordingControl.h"
#include "script/ThreadManager.h"
#include "table/TableRow.h"

class HotkeyControls;
class LogPanel;
class LogWindow;
class ReferenceWindow;
class RunControl;
class TableEditor;
class WindowSettings;
class QCloseEvent;
class QTimer;

namespace Ui {
class MainWindow;
}

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    using FileDialog = FileDialogs::Dialog;
    using UrlOpener = FileDialogs::UrlOpener;
    using ClosePrompt = RecordingControl::ClosePrompt;

    // Registers hotkey 1 (F4) with the platform; the platform and the
    // recorder (the session's) outlive the window.
    MainWindow(platform::Platform& platform, Recorder& recorder, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Brings back what the user chose last time from the application's
    // settings (see WindowSettings) and keeps every later choice there.
    // Without it the window starts from its defaults and keeps nothing.
    void restoreSettings();

    // Replaces the three cells of row by a new row built from the editor.
    void setRowFromEditor(int row);
    // Enables exactly the controls that fit the mode, the chosen input, the
    // selection and whether a run or a recording is in progress.
    void updateEnabledStates();

    // Table files and the table's Lua text: see TableEditor.
    void saveTableFile(const QString& path);
    void loadTableFile(const QString& path);
    // A file handed to the program: a script becomes the one to run (as
    // Browse and Use Script would), a table file is loaded (as Load Table
    // would) and Use Table chosen.
    void useScriptFile(const QString& path);
    void useTableFile(const QString& path);
    QByteArray translateRow(int row) const;
    QByteArray buildTableScript() const;
    bool writeTableScript(const QString& path);
    // The texts of every row, row 0 first.
    table::TableRows tableRows() const;

    // Replaces the save-file and open-file dialogs (tests answer them).
    void setFileDialogs(FileDialog save, FileDialog open);
    // Replaces the opener of EditScript (tests answer it); true = opened.
    void setUrlOpener(UrlOpener opener);

    // Unregisters hotkey id, registers it from sequence when it can, logs a
    // refusal, and returns what the edit is to show: what was registered.
    QKeySequence setHotkey(const QKeySequence& sequence, int id);
    // The platform took hotkey id back: see HotkeyControls::lost.
    void hotkeyLost(int id, platform::HotkeyResult why);

    // Asks for a file name and writes the last recording there as a script,
    // which then becomes the one to run. True when it was written; a write
    // that fails is reported in a message box.
    bool convertRecordingToScript();
    // Asks what to do with a recording under way when the window closes:
    // Save, Discard or Cancel.
    void setClosePrompt(ClosePrompt prompt);
    // For an end that cannot ask (the display is gone): writes a recording
    // under way or waiting to be saved to a file in the user's state folder
    // and says where on standard error. Touches no widget and no display.
    // True when there was one and it was written.
    bool preserveUnsavedRecording();

    // Where captured events go; it keeps what belongs to a recording.

    // What the event loop reads and flips.
    bool isClosing() const { return closing; }
    bool isRunningChecked() const;
    bool isRecordingChecked() const;
    void setRunningChecked(bool on);
    void setRecordingChecked(bool on);

    LogWindow* logWindowWidget() const;
    // Opens the function reference in its own read-only window (F1). Not a
    // slot: the form's slots are a fixed set; connect to it by pointer.
    void showReference();
    ReferenceWindow* referenceWindow() const { return reference_; }
    ThreadManager& runs() { return threadManager; }

public slots:
    // connectSlotsByName connects in declaration order, so keep this order.
    void on_Hotkey_keySequenceChanged(const QKeySequence& sequence);
    void on_InputLocation_currentTextChanged(const QString& text);
    void on_UseScript_toggled(bool checked);
    void on_Running_toggled(bool checked);
    void on_Table_itemSelectionChanged();
    void on_AddNewInput_clicked();
    void on_ChangeSelectedInput_clicked();
    void on_ResetTable_clicked();
    void on_ResetHotKey_clicked();
    void on_DeleteSelectedInput_clicked();
    void on_ConvertTableToScript_clicked();
    void on_Browse_clicked();
    void on_EditScript_clicked();
    void on_SaveLogAsText_clicked();
    void on_ClearLog_clicked();
    void on_checkBox_toggled(bool checked);
    void on_Loop_toggled(bool checked);
    void on_Table_cellChanged(int row, int column);
    void on_InsertBeforeSelectedInput_clicked();
    void on_RecordingHotkey_keySequenceChanged(const QKeySequence& sequence);
    void on_ResetRecordingHotKey_clicked();
    void on_RecordingStartStop_clicked();
    void on_StartStop_clicked();
    void on_Recording_toggled(bool checked);
    void Update();
    void on_OpenLogWindow_clicked();
    void on_LuaLog_textChanged();
    void on_SaveTable_clicked();
    void on_LoadTable_clicked();
    void cellEnteredSlot(int row, int column);
    void on_MouseKeys_currentTextChanged(const QString& text);
    void on_ClearLogOnPlay_toggled(bool checked);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Sets the window's icon, or says in the log that it is missing.
    void showIcon();
    // Disables what the desktop does not offer and says why above the controls.
    void showDesktopLimits();

    // Declared first so it is destroyed last: its destructor waits for every
    // run to end, after nothing of the window is left for a run to touch.
    ThreadManager threadManager;
    bool closing = false;
    QTimer* updateTimer = nullptr;
    std::unique_ptr<Ui::MainWindow> ui;
    const DesktopLimits limits_;
    // The parts, built in this order once the form is set up.
    std::unique_ptr<FileDialogs> dialogs_;
    std::unique_ptr<RecordingControl> recording_;
    std::unique_ptr<LogPanel> log_;
    std::unique_ptr<HotkeyControls> hotkeys_;
    std::unique_ptr<TableEditor> table_;
    std::unique_ptr<RunControl> run_;
    std::unique_ptr<WindowSettings> settings_;
    ReferenceWindow* reference_ = nullptr;  // built when first opened
};
