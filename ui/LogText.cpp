#include "LogText.h"

#include <QTextCursor>
#include <QTextDocument>

void appendAtEnd(QTextDocument* document, const QString& text) {
    if (text.isEmpty()) return;
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
}
