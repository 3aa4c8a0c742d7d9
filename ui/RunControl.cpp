#include "RunControl.h"

#include <QSignalBlocker>
#include <chrono>
#include <thread>

#include "EnableGroups.h"
#include "HotkeyControls.h"
#include "LogPanel.h"
#include "TableEditor.h"
#include "WindowTexts.h"
#include "script/Thread.h"
#include "table/RowValidity.h"
#include "script/ThreadManager.h"
#include "ui_mainwindow.h"

namespace {

// How long a closing window lets a run reach a stop point before it waits for it.
constexpr std::chrono::milliseconds CloseGrace{1000};

}  // namespace

RunControl::RunControl(Ui::MainWindow& form, ThreadManager& runs, LogPanel& log, HotkeyControls& hotkeys,
                       const TableEditor& table, const DesktopLimits& limits)
    : form_(form), runs_(runs), log_(log), hotkeys_(hotkeys), table_(table), limits_(limits) {}

void RunControl::toggled(bool checked) {
    updateEnabledStates(form_, limits_);
    if (form_.checkBox->isChecked()) runs_.logEnabled = true;
    if (checked) {
        if (!form_.UseScript->isChecked()) {
            // Cells of a row that cannot be played would reach the Lua text as they stand.
            const QStringList unplayable = table_.unplayableRows();
            if (!unplayable.isEmpty()) {
                for (const QString& line : unplayable) log_.add(windowText(table::TableNotPlayedLine).arg(line));
                const QSignalBlocker blocker(form_.Running);
                form_.Running->setChecked(false);
                updateEnabledStates(form_, limits_);
                return;
            }
        }
        if (form_.ClearLogOnPlay->isChecked()) log_.clear();
        // Before the run can hold a key; after the clear, so a problem stays in view.
        hotkeys_.switchRunHotkey(true);
        runs_.loopMode = form_.Loop->isChecked();
        runs_.repeatCount = form_.Repeat->value();
        if (form_.UseScript->isChecked())
            runs_.startRun(form_.ScriptLocation->text().toUtf8().toStdString(), true);
        else
            runs_.startRun(table_.buildTableScript().toStdString(), false);
        return;
    }
    log_.runSwitchedOff(runs_.current());
    runs_.stopRun();
    hotkeys_.switchRunHotkey(false);
}

void RunControl::switchClicked() {
    if (form_.Recording->isChecked()) return;
    form_.Running->setChecked(!form_.Running->isChecked());
}

void RunControl::step() {
    if (!form_.Running->isChecked()) return;
    log_.drain();
    Thread* run = runs_.current();
    if (!run || !run->isRunning() || run->stopRequested()) form_.Running->setChecked(false);
}

void RunControl::stopForClose() {
    Thread* run = runs_.current();
    if (!run || !run->isRunning()) return;
    run->requestStop();
    // The grace the run has to stop by itself; the destructor waits after it.
    std::this_thread::sleep_for(CloseGrace);
}
