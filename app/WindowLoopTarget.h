#pragma once
// The main window as the event loop sees it.

#include "app/EventRouter.h"
#include "ui/MainWindow.h"

class WindowLoopTarget : public LoopTarget {
public:
    explicit WindowLoopTarget(MainWindow& window) : window_(window) {}
    bool closing() const override { return window_.isClosing(); }
    bool running() const override { return window_.isRunningChecked(); }
    bool recording() const override { return window_.isRecordingChecked(); }
    // Checking the boxes runs their slots at once, as a click would.
    void setRunning(bool on) override { window_.setRunningChecked(on); }
    void setRecording(bool on) override { window_.setRecordingChecked(on); }
    void hotkeyLost(int id, platform::HotkeyResult why) override { window_.hotkeyLost(id, why); }

private:
    MainWindow& window_;
};
