#include "TextFileWriter.h"

#include <QSaveFile>

namespace table {

namespace {

WriteOutcome failed(QSaveFile& file) {
    WriteOutcome outcome{false, file.errorString()};
    file.cancelWriting();  // the destructor then removes the temporary file
    return outcome;
}

}  // namespace

WriteOutcome writeTextFile(const QString& path, const QByteArray& text) {
    bool given = false;
    return writeTextFile(path, [&](QByteArray& piece, QString&) {
        piece = given ? QByteArray() : text;
        given = true;
        return true;
    });
}

WriteOutcome writeTextFile(const QString& path, const TextPieces& pieces) {
    QSaveFile file(path);
    // No direct-write fallback: it truncates the target before anything is written.
    // Unbuffered, so a failed write shows here: commit() ignores a failure of
    // its own final flush and would rename a short file over the target.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Unbuffered))
        return {false, file.errorString()};
    for (;;) {
        QByteArray piece;
        QString reason;
        if (!pieces(piece, reason)) {
            file.cancelWriting();
            return {false, reason};
        }
        if (piece.isEmpty()) break;
        // A short write carries no reason; the next one fails with the system's.
        for (qint64 done = 0; done < piece.size();) {
            const qint64 written = file.write(piece.constData() + done, piece.size() - done);
            if (written <= 0) return failed(file);
            done += written;
        }
    }
    if (!file.commit()) return {false, file.errorString()};
    return {true, QString()};
}

}  // namespace table
