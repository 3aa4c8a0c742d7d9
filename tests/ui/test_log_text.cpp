// Log text on its way to a widget: pieces read back exactly as written
// however they split the lines, very long lines are shortened around a
// marker, and what waits for a widget holds only lines it can still show.

#include <gtest/gtest.h>

#include <QTextDocument>

#include "tests/support/QtPrinters.h"
#include "ui/LogLimits.h"
#include "ui/LogText.h"

namespace {

TEST(LogText, PiecesReadBackAsWrittenWhereverTheySplitLines) {
    const QStringList pieces = {"a", "b\n", "\n", "", "line 1\nline 2\nhalf", " line\n\n\nend\n", "x"};
    QTextDocument document;
    LongLineCutter cutter;
    QString written, passed;
    for (const QString& piece : pieces) {
        appendAtEnd(&document, piece);
        written += piece;
        passed += cutter.pass(piece);
        EXPECT_EQ(document.toPlainText(), written);
    }
    EXPECT_EQ(passed, written);
}

TEST(LogText, ALongLineKeepsItsHeadAndTailAroundAMarkerWhereverItIsSplit) {
    const QString head(LogLineHead, QLatin1Char('h'));
    const QString tail(LogLineTail, QLatin1Char('t'));
    const QString longest = head + QString(LogLineTail, QLatin1Char('m'));  // still shown whole
    const QString line = head + QString(12345, QLatin1Char('m')) + tail;
    const QString text = "a\n" + line + "\n" + longest + "\nb";
    const QString shortened = "a\n" + head + QString::fromLatin1(LongLineMarker).arg(12345) + tail + "\n" +
                              longest + "\nb";
    for (int pieceSize : {1, 7, 1000, text.size()}) {
        LongLineCutter cutter;
        QString passed;
        for (int at = 0; at < text.size(); at += pieceSize) passed += cutter.pass(text.mid(at, pieceSize));
        EXPECT_EQ(passed, shortened) << "pieces of " << pieceSize;
    }
}

TEST(LogText, TheQueueKeepsTheLastLinesAndGivesThemInWholeLines) {
    LogQueue queue;
    QString expected;
    for (int line = 0; line < LogLineLimit + 500; ++line) {
        const QString text = QStringLiteral("line %1\n").arg(line);
        queue.add(text);
        if (line >= 500) expected += text;
    }
    queue.add("open");
    expected += "open";
    QString taken;
    while (!queue.isEmpty()) {
        const QString step = queue.take(LogStepLines, LogStepChars);
        ASSERT_LE(step.count('\n'), LogStepLines);
        if (!queue.isEmpty()) {
            EXPECT_TRUE(step.endsWith('\n'));
        }
        taken += step;
    }
    EXPECT_EQ(taken, expected);
}

}  // namespace
