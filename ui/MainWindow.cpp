#include "MainWindow.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStringList>
#include <QPlainTextEdit>
#include <QTableWidgetItem>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <thread>

#include "CellColours.h"
#include "EnableGroups.h"
#include "FileWarnings.h"
#include "HotkeyEditFilter.h"
#include "LogFeed.h"
#include "LogWindow.h"
#include "input/HotkeyBinding.h"
#include "input/KeyNames.h"
#include "recording/RecordingRecovery.h"
#include "recording/RecordingTranslation.h"
#include "script/Thread.h"
#include "table/DragReorder.h"
#include "table/EditorRow.h"
#include "table/RowValidity.h"
#include "table/TableFile.h"
#include "table/TableTranslation.h"
#include "ui_mainwindow.h"

namespace {

// Dialog texts; captions and filters are translated, starting paths are not.
const char SaveFileCaption[] = QT_TRANSLATE_NOOP("MainWindow", "Save File");
const char LoadFileCaption[] = QT_TRANSLATE_NOOP("MainWindow", "Load File");
const char TableFileStart[] = "Tables/untitled.table";
const char TableFileFilter[] = QT_TRANSLATE_NOOP("MainWindow", "Table (*.table)");
const char ScriptFileStart[] = "LuaScripts/untitled.lua";
const char ScriptFileFilter[] = QT_TRANSLATE_NOOP("MainWindow", "Lua (*.lua)");
const char BrowseCaption[] = QT_TRANSLATE_NOOP("MainWindow", "Browse For Script");
const char RecordingFileStart[] = "LuaScripts/recording.lua";
const char LogFileStart[] = "LuaScripts/Logs/log.txt";
const char LogFileFilter[] = QT_TRANSLATE_NOOP("MainWindow", "Text (*.txt)");
const char EditErrorTitle[] = "ERROR";
const char EditErrorText[] = QT_TRANSLATE_NOOP(
    "MainWindow",
    "Error openning the lua file\nPlease make sure to set the default program for openning *.lua files as a text editor\n");
const char ExecutionStoppedLine[] = "-- Execution Stopped\n\n";
// A table with rows that cannot be played is neither run nor saved as a script.
const char TableNotPlayedLine[] = QT_TRANSLATE_NOOP("MainWindow", "-- Table not played, %1\n");
const char NoScriptTitle[] = QT_TRANSLATE_NOOP("MainWindow", "Table not saved as a script");
const char NoScriptText[] =
    QT_TRANSLATE_NOOP("MainWindow", "These rows cannot be played, so the table was not saved as a script:\n%1");
// Lines of a loaded table file that were skipped or changed; beyond the first
// few, only their number is logged.
const char LoadNoteLine[] = QT_TRANSLATE_NOOP("MainWindow", "-- %1: %2\n");
const char MoreLoadNotesLine[] = QT_TRANSLATE_NOOP("MainWindow", "-- %1: %2 more lines skipped or changed\n");
constexpr int MaxLoadNotesLogged = 20;
const char DefaultRunHotkey[] = "F4";
const char ClosePromptTitle[] = "Quillpress";
const char ClosePromptText[] =
    QT_TRANSLATE_NOOP("MainWindow", "A recording is under way. Save it before closing?");

constexpr int UpdateIntervalMs = 100;
// How long a closing window lets a run reach a stop point before it waits for it.
constexpr std::chrono::milliseconds CloseGrace{1000};

// Key codes whose names fill the key list, and the names from outside that range.
constexpr int FirstListedKeyCode = 7;
constexpr int LastListedKeyCode = 255;
const char* const ExtraListedKeys[] = {"Enter", "Cancel"};

// The desktop opener reports success once it has handed the URL on, so an
// attempt counts only when the file it names is there.
bool openExistingFile(const QUrl& url) {
    return url.isLocalFile() && QFile::exists(url.toLocalFile()) && QDesktopServices::openUrl(url);
}

QString cellText(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

table::TableRow rowAt(const QTableWidget* grid, int row) {
    return {cellText(grid, row, 0), cellText(grid, row, 1), cellText(grid, row, 2)};
}

void paint(QTableWidgetItem* item, table::CellVerdict verdict) {
    // A colour equal to the present one raises no change, so nested checks settle.
    if (verdict == table::CellVerdict::Valid) item->setBackground(ValidCellColour);
    if (verdict == table::CellVerdict::Invalid) item->setBackground(InvalidCellColour);
}

}  // namespace

MainWindow::MainWindow(platform::Platform& platform, QWidget* parent)
    : QMainWindow(parent),
      platform_(platform),
      threadManager(platform),
      injector(platform, injection),
      hotkeys(platform),
      ui(std::make_unique<Ui::MainWindow>()),
      saveFileDialog([](QWidget* owner, const QString& caption, const QString& start, const QString& filter) {
          return QFileDialog::getSaveFileName(owner, caption, start, filter);
      }),
      openFileDialog([](QWidget* owner, const QString& caption, const QString& start, const QString& filter) {
          return QFileDialog::getOpenFileName(owner, caption, start, filter);
      }),
      urlOpener(openExistingFile),
      closePrompt([](QWidget* owner) {
          return QMessageBox::question(owner, QString::fromLatin1(ClosePromptTitle), tr(ClosePromptText),
                                       QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                       QMessageBox::Save);
      }) {
    ui->setupUi(this);
    ui->Recording->installEventFilter(this);
    ui->RecordingStartStop->installEventFilter(this);
    auto* modifierFilter = new HotkeyEditFilter(this);
    ui->Hotkey->installEventFilter(modifierFilter);
    ui->RecordingHotkey->installEventFilter(modifierFilter);
    connect(ui->Table, &QTableWidget::cellEntered, this, &MainWindow::cellEnteredSlot);
    updateTimer = new QTimer(this);
    connect(updateTimer, &QTimer::timeout, this, &MainWindow::Update);
    updateTimer->start(UpdateIntervalMs);
    ui->UseTable->setChecked(true);
    updateEnabledStates();
    // Before the hotkey: a refused F4 is logged.
    logWindow = new LogWindow(this);
    logWindow->setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                              Qt::WindowCloseButtonHint);
    logFeed = new LogFeed(ui->LuaLog, logWindow->logText(), logWindow, [this]() -> RunLogPtr {
        // A run's log is taken while it runs with logging shown; a stopped
        // run's rest comes through LogFeed::finish.
        Thread* run = threadManager.current();
        if (!run || !ui->Running->isChecked() || !ui->checkBox->isChecked()) return nullptr;
        return run->log();
    }, this);
    ui->Hotkey->setKeySequence(QKeySequence(QString::fromLatin1(DefaultRunHotkey)));
    fillKeyList();
    // A run starts with logging as the box shows it.
    threadManager.logEnabled = ui->checkBox->isChecked();
}

