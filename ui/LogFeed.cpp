#include "LogFeed.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QTimer>
#include <utility>

#include "LogLimits.h"

namespace {
const char SpoolFailedLine[] = QT_TRANSLATE_NOOP("LogFeed", "-- Save Log will not have the whole log: %1\n");
}  // namespace

LogFeed::LogFeed(QPlainTextEdit* view, QPlainTextEdit* mirror, QWidget* mirrorWindow,
                 std::function<RunLogPtr()> currentLog, QObject* parent)
    : QObject(parent), view(view), mirror(mirror), mirrorWindow(mirrorWindow), currentLog(std::move(currentLog)) {
    // An undo history would grow with every line.
    view->setUndoRedoEnabled(false);
    mirror->setUndoRedoEnabled(false);
    mirrorWindow->installEventFilter(this);
    stepTimer.setSingleShot(true);
    stepTimer.setInterval(0);
    connect(&stepTimer, &QTimer::timeout, this, &LogFeed::step);
}

void LogFeed::add(const QString& text) {
    if (text.isEmpty()) return;
    const bool wasKept = spool.error().isEmpty();
    spool.append(text);
    const QString shown = cutter.pass(text);
    viewQueue.add(shown);
    if (mirrorFollows) mirrorQueue.add(shown);
    if (wasKept && !spool.error().isEmpty()) {
        // Told once, on screen only: the spool is what failed.
        const QString notice = tr(SpoolFailedLine).arg(spool.error());
        viewQueue.add(notice);
        if (mirrorFollows) mirrorQueue.add(notice);
    }
}

void LogFeed::finish(const RunLogPtr& log, const QString& lastText) {
    if (!log) {
        add(lastText);
        return;
    }
    log->seal(lastText);
    finishing.push_back(log);
}

void LogFeed::step() {
    takeFromRuns();
    followMirror();
    insertStep();
    if (moreWaiting()) schedule();
}

void LogFeed::takeFromRuns() {
    takeBudgetUsed = false;
    int budget = LogTakeChars;
    while (budget > 0) {
        const RunLogPtr log = finishing.empty() ? currentLog() : finishing.front();
        if (!log) return;
        const QString piece = log->take(budget);
        if (piece.isEmpty()) {
            // A stopped run's log is taken to its end before the next one.
            if (finishing.empty()) return;
            finishing.pop_front();
            continue;
        }
        budget -= piece.size();
        add(piece);
    }
    takeBudgetUsed = true;
}

void LogFeed::followMirror() {
    const bool shown = mirrorWindow->isVisible();
    if (shown == mirrorFollows) return;
    // A hidden log window holds nothing; once shown it starts from the
    // view's lines and those still waiting for it.
    mirrorFollows = shown;
    mirrorQueue.clear();
    mirror->clear();
    if (shown) mirrorQueue.add(view->toPlainText() + viewQueue.all());
}

void LogFeed::insertStep() {
    inserting_ = true;
    appendKeepingLastLines(view->document(), viewQueue.take(LogStepLines, LogStepChars), LogLineLimit);
    if (mirrorFollows)
        appendKeepingLastLines(mirror->document(), mirrorQueue.take(LogStepLines, LogStepChars), LogLineLimit);
    inserting_ = false;
}

bool LogFeed::moreWaiting() const {
    return takeBudgetUsed || !finishing.empty() || !viewQueue.isEmpty() ||
           (mirrorFollows && !mirrorQueue.isEmpty());
}

void LogFeed::schedule() {
    // One timer for every step: fresh zero-time timers would keep the
    // window's other timers waiting while a long catch-up lasts.
    if (!stepTimer.isActive()) stepTimer.start();
}

void LogFeed::clear() {
    finishing.clear();
    spool.clear();
    cutter.reset();
    viewQueue.clear();
    mirrorQueue.clear();
    inserting_ = true;
    view->clear();
    mirror->clear();
    inserting_ = false;
}

void LogFeed::viewReplaced() {
    spool.clear();
    spool.append(view->toPlainText());
    cutter.reset();
    viewQueue.clear();
    mirrorFollows = false;
    step();
}

bool LogFeed::saveTo(const QString& path, QString& error) {
    // A stopped run's text belongs before the save even while it still
    // waits for the widgets.
    while (!finishing.empty()) takeFromRuns();
    if (moreWaiting()) schedule();
    return spool.saveTo(path, error);
}

bool LogFeed::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mirrorWindow && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) schedule();
    return QObject::eventFilter(watched, event);
}
