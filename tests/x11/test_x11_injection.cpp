// Injection through the backend as other X clients see it: an XInput2
// client of the test's own for keys, buttons and wheel, xdotool for the
// pointer position; and the state queries against the server.

#include <gtest/gtest.h>

#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

#include <cstdlib>
#include <sstream>

#include "X11TestSupport.h"
#include "platform/fake/UsScanCodes.h"
#include "platform/x11/X11ErrorTrap.h"
#include "tests/support/ProcessRunner.h"

using namespace platform;

namespace {

InputRecord scanKey(uint16_t scan, bool extended, bool up) {
    return InputRecord::key(
        KeyboardInput{0, scan, KeyScanCode | (extended ? KeyExtended : 0u) | (up ? KeyUp : 0u)});
}
InputRecord vkKey(uint16_t vk, bool extended, bool up) {
    return InputRecord::key(KeyboardInput{vk, 0, (extended ? KeyExtended : 0u) | (up ? KeyUp : 0u)});
}
InputRecord mouse(uint32_t flags, int32_t dx = 0, int32_t dy = 0, uint32_t data = 0) {
    return InputRecord::pointer(MouseInput{dx, dy, data, flags});
}

Point xdotoolPointer() {
    const ProcessResult r = runProcess({"xdotool", "getmouselocation"});
    Point p{-1, -1};
    std::sscanf(r.output.c_str(), "x:%d y:%d", &p.x, &p.y);
    return p;
}

class Injection : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(platform_); }
    // Presses and releases, and checks the server saw that keycode both ways.
    void expectKeycode(const InputRecord& down, const InputRecord& up, int keycode) {
        watcher_.clear();
        platform_->sendInput(down);
        platform_->sendInput(up);
        EXPECT_TRUE(watcher_.waitFor(XI_RawKeyPress, keycode)) << "keycode " << keycode;
        EXPECT_TRUE(watcher_.waitFor(XI_RawKeyRelease, keycode)) << "keycode " << keycode;
    }
    int countOf(int type, int detail) {
        int n = 0;
        for (const auto& e : watcher_.events()) n += e.type == type && e.detail == detail;
        return n;
    }

    std::unique_ptr<X11Platform> platform_ = openPlatform();
    XiWatcher watcher_;
};

}  // namespace

TEST_F(Injection, KeysByScanCodeReachThePhysicalKeyTheyName) {
    expectKeycode(scanKey(0x1E, false, false), scanKey(0x1E, false, true), 38);     // A
    expectKeycode(scanKey(0x48, true, false), scanKey(0x48, true, true), 111);      // Up
    expectKeycode(scanKey(0x48, false, false), scanKey(0x48, false, true), 80);     // keypad 8
    expectKeycode(scanKey(0x1C, true, false), scanKey(0x1C, true, true), 104);      // keypad Enter
    expectKeycode(scanKey(0x35, true, false), scanKey(0x35, true, true), 106);      // keypad Divide
    expectKeycode(scanKey(0x38, true, false), scanKey(0x38, true, true), 108);      // right Alt
    expectKeycode(scanKey(0x20, true, false), scanKey(0x20, true, true), 121);      // mute
    EXPECT_EQ(watcher_.keysymOf(106), static_cast<KeySym>(XK_KP_Divide));
}

TEST_F(Injection, KeysByVirtualKeyFollowTheirPositionAndTheExtendedFlag) {
    expectKeycode(vkKey('A', false, false), vkKey('A', false, true), 38);
    expectKeycode(vkKey(0x09, false, false), vkKey(0x09, false, true), 23);   // Tab
    expectKeycode(vkKey(0x1B, false, false), vkKey(0x1B, false, true), 9);    // Escape
    expectKeycode(vkKey(0x0D, true, false), vkKey(0x0D, true, true), 104);    // Return + E0 = keypad Enter
    expectKeycode(vkKey(0xA1, false, false), vkKey(0xA1, false, true), 62);   // right Shift
    expectKeycode(vkKey(0x26, false, false), vkKey(0x26, false, true), 111);  // Up without the flag
}

// The five buttons: record flags and data, the X button, the virtual key.
const struct ButtonCase {
    uint32_t down, up, data;
    int button, vk;
} Buttons[] = {{MouseLeftDown, MouseLeftUp, 0, 1, 1},     {MouseRightDown, MouseRightUp, 0, 3, 2},
               {MouseMiddleDown, MouseMiddleUp, 0, 2, 4}, {MouseXDown, MouseXUp, XButton1, 8, 5},
               {MouseXDown, MouseXUp, XButton2, 9, 6}};

TEST_F(Injection, ButtonsReachTheirXButtons) {
    for (const ButtonCase& r : Buttons) {
        watcher_.clear();
        platform_->sendInput(mouse(r.down, 0, 0, r.data));
        EXPECT_TRUE(watcher_.waitFor(XI_RawButtonPress, r.button)) << r.button;
        platform_->sendInput(mouse(r.up, 0, 0, r.data));
        EXPECT_TRUE(watcher_.waitFor(XI_RawButtonRelease, r.button)) << r.button;
    }
}

