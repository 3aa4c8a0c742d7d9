// Scripts run by the real runner on the X11 backend, seen by another X
// client: the text typed, where the pointer lands and where buttons go down
// and up, and what a stopped run leaves pressed.

// Qt first: Xlib defines names (Bool, ...) that Qt's headers refuse.
#include "script/ThreadManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

#include "input/KeyNames.h"
#include "tests/x11/X11TestSupport.h"

namespace {

using Watched = ServerWatcher::Event;

class X11Input : public testing::Test {
protected:
    void SetUp() override {
        initKeyNames();
        ASSERT_TRUE(platform_) << error_;
        manager_.logEnabled = true;
    }
    // Starts text, waits until it ends or until stopHere() holds, when it
    // stops it; the other client's events are taken meanwhile. Returns the log.
    std::string run(
        const std::string& text, const std::function<bool()>& stopHere = [] { return false; }) {
        watcher_.clear();
        manager_.startRun(text, false);
        Thread* thread = manager_.current();
        const auto limit = std::chrono::steady_clock::now() + 20s;
        while (!thread->wait(1) && !stopHere() && std::chrono::steady_clock::now() < limit)
            watcher_.drain();
        manager_.stopRun();
        // A run that does not end leaves a manager that cannot be destroyed.
        if (!thread->wait(20000)) std::abort();
        watcher_.settle();
        return thread->takeLog().toStdString();
    }

    std::string error_;
    std::unique_ptr<platform::Platform> platform_ = platform::createPlatform(&error_);
    ThreadManager manager_{*platform_};
    ServerWatcher watcher_;
};

}  // namespace

TEST_F(X11Input, TypeStringReachesAnotherClientExactly) {
    const std::string text =
        "Quick Brown Fox jumps OVER the lazy dog 0123456789 !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";
    std::string quoted;  // every byte as a decimal escape
    for (unsigned char c : text) quoted += "\\" + std::to_string(c);
    EXPECT_NE(run("TypeString(\"" + quoted + "\")").find("-- Finished executing"),
              std::string::npos);
    EXPECT_EQ(watcher_.text, text);
}

TEST_F(X11Input, SetMousePositionLandsOnTheExactPixelThatGetMousePositionGives) {
    // Off the screen it lands on the edge.
    const int cases[][4] = {{0, 0, 0, 0},
                            {1, 1, 1, 1},
                            {959, 539, 959, 539},
                            {960, 540, 960, 540},
                            {1919, 1079, 1919, 1079},
                            {5000, -20, 1919, 0}};
    for (const auto& c : cases) {
        const std::string at = std::to_string(c[2]) + ".0," + std::to_string(c[3]) + ".0";
        const std::string log =
            run("SetMousePosition(" + std::to_string(c[0]) + ", " + std::to_string(c[1]) +
                ") local x, y = GetMousePosition() Log(x .. ',' .. y)");
        EXPECT_NE(log.find(at), std::string::npos) << log;
        EXPECT_EQ(pointerLocation(), (platform::Point{c[2], c[3]})) << at;
    }
}

TEST_F(X11Input, KeyPressedOfEnterAnswersForTheKeypadEnterTheScriptHolds) {
    const std::string log =
        run("PressKey('Enter') Log(tostring(KeyPressed('Enter')) .. ',' .. "
            "tostring(MouseButtonPressed('Enter'))) ReleaseKey('Enter')");
    EXPECT_NE(log.find("true,false"), std::string::npos) << log;
}

TEST_F(X11Input, DragMousePressesAtTheStartGlidesAndReleasesAtTheTarget) {
    run("SetMousePosition(200, 200)");
    run("DragMouse(500, 260, 200)");
    std::vector<Watched> buttons;
    int between = 0;
    for (const Watched& e : watcher_.events) {
        if (e.type != MotionNotify) buttons.push_back(e);
        between += e.type == MotionNotify && e.x > 200 && e.x < 500 && e.y > 200 && e.y < 260;
    }
    ASSERT_EQ(buttons, (std::vector<Watched>{{ButtonPress, 1, 0, 0}, {ButtonRelease, 1, 0, 0}}));
    EXPECT_EQ(std::make_pair(buttons[0].x, buttons[0].y), std::make_pair(200, 200));
    EXPECT_EQ(std::make_pair(buttons[1].x, buttons[1].y), std::make_pair(500, 260));
    EXPECT_GE(between, 5);
}

// MouseWheel(math.huge) is millions of clicks on X11: a stop drops the rest
// and releases the Shift the run holds.
TEST_F(X11Input, AStopEndsAnEndlessWheelAndLeavesShiftUp) {
    auto wheelClicks = [&] {
        return std::count_if(watcher_.events.begin(), watcher_.events.end(), [](const Watched& e) {
            return e.type == ButtonPress && e.detail == 4;
        });
    };
    const std::string log =
        run("PressKey('LShift') MouseWheel(math.huge)", [&] { return wheelClicks() >= 100; });
    EXPECT_NE(log.find("Error Stopped execution from gui thread"), std::string::npos) << log;
    EXPECT_EQ(platform_->asyncKeyState(0xA0), 0);
}
