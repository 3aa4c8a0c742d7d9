#pragma once
// Replacing a file's contents without leaving a half-written file behind.

#include <QByteArray>
#include <QString>

namespace table {

// Writes text (line feeds become the platform's line ends) to a temporary
// file beside path and renames it over path, so a failed write keeps the old
// file. Where no temporary file can be made beside it (a writable file in a
// read-only folder), writes path directly. Returns whether it was written.
bool writeTextFile(const QString& path, const QByteArray& text);

}  // namespace table
