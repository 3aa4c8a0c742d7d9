#pragma once
// The way of log text from the runs to the view, the log window and the
// spool that Save Log writes from. Work comes in steps small enough to keep
// the window responsive however much a run logs: each step takes a bounded
// amount from the runs and inserts a bounded number of lines into each
// widget, and the next step follows once the window has handled its events.
// The log window is filled only while it is shown.

#include <QObject>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>

#include "LogSpool.h"
#include "LogText.h"
#include "script/RunLog.h"

class QPlainTextEdit;

class LogFeed : public QObject {
    Q_OBJECT
public:
    // currentLog names the log that steps may take from while its run goes
    // on (null: none); mirrorWindow shows mirror.
    LogFeed(QPlainTextEdit* view, QPlainTextEdit* mirror, QWidget* mirrorWindow,
            std::function<RunLogPtr()> currentLog, QObject* parent = nullptr);

    // Text for the log, after everything added or taken before it.
    void add(const QString& text);
    // A stopped run's log, sealed with lastText: it is taken to its end
    // before anything added later.
    void finish(const RunLogPtr& log, const QString& lastText);
    // Takes and inserts one step's worth now, and schedules the next step
    // when more waits.
    void step();
    // Empties the widgets and the spool, and forgets the stopped runs' text
    // not yet taken.
    void clear();
    // The view was changed by something else: its text becomes the log.
    void viewReplaced();

    // Writes the whole log since the last clear, including the stopped
    // runs' text not yet shown; false with the reason in error.
    bool saveTo(const QString& path, QString& error);
    // True while a step is inserting text into the widgets.
    bool inserting() const { return inserting_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void takeFromRuns();
    void insertStep();
    void followMirror();
    void schedule();
    bool moreWaiting() const;

    QPlainTextEdit* view;
    QPlainTextEdit* mirror;
    QWidget* mirrorWindow;
    std::function<RunLogPtr()> currentLog;
    std::deque<RunLogPtr> finishing;
    LogSpool spool;
    LongLineCutter cutter;
    LogQueue viewQueue;
    LogQueue mirrorQueue;
    bool mirrorFollows = false;
    bool takeBudgetUsed = false;
    QTimer stepTimer;
    bool inserting_ = false;
};
