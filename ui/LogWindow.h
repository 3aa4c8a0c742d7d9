#pragma once
// The separate window that mirrors the log view.

#include <QDialog>

class QHBoxLayout;
class QPlainTextEdit;

class LogWindow : public QDialog {
    Q_OBJECT
public:
    explicit LogWindow(QWidget* parent = nullptr);

    // The read-only text that shows the log (plain text, no wrapping).
    QPlainTextEdit* logText() const { return LogText; }

private:
    QHBoxLayout* horizontalLayout;
    QPlainTextEdit* LogText;
};
