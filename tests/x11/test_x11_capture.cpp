// Capture of input that another program (xdotool) generates: key messages
// and virtual keys as a low-level hook reports them, buttons and wheel with
// their mouse data, raw movement as the device gave it.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "X11TestSupport.h"
#include "input/KeyNames.h"

using namespace platform;

namespace {

using Keys = std::vector<std::pair<uint32_t, uint32_t>>;  // message, virtual key
constexpr uint32_t Down = MsgKeyDown, Up = MsgKeyUp, SysDown = MsgSysKeyDown, SysUp = MsgSysKeyUp;

class Capture : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform_);
        platform_->setListener(&listener_);
        platform_->startCapture(0);
    }
    // Runs xdotool with args and waits until the listener holds n key events.
    Keys keysOf(std::vector<std::string> args, size_t n) {
        listener_.clear();
        args.insert(args.begin(), "xdotool");
        run(args);
        EXPECT_TRUE(pumpUntil(*platform_, [&] { return listener_.keys.size() >= n; }));
        Keys out;
        for (const KeyEvent& e : listener_.keys) out.emplace_back(e.message, e.virtualKey);
        return out;
    }

    std::unique_ptr<X11Platform> platform_ = openPlatform();
    RecordingListener listener_;
};

}  // namespace

TEST_F(Capture, KeysArriveAsAHookReportsThem) {
    const struct {
        std::vector<std::string> args;
        Keys keys;
    } cases[] = {
        // The keypad by NumLock (off here).
        {{"key", "KP_Home"}, {{Down, 0x24}, {Up, 0x24}}},
        // System keys while Alt is held without Ctrl, and F10.
        {{"keydown", "alt", "key", "f", "keyup", "alt"},
         {{SysDown, 0xA4}, {SysDown, 'F'}, {SysUp, 'F'}, {Up, 0xA4}}},
        {{"keydown", "ctrl", "keydown", "alt", "key", "x", "keyup", "alt", "keyup", "ctrl"},
         {{Down, 0xA2}, {Down, 0xA4}, {Down, 'X'}, {Up, 'X'}, {Up, 0xA4}, {Up, 0xA2}}},
        {{"key", "F10"}, {{SysDown, 0x79}, {SysUp, 0x79}}},
    };
    for (const auto& c : cases) EXPECT_EQ(keysOf(c.args, c.keys.size()), c.keys) << c.args[1];
}

TEST_F(Capture, AHeldKeyRepeatsItsKeyDownThenReleasesOnce) {
    run({"xdotool", "keydown", "b"});
    // The server's auto-repeat starts after its delay (660 ms by default).
    EXPECT_TRUE(pumpUntil(*platform_, [&] { return listener_.keys.size() >= 4; }));
    run({"xdotool", "keyup", "b"});
    ASSERT_TRUE(pumpUntil(*platform_, [&] { return listener_.keys.back().message == Up; }));
    for (size_t i = 0; i < listener_.keys.size(); ++i) {
        EXPECT_EQ(listener_.keys[i].message, i + 1 < listener_.keys.size() ? Down : Up) << i;
        EXPECT_EQ(listener_.keys[i].virtualKey, static_cast<uint32_t>('B')) << i;
    }
}

// Left, right and the wheel reach a replay in the record-and-replay test.
TEST_F(Capture, MiddleAndSideButtonsCarryTheirMouseData) {
    run({"xdotool", "click", "2", "click", "8", "click", "9"});
    ASSERT_TRUE(pumpUntil(*platform_, [&] { return listener_.mouse.size() >= 6; }));
    const Keys expected = {{MsgMiddleDown, 0}, {MsgMiddleUp, 0},    {MsgXDown, 1 << 16},
                           {MsgXUp, 1 << 16},  {MsgXDown, 2 << 16}, {MsgXUp, 2 << 16}};
    Keys got;
    for (const MouseEvent& e : listener_.mouse) got.emplace_back(e.message, e.mouseData);
    EXPECT_EQ(got, expected);
}

