// Log text added piece by piece reads back exactly as written, however the
// pieces split the lines, and a drain of many lines stays a few paragraphs.

#include <gtest/gtest.h>

#include <QTextDocument>

#include "tests/support/QtPrinters.h"
#include "ui/LogText.h"

namespace {

TEST(LogText, PiecesReadBackAsWrittenWhereverTheySplitLines) {
    const QStringList pieces = {"a", "b\n", "\n", "", "line 1\nline 2\nhalf", " line\n\n\nend\n", "x"};
    QTextDocument plain, fewParagraphs;
    QString written;
    for (const QString& piece : pieces) {
        appendAtEnd(&plain, piece);
        appendAtEndInFewParagraphs(&fewParagraphs, piece);
        written += piece;
        EXPECT_EQ(plain.toPlainText(), written);
        EXPECT_EQ(fewParagraphs.toPlainText(), written);
    }
}

TEST(LogText, ADrainOfManyLinesAddsOneParagraph) {
    QString drain;
    for (int line = 0; line < 1000; ++line) drain += QStringLiteral("line %1\n").arg(line);
    QTextDocument document;
    appendAtEndInFewParagraphs(&document, drain);
    appendAtEndInFewParagraphs(&document, drain);
    EXPECT_EQ(document.blockCount(), 3);  // two drains and the empty last line
    EXPECT_EQ(document.toPlainText(), drain + drain);
}

}  // namespace
