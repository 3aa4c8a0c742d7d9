#pragma once
// The table file: one line per row, the three cell texts joined by ":",
// UTF-8, every line ended.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "TableRow.h"
#include "TextFileWriter.h"

namespace table {

// Files larger than this are refused before anything is read: a table of
// MaxTableRows ordinary rows is a small fraction of it.
constexpr qint64 MaxTableFileBytes = 4 * 1024 * 1024;  // a whole number of MiB
// Every row becomes three widget items; beyond this the table is no longer
// something to edit by hand, and loading it would hold the window for seconds.
constexpr int MaxTableRows = 100000;

QByteArray formatTableFile(const TableRows& rows);

// The rows of a file, and one note for each line that did not load as written.
struct ParsedTable {
    TableRows rows;
    QStringList notes;  // "line N ...", in line order
};

// Every line that splits into exactly three fields becomes a row; other lines
// are skipped with a note, and the lines after them still load. Bytes that are
// not UTF-8 become U+FFFD, with a note. A carriage return before a line feed
// belongs to the line end.
ParsedTable parseTableFile(const QByteArray& contents);

// Whether the file was written and why not; a failed write leaves an old file intact.
WriteOutcome writeTableFile(const QString& path, const TableRows& rows);

// A read table file, or why it was not read (then nothing of it is loaded).
struct TableFileRead {
    bool read = false;
    QString failure;
    ParsedTable table;
};
// Refuses files over MaxTableFileBytes without reading them and files of more
// than MaxTableRows lines before making any row.
TableFileRead readTableFile(const QString& path);

// The log lines for a loaded file's notes, the file named by name: the first
// few, then how many more. Empty when there are none. translate turns each
// line's format into the shown one.
QString loadNotesText(const QString& name, const QStringList& notes, QString (*translate)(const char*));

}  // namespace table
