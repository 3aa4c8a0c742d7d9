// A very long log line keeps its head and tail around a marker however the
// text that carries it is split into pieces.

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

}  // namespace
