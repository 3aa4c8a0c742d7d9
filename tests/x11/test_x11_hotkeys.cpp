// Global hotkeys fired by another program's key presses (xdotool): once per
// press whatever the lock keys, exact modifiers unless any are wanted, and
// refusals that say who holds the combination.

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include "X11TestSupport.h"

using namespace platform;

namespace {

constexpr HotkeyResult Registered = HotkeyResult::Registered;
constexpr uint32_t VkF4 = 0x73, VkF7 = 0x76, VkF9 = 0x78;
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
    std::vector<int> firedBy(std::vector<std::string> args) {
        listener_.clear();
        args.insert(args.begin(), "xdotool");
        args.insert(args.end(), {"key", "ctrl+F7"});
        run(args);
        EXPECT_TRUE(pumpUntil(*platform_, [&] {
            return !listener_.hotkeys.empty() && listener_.hotkeys.back() == MarkerId;
        }));
        std::vector<int> ids = listener_.hotkeys;
        if (!ids.empty()) ids.pop_back();
        return ids;
    }
    // A plain X client grabbing one combination of a key first.
    Display* grabbedElsewhere(KeySym key, unsigned modifiers) {
        Display* d = XOpenDisplay(nullptr);
        XGrabKey(d, XKeysymToKeycode(d, key), modifiers, DefaultRootWindow(d), False, GrabModeAsync,
                 GrabModeAsync);
        XSync(d, False);
        return d;
    }

    std::unique_ptr<X11Platform> platform_ = openPlatform();
    RecordingListener listener_;
};

}  // namespace

TEST_F(Hotkeys, APressFiresOnceWhateverTheLockKeysAndHowLongItIsHeld) {
    ASSERT_EQ(platform_->registerHotkey(1, ModNoRepeat, VkF4), Registered);
    std::vector<std::string> presses{"key", "F4", "keydown", "F4", "sleep", "0.9", "keyup", "F4"};
    for (const char* lock : {"Num_Lock", "Caps_Lock", "Scroll_Lock"})
        presses.insert(presses.end(), {"key", lock, "key", "F4", "key", lock});
    EXPECT_EQ(firedBy(presses), (std::vector<int>{1, 1, 1, 1, 1}));
}

TEST_F(Hotkeys, ModifiersMustMatchExactly) {
    ASSERT_EQ(platform_->registerHotkey(2, ModAlt | ModShift | ModNoRepeat, 'K'), Registered);
    ASSERT_EQ(platform_->registerHotkey(3, ModWin | ModNoRepeat, 'J'), Registered);
    EXPECT_EQ(firedBy({"key", "k", "key", "alt+k", "key", "ctrl+alt+shift+k", "key", "alt+shift+k",
                       "key", "super+j"}),
              (std::vector<int>{2, 3}));
}

TEST_F(Hotkeys, AKeyWithAnyModifiersFiresWhateverIsHeldUntilItNarrowsAgain) {
    ASSERT_EQ(platform_->registerHotkey(2, ModControl | ModNoRepeat, VkF4), Registered);
    ASSERT_EQ(platform_->registerHotkey(1, ModNoRepeat | ModAnyModifiers, VkF4), Registered);
    // It takes the other id's combination of the key too.
    EXPECT_EQ(firedBy({"keydown", "Shift_L", "key", "F4", "keyup", "Shift_L", "key", "F4", "key",
                       "ctrl+F4", "key", "Num_Lock", "key", "alt+F4", "key", "Num_Lock"}),
              (std::vector<int>{1, 1, 1, 1}));
    // Exact again, and the other id's combination is its own again.
    ASSERT_EQ(platform_->registerHotkey(1, ModNoRepeat, VkF4), Registered);
    EXPECT_EQ(firedBy({"key", "shift+F4", "key", "ctrl+F4", "key", "F4"}),
              (std::vector<int>{2, 1}));
    // Another client holding one combination of the key leaves the exact one.
    Display* d = grabbedElsewhere(XK_F4, ShiftMask);
    EXPECT_EQ(platform_->registerHotkey(1, ModNoRepeat | ModAnyModifiers, VkF4),
              HotkeyResult::ExactOnly);
    EXPECT_EQ(firedBy({"key", "alt+F4", "key", "F4"}), std::vector<int>{1});
    XCloseDisplay(d);
}

