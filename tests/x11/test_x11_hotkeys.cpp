// Global hotkeys fired by another program's key presses (xdotool): once per
// press whatever the lock keys, first id first, refusal of a combination
// that another id or another client holds, and a key that fires whatever
// modifiers are held.

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include "X11TestSupport.h"

using namespace platform;

namespace platform {
void PrintTo(HotkeyResult r, std::ostream* out) { *out << "HotkeyResult " << static_cast<int>(r); }
}  // namespace platform

namespace {

constexpr HotkeyResult Registered = HotkeyResult::Registered;

constexpr uint32_t VkF4 = 0x73, VkF7 = 0x76;
constexpr int MarkerId = 99;

class Hotkeys : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform_);
        platform_->setListener(&listener_);
        // A marker combination closes each check, so "exactly once" is exact.
        ASSERT_EQ(platform_->registerHotkey(MarkerId, ModControl | ModNoRepeat, VkF7), Registered);
    }
    // Runs xdotool, then the marker, and returns the ids fired before the marker.
    std::vector<int> firedBy(std::vector<std::string> xdotoolArgs) {
        listener_.clear();
        xdotoolArgs.insert(xdotoolArgs.begin(), "xdotool");
        run(xdotoolArgs);
        run({"xdotool", "key", "ctrl+F7"});
        EXPECT_TRUE(pumpUntil(*platform_, [&] {
            return !listener_.hotkeys.empty() && listener_.hotkeys.back() == MarkerId;
        }));
        std::vector<int> ids = listener_.hotkeys;
        if (!ids.empty() && ids.back() == MarkerId) ids.pop_back();
        return ids;
    }

    std::unique_ptr<X11Platform> platform_ = openPlatform();
    RecordingListener listener_;
};

}  // namespace

TEST_F(Hotkeys, APressFiresOnceAlsoWithLockKeysOnOrWhenHeld) {
    ASSERT_EQ(platform_->registerHotkey(1, ModNoRepeat, VkF4), Registered);
    EXPECT_EQ(firedBy({"key", "F4"}), std::vector<int>{1});
    EXPECT_EQ(firedBy({"key", "Num_Lock", "key", "F4", "key", "Num_Lock"}), std::vector<int>{1});
    EXPECT_EQ(firedBy({"key", "Caps_Lock", "key", "F4", "key", "Caps_Lock"}), std::vector<int>{1});
    EXPECT_EQ(firedBy({"key", "Scroll_Lock", "key", "F4", "key", "Scroll_Lock"}), std::vector<int>{1});
    // Held past the server's auto-repeat delay: still one.
    EXPECT_EQ(firedBy({"keydown", "F4", "sleep", "0.9", "keyup", "F4"}), std::vector<int>{1});
    EXPECT_EQ(firedBy({"key", "F4", "key", "F4"}), (std::vector<int>{1, 1}));
}

TEST_F(Hotkeys, ModifiersMustMatchExactly) {
    ASSERT_EQ(platform_->registerHotkey(2, ModAlt | ModShift | ModNoRepeat, 'K'), Registered);
    EXPECT_EQ(firedBy({"key", "alt+shift+k"}), std::vector<int>{2});
    EXPECT_EQ(firedBy({"key", "k", "key", "alt+k", "key", "ctrl+alt+shift+k"}), std::vector<int>{});
    ASSERT_EQ(platform_->registerHotkey(3, ModWin | ModNoRepeat, 'J'), Registered);
    EXPECT_EQ(firedBy({"key", "super+j"}), std::vector<int>{3});
}