TEST_F(Injection, WheelClicksOncePerWholeNotchAndCarriesFractions) {
    platform_->sendInput(mouse(MouseWheel, 0, 0, static_cast<uint32_t>(-240)));
    platform_->sendInput(mouse(MouseWheel, 0, 0, 60));
    platform_->sendInput(mouse(MouseWheel, 0, 0, 60));
    // A marker click closes the sequence, so the counts are complete.
    platform_->sendInput(mouse(MouseMiddleDown));
    platform_->sendInput(mouse(MouseMiddleUp));
    ASSERT_TRUE(watcher_.waitFor(XI_RawButtonRelease, 2));
    EXPECT_EQ(countOf(XI_RawButtonPress, 5), 2);  // toward the user
    EXPECT_EQ(countOf(XI_RawButtonPress, 4), 1);  // the two halves away from the user
    std::vector<int> order;
    for (const auto& e : watcher_.events())
        if (e.type == XI_RawButtonPress) order.push_back(e.detail);
    EXPECT_EQ(order, (std::vector<int>{5, 5, 4, 2}));
}

TEST_F(Injection, RelativeMovesAreNotAccelerated) {
    run({"xdotool", "mousemove", "500", "400"});
    platform_->sendInput(mouse(MouseMove, 37, -21));
    platform_->sendInput(mouse(MouseMove, -2, 5));
    EXPECT_EQ(xdotoolPointer(), (Point{535, 384}));
}

TEST_F(Injection, KeyStateFollowsKeysAndAllFiveButtons) {
    platform_->sendInput(vkKey(0xA1, false, false));  // right Shift
    platform_->sendInput(scanKey(0x1E, false, false));
    EXPECT_EQ(platform_->asyncKeyState(0xA1), 0x8000);
    EXPECT_EQ(platform_->asyncKeyState(0x10), 0x8000);  // generic Shift
    EXPECT_EQ(platform_->asyncKeyState(0xA0), 0);
    EXPECT_EQ(platform_->asyncKeyState('A'), 0x8000);
    EXPECT_EQ(platform_->asyncKeyState('B'), 0);
    platform_->sendInput(vkKey(0xA1, false, true));
    platform_->sendInput(scanKey(0x1E, false, true));
    EXPECT_EQ(platform_->asyncKeyState(0x10), 0);
    EXPECT_EQ(platform_->asyncKeyState('A'), 0);


    for (const ButtonCase& r : Buttons) {
        platform_->sendInput(mouse(r.down, 0, 0, r.data));
        EXPECT_EQ(platform_->asyncKeyState(r.vk), 0x8000) << r.vk;
        for (const ButtonCase& other : Buttons) {
            if (other.vk != r.vk) {
                EXPECT_EQ(platform_->asyncKeyState(other.vk), 0) << other.vk;
            }
        }
        platform_->sendInput(mouse(r.up, 0, 0, r.data));
        EXPECT_EQ(platform_->asyncKeyState(r.vk), 0) << r.vk;
    }
}

TEST_F(Injection, ScanCodesOfVirtualKeysMatchTheUsTableUnderTheUsLayout) {
    for (uint32_t vk = 1; vk < 256; ++vk) {
        if (uint16_t us = usScanCodeOfVirtualKey(vk)) {
            EXPECT_EQ(platform_->scanCodeOfVirtualKey(vk), us) << vk;
        }
    }
    // Keys the US table lacks, named as the platform names them.
    EXPECT_EQ(platform_->scanCodeOfVirtualKey(0xAD), 0x20);  // mute
    EXPECT_EQ(platform_->scanCodeOfVirtualKey(0xA6), 0x6A);  // browser back
    EXPECT_EQ(platform_->scanCodeOfVirtualKey(0x29), 0);     // Select: no key
}

TEST(X11Backend, ReportsAServerItCannotOpenInsteadOfFailingHard) {
    const std::string outer = std::getenv("DISPLAY");
    setenv("DISPLAY", ":987", 1);
    std::string error;
    EXPECT_EQ(X11Platform::open(&error), nullptr);
    EXPECT_NE(error.find(":987"), std::string::npos) << error;
    EXPECT_EQ(createPlatform(&error), nullptr);
    setenv("DISPLAY", outer.c_str(), 1);
    EXPECT_NE(createPlatform(&error), nullptr);
}

TEST(X11Backend, ProtocolErrorsOnItsConnectionsAreCaughtNotFatal) {
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    X11ErrorTrap::watch(d);
    XUnmapWindow(d, static_cast<Window>(0x7ffff0));  // no such window
    XSync(d, False);
    EXPECT_EQ(X11ErrorTrap::takeError(d), BadWindow);
    EXPECT_EQ(X11ErrorTrap::takeError(d), 0);
    X11ErrorTrap::unwatch(d);
    XCloseDisplay(d);
}
