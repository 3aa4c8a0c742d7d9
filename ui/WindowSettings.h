#pragma once
// What the user chose in the window, kept in the application's settings
// (native format, under the organisation and application names the program
// sets): restored at start, written on every change and at close.

#include <QObject>
#include <QSettings>
#include <QString>
#include <functional>

class LogPanel;
class QMainWindow;
namespace Ui {
class MainWindow;
}

class WindowSettings : public QObject {
    Q_OBJECT
public:
    // Opens the settings; nothing is read or written before restore().
    WindowSettings(Ui::MainWindow& form, QMainWindow& window, LogPanel& log);

    // Puts the stored choices into the form and the window's geometry (or
    // fits the default size to the screen), opens the log window when it was
    // open, and hands the last table file to reopenTable when it still
    // exists. Settings that cannot be read leave the defaults and a log line.
    // From here on every change of a kept control is written.
    void restore(const std::function<void(const QString&)>& reopenTable);
    // A table file was loaded or saved: it is the one reopened next time.
    void tableFileUsed(const QString& path);
    // The window closes: keeps its geometry and whether the log window is
    // open, and writes everything out; a write that fails is reported on
    // standard error (the window can no longer show it).
    void saveAtClose(bool logWindowOpen);

private slots:
    void writeChoices();

private:
    Ui::MainWindow& form_;
    QMainWindow& window_;
    LogPanel& log_;
    QSettings settings_;
};
