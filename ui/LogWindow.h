#pragma once
// The separate window that mirrors the log view.

#include <QDialog>

class QHBoxLayout;
class QTextBrowser;

class LogWindow : public QDialog {
    Q_OBJECT
public:
    explicit LogWindow(QWidget* parent = nullptr);

    // The browser that shows the log (plain text, no wrapping).
    QTextBrowser* logText() const { return LogText; }

private:
    QHBoxLayout* horizontalLayout;
    QTextBrowser* LogText;
};
