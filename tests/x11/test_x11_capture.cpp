// Capture of input that another program (xdotool) generates: key messages
// and virtual keys as a low-level hook reports them, buttons and wheel with
// their mouse data, raw movement as the device gave it.

#include <gtest/gtest.h>

#include "X11TestSupport.h"

using namespace platform;

namespace {

struct Key {
    uint32_t message, vk;
    bool operator==(const Key& o) const { return message == o.message && vk == o.vk; }
};
std::ostream& operator<<(std::ostream& os, const Key& k) { return os << "{" << k.message << "," << k.vk << "}"; }

class Capture : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform_);
        platform_->setListener(&listener_);
        platform_->startCapture(0);
        ASSERT_TRUE(platform_->capturing());
    }
    void TearDown() override {
        if (platform_) platform_->stopCapture();
    }
    // Runs xdotool and waits until the listener holds n key events.
    std::vector<Key> keysOf(const std::vector<std::string>& xdotoolArgs, size_t n) {
        listener_.clear();
        std::vector<std::string> argv{"xdotool"};
        argv.insert(argv.end(), xdotoolArgs.begin(), xdotoolArgs.end());
        run(argv);
        EXPECT_TRUE(pumpUntil(*platform_, [&] { return listener_.keys.size() >= n; }));
        pumpUntil(*platform_, [] { return false; }, 0ms);
        std::vector<Key> out;
        for (const KeyEvent& e : listener_.keys) out.push_back(Key{e.message, e.virtualKey});
        return out;
    }

    std::unique_ptr<X11Platform> platform_ = openPlatform();
    RecordingListener listener_;
};

constexpr uint32_t Down = MsgKeyDown, Up = MsgKeyUp, SysDown = MsgSysKeyDown, SysUp = MsgSysKeyUp;

}  // namespace

TEST_F(Capture, KeysArriveAsHookMessagesWithSidedModifiers) {
    EXPECT_EQ(keysOf({"key", "a"}, 2), (std::vector<Key>{{Down, 'A'}, {Up, 'A'}}));
    EXPECT_EQ(keysOf({"keydown", "shift", "key", "a", "keyup", "shift"}, 4),
              (std::vector<Key>{{Down, 0xA0}, {Down, 'A'}, {Up, 'A'}, {Up, 0xA0}}));
    // xdotool presses the left-hand key of a modifier along with the right one.
    EXPECT_EQ(keysOf({"key", "Control_R"}, 4),
              (std::vector<Key>{{Down, 0xA2}, {Down, 0xA3}, {Up, 0xA2}, {Up, 0xA3}}));
    EXPECT_EQ(keysOf({"key", "Shift_R"}, 4),
              (std::vector<Key>{{Down, 0xA0}, {Down, 0xA1}, {Up, 0xA0}, {Up, 0xA1}}));
    EXPECT_EQ(keysOf({"key", "Up", "KP_Enter", "KP_Divide"}, 6),
              (std::vector<Key>{{Down, 0x26}, {Up, 0x26}, {Down, 0x0D}, {Up, 0x0D}, {Down, 0x6F}, {Up, 0x6F}}));
}

TEST_F(Capture, KeysWhileAltIsHeldAreSystemKeys) {
    EXPECT_EQ(keysOf({"keydown", "alt", "keydown", "f", "keyup", "f", "keyup", "alt"}, 4),
              (std::vector<Key>{{SysDown, 0xA4}, {SysDown, 'F'}, {SysUp, 'F'}, {Up, 0xA4}}));
    // xdotool's combinations release the modifiers first: F then comes up without Alt.
    EXPECT_EQ(keysOf({"key", "alt+f"}, 4),
              (std::vector<Key>{{SysDown, 0xA4}, {SysDown, 'F'}, {Up, 0xA4}, {Up, 'F'}}));
    // With Ctrl held as well they are ordinary keys again.
    EXPECT_EQ(keysOf({"keydown", "ctrl", "keydown", "alt", "key", "x", "keyup", "alt", "keyup", "ctrl"}, 6),
              (std::vector<Key>{{Down, 0xA2}, {Down, 0xA4}, {Down, 'X'}, {Up, 'X'}, {Up, 0xA4}, {Up, 0xA2}}));
    EXPECT_EQ(keysOf({"key", "F10"}, 2), (std::vector<Key>{{SysDown, 0x79}, {SysUp, 0x79}}));
}

