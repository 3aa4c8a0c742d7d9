#include "HeadlessRun.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>

#include "app/EventPump.h"
#include "app/ProgramStart.h"
#include "cli/StopSignals.h"
#include "input/GlobalHotkeys.h"
#include "input/KeyNames.h"
#include "script/ScriptTexts.h"
#include "script/Thread.h"
#include "script/ThreadManager.h"
#include "table/RowValidity.h"
#include "table/TableFile.h"
#include "table/TableTranslation.h"

namespace cli {

namespace {

// How often the log is moved to standard output and the run's end looked for.
constexpr int DrainIntervalMs = 5;
const char MessagePrefix[] = "quillpress: ";
const char ProgressLine[] = "\rloop %1 of %2";
const char EraseLine[] = "\r\033[K";

void write(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

void tell(const QString& message) { write(stderr, QLatin1String(MessagePrefix) + message + QLatin1Char('\n')); }

QString untranslated(const char* text) { return QString::fromLatin1(text); }

// What a run starts from: a file for a script, the Lua text for a table.
struct Prepared {
    std::optional<int> failedStatus;  // set when there is nothing to run
    bool isFile = true;
    std::string text;
};

Prepared prepare(const Command& command) {
    Prepared prepared;
    const QString& path = command.file;
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        const QString reason = QFileInfo(path).isDir() ? QStringLiteral("it is a folder") : file.errorString();
        tell(QStringLiteral("cannot read %1: %2").arg(path, reason));
        prepared.failedStatus = UsageErrorStatus;
        return prepared;
    }
    file.close();
    if (!isTableFile(path)) {
        prepared.text = path.toUtf8().toStdString();
        return prepared;
    }
    // A table file plays as the window plays a loaded table.
    const table::TableFileRead read = table::readTableFile(path);
    if (!read.read) {
        tell(QStringLiteral("cannot load %1: %2").arg(path, read.failure));
        prepared.failedStatus = UsageErrorStatus;
        return prepared;
    }
    const QString notes = table::loadNotesText(path, read.table.notes, untranslated);
    if (!command.quiet && !notes.isEmpty()) write(stdout, notes);
    const QVector<table::RowFault> faults = table::tableFaults(read.table.rows);
    if (!faults.isEmpty()) {
        // The rows' errors end it as a script error would.
        for (const table::RowFault& fault : faults)
            write(command.quiet ? stderr : stdout,
                  QString::fromLatin1(table::TableNotPlayedLine).arg(table::describeFault(fault)));
        prepared.failedStatus = ScriptErrorStatus;
        return prepared;
    }
    prepared.isFile = false;
    prepared.text = table::buildTableScript(read.table.rows).toStdString();
    return prepared;
}

// Follows one run on the event loop: its log, its progress, its stop.
class RunFollower : public QObject, public platform::CaptureListener {
public:
    RunFollower(platform::Platform& platform, const Command& command)
        : platform_(platform), command_(command), runs_(platform), hotkeys_(platform) {
        showProgress_ = command.loop && command.repeat > 0 && isatty(fileno(stderr));
    }

    ~RunFollower() override {
        platform_.setListener(nullptr);
        platform_.unregisterHotkey(RunHotkeyId);
    }

    int exec(StopSignals& requests, const Prepared& prepared) {
        QString error;
        if (!requests.start([this](int status) { stop(status); }, &error)) tell(error);
        armHotkey();
        runs_.logEnabled = !command_.quiet;
        runs_.loopMode = command_.loop;
        runs_.repeatCount = command_.repeat;
        runs_.startRun(prepared.text, prepared.isFile);
        QTimer drainTimer;
        connect(&drainTimer, &QTimer::timeout, this, &RunFollower::drain);
        drainTimer.start(DrainIntervalMs);
        loop_.exec();
        return status();
    }

