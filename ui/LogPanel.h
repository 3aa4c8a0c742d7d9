#pragma once
// The window's log: its view, the log window that mirrors it, and the feed
// that moves a run's text into both.

#include <QString>

class FileDialogs;
class LogFeed;
class LogWindow;
class QWidget;
class Thread;
class ThreadManager;
namespace Ui {
class MainWindow;
}

class LogPanel {
public:
    // The log window is owner's child dialog; runs must outlive the panel.
    LogPanel(Ui::MainWindow& form, QWidget* owner, ThreadManager& runs);

    // Adds the window's own text to the log, shown at once.
    void add(const QString& text);
    // Moves the current run's pending log text towards the view and the log window.
    void drain();
    // Running was switched off: what run logs from here on is never shown.
    void runSwitchedOff(Thread* run);
    // The view's text changed.
    void viewChanged();
    void clear();
    void saveAs(const FileDialogs& dialogs);
    void openWindow();
    void loggingToggled(bool checked);

    LogWindow* window() const { return window_; }

private:
    Ui::MainWindow& form_;
    QWidget* owner_;
    ThreadManager& runs_;
    LogWindow* window_ = nullptr;
    LogFeed* feed_ = nullptr;
};
