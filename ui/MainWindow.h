#pragma once
// The program's one window: its form, the input table's operations, the rules
// that enable its controls, table files and the table's translation to Lua,
// the runs it starts and stops, its log, its hotkeys and its recordings.

#include <QByteArray>
#include <QKeySequence>
#include <QMainWindow>
#include <QString>
#include <QMessageBox>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "input/GlobalHotkeys.h"
#include "input/InputInjector.h"
#include "recording/Recorder.h"
#include "script/ThreadManager.h"
#include "table/TableRow.h"

class LogFeed;
class LogWindow;
class QTimer;

class QCloseEvent;
class QUrl;

namespace Ui {
class MainWindow;
}

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Asks for a file name (parent, caption, starting path, filter); empty
    // when the user cancels.
    using FileDialog =
        std::function<QString(QWidget*, const QString&, const QString&, const QString&)>;

    // Registers hotkey 1 (F4) with the platform; the platform outlives the window.
    explicit MainWindow(platform::Platform& platform, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Replaces the three cells of row by a new row built from the editor.
    void setRowFromEditor(int row);
    // Enables exactly the controls that fit the mode, the chosen input, the
    // selection and whether a run or a recording is in progress.
    void updateEnabledStates();

    // Writes the table to a table file; a failed write changes nothing and
    // is reported in a warning box.
    void saveTableFile(const QString& path);
    // Replaces the rows by the file's and logs the lines it skipped; a file
    // that cannot be opened or is too large changes nothing and is reported.
    void loadTableFile(const QString& path);

    // Lua text (UTF-8) of one row, and of every row for a run.
    QByteArray translateRow(int row) const;
    QByteArray buildTableScript() const;
    // Writes the table as a commented script file; a failed write changes
    // nothing and is reported. Whether it was written.
    bool writeTableScript(const QString& path);

    // The texts of every row, row 0 first.
    table::TableRows tableRows() const;

    // Replaces the save-file and open-file dialogs (tests answer them).
    void setFileDialogs(FileDialog save, FileDialog open);
    // Replaces the opener of EditScript (tests answer it); true = opened.
    using UrlOpener = std::function<bool(const QUrl&)>;
    void setUrlOpener(UrlOpener opener);

    // Unregisters hotkey id, registers it from sequence when it can, logs a
    // refusal, and returns what the edit is to show: what was registered.
    QKeySequence setHotkey(const QKeySequence& sequence, int id);

    // Asks for a file name and writes the last recording there as a script,
    // which then becomes the one to run. True when it was written; a write
    // that fails is reported in a message box.
    bool convertRecordingToScript();

    // Asks what to do with a recording under way when the window closes:
    // Save, Discard or Cancel.
    using ClosePrompt = std::function<QMessageBox::StandardButton(QWidget*)>;
    void setClosePrompt(ClosePrompt prompt);

    // For an end that cannot ask (the display is gone): writes a recording
    // under way or waiting to be saved to a file in the user's state folder
    // and says where on standard error. Touches no widget and no display.
    // True when there was one and it was written.
    bool preserveUnsavedRecording();

    // Where captured events go; it keeps what belongs to a recording.
    Recorder& recorder() { return recorder_; }

    // What the event loop reads and flips.
    bool isClosing() const { return closing; }
    bool isRunningChecked() const;
    bool isRecordingChecked() const;
    void setRunningChecked(bool on);
    void setRecordingChecked(bool on);

    LogWindow* logWindowWidget() const { return logWindow; }
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
    // Notes when a click or key that may switch the recording went down and up.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void putRow(int row, const table::TableRow& cells);
    // One line per row that cannot be played ("row N: ..."); empty when all can.
    QStringList unplayableRows() const;
    void logLoadNotes(const QString& path, const QStringList& notes);
    void removeAllRows();
    void fillKeyList();
    // Moves the current run's pending log text towards the view and the log window.
    void drainLog();
    // Adds the window's own text to the log, shown at once.
    void addToLog(const QString& text);
    // The run hotkey follows the run: see GlobalHotkeys.
    void switchRunHotkey(bool running);
    bool openScriptUrl(const QString& url) const;
    // When the input that switches the recording now began and ended, in
    // the capture clock: the click's or key's own times, or now.
    struct ToggleInput {
        uint32_t began;
        uint32_t ended;
        bool byClick;
    };
    ToggleInput toggleInput();
    void stopRecording(const ToggleInput& input);

    platform::Platform& platform_;
    // Declared first so it is destroyed last: its destructor waits for every
    // run to end, after nothing of the window is left for a run to touch.
    ThreadManager threadManager;
    bool closing = false;
    QTimer* updateTimer = nullptr;
    // The window's injector only asks for the cursor; it belongs to no run.
    PlainInjectionContext injection;
    InputInjector injector;
    GlobalHotkeys hotkeys;
    LogWindow* logWindow = nullptr;
    LogFeed* logFeed = nullptr;
    std::unique_ptr<Ui::MainWindow> ui;
    FileDialog saveFileDialog;
    FileDialog openFileDialog;
    UrlOpener urlOpener;
    ClosePrompt closePrompt;
    Recorder recorder_;
    // True while a stopped recording waits for its file name: no other
    // recording starts meanwhile.
    bool awaitingSave_ = false;
    // The press on a recording switch whose release is being handled.
    std::optional<uint32_t> switchPressedAt_;
    std::optional<ToggleInput> switchClick_;
};
