#pragma once
// Whether a row's cells make sense. The table shows the verdict as cell
// colours, and a table with an invalid cell is neither played nor saved as a
// script: its cells would go into the Lua text as they stand.

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVector>

#include "TableRow.h"

namespace table {

enum class CellVerdict {
    Keep,  // the check says nothing: the cell keeps its colour
    Valid,
    Invalid,
};

struct RowVerdict {
    CellVerdict key = CellVerdict::Keep;
    CellVerdict input = CellVerdict::Keep;
    CellVerdict delay = CellVerdict::Keep;
};

// Judges the key, input and delay cells of one row. Key names are looked up
// in the key vocabulary, which must be filled.
RowVerdict checkRow(const TableRow& row);

// A row with invalid cells: its number as the table shows it (from 1) and
// what is wrong with each invalid cell.
struct RowFault {
    int row = 0;
    QStringList problems;
};
// Every row with an invalid cell, in row order; empty when all can be played.
QVector<RowFault> tableFaults(const TableRows& rows);
// One line for a faulty row: "row N: ...; ...".
QString describeFault(const RowFault& fault);
// The log line for each faulty row when the table is not played; %1 is describeFault's line.
inline constexpr char TableNotPlayedLine[] = QT_TRANSLATE_NOOP("MainWindow", "-- Table not played, %1\n");

}  // namespace table
