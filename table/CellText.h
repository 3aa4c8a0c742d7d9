#pragma once
// How cell texts are read as words and numbers, the same for the validity
// check and for the translation to Lua.

#include <QString>
#include <QStringList>
#include <optional>

namespace table {

// The white-space separated words of a cell, leading white space skipped.
QStringList cellWords(const QString& text);
// The cell as a number, "." as decimal point whatever the locale; surrounding
// white space, sign, fraction and exponent allowed. Empty when it is not one.
std::optional<double> cellNumber(const QString& text);
// The word as a base-10 32-bit integer with optional sign.
std::optional<int> cellInteger(const QString& word);

}  // namespace table
