// Scripts run by the real runner on the X11 backend, seen by another X
// client: a window of the test's own that reads typed text with
// XLookupString, keeps pointer and button events with their positions and
// asks the server which keys are down. Also stops that must reach the
// backend's own loops, and what a stopped run leaves pressed.

// Qt first: Xlib defines names (Bool, ...) that Qt's headers refuse.
#include "script/ThreadManager.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <chrono>
#include <vector>

#include "input/KeyNames.h"
#include "platform/Platform.h"
#include "tests/support/ProcessRunner.h"
#include "tests/x11/X11TestSupport.h"

namespace {

// A screen-sized window with the keyboard focus, on its own connection.
class ListenerWindow {
public:
    struct Button {
        bool press;
        unsigned button;
        int x, y;
    };
    struct Motion {
        int x, y;
    };

    ListenerWindow() : display_(XOpenDisplay(nullptr)) {
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.event_mask = KeyPressMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                                StructureNotifyMask;
        const int screen = DefaultScreen(display_);
        window_ = XCreateWindow(display_, RootWindow(display_, screen), 0, 0,
                                DisplayWidth(display_, screen), DisplayHeight(display_, screen), 0,
                                CopyFromParent, InputOutput, CopyFromParent,
                                CWOverrideRedirect | CWEventMask, &attributes);
        XMapRaised(display_, window_);
        XEvent e;
        do XWindowEvent(display_, window_, StructureNotifyMask, &e);
        while (e.type != MapNotify);
        XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
        XSync(display_, False);
    }
    ~ListenerWindow() { XCloseDisplay(display_); }