// threadManager, destroyed last of the members, waits for every run to end.
MainWindow::~MainWindow() = default;

void MainWindow::fillKeyList() {
    QStringList names;
    for (int code = FirstListedKeyCode; code <= LastListedKeyCode; ++code) {
        const std::string name = keyNameFromCode(static_cast<uint16_t>(code));
        if (!name.empty()) names << QString::fromStdString(name);
    }
    for (const char* extra : ExtraListedKeys) names << QString::fromLatin1(extra);
    std::sort(names.begin(), names.end());
    ui->SpecialKeys->addItems(names);
}

void MainWindow::setUrlOpener(UrlOpener opener) { urlOpener = std::move(opener); }

bool MainWindow::isRunningChecked() const { return ui->Running->isChecked(); }
bool MainWindow::isRecordingChecked() const { return ui->Recording->isChecked(); }
void MainWindow::setRunningChecked(bool on) { ui->Running->setChecked(on); }
void MainWindow::setRecordingChecked(bool on) {
    if (on && awaitingSave_) return;
    ui->Recording->setChecked(on);
}

// --- Hotkeys ---

QKeySequence MainWindow::setHotkey(const QKeySequence& sequence, int id) {
    const GlobalHotkeys::Outcome outcome = hotkeys.set(id, sequence);
    if (!outcome.problem.isEmpty()) addToLog(outcome.problem);
    return outcome.shown;
}

void MainWindow::switchRunHotkey(bool running) {
    const GlobalHotkeys::Outcome outcome = hotkeys.setRunning(running);
    if (outcome.problem.isEmpty()) return;
    addToLog(outcome.problem);
    if (ui->Hotkey->keySequence() != outcome.shown) ui->Hotkey->setKeySequence(outcome.shown);
}

void MainWindow::on_Hotkey_keySequenceChanged(const QKeySequence& sequence) {
    ui->Hotkey->setKeySequence(setHotkey(sequence, RunHotkeyId));
}

