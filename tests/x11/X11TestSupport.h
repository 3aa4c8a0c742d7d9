#pragma once
// What the X11 backend tests share: a listener that keeps what capture
// delivers, a pump that waits for it, and an XInput2 client of the test's
// own that watches what the server receives.

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Platform.h"
#include "platform/x11/X11Platform.h"

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds EventTimeout = 3000ms;

struct RecordingListener : platform::CaptureListener {
    std::vector<platform::KeyEvent> keys;
    std::vector<platform::MouseEvent> mouse;
    std::vector<platform::RawMovement> moves;
    std::vector<int> hotkeys;

    void keyboardEvent(const platform::KeyEvent& e) override { keys.push_back(e); }
    void mouseEvent(const platform::MouseEvent& e) override { mouse.push_back(e); }
    void rawMovement(const platform::RawMovement& m) override { moves.push_back(m); }
    void hotkey(int id) override { hotkeys.push_back(id); }
    void clear() { *this = RecordingListener(); }
};

// Opens the backend on the test's display; fails the test when it cannot.
std::unique_ptr<platform::X11Platform> openPlatform();

// Services the backend's descriptor as the GUI loop would until done()
// holds or the timeout passes; returns done().
bool pumpUntil(platform::Platform& p, const std::function<bool()>& done,
               std::chrono::milliseconds timeout = EventTimeout);
// Services it for a while, for checking that nothing (more) arrives.
void pumpFor(platform::Platform& p, std::chrono::milliseconds duration);

// Runs a program and fails the test when it does not exit with 0.
void run(const std::vector<std::string>& argv);

// An XInput2 raw-event client on its own connection.
class XiWatcher {
public:
    struct Event {
        int type;    // XI_RawKeyPress, XI_RawButtonPress, ...
        int detail;  // keycode or button
    };
    XiWatcher();
    ~XiWatcher();
    // Waits until an event of the type arrives; all events seen are kept.
    bool waitFor(int type, int detail, std::chrono::milliseconds timeout = EventTimeout);
    // Waits for the first event of the type; its detail, or 0 on timeout.
    int waitForAny(int type, std::chrono::milliseconds timeout = EventTimeout);
    const std::vector<Event>& events() const { return events_; }
    void clear() { events_.clear(); }
    Display* display() const { return display_; }
    // The first keysym of a keycode in the current keymap.
    KeySym keysymOf(int keycode);

private:
    void drain();
    const Event* waitUntil(const std::function<bool(const Event&)>& match, std::chrono::milliseconds timeout);
    Display* display_;
    int opcode_ = 0;
    std::vector<Event> events_;
};
