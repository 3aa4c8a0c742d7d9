#include "TableFile.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>

#include "TableVocabulary.h"

namespace table {

namespace {

// Notes on lines of a loaded file; %1 is the line number, counted from 1.
const char EmptyLineNote[] = "line %1 skipped: it is empty";
const char FieldCountNote[] = "line %1 skipped: it holds %2 \":\" where a row holds %3";
const char NotUtf8Note[] = "line %1: bytes that are not UTF-8 text were replaced by \xEF\xBF\xBD";
// Lines of a loaded table file that were skipped or changed; beyond the first
// few, only their number is logged.
const char LoadNoteLine[] = QT_TRANSLATE_NOOP("MainWindow", "-- %1: %2\n");
const char MoreLoadNotesLine[] = QT_TRANSLATE_NOOP("MainWindow", "-- %1: %2 more lines skipped or changed\n");
constexpr int MaxLoadNotesLogged = 20;
// Why a file is not loaded at all.
const char TooLargeFailure[] = "the file is larger than %1 MiB, the most a table file may hold";
const char TooManyLinesFailure[] = "the file has more than %1 lines, the most a table may hold";

QString note(const char* text, int line) {
    return QString::fromUtf8(text).arg(line);
}

QString tooLarge() {
    return QString::fromUtf8(TooLargeFailure).arg(MaxTableFileBytes / (1024 * 1024));
}

int lineCount(const QByteArray& contents) {
    const int ended = contents.count('\n');
    return contents.isEmpty() || contents.endsWith('\n') ? ended : ended + 1;
}

}  // namespace

QByteArray formatTableFile(const TableRows& rows) {
    QByteArray text;
    for (const TableRow& row : rows) {
        text += row.key.toUtf8();
        text += TableFieldSeparator;
        text += row.input.toUtf8();
        text += TableFieldSeparator;
        text += row.delay.toUtf8();
        text += '\n';
    }
    return text;
}

ParsedTable parseTableFile(const QByteArray& contents) {
    ParsedTable table;
    int start = 0;
    for (int number = 1; start < contents.size(); ++number) {
        int end = contents.indexOf('\n', start);
        if (end < 0) end = contents.size();  // a last line without its line end
        QByteArray line = contents.mid(start, end - start);
        start = end + 1;
        if (line.endsWith('\r')) line.chop(1);
        if (line.isEmpty()) {
            table.notes << note(EmptyLineNote, number);
            continue;
        }
        const int separators = line.count(TableFieldSeparator);
        if (separators != TableColumnCount - 1) {
            table.notes << note(FieldCountNote, number).arg(separators).arg(TableColumnCount - 1);
            continue;
        }
        // The whole line: the QByteArray overload would stop at a NUL byte and
        // leave fewer fields than the separators counted.
        const QString text = QString::fromUtf8(line.constData(), line.size());
        // Decoding replaces what is not UTF-8, so only such a line changes on the way back.
        if (text.toUtf8() != line) table.notes << note(NotUtf8Note, number);
        const QStringList fields = text.split(QLatin1Char(TableFieldSeparator));
        table.rows.append({fields[0], fields[1], fields[2]});
    }
    return table;
}

WriteOutcome writeTableFile(const QString& path, const TableRows& rows) {
    return writeTextFile(path, formatTableFile(rows));
}

TableFileRead readTableFile(const QString& path) {
    TableFileRead result;
    QFile file(path);
    // Binary read: the parser takes care of carriage returns itself.
    if (!file.open(QIODevice::ReadOnly)) {
        result.failure = file.errorString();
        return result;
    }
    // Sizes are checked before the read, so a huge file costs no memory.
    if (file.size() > MaxTableFileBytes) {
        result.failure = tooLarge();
        return result;
    }
    const QByteArray contents = file.read(MaxTableFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        result.failure = file.errorString();
        return result;
    }
    // A file that grew after its size was taken is refused like a large one.
    if (contents.size() > MaxTableFileBytes) {
        result.failure = tooLarge();
        return result;
    }
    if (lineCount(contents) > MaxTableRows) {
        result.failure = QString::fromUtf8(TooManyLinesFailure).arg(MaxTableRows);
        return result;
    }
    result.table = parseTableFile(contents);
    result.read = true;
    return result;
}

QString loadNotesText(const QString& name, const QStringList& notes, QString (*translate)(const char*)) {
    const int shown = std::min<int>(notes.size(), MaxLoadNotesLogged);
    QString text;
    for (int index = 0; index < shown; ++index) text += translate(LoadNoteLine).arg(name, notes[index]);
    if (notes.size() > shown) text += translate(MoreLoadNotesLine).arg(name).arg(notes.size() - shown);
    return text;
}

}  // namespace table