    void drain() {
        while (XPending(display_)) {
            XEvent e;
            XNextEvent(display_, &e);
            if (e.type == KeyPress) {
                char buffer[8];
                const int n = XLookupString(&e.xkey, buffer, sizeof buffer, nullptr, nullptr);
                text.append(buffer, static_cast<std::size_t>(n));
            } else if (e.type == ButtonPress || e.type == ButtonRelease) {
                buttons.push_back({e.type == ButtonPress, e.xbutton.button, e.xbutton.x_root, e.xbutton.y_root});
            } else if (e.type == MotionNotify) {
                motions.push_back({e.xmotion.x_root, e.xmotion.y_root});
            }
        }
    }
    // Drains until nothing new has come for a while: events of another
    // client's requests may still be on their way when its run has ended.
    void settle() {
        std::size_t seen = 0;
        for (int quiet = 0; quiet < 10; ++quiet) {
            XSync(display_, False);
            drain();
            const std::size_t now = text.size() + buttons.size() + motions.size();
            if (now != seen) quiet = 0;
            seen = now;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    // Whether the server has the key down now, asked on this connection.
    bool keyDown(KeySym keysym) {
        const KeyCode keycode = XKeysymToKeycode(display_, keysym);
        char keys[32] = {};
        XQueryKeymap(display_, keys);
        return keycode && (keys[keycode / 8] & (1 << (keycode % 8)));
    }
    std::size_t wheelPresses() const {
        std::size_t count = 0;
        for (const Button& b : buttons) count += b.press && (b.button == 4 || b.button == 5);
        return count;
    }
    void clear() {
        settle();
        text.clear();
        buttons.clear();
        motions.clear();
    }

    std::string text;
    std::vector<Button> buttons;
    std::vector<Motion> motions;

private:
    Display* display_;
    Window window_;
};

platform::Point pointerLocation() {
    const ProcessResult r = runProcess({"xdotool", "getmouselocation"});
    platform::Point p{-1, -1};
    std::sscanf(r.output.c_str(), "x:%d y:%d", &p.x, &p.y);
    return p;
}

// Every byte as a decimal escape, so any text is a valid Lua string.
std::string luaString(const std::string& text) {
    std::string quoted = "\"";
    for (unsigned char c : text) quoted += "\\" + std::to_string(c);
    return quoted + "\"";
}

class X11Input : public testing::Test {
protected:
    void SetUp() override {
        initKeyNames();
        ASSERT_TRUE(platform_) << error_;
        manager_.logEnabled = true;
        listener_.clear();
    }

    // Runs text to its end, draining the listener meanwhile; returns the
    // script's own output (the log without its loading and finishing lines).
    std::string run(const std::string& text) {
        manager_.startRun(text, false);
        Thread* thread = manager_.current();
        while (!thread->wait(5)) listener_.drain();
        listener_.settle();
        const std::string log = thread->takeLog().toStdString();
        const std::string head = "-- Loading: TABLE\n" + text + "\n";
        const std::string tail = "-- Finished executing: TABLE\n\n";
        EXPECT_TRUE(log.rfind(head, 0) == 0 && log.size() >= head.size() + tail.size()) << log;
        return log.substr(head.size(), log.size() - head.size() - tail.size());
    }

    // Starts text, drains the listener until ready() says so, stops the
    // run and waits for its end (aborting the program when it does not end:
    // the manager could not be destroyed); returns its log.
    template <typename Ready>
    std::string stopWhen(const std::string& text, Ready ready) {
        manager_.startRun(text, false);
        Thread* thread = manager_.current();
        std::string log;
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!ready(log) && !thread->isFinished() && std::chrono::steady_clock::now() < limit) {
            listener_.drain();
            log += thread->takeLog().toStdString();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_TRUE(ready(log)) << log;
        manager_.stopRun();
        for (int waited = 0; !thread->wait(5); waited += 5) {
            listener_.drain();
            if (waited > 20000) {
                std::fprintf(stderr, "the stopped run did not end; log so far:\n%s\n", log.c_str());
                std::abort();
            }
        }
        listener_.settle();
        return log + thread->takeLog().toStdString();
    }

    std::string error_;
    std::unique_ptr<platform::Platform> platform_ = platform::createPlatform(&error_);
    ThreadManager manager_{*platform_};
    ListenerWindow listener_;
};

TEST_F(X11Input, TypeStringReachesAnotherClientExactly) {
    std::string text = "Quick Brown Fox jumps OVER the lazy dog 0123456789 ";
    text += "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";
    EXPECT_EQ(run("TypeString(" + luaString(text) + ")"), "");
    EXPECT_EQ(listener_.text, text);
}

TEST_F(X11Input, SetMousePositionLandsOnTheExactPixelThatGetMousePositionGives) {
    for (const platform::Point target : {platform::Point{0, 0}, platform::Point{1, 1}, platform::Point{613, 427},
                                         platform::Point{1919, 0}, platform::Point{0, 1079},
                                         platform::Point{959, 539}, platform::Point{960, 540},
                                         platform::Point{1919, 1079}}) {
        const std::string x = std::to_string(target.x), y = std::to_string(target.y);
        EXPECT_EQ(run("SetMousePosition(" + x + ", " + y + ") local x, y = GetMousePosition() Log(x .. ',' .. y)"),
                  x + ".0," + y + ".0");
        EXPECT_EQ(pointerLocation(), target) << x << "," << y;
    }
}

TEST_F(X11Input, MoveMouseGlidesThroughIntermediatePositionsToTheTarget) {
    run("SetMousePosition(100, 100)");
    listener_.clear();
    run("MoveMouse(700, 400, 300)");
    EXPECT_EQ(pointerLocation(), (platform::Point{700, 400}));
    ASSERT_FALSE(listener_.motions.empty());
    int between = 0;
    for (const auto& m : listener_.motions) {
        between += m.x > 100 && m.x < 700 && m.y > 100 && m.y < 400;
        EXPECT_TRUE(m.x >= 100 && m.x <= 700 && m.y >= 100 && m.y <= 400) << m.x << "," << m.y;
    }
    EXPECT_GE(between, 5);
    EXPECT_EQ(listener_.motions.back().x, 700);
    EXPECT_EQ(listener_.motions.back().y, 400);
}

TEST_F(X11Input, DragMousePressesAtTheStartAndReleasesAtTheTarget) {
    run("SetMousePosition(200, 200)");
    listener_.clear();
    run("DragMouse(500, 260, 200)");
    ASSERT_EQ(listener_.buttons.size(), 2u);
    const auto& press = listener_.buttons[0];
    const auto& release = listener_.buttons[1];
    EXPECT_TRUE(press.press);
    EXPECT_EQ(press.button, 1u);
    EXPECT_EQ(press.x, 200);
    EXPECT_EQ(press.y, 200);
    EXPECT_FALSE(release.press);
    EXPECT_EQ(release.button, 1u);
    EXPECT_EQ(release.x, 500);
    EXPECT_EQ(release.y, 260);
    EXPECT_GE(listener_.motions.size(), 5u);  // the glide ran while the button was held
}

// Each key-state function, by name and by code, while nothing, either Enter
// key, a letter or a button is held, by the script itself or by another
// client. Return's state (13) covers both Enter keys; the keypad Enter's own
// code (256) is none the platform knows, so it is never down.
TEST_F(X11Input, KeyStateFunctionsFollowTheKeyStateRules) {
    const std::string queries =
        "for _, down in ipairs({KeyPressed('Enter'), KeyPressed('Return'), KeyReleased('Enter'), "
        "KeyPressedVK(256), KeyReleasedVK(13), MouseButtonPressed('Enter'), MouseButtonReleased('Enter'), "
        "MouseButtonPressedVK(256), MouseButtonPressed('Return'), KeyPressed('A'), MouseButtonPressedVK(65), "
        "MouseButtonPressed('MouseLeft'), KeyPressedVK(1), MouseButtonReleased('MouseLeft')}) do "
        "Log(down and 't' or 'f') end";
    struct Case {
        const char* held;
        std::string script;
        std::vector<std::string> press, release;  // another client's
        const char* answers;
    };
    const Case cases[] = {
        {"nothing", queries, {}, {}, "fftftftfffffft"},
        {"keypad Enter", "PressKey('Enter') " + queries + " ReleaseKey('Enter')", {}, {}, "ttftfftftfffft"},
        {"Return", "PressKey('Return') " + queries + " ReleaseKey('Return')", {}, {}, "ttftfftftfffft"},
        {"A", queries, {"xdotool", "keydown", "a"}, {"xdotool", "keyup", "a"}, "fftftftffttfft"},
        {"left button", queries, {"xdotool", "mousedown", "1"}, {"xdotool", "mouseup", "1"}, "fftftftffffttf"},
    };
    for (const Case& c : cases) {
        if (!c.press.empty()) {
            ASSERT_EQ(runProcess(c.press).exitCode, 0);
        }
        const std::string answers = run(c.script);
        if (!c.release.empty()) {
            ASSERT_EQ(runProcess(c.release).exitCode, 0);
        }
        EXPECT_EQ(answers, c.answers) << c.held;
    }
}

// Shift is held while a glide of ten minutes is stopped: the run ends at
// once, and the server no longer has Shift down.
TEST_F(X11Input, AStoppedRunLeavesShiftUp) {
    ASSERT_FALSE(listener_.keyDown(XK_Shift_L));
    const std::string log =
        stopWhen("PressKey('LShift') Log('go' .. '!') MoveMouse(1500, 900, 600000)", [this](const std::string& log) {
            return log.find("go!") != std::string::npos && listener_.keyDown(XK_Shift_L);
        });
    EXPECT_NE(log.find("Error Stopped execution from gui thread"), std::string::npos) << log;
    EXPECT_FALSE(listener_.keyDown(XK_Shift_L));
}

// MouseWheel(math.huge) is millions of clicks on X11: a stop drops the rest.
TEST_F(X11Input, AStopEndsAnEndlessWheel) {
    run("SetMousePosition(300, 300)");
    listener_.clear();
    const std::string log = stopWhen("MouseWheel(math.huge)",
                                     [this](const std::string&) { return listener_.wheelPresses() >= 100; });
    EXPECT_NE(log.find("Error Stopped execution from gui thread"), std::string::npos) << log;
}

}  // namespace
