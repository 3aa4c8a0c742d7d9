#pragma once
// The log text of one run on its way from the worker to the window. It is
// shared, so the window can finish taking a stopped run's text after the run
// itself is gone.

#include <QString>
#include <QTemporaryFile>
#include <memory>
#include <mutex>

// Pending text in memory past which it moves to a temporary file, so a run
// that logs faster than the window takes keeps its memory bounded.
constexpr int PendingLogLimit = 1 << 20;  // characters

class RunLog {
public:
    RunLog() = default;
    // Takes the lock once more: the worker's last append comes first (also
    // for the thread sanitizer, which does not see QThread::wait).
    ~RunLog();
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    // Worker: adds text after all earlier text; dropped once sealed.
    void append(const QString& text);
    // Takes the oldest text not yet taken, at most maxChars of it (empty when
    // nothing is pending).
    QString take(int maxChars);
    bool pending() const;

    // Adds lastText and lets nothing in after it: what the run logs later is
    // never shown.
    void seal(const QString& lastText);
    bool sealed() const;

private:
    void spill();

    mutable std::mutex mutex;
    QString memory;
    // Older text than memory's, as raw UTF-16, from spillRead up to spillEnd.
    QTemporaryFile spillFile;
    qint64 spillRead = 0;
    qint64 spillEnd = 0;
    bool spillFailed = false;
    bool sealed_ = false;
};

using RunLogPtr = std::shared_ptr<RunLog>;
