#pragma once
// The function reference in a read-only window of the program's own, with
// a find field; opened from the main window (F1).

#include <QWidget>

class QLineEdit;
class QPlainTextEdit;

class ReferenceWindow : public QWidget {
    Q_OBJECT
public:
    explicit ReferenceWindow(QWidget* parent);

    // Reads the reference afresh and shows the window in front. When the
    // reference cannot be found or read, a message box says where it was
    // looked for, or why it could not be read, and the window stays hidden.
    void open();

    QPlainTextEdit* view() const { return view_; }

private:
    void findNext();

    QLineEdit* find_;
    QPlainTextEdit* view_;
};
