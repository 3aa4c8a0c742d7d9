#pragma once
// One row of the input table: the texts of its three cells.

#include <QString>
#include <QVector>

namespace table {

struct TableRow {
    QString key;    // column 0: what the input acts on
    QString input;  // column 1: what is done, or its parameters
    QString delay;  // column 2: milliseconds to wait afterwards

    bool operator==(const TableRow& other) const {
        return key == other.key && input == other.input && delay == other.delay;
    }
    bool operator!=(const TableRow& other) const { return !(*this == other); }
};

using TableRows = QVector<TableRow>;

}  // namespace table
