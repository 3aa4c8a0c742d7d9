#pragma once
// The program between its start and its end: the window shown, global
// capture and hotkeys routed to it; taken down in the order that keeps
// every piece valid while others may still use it.

#include <functional>
#include <memory>

#include "app/EventPump.h"
#include "app/EventRouter.h"
#include "app/WindowLoopTarget.h"
#include "ui/MainWindow.h"

class ProgramSession {
public:
    // The platform must outlive the session.
    explicit ProgramSession(platform::Platform& platform);
    ~ProgramSession();
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    MainWindow& window() { return *window_; }
    // Where captured events and hotkey presses go.
    platform::CaptureListener& router() { return *router_; }
    // Acts as a press of the global hotkey id would, through the same router.
    void hotkey(int id) { router_->hotkey(id); }

    // What the program does last when its display goes away during the
    // session (platform::DisplayLoss): keep the user's unsaved work. GUI
    // thread; an empty function clears it. The session drops it before it
    // starts taking the window down.
    void setDisplayLossCallback(std::function<void()> callback);

private:
    platform::Platform& platform_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<WindowLoopTarget> target_;
    std::unique_ptr<EventRouter> router_;
    std::unique_ptr<EventPump> pump_;
};