TEST_F(Hotkeys, AKeyHeldWithAnyModifiersFiresWhateverIsHeldUntilItNarrowsAgain) {
    ASSERT_EQ(platform_->registerHotkey(2, ModControl | ModNoRepeat, VkF4), Registered);
    ASSERT_EQ(platform_->registerHotkey(1, ModNoRepeat, VkF4), Registered);
    EXPECT_EQ(firedBy({"keydown", "Shift_L", "key", "F4", "keyup", "Shift_L"}), std::vector<int>{});

    // It takes the other id's combination of the key too (registered afresh
    // here; further down it widens what the id holds).
    platform_->unregisterHotkey(1);
    ASSERT_EQ(platform_->registerHotkey(1, ModNoRepeat | ModAnyModifiers, VkF4), Registered);
    EXPECT_EQ(firedBy({"keydown", "Shift_L", "key", "F4", "keyup", "Shift_L", "key", "F4", "key", "ctrl+F4",
                       "key", "Num_Lock", "key", "alt+F4", "key", "Num_Lock"}),
              (std::vector<int>{1, 1, 1, 1}));

    // Exact again, and the other id's combination is its own again.
    ASSERT_EQ(platform_->registerHotkey(1, ModNoRepeat, VkF4), Registered);
    EXPECT_EQ(firedBy({"key", "shift+F4", "key", "ctrl+F4", "key", "F4"}), (std::vector<int>{2, 1}));

    // Another client holding one combination of the key leaves the exact one.
    Display* d = XOpenDisplay(nullptr);
    XGrabKey(d, XKeysymToKeycode(d, XK_F4), ShiftMask, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync);
    XSync(d, False);
    EXPECT_EQ(platform_->registerHotkey(1, ModNoRepeat | ModAnyModifiers, VkF4), HotkeyResult::ExactOnly);
    EXPECT_EQ(firedBy({"key", "alt+F4", "key", "F4"}), std::vector<int>{1});
    XCloseDisplay(d);
    platform_->unregisterHotkey(1);
    platform_->unregisterHotkey(2);
}

TEST_F(Hotkeys, ACombinationHeldByAnotherIdGoesToTheFirstOnly) {
    ASSERT_EQ(platform_->registerHotkey(1, ModControl | ModNoRepeat, 'J'), Registered);
    EXPECT_EQ(platform_->registerHotkey(2, ModControl | ModNoRepeat, 'J'), HotkeyResult::HeldByThisProgram);
    EXPECT_EQ(firedBy({"key", "ctrl+j"}), std::vector<int>{1});
    platform_->unregisterHotkey(2);
    EXPECT_EQ(firedBy({"key", "ctrl+j"}), std::vector<int>{1});
    // Re-registering an id moves it; its old combination is released.
    ASSERT_EQ(platform_->registerHotkey(1, ModControl | ModNoRepeat, 'L'), Registered);
    EXPECT_EQ(platform_->registerHotkey(2, ModControl | ModNoRepeat, 'J'), Registered);
    EXPECT_EQ(firedBy({"key", "ctrl+j", "key", "ctrl+l"}), (std::vector<int>{2, 1}));
    platform_->unregisterHotkey(1);
    platform_->unregisterHotkey(2);
    EXPECT_EQ(firedBy({"key", "ctrl+j", "key", "ctrl+l"}), std::vector<int>{});
}

TEST_F(Hotkeys, ACombinationAnotherClientHoldsIsRefused) {
    ASSERT_EQ(platform_->registerHotkey(1, ModNoRepeat, VkF4), Registered);
    {
        auto other = openPlatform();
        ASSERT_TRUE(other);
        EXPECT_EQ(other->registerHotkey(1, ModNoRepeat, VkF4), HotkeyResult::HeldByAnotherProgram);
        EXPECT_EQ(other->registerHotkey(2, ModShift | ModNoRepeat, VkF4), Registered);
        other->processPendingEvents();
    }
    EXPECT_EQ(firedBy({"key", "F4"}), std::vector<int>{1});

    // A plain X client grabbing first (one lock combination is enough).
    Display* d = XOpenDisplay(nullptr);
    const int keycode = XKeysymToKeycode(d, XK_F9);
    XGrabKey(d, keycode, Mod2Mask, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync);
    XSync(d, False);
    EXPECT_EQ(platform_->registerHotkey(4, ModNoRepeat, 0x78), HotkeyResult::HeldByAnotherProgram);
    XCloseDisplay(d);
    // Nothing of the failed attempt stayed grabbed: the key is free again.
    EXPECT_EQ(platform_->registerHotkey(4, ModNoRepeat, 0x78), Registered);
    EXPECT_EQ(firedBy({"key", "F9"}), std::vector<int>{4});
}

TEST_F(Hotkeys, AKeyWithoutAKeyIsRefused) {
    EXPECT_EQ(platform_->registerHotkey(5, ModNoRepeat, 0x29), HotkeyResult::NoSuchKey);  // Select
    EXPECT_EQ(platform_->registerHotkey(5, ModNoRepeat, 0), HotkeyResult::NoSuchKey);
}
