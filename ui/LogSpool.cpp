#include "LogSpool.h"

#include <QCoreApplication>
#include <algorithm>

#include "table/TextFileWriter.h"

namespace {
constexpr qint64 CopyChunkBytes = 1 << 20;
}  // namespace

bool LogSpool::append(const QString& text) {
    if (text.isEmpty() || !failure.isEmpty()) return failure.isEmpty();
    const QByteArray bytes = text.toUtf8();
    if ((file.isOpen() || file.open()) && file.seek(size) && file.write(bytes) == bytes.size()) {
        size += bytes.size();
        return true;
    }
    failure = QCoreApplication::translate("LogSpool", "the log's temporary file %1 could not be written: %2")
                  .arg(file.fileName(), file.errorString());
    return false;
}

void LogSpool::clear() {
    size = 0;
    failure.clear();
    if (file.isOpen()) file.resize(0);
}

bool LogSpool::saveTo(const QString& path, QString& error) {
    if (!failure.isEmpty()) {
        error = failure;
        return false;
    }
    if (size > 0 && !file.seek(0)) {
        error = file.errorString();
        return false;
    }
    qint64 copied = 0;
    const table::WriteOutcome outcome = table::writeTextFile(path, [&](QByteArray& piece, QString& reason) {
        if (copied == size) return true;  // an empty piece ends the file
        piece = file.read(std::min(CopyChunkBytes, size - copied));
        if (piece.isEmpty()) {
            reason = file.errorString();
            return false;
        }
        copied += piece.size();
        return true;
    });
    error = outcome.reason;
    return outcome.written;
}
