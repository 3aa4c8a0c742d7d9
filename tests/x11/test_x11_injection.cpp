// Injection through the backend as another X client sees it (keys, buttons,
// wheel, the pointer), the state queries against the server, and layouts
// other than US: virtual keys of characters follow the active layout.

#include <gtest/gtest.h>

#include <cstdlib>

#include "X11TestSupport.h"

using namespace platform;

namespace {

using Watched = ServerWatcher::Event;

InputRecord scanKey(uint16_t scan, uint32_t flags = 0) {
    return InputRecord::key(KeyboardInput{0, scan, KeyScanCode | flags});
}
InputRecord vkKey(uint16_t vk, uint32_t flags = 0) {
    return InputRecord::key(KeyboardInput{vk, 0, flags});
}
InputRecord mouse(uint32_t flags, int32_t dx = 0, int32_t dy = 0, uint32_t data = 0) {
    return InputRecord::pointer(MouseInput{dx, dy, data, flags});
}

class Injection : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(platform_); }
    // Sends the key record and its release; what the other client saw.
    std::vector<Watched> pressed(
        const InputRecord& down, const std::function<void()>& whileHeld = [] {}) {
        watcher_.clear();
        InputRecord up = down;
        up.keyboard.flags |= KeyUp;
        platform_->sendInput(down);
        whileHeld();
        platform_->sendInput(up);
        watcher_.settle();
        return watcher_.events;
    }
    std::unique_ptr<X11Platform> platform_ = openPlatform();
    ServerWatcher watcher_;
};

}  // namespace

TEST_F(Injection, KeysPressAndReleaseThePhysicalKeyTheyNameAndShowInTheKeyState) {
    const struct {
        InputRecord down;
        int keycode, heldVk, notHeldVk;
    } cases[] = {
        {scanKey(0x1E), 38, 'A', 'B'},
        {scanKey(0x48, KeyExtended), 111, 0x26, 0},
        {scanKey(0x48), 80, 0x26, 0x68},  // keypad 8, NumLock off: it answers as Up
        // keypad Enter: Return answers; 256 is no platform code
        {scanKey(0x1C, KeyExtended), 104, 0x0D, 256},
        {scanKey(0x38, KeyExtended), 108, 0xA5, 0xA4},
        {scanKey(0x20, KeyExtended), 121, 0xAD, 0},  // mute
        {vkKey('A'), 38, 'A', 0},
        {vkKey(0x09), 23, 0x09, 0},
        {vkKey(0x0D, KeyExtended), 104, 0x0D, 0},
        {vkKey(0xA1), 62, 0x10, 0xA0},
        {vkKey(0x26), 111, 0x26, 0},  // Up needs no extended flag by virtual key
    };
    for (const auto& c : cases) {
        const auto seen = pressed(c.down, [&] {
            EXPECT_EQ(platform_->asyncKeyState(c.heldVk), 0x8000) << c.keycode;
            if (c.notHeldVk) {
                EXPECT_EQ(platform_->asyncKeyState(c.notHeldVk), 0) << c.keycode;
            }
        });
        EXPECT_EQ(seen, (std::vector<Watched>{{KeyPress, c.keycode, 0, 0},
                                              {KeyRelease, c.keycode, 0, 0}}));
        EXPECT_EQ(platform_->asyncKeyState(c.heldVk), 0) << c.keycode;
    }
}

TEST_F(Injection, ButtonsReachTheirXButtonAndShowInTheKeyStateAlone) {
    const struct {
        uint32_t down, up, data;
        int button, vk;
    } buttons[] = {{MouseLeftDown, MouseLeftUp, 0, 1, 1},
                   {MouseRightDown, MouseRightUp, 0, 3, 2},
                   {MouseMiddleDown, MouseMiddleUp, 0, 2, 4},
                   {MouseXDown, MouseXUp, XButton1, 8, 5},
                   {MouseXDown, MouseXUp, XButton2, 9, 6}};
    for (const auto& b : buttons) {
        watcher_.clear();
        platform_->sendInput(mouse(b.down, 0, 0, b.data));
        for (const auto& other : buttons)
            EXPECT_EQ(platform_->asyncKeyState(other.vk), other.vk == b.vk ? 0x8000 : 0)
                << b.vk << " " << other.vk;
        platform_->sendInput(mouse(b.up, 0, 0, b.data));
        watcher_.settle();
        EXPECT_EQ(watcher_.events, (std::vector<Watched>{{ButtonPress, b.button, 0, 0},
                                                         {ButtonRelease, b.button, 0, 0}}));
        EXPECT_EQ(platform_->asyncKeyState(b.vk), 0) << b.vk;
    }
}

