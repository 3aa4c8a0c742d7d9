#pragma once
// The whole log since the last Clear, kept in a temporary file as UTF-8 so
// the widgets can keep only recent lines while Save Log writes everything.

#include <QString>
#include <QTemporaryFile>

class LogSpool {
public:
    // Adds text at the end; false when the file cannot take it (error() says why).
    bool append(const QString& text);
    void clear();
    // Writes the whole log to path as a text file, replacing it only once
    // all of it is written; false with the reason in error when the file
    // cannot be written or the log was not kept in full (nothing is written).
    bool saveTo(const QString& path, QString& error);
    // Why the log is not kept in full; empty while it is.
    const QString& error() const { return failure; }

private:
    QTemporaryFile file;
    qint64 size = 0;
    QString failure;
};
