#include "MainWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QTimer>
#include <algorithm>
#include <initializer_list>

#include "EnableGroups.h"
#include "HotkeyControls.h"
#include "LogPanel.h"
#include "LogWindow.h"
#include "ProgramFiles.h"
#include "ReferenceWindow.h"
#include "RunControl.h"
#include "TableEditor.h"
#include "WindowSettings.h"
#include "ui_mainwindow.h"

namespace {
// How often the window moves a run's log on and looks whether the run ended.
constexpr int UpdateIntervalMs = 100;

// The form's minimum sizes were chosen for one font: none may hold a control
// below what it needs with the font it has here. Children go first, as
// their parents' needs follow from theirs.
void raiseMinimumsToContent(QWidget& form) {
    QList<QWidget*> widgets = form.findChildren<QWidget*>();
    std::reverse(widgets.begin(), widgets.end());
    for (QWidget* widget : widgets)
        if (!widget->minimumSize().isNull())
            widget->setMinimumSize(widget->minimumSize().expandedTo(widget->minimumSizeHint()));
}

// The group boxes on each side sit in rows of their own; one width per side
// keeps their edges in line whatever the font needs.
void alignColumn(std::initializer_list<QWidget*> boxes) {
    int width = 0;
    for (const QWidget* box : boxes) width = std::max({width, box->sizeHint().width(), box->minimumWidth()});
    for (QWidget* box : boxes) box->setMinimumWidth(width);
}
}  // namespace

MainWindow::MainWindow(platform::Platform& platform, Recorder& recorder, QWidget* parent)
    : QMainWindow(parent),
      threadManager(platform),
      ui(std::make_unique<Ui::MainWindow>()),
      limits_(DesktopLimits::of(platform)) {
    ui->setupUi(this);
    showDesktopLimits();
    raiseMinimumsToContent(*ui->centralWidget);
    alignColumn({ui->ExecuteGroupBox, ui->InputInfoGroupBox, ui->TableGroupBox});
    alignColumn({ui->groupBox_2, ui->RecordingGroupBox});
    dialogs_ = std::make_unique<FileDialogs>(this);
    recording_ = std::make_unique<RecordingControl>(*ui, this, platform, *dialogs_, recorder, limits_);
    connect(ui->Table, &QTableWidget::cellEntered, this, &MainWindow::cellEnteredSlot);
    updateTimer = new QTimer(this);
    connect(updateTimer, &QTimer::timeout, this, &MainWindow::Update);
    updateTimer->start(UpdateIntervalMs);
    ui->UseTable->setChecked(true);
    updateEnabledStates();
    // Before the hotkey: a refused F4 is logged.
    log_ = std::make_unique<LogPanel>(*ui, this, threadManager);
    hotkeys_ = std::make_unique<HotkeyControls>(*ui, this, platform, *log_);
    if (limits_.hotkeys) hotkeys_->useDefaultRunHotkey();
    table_ = std::make_unique<TableEditor>(*ui, this, *dialogs_, *log_);
    run_ = std::make_unique<RunControl>(*ui, threadManager, *log_, *hotkeys_, *table_, limits_);
    // A run starts with logging as the box shows it.
    threadManager.logEnabled = ui->checkBox->isChecked();
    connect(ui->actionReference, &QAction::triggered, this, &MainWindow::showReference);
    // The window itself takes the first key, not the first control in tab
    // order: a hotkey edit would record F1 (or any key) as a new hotkey.
    setFocus();
    showIcon();
}

void MainWindow::showDesktopLimits() {
    ui->DesktopNotice->setText(limits_.notice);
    ui->DesktopNotice->setVisible(!limits_.notice.isEmpty());
    if (!limits_.hotkeys)
        for (QWidget* edit : std::initializer_list<QWidget*>{ui->Hotkey, ui->RecordingHotkey}) edit->setToolTip(limits_.notice.section(QLatin1Char('\n'), 0, 0));
    if (!limits_.startPosition) ui->MonitorStartPosition->setToolTip(limits_.startPositionReason);
    if (!limits_.recording)
        for (QWidget* control : std::initializer_list<QWidget*>{ui->Recording, ui->RecordingStartStop}) control->setToolTip(limits_.recordingReason);
}

void MainWindow::showIcon() {
    const QString path = programFiles::findIcon(QCoreApplication::applicationDirPath());
    const QIcon icon(path);
    if (path.isEmpty() || icon.isNull()) {
        log_->add(tr("-- The program's icon %1 was not found or not readable\n")
                      .arg(programFiles::applicationId() + QLatin1String(".png")));
        return;
    }
    setWindowIcon(icon);
}

void MainWindow::showReference() {
    if (!reference_) reference_ = new ReferenceWindow(this);
    reference_->open();
}

// threadManager, destroyed last of the members, waits for every run to end.
MainWindow::~MainWindow() = default;

void MainWindow::updateEnabledStates() { ::updateEnabledStates(*ui, limits_); }

