#include "TableFile.h"

#include <QFile>

#include "TableVocabulary.h"
#include "TextFileWriter.h"

namespace table {

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

TableRows parseTableFile(const QByteArray& contents) {
    TableRows rows;
    int start = 0;
    while (start < contents.size()) {
        int end = contents.indexOf('\n', start);
        if (end < 0) end = contents.size();  // a last line without its line end
        QByteArray line = contents.mid(start, end - start);
        if (line.endsWith('\r')) line.chop(1);
        const QStringList fields = QString::fromUtf8(line).split(QLatin1Char(TableFieldSeparator));
        if (fields.size() != TableColumnCount) break;
        rows.append({fields[0], fields[1], fields[2]});
        start = end + 1;
    }
    return rows;
}

bool writeTableFile(const QString& path, const TableRows& rows) {
    return writeTextFile(path, formatTableFile(rows));
}

std::optional<TableRows> readTableFile(const QString& path) {
    QFile file(path);
    // Binary read: the parser takes care of carriage returns itself.
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return parseTableFile(file.readAll());
}

}  // namespace table
