#pragma once
// Backgrounds that show whether a table cell makes sense.

#include <QColor>

inline const QColor ValidCellColour(255, 255, 255, 255);
inline const QColor InvalidCellColour(255, 0, 0, 255);
