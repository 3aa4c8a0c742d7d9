#pragma once
// The table file: one line per row, the three cell texts joined by ":",
// UTF-8, every line ended.

#include <QByteArray>
#include <QString>
#include <optional>

#include "TableRow.h"

namespace table {

QByteArray formatTableFile(const TableRows& rows);
// Reads lines up to the first one that does not split into exactly three
// fields; a carriage return before a line feed belongs to the line end.
TableRows parseTableFile(const QByteArray& contents);

// Whether the file was written; a failed write leaves an old file intact.
bool writeTableFile(const QString& path, const TableRows& rows);
// Empty when the file cannot be opened.
std::optional<TableRows> readTableFile(const QString& path);

}  // namespace table
