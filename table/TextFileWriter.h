#pragma once
// Replacing a file's contents without leaving a half-written file behind.

#include <QByteArray>
#include <QString>

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

}  // namespace table
