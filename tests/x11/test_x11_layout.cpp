// Virtual keys of characters follow the active layout: under German the
// virtual key of Z presses the key that types z, and that key is reported
// back as Z; keys of fixed position stay where they are.

#include <gtest/gtest.h>

#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

#include "X11TestSupport.h"

using namespace platform;

namespace {

constexpr uint16_t UsScanZ = 0x2C, UsScanY = 0x15;

class GermanLayout : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform_);
        platform_->setListener(&listener_);
        run({"setxkbmap", "de"});
        // The backend learns of the new keymap through its event descriptor.
        ASSERT_TRUE(pumpUntil(*platform_, [&] { return platform_->scanCodeOfVirtualKey('Z') == UsScanY; }));
    }
    void TearDown() override {
        run({"setxkbmap", "us"});
        if (platform_) pumpUntil(*platform_, [&] { return platform_->scanCodeOfVirtualKey('Z') == UsScanZ; });
    }
    // The keycode the server saw for a press-and-release.
    int keycodeOf(const KeyboardInput& down) {
        watcher_.clear();
        KeyboardInput up = down;
        up.flags |= KeyUp;
        platform_->sendInput(InputRecord::key(down));
        platform_->sendInput(InputRecord::key(up));
        return watcher_.waitForAny(XI_RawKeyRelease);
    }

    std::unique_ptr<X11Platform> platform_ = openPlatform();
    RecordingListener listener_;
    XiWatcher watcher_;
};

}  // namespace

TEST_F(GermanLayout, TheVirtualKeyOfZPressesTheKeyThatTypesZ) {
    const int byVirtualKey = keycodeOf(KeyboardInput{'Z', 0, 0});
    EXPECT_EQ(watcher_.keysymOf(byVirtualKey), static_cast<KeySym>(XK_z));
    // The scan code the platform gives for Z leads to the same key.
    const int byScanCode = keycodeOf(KeyboardInput{0, platform_->scanCodeOfVirtualKey('Z'), KeyScanCode});
    EXPECT_EQ(byScanCode, byVirtualKey);
    EXPECT_EQ(watcher_.keysymOf(keycodeOf(KeyboardInput{'Y', 0, 0})), static_cast<KeySym>(XK_y));
    // A scan code names a physical key whatever the layout: US Z's position types y here.
    EXPECT_EQ(watcher_.keysymOf(keycodeOf(KeyboardInput{0, UsScanZ, KeyScanCode})), static_cast<KeySym>(XK_y));
    // Fixed keys do not move.
    EXPECT_EQ(platform_->scanCodeOfVirtualKey(0x70), 0x3B);  // F1
    EXPECT_EQ(platform_->scanCodeOfVirtualKey(0x0D), 0x1C);  // Return
}

TEST_F(GermanLayout, TheKeyThatTypesZIsCapturedAsZ) {
    platform_->startCapture(0);
    run({"xdotool", "key", "z", "key", "y"});
    ASSERT_TRUE(pumpUntil(*platform_, [&] { return listener_.keys.size() >= 4; }));
    std::vector<uint32_t> keys;
    for (const KeyEvent& e : listener_.keys) keys.push_back(e.virtualKey);
    EXPECT_EQ(keys, (std::vector<uint32_t>{'Z', 'Z', 'Y', 'Y'}));
    platform_->stopCapture();
}

TEST_F(GermanLayout, HotkeysFollowTheLayoutToo) {
    ASSERT_EQ(platform_->registerHotkey(1, ModControl | ModNoRepeat, 'Z'), HotkeyResult::Registered);
    run({"xdotool", "key", "ctrl+z"});
    EXPECT_TRUE(pumpUntil(*platform_, [&] { return listener_.hotkeys == std::vector<int>{1}; }));
}
