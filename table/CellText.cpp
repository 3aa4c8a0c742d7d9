#include "CellText.h"

#include <QRegularExpression>

namespace table {

QStringList cellWords(const QString& text) {
    static const QRegularExpression whiteSpace(QStringLiteral("\\s+"));
    return text.split(whiteSpace, Qt::SkipEmptyParts);
}

std::optional<double> cellNumber(const QString& text) {
    bool ok = false;
    // QString::toDouble always reads the C locale, unlike QLocale's.
    const double value = text.toDouble(&ok);
    if (!ok) return std::nullopt;
    return value;
}

std::optional<int> cellInteger(const QString& word) {
    bool ok = false;
    const int value = word.toInt(&ok, 10);
    if (!ok) return std::nullopt;
    return value;
}

}  // namespace table