void MainWindow::on_RecordingHotkey_keySequenceChanged(const QKeySequence& sequence) {
    ui->RecordingHotkey->setKeySequence(setHotkey(sequence, RecordingHotkeyId));
}

void MainWindow::on_ResetHotKey_clicked() { ui->Hotkey->setKeySequence(QKeySequence()); }

void MainWindow::on_ResetRecordingHotKey_clicked() { ui->RecordingHotkey->setKeySequence(QKeySequence()); }

// --- Script file ---

void MainWindow::on_Browse_clicked() {
    const QString path = openFileDialog(this, tr(BrowseCaption), QString::fromLatin1(ScriptFileStart),
                                        tr(ScriptFileFilter));
    if (!path.isEmpty()) ui->ScriptLocation->setText(path);
}

bool MainWindow::openScriptUrl(const QString& localPath) const {
    // Built from a cleaned local path: pasting an absolute path after "file:///"
    // would name a different file ("//home/...").
    return urlOpener(QUrl::fromLocalFile(QDir::cleanPath(localPath)));
}

void MainWindow::on_EditScript_clicked() {
    const QString path = ui->ScriptLocation->text();
    // From the root (absolute paths), then from the working folder (relative ones).
    if (openScriptUrl(QLatin1Char('/') + path)) return;
    if (openScriptUrl(QDir::currentPath() + QLatin1Char('/') + path)) return;
    QMessageBox::warning(this, QString::fromLatin1(EditErrorTitle), tr(EditErrorText), QMessageBox::Ok,
                         QMessageBox::Ok);
}

// --- Log ---

void MainWindow::drainLog() { logFeed->step(); }

void MainWindow::addToLog(const QString& text) {
    logFeed->add(text);
    logFeed->step();
}

void MainWindow::on_LuaLog_textChanged() {
    // The feed's own changes keep the log window and the spool in step;
    // anything else that changed the view becomes the whole log.
    if (logFeed && !logFeed->inserting()) logFeed->viewReplaced();
}

void MainWindow::on_ClearLog_clicked() { logFeed->clear(); }

void MainWindow::on_SaveLogAsText_clicked() {
    const QString path =
        saveFileDialog(this, tr(SaveFileCaption), QString::fromLatin1(LogFileStart), tr(LogFileFilter));
    if (path.isEmpty()) return;
    QString reason;
    if (!logFeed->saveTo(path, reason)) warnNotSaved(this, path, reason);
}

void MainWindow::on_OpenLogWindow_clicked() {
    logWindow->show();
    logWindow->raise();
    logWindow->activateWindow();
    // Starts filling it at once.
    logFeed->step();
}

void MainWindow::on_checkBox_toggled(bool checked) {
    updateEnabledStates();
    threadManager.logEnabled = checked;
    if (!checked) logWindow->close();
}

void MainWindow::on_ClearLogOnPlay_toggled(bool) {}

// --- Runs ---

void MainWindow::on_Running_toggled(bool checked) {
    updateEnabledStates();
    if (ui->checkBox->isChecked()) threadManager.logEnabled = true;
    if (checked) {
        if (!ui->UseScript->isChecked()) {
            // Cells of a row that cannot be played would reach the Lua text as they stand.
            const QStringList unplayable = unplayableRows();
            if (!unplayable.isEmpty()) {
                for (const QString& line : unplayable) addToLog(tr(TableNotPlayedLine).arg(line));
                const QSignalBlocker blocker(ui->Running);
                ui->Running->setChecked(false);
                updateEnabledStates();
                return;
            }
        }
        if (ui->ClearLogOnPlay->isChecked()) on_ClearLog_clicked();
        // Before the run can hold a key; after the clear, so a problem stays in view.
        switchRunHotkey(true);
        threadManager.loopMode = ui->Loop->isChecked();
        threadManager.repeatCount = ui->Repeat->value();
        if (ui->UseScript->isChecked())
            threadManager.startRun(ui->ScriptLocation->text().toUtf8().toStdString(), true);
        else
            threadManager.startRun(buildTableScript().toStdString(), false);
        return;
    }
    if (ui->checkBox->isChecked()) {
        // What the run logs from here on is never shown; its text so far
        // comes first, then the stop line when it was still going.
        Thread* run = threadManager.current();
        const bool stopped = run && run->isRunning();
        logFeed->finish(run ? run->log() : nullptr,
                        stopped ? QString::fromLatin1(ExecutionStoppedLine) : QString());
        drainLog();
    }
    threadManager.stopRun();
    switchRunHotkey(false);
}

