#include "LogText.h"

#include <QTextCursor>
#include <QTextDocument>

void appendAtEnd(QTextDocument* document, const QString& text) {
    if (text.isEmpty()) return;
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
}

void appendAtEndInFewParagraphs(QTextDocument* document, const QString& text) {
    const int lastLineEnd = text.lastIndexOf(QLatin1Char('\n'));
    if (lastLineEnd <= 0) {
        appendAtEnd(document, text);
        return;
    }
    // Breaking the paragraph at the last line end keeps the text after it
    // (an unfinished line) from joining a paragraph that would only grow.
    QString joined = text;
    QChar* begin = joined.data();
    for (QChar* c = begin; c != begin + lastLineEnd; ++c)
        if (*c == QLatin1Char('\n')) *c = QChar::LineSeparator;
    appendAtEnd(document, joined);
}
