#pragma once
// Turning table rows into Lua text that calls the script functions.

#include <QByteArray>
#include <QString>

#include "TableRow.h"
#include "TextFileWriter.h"

namespace table {

// The two comment lines that open a script saved from the table.
extern const char TableScriptHeader[];

// Zero, one or two lines of Lua (UTF-8), each ended by a line feed.
QByteArray translateRow(const TableRow& row);
// Every row's lines, row 0 first, nothing added.
QByteArray buildTableScript(const TableRows& rows);
// The header followed by the rows' lines.
QByteArray tableScriptFile(const TableRows& rows);
// Whether the script file was written and why not; a failed write leaves an
// old file intact. Rows are written as they are: callers refuse invalid ones.
WriteOutcome writeTableScript(const QString& path, const TableRows& rows);

}  // namespace table