void MainWindow::on_StartStop_clicked() {
    if (ui->Recording->isChecked()) return;
    ui->Running->setChecked(!ui->Running->isChecked());
}

void MainWindow::Update() {
    if (!ui->Running->isChecked()) return;
    drainLog();
    Thread* run = threadManager.current();
    if (!run || !run->isRunning() || run->stopRequested()) ui->Running->setChecked(false);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (ui->Recording->isChecked()) {
        // The recording ends where the close was asked for: what the user
        // does in the prompt is not part of it.
        const ToggleInput closeAsked = toggleInput();
        const QMessageBox::StandardButton answer = closePrompt(this);
        // The recording hotkey works under the prompt: it may have ended (and
        // been saved) meanwhile.
        const bool stillRecording = ui->Recording->isChecked();
        switch (answer) {
        case QMessageBox::Save:
            if (!stillRecording) break;
            stopRecording(closeAsked);
            if (!convertRecordingToScript()) {
                event->ignore();
                return;
            }
            break;
        case QMessageBox::Discard:
            if (!stillRecording) break;
            stopRecording(closeAsked);
            recorder_.discard();
            break;
        default:
            event->ignore();
            return;
        }
    }
    Thread* run = threadManager.current();
    if (run && run->isRunning()) {
        run->requestStop();
        // The grace the run has to stop by itself; the destructor waits after it.
        std::this_thread::sleep_for(CloseGrace);
    }
    closing = true;
    logWindow->hide();
    event->accept();
}

// --- Recording ---

void MainWindow::on_RecordingStartStop_clicked() {
    if (ui->Running->isChecked() || awaitingSave_) return;
    ui->Recording->setChecked(!ui->Recording->isChecked());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != ui->Recording && watched != ui->RecordingStartStop) return false;
    bool press = false, release = false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:  // a quick second click presses the button too
        press = true;
        break;
    case QEvent::MouseButtonRelease:
        release = true;
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        // The key that clicks a focused button.
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (key->key() != Qt::Key_Space || key->isAutoRepeat()) return false;
        press = event->type() == QEvent::KeyPress;
        release = !press;
        break;
    }
    default:
        return false;
    }
    const auto time = static_cast<uint32_t>(static_cast<const QInputEvent*>(event)->timestamp());
    if (press) switchPressedAt_ = time;
    if (release && switchPressedAt_) {
        // The switch acts while this release is handled, right after the filter.
        switchClick_ = ToggleInput{*switchPressedAt_, time, true};
        switchPressedAt_.reset();
        QTimer::singleShot(0, this, [this] { switchClick_.reset(); });
    }
    return false;
}

MainWindow::ToggleInput MainWindow::toggleInput() {
    if (switchClick_) {
        const ToggleInput click = *switchClick_;
        switchClick_.reset();
        return click;
    }
    // A hotkey, or a switch flipped by the program: now, in the capture clock.
    const uint32_t now = platform_.captureTime();
    return ToggleInput{now, now, false};
}

void MainWindow::stopRecording(const ToggleInput& input) {
    // The hotkey's own presses are not part of what it stopped.
    recorder_.stop(input.began,
                   input.byClick ? std::vector<uint32_t>()
                                 : keysOfHotkey(bindHotkey(ui->RecordingHotkey->keySequence())));
    const QSignalBlocker quiet(ui->Recording);
    ui->Recording->setChecked(false);
    updateEnabledStates();
}

void MainWindow::on_Recording_toggled(bool checked) {
    if (checked && awaitingSave_) {
        // The last recording still waits for its file name.
        const QSignalBlocker quiet(ui->Recording);
        ui->Recording->setChecked(false);
        return;
    }
    updateEnabledStates();
    const ToggleInput input = toggleInput();
    if (checked) {
        // The click or key that started it ends before the recording begins.
        recorder_.start(input.ended, injector.cursorPosition(), ui->MonitorStartPosition->isChecked(),
                        ui->MonitorMouseMovement->isChecked());
        return;
    }
    stopRecording(input);
    convertRecordingToScript();
}

