#pragma once
// Whether a row's cells make sense. The table shows the verdict as cell
// colours; nothing else depends on it (invalid rows are still played).

#include "TableRow.h"

namespace table {

enum class CellVerdict {
    Keep,     // the check says nothing: the cell keeps its colour
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

}  // namespace table