// Relative deltas arriving as given: the thread test adds them up.
TEST_F(Capture, AnAbsoluteMoveReportsTheCoordinatesNotADelta) {
    platform_->sendInput(InputRecord::pointer(MouseInput{
        (301 * AbsoluteRange) / 1920, (201 * AbsoluteRange) / 1080, 0, MouseMove | MouseAbsolute}));
    ASSERT_TRUE(pumpUntil(*platform_, [&] { return !listener_.moves.empty(); }));
    EXPECT_EQ(std::make_pair(listener_.moves.back().lastX, listener_.moves.back().lastY),
              std::make_pair(300, 200));
}

TEST_F(Capture, NothingArrivesWhileStoppedOrWithoutAListener) {
    const auto never = [] { return false; };
    platform_->stopCapture();
    EXPECT_FALSE(platform_->capturing());
    run({"xdotool", "key", "q", "click", "1"});
    pumpUntil(*platform_, never, 50ms);
    platform_->startCapture(0);
    platform_->setListener(nullptr);
    run({"xdotool", "key", "e", "click", "1"});
    pumpUntil(*platform_, never, 50ms);
    platform_->setListener(&listener_);
    run({"xdotool", "key", "w"});
    ASSERT_TRUE(pumpUntil(*platform_, [&] { return listener_.keys.size() >= 2; }));
    pumpUntil(*platform_, never, 50ms);
    EXPECT_EQ(listener_.keys.size(), 2u);
    EXPECT_EQ(listener_.keys[0].virtualKey, static_cast<uint32_t>('W'));
    EXPECT_TRUE(listener_.mouse.empty());
}

// Every key of the vocabulary, injected as the injector injects it, comes
// back as the code a hook reports for it, or is one of the exceptions.
TEST_F(Capture, EveryKeyComesBackAsTheCodeAHookReports) {
    initKeyNames();
    const KeyVocabulary& v = keyVocabulary();
    // Keys no key of the keyboard carries, and Clear (the keypad 5 with NumLock off). Hooks
    // report the sided key for the generic modifiers (the generic Alt is extended: the right
    // one) and Return for the keypad Enter.
    std::map<std::string, int> expected = {
        {"Clear", 0x65}, {"Shift", 0xA0}, {"Control", 0xA2}, {"Alt", 0xA5}, {"Enter", 0x0D}};
    for (const char* none :
         {"Accept", "Attn", "CrSel", "EraseEOF", "ExSel", "Execute", "Final", "Help", "Junja",
          "ModeChange", "NoName", "OEM8", "OEMClear", "PA1", "Packet", "Process", "Select", "Zoom"})
        expected[none] = 0;
    run({"xdotool", "key", "Num_Lock"});
    ASSERT_TRUE(pumpUntil(*platform_, [&] { return listener_.keys.size() >= 2; }));
    std::vector<std::pair<std::string, int>> keys(v.codeByName.begin(), v.codeByName.end());
    // NumLock last: it turns the keypad's NumLock off.
    std::stable_partition(keys.begin(), keys.end(),
                          [](const auto& k) { return k.first != "NumLock"; });
    for (const auto& [name, code] : keys) {
        if (code <= VkXButton2) continue;
        KeyboardInput k{static_cast<uint16_t>(code), 0, 0};
        if (!v.virtualKeyOnly[code])
            k = {0, platform_->scanCodeOfVirtualKey(code == KeypadEnterCode ? 0x0D : code),
                 KeyScanCode | (v.extended[code] ? KeyExtended : 0u)};
        listener_.clear();
        platform_->sendInput(InputRecord::key(k));
        k.flags |= KeyUp;
        platform_->sendInput(InputRecord::key(k));
        // A move closes the key's events: capture delivers in server order.
        platform_->sendInput(InputRecord::pointer(MouseInput{code % 2 ? 1 : -1, 0, 0, MouseMove}));
        ASSERT_TRUE(pumpUntil(*platform_, [&] { return !listener_.moves.empty(); })) << name;
        const int want = expected.count(name) ? expected[name] : code;
        Keys got, wanted;
        // The system-key messages are the plain ones plus 4.
        for (const KeyEvent& e : listener_.keys) got.emplace_back(e.message & ~4u, e.virtualKey);
        if (want) wanted = {{Down, uint32_t(want)}, {Up, uint32_t(want)}};
        EXPECT_EQ(got, wanted) << name;
    }
}
