#pragma once
// Replacing a file's contents without leaving a half-written file behind.

#include <QByteArray>
#include <QString>
#include <functional>

namespace table {

// What became of a write: written, or why not (the system's words).
struct WriteOutcome {
    bool written = false;
    QString reason;
};

// Writes text (line feeds become the platform's line ends) to a temporary
// file beside path and renames it over path only once all of it is written,
// so a failed write keeps the old file as it was. Where no temporary file can
// be made beside path (a read-only folder), nothing is written.
WriteOutcome writeTextFile(const QString& path, const QByteArray& text);

// Where a text too large to hold at once comes from: fills piece with the
// next part (empty at the end), or returns false with the reason it cannot.
using TextPieces = std::function<bool(QByteArray& piece, QString& reason)>;
// The same write, taking the text piece by piece.
WriteOutcome writeTextFile(const QString& path, const TextPieces& pieces);

}  // namespace table