bool MainWindow::convertRecordingToScript() {
    awaitingSave_ = true;
    const QString path = saveFileDialog(this, tr(SaveFileCaption), QString::fromLatin1(RecordingFileStart),
                                        tr(ScriptFileFilter));
    awaitingSave_ = false;
    if (path.isEmpty()) return false;
    // Taken once the name is chosen: events from before the stop that the
    // capture delivered later are in by now.
    const table::WriteOutcome outcome = writeRecordingScript(path, recorder_.records());
    if (!outcome.written) {
        warnNotSaved(this, path, outcome.reason);
        return false;
    }
    ui->ScriptLocation->setText(path);
    ui->UseScript->setChecked(true);
    return true;
}

void MainWindow::setClosePrompt(ClosePrompt prompt) { closePrompt = std::move(prompt); }

bool MainWindow::preserveUnsavedRecording() {
    if (!recorder_.active() && !awaitingSave_) return false;
    QString error;
    const QString path = writeRecoveryScript(recorder_.records(), &error);
    if (path.isEmpty()) {
        std::fprintf(stderr, "quillpress: the unsaved recording is lost: %s\n", qPrintable(error));
        return false;
    }
    std::fprintf(stderr, "quillpress: the unsaved recording was written to %s\n", qPrintable(path));
    return true;
}

void MainWindow::setFileDialogs(FileDialog save, FileDialog open) {
    saveFileDialog = std::move(save);
    openFileDialog = std::move(open);
}

void MainWindow::setRowFromEditor(int row) {
    table::EditorState editor;
    editor.location = ui->InputLocation->currentText();
    editor.key = ui->SpecialKeys->currentText();
    editor.mouseEntry = ui->MouseKeys->currentText();
    editor.action = ui->InputType->currentText();
    editor.actionEnabled = ui->InputType->isEnabled();
    editor.mouseX = ui->MouseX->value();
    editor.mouseY = ui->MouseY->value();
    editor.wheelStrength = ui->ScrollStrength->value();
    editor.delay = ui->Delay->value();
    putRow(row, table::rowFromEditor(editor));
}

void MainWindow::putRow(int row, const table::TableRow& cells) {
    // Each setItem raises cellChanged; the check acts once all three exist.
    ui->Table->setItem(row, 0, new QTableWidgetItem(cells.key));
    ui->Table->setItem(row, 1, new QTableWidgetItem(cells.input));
    ui->Table->setItem(row, 2, new QTableWidgetItem(cells.delay));
}

void MainWindow::removeAllRows() {
    for (int row = ui->Table->rowCount() - 1; row >= 0; --row) ui->Table->removeRow(row);
}

void MainWindow::updateEnabledStates() {
    table::EnableInputs inputs;
    inputs.logging = ui->checkBox->isChecked();
    inputs.running = ui->Running->isChecked();
    inputs.recording = ui->Recording->isChecked();
    inputs.looping = ui->Loop->isChecked();
    inputs.scriptMode = ui->UseScript->isChecked();
    inputs.rowSelected = ui->Table->selectionModel()->hasSelection();
    inputs.location = ui->InputLocation->currentText();
    inputs.mouseEntry = ui->MouseKeys->currentText();
    applyEnableStates(*ui, table::enableStates(inputs));
}

table::TableRows MainWindow::tableRows() const {
    table::TableRows rows;
    for (int row = 0; row < ui->Table->rowCount(); ++row) rows.append(rowAt(ui->Table, row));
    return rows;
}

QStringList MainWindow::unplayableRows() const {
    QStringList lines;
    for (const table::RowFault& fault : table::tableFaults(tableRows())) lines << table::describeFault(fault);
    return lines;
}

void MainWindow::saveTableFile(const QString& path) {
    const table::WriteOutcome outcome = table::writeTableFile(path, tableRows());
    if (!outcome.written) warnNotSaved(this, path, outcome.reason);
}

void MainWindow::loadTableFile(const QString& path) {
    const table::TableFileRead file = table::readTableFile(path);
    if (!file.read) {
        warnNotLoaded(this, path, file.failure);
        return;
    }
    removeAllRows();
    for (const table::TableRow& cells : file.table.rows) {
        const int row = ui->Table->rowCount();
        ui->Table->insertRow(row);
        putRow(row, cells);
    }
    logLoadNotes(path, file.table.notes);
}

void MainWindow::logLoadNotes(const QString& path, const QStringList& notes) {
    const QString name = QDir::toNativeSeparators(path);
    const int shown = std::min<int>(notes.size(), MaxLoadNotesLogged);
    QString text;
    for (int index = 0; index < shown; ++index) text += tr(LoadNoteLine).arg(name, notes[index]);
    if (notes.size() > shown) text += tr(MoreLoadNotesLine).arg(name).arg(notes.size() - shown);
    if (!text.isEmpty()) addToLog(text);
}

