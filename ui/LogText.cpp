#include "LogText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "LogLimits.h"

void appendAtEnd(QTextDocument* document, const QString& text) {
    if (text.isEmpty()) return;
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
}

void appendKeepingLastLines(QTextDocument* document, const QString& text, int maxLines) {
    appendAtEnd(document, text);
    const int excess = document->blockCount() - maxLines;
    if (excess <= 0) return;
    QTextCursor cursor(document);
    cursor.setPosition(document->findBlockByNumber(excess).position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

QString LongLineCutter::pass(const QString& text) {
    QString out;
    int verbatimFrom = 0;  // text from here on needs no change so far
    int from = 0;
    while (from < text.size()) {
        const int end = text.indexOf(QLatin1Char('\n'), from);
        const int stop = end < 0 ? text.size() : end;
        const int length = stop - from;
        if (heldBack == 0 && lineLength + length <= LogLineHead) {
            lineLength = end < 0 ? lineLength + length : 0;
            from = end < 0 ? text.size() : end + 1;
            continue;
        }
        out += text.midRef(verbatimFrom, from - verbatimFrom);
        const int shown = std::min(length, LogLineHead - lineLength);
        out += text.midRef(from, shown);
        lineLength += shown;
        if (shown < length) {
            // Past the head: only the last LogLineTail characters can still be shown.
            const int heldFrom = std::max(from + shown, stop - LogLineTail);
            tail += text.midRef(heldFrom, stop - heldFrom);
            heldBack += length - shown;
            if (tail.size() > LogLineTail) tail.remove(0, tail.size() - LogLineTail);
        }
        if (end >= 0) {
            endLine(out);
            out += QLatin1Char('\n');
        }
        from = end < 0 ? text.size() : end + 1;
        verbatimFrom = from;
    }
    if (verbatimFrom == 0) return text;
    out += text.midRef(verbatimFrom);
    return out;
}

void LongLineCutter::endLine(QString& out) {
    if (heldBack > tail.size())
        out += QString::fromLatin1(LongLineMarker).arg(heldBack - tail.size());
    out += tail;
    reset();
}

void LongLineCutter::reset() {
    lineLength = 0;
    heldBack = 0;
    tail.clear();
}

void LogQueue::add(const QString& text) {
    if (text.isEmpty()) return;
    pieces.push_back(text);
    lineEnds += text.count(QLatin1Char('\n'));
    trim();
}

void LogQueue::trim() {
    // Lines that the ones after them would push out of the widget anyway.
    qint64 excess = lineEnds - LogLineLimit;
    while (excess > 0 && !pieces.empty()) {
        QString& front = pieces.front();
        const qint64 ends = front.count(QLatin1Char('\n'));
        if (ends <= excess) {
            pieces.pop_front();
            lineEnds -= ends;
            excess -= ends;
            continue;
        }
        int at = -1;
        for (qint64 i = 0; i < excess; ++i) at = front.indexOf(QLatin1Char('\n'), at + 1);
        front.remove(0, at + 1);
        lineEnds -= excess;
        excess = 0;
    }
}

QString LogQueue::take(int maxLines, int maxChars) {
    QString out;
    while (!pieces.empty() && maxLines > 0 && out.size() < maxChars) {
        QString& front = pieces.front();
        int at = -1;
        int ends = 0;
        const int limit = std::min(front.size(), maxChars - out.size());
        while (ends < maxLines) {
            const int next = front.indexOf(QLatin1Char('\n'), at + 1);
            if (next < 0 || next >= limit) break;
            at = next;
            ++ends;
        }
        // Whole lines where there are line ends; otherwise as much as fits.
        int count = at + 1;
        if (ends < maxLines && front.size() <= limit) count = front.size();
        else if (count == 0) count = limit;
        if (count > 0 && count < front.size() && front.at(count - 1).isHighSurrogate()) --count;
        out += front.leftRef(count);
        lineEnds -= ends;
        maxLines -= ends;
        if (count == front.size()) pieces.pop_front();
        else {
            front.remove(0, count);
            break;
        }
    }
    return out;
}

QString LogQueue::all() const {
    QString out;
    for (const QString& piece : pieces) out += piece;
    return out;
}

void LogQueue::clear() {
    pieces.clear();
    lineEnds = 0;
}