void MainWindow::restoreSettings() {
    settings_ = std::make_unique<WindowSettings>(*ui, *this, *log_);
    settings_->restore([this](const QString& path) { table_->loadTableFile(path); });
    table_->setFileUsedCallback([this](const QString& path) { settings_->tableFileUsed(path); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!recording_->settleBeforeClose()) {
        event->ignore();
        return;
    }
    run_->stopForClose();
    closing = true;
    if (settings_) settings_->saveAtClose(log_->window()->isVisible());
    log_->window()->hide();
    event->accept();
}

// --- What the rest of the program and the tests reach ---

void MainWindow::setRowFromEditor(int row) { table_->setRowFromEditor(row); }
void MainWindow::saveTableFile(const QString& path) { table_->saveTableFile(path); }
void MainWindow::loadTableFile(const QString& path) { table_->loadTableFile(path); }
void MainWindow::useScriptFile(const QString& path) {
    ui->ScriptLocation->setText(path);
    ui->UseScript->setChecked(true);
}

void MainWindow::useTableFile(const QString& path) {
    if (table_->loadTableFile(path)) ui->UseTable->setChecked(true);
}

QByteArray MainWindow::translateRow(int row) const { return table_->translateRow(row); }
QByteArray MainWindow::buildTableScript() const { return table_->buildTableScript(); }
bool MainWindow::writeTableScript(const QString& path) { return table_->writeTableScript(path); }
table::TableRows MainWindow::tableRows() const { return table_->rows(); }

void MainWindow::setFileDialogs(FileDialog save, FileDialog open) {
    dialogs_->setDialogs(std::move(save), std::move(open));
}
void MainWindow::setUrlOpener(UrlOpener opener) { dialogs_->setUrlOpener(std::move(opener)); }

QKeySequence MainWindow::setHotkey(const QKeySequence& sequence, int id) { return hotkeys_->set(sequence, id); }
void MainWindow::hotkeyLost(int id, platform::HotkeyResult why) { hotkeys_->lost(id, why); }

bool MainWindow::convertRecordingToScript() { return recording_->convertToScript(); }
void MainWindow::setClosePrompt(ClosePrompt prompt) { recording_->setClosePrompt(std::move(prompt)); }
bool MainWindow::preserveUnsavedRecording() { return recording_->preserveUnsaved(); }

bool MainWindow::isRunningChecked() const { return ui->Running->isChecked(); }
bool MainWindow::isRecordingChecked() const { return ui->Recording->isChecked(); }
void MainWindow::setRunningChecked(bool on) { ui->Running->setChecked(on); }
void MainWindow::setRecordingChecked(bool on) {
    if (!recording_->setChecked(on))
        log_->add(tr("-- Recording not started: %1\n").arg(limits_.recordingReason));
}
LogWindow* MainWindow::logWindowWidget() const { return log_->window(); }

// --- The form's slots, each handed to its part ---

void MainWindow::on_Hotkey_keySequenceChanged(const QKeySequence& sequence) { hotkeys_->runEditChanged(sequence); }
void MainWindow::on_InputLocation_currentTextChanged(const QString&) { updateEnabledStates(); }
void MainWindow::on_UseScript_toggled(bool) { updateEnabledStates(); }
void MainWindow::on_Running_toggled(bool checked) { run_->toggled(checked); }
void MainWindow::on_Table_itemSelectionChanged() { updateEnabledStates(); }
void MainWindow::on_AddNewInput_clicked() { table_->addRow(); }
void MainWindow::on_ChangeSelectedInput_clicked() { table_->changeSelectedRow(); }
void MainWindow::on_ResetTable_clicked() { table_->removeAllRows(); }
void MainWindow::on_ResetHotKey_clicked() { hotkeys_->resetRun(); }
void MainWindow::on_DeleteSelectedInput_clicked() { table_->deleteSelectedRow(); }
void MainWindow::on_ConvertTableToScript_clicked() { table_->convertToScript(); }
void MainWindow::on_Browse_clicked() { dialogs_->browseForScript(*ui); }
void MainWindow::on_EditScript_clicked() { dialogs_->editScript(*ui); }
void MainWindow::on_SaveLogAsText_clicked() { log_->saveAs(*dialogs_); }
void MainWindow::on_ClearLog_clicked() { log_->clear(); }

void MainWindow::on_checkBox_toggled(bool checked) {
    updateEnabledStates();
    log_->loggingToggled(checked);
}

void MainWindow::on_Loop_toggled(bool) { updateEnabledStates(); }
void MainWindow::on_Table_cellChanged(int row, int) { table_->cellChanged(row); }
void MainWindow::on_InsertBeforeSelectedInput_clicked() { table_->insertBeforeSelectedRow(); }

void MainWindow::on_RecordingHotkey_keySequenceChanged(const QKeySequence& sequence) {
    hotkeys_->recordingEditChanged(sequence);
}

void MainWindow::on_ResetRecordingHotKey_clicked() { hotkeys_->resetRecording(); }
void MainWindow::on_RecordingStartStop_clicked() { recording_->switchClicked(); }
void MainWindow::on_StartStop_clicked() { run_->switchClicked(); }
void MainWindow::on_Recording_toggled(bool checked) { recording_->toggled(checked); }
void MainWindow::Update() { run_->step(); }
void MainWindow::on_OpenLogWindow_clicked() { log_->openWindow(); }

void MainWindow::on_LuaLog_textChanged() {
    // The view may change before the log is built.
    if (log_) log_->viewChanged();
}

void MainWindow::on_SaveTable_clicked() { table_->saveAs(); }
void MainWindow::on_LoadTable_clicked() { table_->load(); }
void MainWindow::cellEnteredSlot(int row, int) { table_->cellEntered(row); }
void MainWindow::on_MouseKeys_currentTextChanged(const QString&) { updateEnabledStates(); }
void MainWindow::on_ClearLogOnPlay_toggled(bool) {}