TEST_F(Hotkeys, ACombinationHeldByAnotherIdGoesToTheFirstUntilItMoves) {
    ASSERT_EQ(platform_->registerHotkey(1, ModControl | ModNoRepeat, 'J'), Registered);
    EXPECT_EQ(platform_->registerHotkey(2, ModControl | ModNoRepeat, 'J'),
              HotkeyResult::HeldByThisProgram);
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

TEST_F(Hotkeys, ACombinationAnotherClientHoldsOrNoKeyCarriesIsRefused) {
    ASSERT_EQ(platform_->registerHotkey(1, ModNoRepeat, VkF4), Registered);
    {
        auto other = openPlatform();
        ASSERT_TRUE(other);
        EXPECT_EQ(other->registerHotkey(1, ModNoRepeat, VkF4), HotkeyResult::HeldByAnotherProgram);
        EXPECT_EQ(other->registerHotkey(2, ModShift | ModNoRepeat, VkF4), Registered);
    }
    EXPECT_EQ(firedBy({"key", "F4"}), std::vector<int>{1});
    // One lock combination held elsewhere is enough to refuse.
    Display* d = grabbedElsewhere(XK_F9, Mod2Mask);
    EXPECT_EQ(platform_->registerHotkey(4, ModNoRepeat, VkF9), HotkeyResult::HeldByAnotherProgram);
    XCloseDisplay(d);
    // Nothing of the failed attempt stayed grabbed: the key is free again.
    EXPECT_EQ(platform_->registerHotkey(4, ModNoRepeat, VkF9), Registered);
    EXPECT_EQ(firedBy({"key", "F9"}), std::vector<int>{4});
    EXPECT_EQ(platform_->registerHotkey(5, ModNoRepeat, 0x29), HotkeyResult::NoSuchKey);  // Select
    EXPECT_EQ(platform_->registerHotkey(5, ModNoRepeat, 0), HotkeyResult::NoSuchKey);
}

// A layout change moves a letter's hotkey with the letter; where another
// program holds the combination on its new key, the hotkey is lost and the
// listener is told (a QWERTZ layout swaps the Y and Z keys).
TEST_F(Hotkeys, ALetterMovedOntoACombinationHeldElsewhereLosesItsHotkeyAndSaysSo) {
    Display* other = grabbedElsewhere(XK_y, ControlMask);
    const KeyCode y = XKeysymToKeycode(other, XK_y), z = XKeysymToKeycode(other, XK_z);
    ASSERT_EQ(platform_->registerHotkey(4, ModControl | ModNoRepeat, 'Z'), Registered);
    int perCode = 0;
    KeySym* ys = XGetKeyboardMapping(other, y, 1, &perCode);
    KeySym* zs = XGetKeyboardMapping(other, z, 1, &perCode);
    const auto swap = [&](KeySym* onY, KeySym* onZ) {
        XChangeKeyboardMapping(other, y, perCode, onY, 1);
        XChangeKeyboardMapping(other, z, perCode, onZ, 1);
        XSync(other, False);
    };
    swap(zs, ys);
    EXPECT_TRUE(pumpUntil(*platform_, [&] { return !listener_.lost.empty(); }));
    swap(ys, zs);
    XFree(ys);
    XFree(zs);
    XCloseDisplay(other);
    EXPECT_EQ(listener_.lost,
              (std::vector<std::pair<int, HotkeyResult>>{{4, HotkeyResult::HeldByAnotherProgram}}));
}
