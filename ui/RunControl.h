#pragma once
// The run switch: starting the script or the table, stopping it, and
// following the run until it ends.

struct DesktopLimits;
class HotkeyControls;
class LogPanel;
class TableEditor;
class ThreadManager;
namespace Ui {
class MainWindow;
}

class RunControl {
public:
    // runs must outlive this object.
    RunControl(Ui::MainWindow& form, ThreadManager& runs, LogPanel& log, HotkeyControls& hotkeys,
               const TableEditor& table, const DesktopLimits& limits);

    // Running was switched: starts a run, or stops the current one.
    void toggled(bool checked);
    // StartStop: flips Running when no recording is on.
    void switchClicked();
    // Called every step while the window is up: moves the run's log on and
    // switches Running off once the run has ended or was asked to stop.
    void step();
    // The window closes: a run still going is asked to stop and given a
    // grace to reach a stop point.
    void stopForClose();

private:
    Ui::MainWindow& form_;
    ThreadManager& runs_;
    LogPanel& log_;
    HotkeyControls& hotkeys_;
    const TableEditor& table_;
    const DesktopLimits& limits_;
};
