#pragma once
// Adding text to a log document without rewriting what it already holds.

class QString;
class QTextDocument;

// Inserts text at the very end, as is: no line break is added, and the
// cost does not grow with the document's length.
void appendAtEnd(QTextDocument* document, const QString& text);
