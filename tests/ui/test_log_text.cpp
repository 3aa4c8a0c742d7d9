// A very long log line keeps its head and tail around a marker however the
// text that carries it is split into pieces; the queue behind the view keeps
// the last lines, cutting a piece where the limit falls inside it.

#include <gtest/gtest.h>

#include "tests/support/QtPrinters.h"
#include "ui/LogLimits.h"
#include "ui/LogText.h"

namespace {

TEST(LogText, ALongLineKeepsItsHeadAndTailAroundAMarkerWhereverItIsSplit) {
    const QString head(LogLineHead, QLatin1Char('h'));
    const QString tail(LogLineTail, QLatin1Char('t'));
    const QString longest = head + QString(LogLineTail, QLatin1Char('m'));  // still shown whole
    const QString line = head + QString(12345, QLatin1Char('m')) + tail;
    const QString text = "a\n\n" + line + "\n" + longest + "\nb";
    const QString shortened =
        "a\n\n" + head + QString::fromLatin1(LongLineMarker).arg(12345) + tail + "\n" + longest + "\nb";
    for (int pieceSize : {1, 7, 1000, text.size()}) {
        LongLineCutter cutter;
        QString passed;
        for (int at = 0; at < text.size(); at += pieceSize) passed += cutter.pass(text.mid(at, pieceSize));
        EXPECT_EQ(passed, shortened) << "pieces of " << pieceSize;
    }
}

TEST(LogText, TheQueueKeepsTheLastLinesCuttingThePieceTheLimitFallsIn) {
    LogQueue queue;
    queue.add(QStringLiteral("a\nb\nc\n"));
    for (int i = 0; i < LogLineLimit; ++i) queue.add(QString::number(i) + QLatin1Char('\n'));
    const QString all = queue.all();
    EXPECT_EQ(all.count(QLatin1Char('\n')), LogLineLimit);
    EXPECT_TRUE(all.startsWith(QLatin1String("0\n1\n"))) << all.left(20).toStdString();
    EXPECT_TRUE(all.endsWith(QString::number(LogLineLimit - 1) + QLatin1Char('\n')));
}

}  // namespace
