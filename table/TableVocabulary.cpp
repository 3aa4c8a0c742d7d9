#include "TableVocabulary.h"

#include <QString>

namespace table {

bool isMouseButtonName(const QString& text) {
    for (const QLatin1String& name : MouseButtonNames)
        if (text == name) return true;
    return false;
}

bool isPointerEntry(const QString& text) { return text == MouseAbsolute || text == MouseRelative; }

bool isWheelEntry(const QString& text) { return text == ScrollUp || text == ScrollDown; }

}  // namespace table