QByteArray MainWindow::translateRow(int row) const { return table::translateRow(rowAt(ui->Table, row)); }

QByteArray MainWindow::buildTableScript() const { return table::buildTableScript(tableRows()); }

bool MainWindow::writeTableScript(const QString& path) {
    const table::WriteOutcome outcome = table::writeTableScript(path, tableRows());
    if (!outcome.written) warnNotSaved(this, path, outcome.reason);
    return outcome.written;
}

void MainWindow::on_InputLocation_currentTextChanged(const QString&) { updateEnabledStates(); }

void MainWindow::on_UseScript_toggled(bool) { updateEnabledStates(); }

void MainWindow::on_Table_itemSelectionChanged() { updateEnabledStates(); }

void MainWindow::on_AddNewInput_clicked() {
    const int row = ui->Table->rowCount();
    ui->Table->insertRow(row);
    setRowFromEditor(row);
}

void MainWindow::on_ChangeSelectedInput_clicked() {
    const int row = ui->Table->selectedRow();
    if (row >= 0) setRowFromEditor(row);
}

void MainWindow::on_ResetTable_clicked() { removeAllRows(); }

void MainWindow::on_DeleteSelectedInput_clicked() {
    const int row = ui->Table->selectedRow();
    if (row >= 0) ui->Table->removeRow(row);
}

void MainWindow::on_ConvertTableToScript_clicked() {
    const QStringList unplayable = unplayableRows();
    if (!unplayable.isEmpty()) {
        QMessageBox::warning(this, tr(NoScriptTitle), tr(NoScriptText).arg(unplayable.join(QLatin1Char('\n'))));
        return;
    }
    const QString path = saveFileDialog(this, tr(SaveFileCaption), QString::fromLatin1(ScriptFileStart),
                                        tr(ScriptFileFilter));
    if (path.isEmpty()) return;
    if (!writeTableScript(path)) return;
    // The next run plays the file just written.
    ui->ScriptLocation->setText(path);
    ui->UseScript->setChecked(true);
}

void MainWindow::on_Loop_toggled(bool) { updateEnabledStates(); }

void MainWindow::on_Table_cellChanged(int row, int) {
    QTableWidgetItem* key = ui->Table->item(row, 0);
    QTableWidgetItem* input = ui->Table->item(row, 1);
    QTableWidgetItem* delay = ui->Table->item(row, 2);
    if (!key || !input || !delay) return;
    const table::RowVerdict verdict = table::checkRow(rowAt(ui->Table, row));
    paint(key, verdict.key);
    paint(input, verdict.input);
    paint(delay, verdict.delay);
}

void MainWindow::on_InsertBeforeSelectedInput_clicked() {
    const int row = ui->Table->selectedRow();
    if (row < 0) return;
    ui->Table->insertRow(row);
    setRowFromEditor(row);
}

void MainWindow::on_SaveTable_clicked() {
    const QString path = saveFileDialog(this, tr(SaveFileCaption), QString::fromLatin1(TableFileStart),
                                        tr(TableFileFilter));
    if (!path.isEmpty()) saveTableFile(path);
}

void MainWindow::on_LoadTable_clicked() {
    const QString path = openFileDialog(this, tr(LoadFileCaption), QString::fromLatin1(TableFileStart),
                                        tr(TableFileFilter));
    if (!path.isEmpty()) loadTableFile(path);
}

void MainWindow::cellEnteredSlot(int row, int) {
    // Only a plain left-button drag moves rows.
    if (QGuiApplication::mouseButtons() != Qt::LeftButton) return;
    InputTable* grid = ui->Table;
    const int partner = table::dragSwapPartner(grid->currentIndex().row(), row, grid->rowCount());
    if (partner < 0) return;
    const int columns = grid->columnCount();
    QVector<QTableWidgetItem*> entered(columns);
    QVector<QTableWidgetItem*> neighbour(columns);
    for (int column = 0; column < columns; ++column) {
        entered[column] = grid->takeItem(row, column);
        neighbour[column] = grid->takeItem(partner, column);
    }
    for (int column = 0; column < columns; ++column) {
        grid->setItem(partner, column, entered[column]);
        grid->setItem(row, column, neighbour[column]);
    }
}

void MainWindow::on_MouseKeys_currentTextChanged(const QString&) { updateEnabledStates(); }
