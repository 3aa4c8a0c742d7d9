#pragma once
// Adding text to a log document without rewriting what it already holds.

class QString;
class QTextDocument;

// Inserts text at the very end, as is: no line break is added, and the
// cost does not grow with the document's length.
void appendAtEnd(QTextDocument* document, const QString& text);

// The same text, with every line end but the last one inserted as a line
// break inside the paragraph. Reads back the same (plain text gives '\n'
// for both), and a rich-text layout, which lays out each new paragraph at
// once, does a fraction of the work for a drain of many lines.
void appendAtEndInFewParagraphs(QTextDocument* document, const QString& text);
