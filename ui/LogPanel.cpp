#include "LogPanel.h"

#include "FileDialogs.h"
#include "FileWarnings.h"
#include "LogFeed.h"
#include "LogWindow.h"
#include "script/ScriptTexts.h"
#include "script/Thread.h"
#include "script/ThreadManager.h"
#include "ui_mainwindow.h"

namespace {

const char LogFileStart[] = "LuaScripts/Logs/log.txt";
const char LogFileFilter[] = QT_TRANSLATE_NOOP("MainWindow", "Text (*.txt)");

}  // namespace

LogPanel::LogPanel(Ui::MainWindow& form, QWidget* owner, ThreadManager& runs)
    : form_(form), owner_(owner), runs_(runs) {
    window_ = new LogWindow(owner);
    window_->setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                            Qt::WindowCloseButtonHint);
    feed_ = new LogFeed(form_.LuaLog, window_->logText(), window_, [this]() -> RunLogPtr {
        // A run's log is taken while it runs with logging shown; a stopped
        // run's rest comes through LogFeed::finish.
        Thread* run = runs_.current();
        if (!run || !form_.Running->isChecked() || !form_.checkBox->isChecked()) return nullptr;
        return run->log();
    }, owner);
}

void LogPanel::add(const QString& text) {
    feed_->add(text);
    feed_->step();
}

void LogPanel::drain() { feed_->step(); }

void LogPanel::runSwitchedOff(Thread* run) {
    if (!form_.checkBox->isChecked()) return;
    // Its text so far comes first, then the stop line when it was still going.
    const bool stopped = run && run->isRunning();
    feed_->finish(run ? run->log() : nullptr, stopped ? QString::fromLatin1(scriptText::ExecutionStopped) : QString());
    drain();
}

void LogPanel::viewChanged() {
    // The feed's own changes keep the log window and the spool in step;
    // anything else that changed the view becomes the whole log.
    if (!feed_->inserting()) feed_->viewReplaced();
}

void LogPanel::clear() { feed_->clear(); }

void LogPanel::saveAs(const FileDialogs& dialogs) {
    const QString path = dialogs.askSave(LogFileStart, LogFileFilter);
    if (path.isEmpty()) return;
    QString reason;
    if (!feed_->saveTo(path, reason)) warnNotSaved(owner_, path, reason);
}

void LogPanel::openWindow() {
    window_->show();
    window_->raise();
    window_->activateWindow();
    // Starts filling it at once.
    feed_->step();
}

void LogPanel::loggingToggled(bool checked) {
    runs_.logEnabled = checked;
    if (!checked) window_->close();
}