TEST_F(Injection, WheelClicksOncePerWholeNotchCarryingFractionsUntilTheDirectionTurns) {
    // -240: two clicks toward the user; 60 + 60: one away; 90 then -60: the turn
    // drops the 90, and -60 - 60 is one click toward.
    for (int delta : {-240, 60, 60, 90, -60, -60})
        platform_->sendInput(mouse(MouseWheel, 0, 0, static_cast<uint32_t>(delta)));
    watcher_.settle();
    std::vector<int> presses;
    for (const Watched& e : watcher_.events)
        if (e.type == ButtonPress) presses.push_back(e.detail);
    EXPECT_EQ(presses, (std::vector<int>{5, 5, 4, 5}));
}

TEST_F(Injection, RelativeMovesAreNotAccelerated) {
    run({"xdotool", "mousemove", "500", "400"});
    platform_->sendInput(mouse(MouseMove, 37, -21));
    platform_->sendInput(mouse(MouseMove, -2, 5));
    EXPECT_EQ(pointerLocation(), (Point{535, 384}));
}

TEST(X11Backend, ReportsAServerItCannotOpenInsteadOfFailingHard) {
    const std::string outer = std::getenv("DISPLAY");
    setenv("DISPLAY", ":987", 1);
    std::string error;
    EXPECT_EQ(X11Platform::open(&error), nullptr);
    EXPECT_NE(error.find(":987"), std::string::npos) << error;
    EXPECT_EQ(createPlatform(&error), nullptr);
    setenv("DISPLAY", outer.c_str(), 1);
}

class Layout : public Injection {
protected:
    void SetUp() override {
        Injection::SetUp();
        platform_->setListener(&listener_);
    }
    void TearDown() override { EXPECT_TRUE(use({"us"}, 'Z', UsScanZ)); }
    // Switches the server's layout; the backend learns of it through its
    // event descriptor. Whether it then gives the scan code for the key.
    bool use(std::vector<std::string> layout, uint32_t vk, uint16_t scan) {
        layout.insert(layout.begin(), "setxkbmap");
        run(layout);
        return pumpUntil(*platform_, [&] { return platform_->scanCodeOfVirtualKey(vk) == scan; });
    }
    static constexpr uint16_t UsScanZ = 0x2C, UsScanY = 0x15, UsScanMinus = 0x0C;
    static constexpr int KeycodeOfUsY = 29, KeycodeOfUsZ = 52;
    RecordingListener listener_;
};

TEST_F(Layout, GermanCharacterKeysMoveWhileScanCodesAndFixedKeysStay) {
    ASSERT_TRUE(use({"de"}, 'Z', UsScanY));
    for (const auto& [down, keycode] : {std::pair{vkKey('Z'), KeycodeOfUsY},
                                        {vkKey('Y'), KeycodeOfUsZ},
                                        {scanKey(UsScanZ), KeycodeOfUsZ}})
        EXPECT_EQ(pressed(down).front().detail, keycode);
    EXPECT_EQ(platform_->scanCodeOfVirtualKey(0x70), 0x3B);  // F1
    EXPECT_EQ(platform_->scanCodeOfVirtualKey(0x0D), 0x1C);  // Return
}

TEST_F(Layout, GermanKeysAreCapturedAndGrabbedAsTheCharacterTheyType) {
    ASSERT_TRUE(use({"de"}, 'Z', UsScanY));
    ASSERT_EQ(platform_->registerHotkey(1, ModControl | ModNoRepeat, 'Z'),
              HotkeyResult::Registered);
    platform_->startCapture(0);
    run({"xdotool", "key", "z", "key", "y", "key", "ctrl+z"});
    ASSERT_TRUE(pumpUntil(*platform_, [&] { return !listener_.hotkeys.empty(); }));
    std::vector<uint32_t> keys;
    for (const KeyEvent& e : listener_.keys) keys.push_back(e.virtualKey);
    ASSERT_GE(keys.size(), 4u);
    EXPECT_EQ(std::vector<uint32_t>(keys.begin(), keys.begin() + 4),
              (std::vector<uint32_t>{'Z', 'Z', 'Y', 'Y'}));
    EXPECT_EQ(listener_.hotkeys, std::vector<int>{1});
}

// Lao (STEA) puts the digits on the shifted level, its 9 one key right of the US 9.
TEST_F(Layout, ADigitOnTheShiftedLevelIsFoundWhereverItIs) {
    EXPECT_TRUE(use({"la", "-variant", "stea"}, '9', UsScanMinus));
}
