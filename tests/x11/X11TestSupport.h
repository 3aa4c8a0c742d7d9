#pragma once
// What the X11 backend tests share: a listener that keeps what capture
// delivers, a pump that waits for it, and a window of the test's own, on
// its own connection, that sees what the server delivers to other clients.

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <sys/types.h>
#include <vector>

#include "platform/Platform.h"
#include "platform/x11/X11Platform.h"

using namespace std::chrono_literals;

namespace platform {
inline void PrintTo(const Point& p, std::ostream* out) { *out << p.x << "," << p.y; }
}  // namespace platform

struct RecordingListener : platform::CaptureListener {
    std::vector<platform::KeyEvent> keys;
    std::vector<platform::MouseEvent> mouse;
    std::vector<platform::RawMovement> moves;
    std::vector<int> hotkeys;
    std::vector<std::pair<int, platform::HotkeyResult>> lost;

    void keyboardEvent(const platform::KeyEvent& e) override { keys.push_back(e); }
    void mouseEvent(const platform::MouseEvent& e) override { mouse.push_back(e); }
    void rawMovement(const platform::RawMovement& m) override { moves.push_back(m); }
    void hotkey(int id) override { hotkeys.push_back(id); }
    void hotkeyLost(int id, platform::HotkeyResult why) override { lost.emplace_back(id, why); }
    void clear() { *this = RecordingListener(); }
};

// Opens the backend on the test's display; fails the test when it cannot.
std::unique_ptr<platform::X11Platform> openPlatform();

// Services the backend's descriptor as the GUI loop would until done()
// holds or the timeout passes; returns done().
bool pumpUntil(platform::Platform& p, const std::function<bool()>& done,
               std::chrono::milliseconds timeout = 3000ms);

// Runs a program and fails the test when it does not exit with 0.
void run(const std::vector<std::string>& argv);

// Polls done until it holds or the limit passes; returns done().
bool eventually(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s);

// A folder of this test process's own, removed when the tests end; the
// program's window channel goes there too (XDG_RUNTIME_DIR).
std::string folder();
// Writes a file of that folder; its path.
std::string file(const std::string& name, const std::string& text);

std::string contents(const std::string& path);

// A program started with arguments, its output going to files of the folder.
struct ChildProgram {
    ChildProgram(const char* path, const std::vector<std::string>& arguments);
    ~ChildProgram();
    // After signal (when not 0): the exit status; -2 (and killed) when it has
    // not ended within limit, -3 when a signal ended it.
    int end(int signal = 0, std::chrono::milliseconds limit = 20s);
    std::string output() const { return contents(out); }
    std::string errors() const { return contents(err); }

    std::string out, err;
    pid_t pid = -1;
    int status = -1;
};

// The pointer position as xdotool reads it.
platform::Point pointerLocation();

// A screen-sized window with the keyboard focus: keys, buttons (with their
// root positions) and motion, and the text the keys type.
class ServerWatcher {
public:
    struct Event {
        int type;    // KeyPress, KeyRelease, ButtonPress, ButtonRelease, MotionNotify
        int detail;  // keycode or button
        int x, y;
        bool operator==(const Event& o) const { return type == o.type && detail == o.detail; }
        friend std::ostream& operator<<(std::ostream& out, const Event& e) {
            return out << "{" << e.type << " " << e.detail << " at " << e.x << "," << e.y << "}";
        }
    };
    ServerWatcher();
    ~ServerWatcher();
    // Takes the events that have come.
    void drain();
    // Takes events until none has come for a while.
    void settle();
    void clear();

    std::vector<Event> events;
    std::string text;

private:
    Display* display_;
};