TEST_F(Capture, AHeldKeyRepeatsItsKeyDownThenReleasesOnce) {
    run({"xdotool", "keydown", "b"});
    // The server's auto-repeat starts after its delay (660 ms by default).
    EXPECT_TRUE(pumpUntil(*platform_, [&] { return listener_.keys.size() >= 4; }));
    run({"xdotool", "keyup", "b"});
    ASSERT_TRUE(pumpUntil(*platform_, [&] { return listener_.keys.back().message == Up; }));
    ASSERT_GE(listener_.keys.size(), 3u);
    for (size_t i = 0; i + 1 < listener_.keys.size(); ++i)
        EXPECT_EQ((Key{listener_.keys[i].message, listener_.keys[i].virtualKey}), (Key{Down, 'B'})) << i;
    EXPECT_EQ(listener_.keys.back().virtualKey, static_cast<uint32_t>('B'));
}

TEST_F(Capture, ButtonsAndWheelCarryTheirMouseData) {
    run({"xdotool", "mousedown", "1", "mouseup", "1", "mousedown", "3", "mouseup", "3", "mousedown", "2",
         "mouseup", "2", "mousedown", "8", "mouseup", "8", "mousedown", "9", "mouseup", "9", "mousedown", "4",
         "mouseup", "4", "mousedown", "5", "mouseup", "5"});
    ASSERT_TRUE(pumpUntil(*platform_, [&] { return listener_.mouse.size() >= 12; }));
    const std::vector<std::pair<uint32_t, uint32_t>> expected = {
        {513, 0},       {514, 0},       {516, 0},         {517, 0},         {519, 0},   {520, 0},
        {523, 1 << 16}, {524, 1 << 16}, {523, 2 << 16}, {524, 2 << 16}, {522, 120u << 16}, {522, 65416u << 16}};
    std::vector<std::pair<uint32_t, uint32_t>> got;
    for (const MouseEvent& e : listener_.mouse) got.emplace_back(e.message, e.mouseData);
    EXPECT_EQ(got, expected);
}

TEST_F(Capture, RawMovementIsPassedOnAsTheDeviceGaveIt) {
    run({"xdotool", "mousemove_relative", "--", "7", "-4"});
    ASSERT_TRUE(pumpUntil(*platform_, [&] { return !listener_.moves.empty(); }));
    EXPECT_EQ(listener_.moves.back().lastX, 7);
    EXPECT_EQ(listener_.moves.back().lastY, -4);
    // An absolute XTest move reports the coordinates themselves; they are
    // not turned into a delta.
    listener_.clear();
    platform_->sendInput(InputRecord::pointer(MouseInput{(301 * AbsoluteRange) / 1920, (201 * AbsoluteRange) / 1080,
                                                         0, MouseMove | MouseAbsolute}));
    ASSERT_TRUE(pumpUntil(*platform_, [&] { return !listener_.moves.empty(); }));
    EXPECT_EQ(listener_.moves.back().lastX, 300);
    EXPECT_EQ(listener_.moves.back().lastY, 200);
}

TEST_F(Capture, NothingArrivesWhileStoppedAndCaptureResumes) {
    platform_->stopCapture();
    EXPECT_FALSE(platform_->capturing());
    run({"xdotool", "key", "q", "mousedown", "1", "mouseup", "1"});
    pumpFor(*platform_, 50ms);
    platform_->startCapture(0);
    EXPECT_EQ(keysOf({"key", "w"}, 2), (std::vector<Key>{{Down, 'W'}, {Up, 'W'}}));
    EXPECT_TRUE(listener_.mouse.empty());
}

TEST_F(Capture, NoListenerDropsEventsWithoutHarm) {
    platform_->setListener(nullptr);
    run({"xdotool", "key", "e", "mousedown", "1", "mouseup", "1"});
    pumpFor(*platform_, 50ms);
    platform_->setListener(&listener_);
    EXPECT_EQ(keysOf({"key", "r"}, 2), (std::vector<Key>{{Down, 'R'}, {Up, 'R'}}));
}
