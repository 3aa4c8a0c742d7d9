#pragma once
// Log text on its way to a widget: added at the end, very long lines
// shortened, and a waiting queue that holds only what can still be shown.

#include <QString>
#include <deque>

class QTextDocument;

// Inserts text at the very end, as is: no line break is added, and the
// cost does not grow with the document's length.
void appendAtEnd(QTextDocument* document, const QString& text);
// The same, then removes the oldest lines past maxLines at once (a
// document's own block limit removes them line by line, at twice the cost).
void appendKeepingLastLines(QTextDocument* document, const QString& text, int maxLines);

// Shortens lines longer than LogLineHead + LogLineTail characters in a
// stream of text pieces that may split lines anywhere. The part of a long
// line past its head is held back until the line ends.
class LongLineCutter {
public:
    QString pass(const QString& text);
    void reset();

private:
    void endLine(QString& out);

    int lineLength = 0;  // of the open line, as passed on
    qint64 heldBack = 0;
    QString tail;        // the last characters held back
};

// Text waiting to be inserted, limited to what the last LogLineLimit lines
// need; it is taken in steps of whole lines.
class LogQueue {
public:
    void add(const QString& text);
    // At most maxLines line ends and maxChars characters, oldest first.
    QString take(int maxLines, int maxChars);
    bool isEmpty() const { return pieces.empty(); }
    QString all() const;
    void clear();

private:
    void trim();

    std::deque<QString> pieces;
    qint64 lineEnds = 0;
};
