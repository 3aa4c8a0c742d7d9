#include "RowValidity.h"

#include <cmath>

#include "CellText.h"
#include "TableVocabulary.h"
#include "input/KeyNames.h"

namespace table {

namespace {

// What is wrong with an invalid cell, named by its column header.
const char UnknownKeyProblem[] = "Key is not a known key name";
const char ActionProblem[] = "Input is not Hit, Press or Release";
const char PointerProblem[] = "Input is not two whole numbers";
const char WheelProblem[] = "Input is not a number";
const char DelayProblem[] = "Delay (ms) is not a number of 0 or more";
const char FaultLine[] = "row %1: %2";
const char ProblemJoin[] = "; ";

CellVerdict verdict(bool valid) {
    return valid ? CellVerdict::Valid : CellVerdict::Invalid;
}

// Exactly two integer words, as the editor writes X and Y.
bool isPointerInput(const QString& text) {
    const QStringList words = cellWords(text);
    return words.size() == 2 && cellInteger(words[0]) && cellInteger(words[1]);
}

bool isAction(const QString& text) {
    return text == ActionHit || text == ActionPress || text == ActionRelease;
}

// The text converts, and to a value Lua can read back as a numeral
// ("inf" and "nan" would be read as variable names).
bool isFiniteNumber(const QString& text, double minimum = -INFINITY) {
    const std::optional<double> value = cellNumber(text);
    return value && std::isfinite(*value) && *value >= minimum;
}

const char* inputProblem(const QString& key) {
    if (isPointerEntry(key)) return PointerProblem;
    if (isWheelEntry(key)) return WheelProblem;
    return ActionProblem;
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
        result.input = verdict(isFiniteNumber(row.input));
    } else if (keyCodeFromName(row.key.toStdString()) == 0) {
        // Without a known key the action cannot be judged.
        result.key = CellVerdict::Invalid;
    } else {
        result.key = CellVerdict::Valid;
        result.input = verdict(isAction(row.input));
    }
    result.delay = verdict(isFiniteNumber(row.delay, 0));
    return result;
}

QVector<RowFault> tableFaults(const TableRows& rows) {
    QVector<RowFault> faults;
    for (int index = 0; index < rows.size(); ++index) {
        const TableRow& row = rows[index];
        const RowVerdict v = checkRow(row);
        QStringList problems;
        if (v.key == CellVerdict::Invalid) problems << QString::fromLatin1(UnknownKeyProblem);
        if (v.input == CellVerdict::Invalid) problems << QString::fromLatin1(inputProblem(row.key));
        if (v.delay == CellVerdict::Invalid) problems << QString::fromLatin1(DelayProblem);
        if (!problems.isEmpty()) faults.append({index + 1, problems});
    }
    return faults;
}

QString describeFault(const RowFault& fault) {
    return QString::fromLatin1(FaultLine).arg(fault.row).arg(
        fault.problems.join(QLatin1String(ProblemJoin)));
}

}  // namespace table
