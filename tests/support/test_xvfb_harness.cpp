// The private X server every X11 test relies on: its own display, the
// documented screen, and gone once stopped.

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <cstdlib>
#include <csignal>
#include <string>

#include "ProcessRunner.h"
#include "XvfbServer.h"

TEST(XvfbHarness, TheTestRunsOnItsOwnFullHdScreen) {
    const char* display = std::getenv("DISPLAY");
    ASSERT_NE(display, nullptr);
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(DisplayWidth(d, DefaultScreen(d)), 1920);
    EXPECT_EQ(DisplayHeight(d, DefaultScreen(d)), 1080);
    EXPECT_EQ(DefaultDepth(d, DefaultScreen(d)), 24);
    XCloseDisplay(d);
    // Children see the same display.
    const ProcessResult r = runProcess({"xdotool", "getdisplaygeometry"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.output, "1920 1080\n");
}

TEST(XvfbHarness, ASecondServerGetsAnotherDisplayAndStopsWithItsOwner) {
    const std::string outer = std::getenv("DISPLAY");
    std::string inner;
    {
        XvfbServer second;
        inner = second.display();
        EXPECT_NE(inner, outer);
        Display* d = XOpenDisplay(inner.c_str());
        ASSERT_NE(d, nullptr);
        XCloseDisplay(d);
    }
    // Stopped: nothing answers on that display any more.
    EXPECT_EQ(XOpenDisplay(inner.c_str()), nullptr);
    setenv("DISPLAY", outer.c_str(), 1);
}