    // The run hotkey stops the run as Ctrl+C does.
    void hotkey(int id) override {
        if (id == RunHotkeyId) stop(InterruptStatus);
    }
    void hotkeyLost(int id, platform::HotkeyResult why) override {
        const GlobalHotkeys::Outcome outcome = hotkeys_.lost(id, why);
        if (!outcome.problem.isEmpty()) write(stderr, outcome.problem);
    }
    void keyboardEvent(const platform::KeyEvent&) override {}
    void mouseEvent(const platform::MouseEvent&) override {}
    void rawMovement(const platform::RawMovement&) override {}

private:
    void armHotkey() {
        if (command_.hotkey.isEmpty()) return;
        // Wide from the start: the run may hold any modifier.
        hotkeys_.setRunning(true);
        const GlobalHotkeys::Outcome outcome =
            hotkeys_.set(RunHotkeyId, QKeySequence::fromString(command_.hotkey, QKeySequence::PortableText));
        if (!outcome.problem.isEmpty()) write(stderr, outcome.problem);
        platform_.setListener(this);
        pump_ = std::make_unique<EventPump>(platform_);
    }

    // Every request, a repeated one too, only asks the run to stop; the run
    // releases what it holds on its way out.
    void stop(int status) {
        Thread* run = runs_.current();
        if (!run || !run->isRunning()) return;
        if (!stopStatus_) {
            stopStatus_ = status;
            if (!command_.quiet) run->log()->seal(QString::fromLatin1(scriptText::ExecutionStopped));
        }
        runs_.stopRun();
    }

    void drain() {
        Thread* run = runs_.current();
        // Read before taking the rest: text logged before the end is then all there.
        const bool ended = !run->isRunning();
        const QString text = run->takeLog();
        if (!text.isEmpty()) {
            if (showProgress_) write(stderr, QLatin1String(EraseLine));
            write(stdout, text);
            shownExecutions_ = -1;
        }
        // A stopped run's own unwinding is no error of the script.
        if (command_.quiet && !stopStatus_) {
            const QString error = run->lastError();
            if (error != shownError_) write(stderr, error);
            shownError_ = error;
        }
        if (showProgress_ && run->executionsBegun() != shownExecutions_) {
            shownExecutions_ = run->executionsBegun();
            write(stderr, QString::fromLatin1(ProgressLine).arg(shownExecutions_).arg(command_.repeat));
        }
        if (!ended) return;
        if (showProgress_) write(stderr, QLatin1String(EraseLine));
        loop_.quit();
    }

    int status() const {
        const Thread* run = runs_.current();
        if (stopStatus_) return *stopStatus_;
        if (const std::optional<int> exit = run->exitStatus()) return *exit;
        return run->lastError().isEmpty() ? 0 : ScriptErrorStatus;
    }

    platform::Platform& platform_;
    const Command& command_;
    ThreadManager runs_;
    GlobalHotkeys hotkeys_;
    std::unique_ptr<EventPump> pump_;
    QEventLoop loop_;
    std::optional<int> stopStatus_;
    bool showProgress_ = false;
    int shownExecutions_ = -1;
    QString shownError_;
};

}  // namespace

int runHeadless(int argc, char* argv[], const Command& command) {
    // Before any other thread exists, so the stop requests reach only this one.
    StopSignals requests;
    initKeyNames();
    QCoreApplication application(argc, argv);
    if (!command.hotkey.isEmpty() &&
        !bindHotkey(QKeySequence::fromString(command.hotkey, QKeySequence::PortableText)).registers) {
        tell(QStringLiteral("--hotkey %1 is not a key combination that can stop a run").arg(command.hotkey));
        return UsageErrorStatus;
    }
    const Prepared prepared = prepare(command);
    if (prepared.failedStatus) return *prepared.failedStatus;

    std::string error;
    std::unique_ptr<platform::Platform> backend = openProgramPlatform(command.backend.toStdString(), &error);
    if (!backend) {
        tell(QString::fromStdString(error));
        return ScriptErrorStatus;
    }
    int status = 0;
    {
        RunFollower follower(*backend, command);
        status = follower.exec(requests, prepared);
    }
    // The backend goes last, after the run that used it.
    backend.reset();
    return status;
}

}  // namespace cli
