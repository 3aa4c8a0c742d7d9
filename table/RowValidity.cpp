#include "RowValidity.h"

#include "CellText.h"
#include "TableVocabulary.h"
#include "input/KeyNames.h"

namespace table {

namespace {

CellVerdict verdict(bool valid) { return valid ? CellVerdict::Valid : CellVerdict::Invalid; }

// Exactly two integer words, as the editor writes X and Y.
bool isPointerInput(const QString& text) {
    const QStringList words = cellWords(text);
    return words.size() == 2 && cellInteger(words[0]) && cellInteger(words[1]);
}

bool isAction(const QString& text) {
    return text == ActionHit || text == ActionPress || text == ActionRelease;
}

}  // namespace

RowVerdict checkRow(const TableRow& row) {
    RowVerdict result;
    if (row.key.isEmpty() || row.key == NoInput) {
        result.key = CellVerdict::Valid;
    } else if (isPointerEntry(row.key)) {
        result.key = CellVerdict::Valid;
        result.input = verdict(isPointerInput(row.input));
    } else if (isWheelEntry(row.key)) {
        result.key = CellVerdict::Valid;
        result.input = verdict(cellNumber(row.input).has_value());
    } else if (keyCodeFromName(row.key.toStdString()) == 0) {
        // Without a known key the action cannot be judged.
        result.key = CellVerdict::Invalid;
    } else {
        result.key = CellVerdict::Valid;
        result.input = verdict(isAction(row.input));
    }
    const std::optional<double> delay = cellNumber(row.delay);
    result.delay = verdict(delay && *delay >= 0);
    return result;
}

}  // namespace table
