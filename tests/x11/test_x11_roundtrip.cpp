// Every key of the vocabulary, injected the way the injection primitives
// inject it, comes back through capture as the virtual key a low-level
// hook reports for it, or is one of the listed exceptions.

#include <gtest/gtest.h>

#include <map>

#include "X11TestSupport.h"
#include "input/KeyNames.h"

using namespace platform;

namespace {

constexpr uint16_t MarkerScan = 0x58;  // F12
constexpr uint32_t MarkerVk = 0x7B;
constexpr int LastButtonCode = 6;
constexpr int NoEvent = -1;

// The keys that do not come back as themselves on the default keymap
// (evdev rules, pc105, us), and what capture reports instead.
const std::map<std::string, int> Exceptions = {
    // No key of the keyboard carries these virtual keys: nothing is pressed.
    {"Accept", NoEvent}, {"Attn", NoEvent},       {"CrSel", NoEvent},    {"EraseEOF", NoEvent},
    {"ExSel", NoEvent},  {"Execute", NoEvent},    {"Final", NoEvent},    {"Help", NoEvent},
    {"Junja", NoEvent},  {"ModeChange", NoEvent}, {"NoName", NoEvent},   {"OEM8", NoEvent},
    {"OEMClear", NoEvent}, {"PA1", NoEvent},      {"Packet", NoEvent},   {"Process", NoEvent},
    {"Select", NoEvent}, {"Zoom", NoEvent},
    // Clear is the keypad 5 with NumLock off; NumLock is on here.
    {"Clear", 0x65},
};

// What a hook reports for a key code: the sided key for the generic
// modifiers (the generic Alt is extended, so it is the right one) and
// Return for the keypad Enter.
int reportedCode(int code) {
    switch (code) {
    case 0x10: return 0xA0;
    case 0x11: return 0xA2;
    case 0x12: return 0xA5;
    case KeypadEnterCode: return 0x0D;
    default: return code;
    }
}

class RoundTrip : public testing::Test {
protected:
    static void SetUpTestSuite() { initKeyNames(); }
    void SetUp() override {
        ASSERT_TRUE(platform_);
        platform_->setListener(&listener_);
        platform_->startCapture(0);
        run({"xdotool", "key", "Num_Lock"});
        ASSERT_TRUE(pumpUntil(*platform_, [&] { return listener_.keys.size() >= 2; }));
    }
    void send(int code, bool up) {
        KeyboardInput k;
        if (keyVocabulary().virtualKeyOnly[code]) {
            k.virtualKey = static_cast<uint16_t>(code);
        } else {
            k.scanCode = platform_->scanCodeOfVirtualKey(code == KeypadEnterCode ? 0x0D : code);
            k.flags = KeyScanCode | (keyVocabulary().extended[code] ? KeyExtended : 0u);
        }
        if (up) k.flags |= KeyUp;
        platform_->sendInput(InputRecord::key(k));
    }
    // Presses and releases the key, then the marker; the codes reported
    // for the key's presses (NoEvent when there were none).
    int roundTrip(int code) {
        listener_.clear();
        send(code, false);
        send(code, true);
        platform_->sendInput(InputRecord::key(KeyboardInput{0, MarkerScan, KeyScanCode}));
        platform_->sendInput(InputRecord::key(KeyboardInput{0, MarkerScan, KeyScanCode | KeyUp}));
        const size_t markerUps = reportedCode(code) == static_cast<int>(MarkerVk) ? 2 : 1;
        auto ups = [&] {
            size_t n = 0;
            for (const KeyEvent& e : listener_.keys)
                n += e.virtualKey == MarkerVk && (e.message == MsgKeyUp || e.message == MsgSysKeyUp);
            return n;
        };
        EXPECT_TRUE(pumpUntil(*platform_, [&] { return ups() >= markerUps; })) << code;
        std::vector<KeyEvent> keys = listener_.keys;
        keys.resize(keys.size() >= 2 ? keys.size() - 2 : 0);  // the marker's press and release
        if (keys.empty()) return NoEvent;
        EXPECT_EQ(keys.size(), 2u) << "code " << code;
        EXPECT_TRUE(keys.front().message == MsgKeyDown || keys.front().message == MsgSysKeyDown) << code;
        return static_cast<int>(keys.front().virtualKey);
    }

    std::unique_ptr<X11Platform> platform_ = openPlatform();
    RecordingListener listener_;
};

}  // namespace

TEST_F(RoundTrip, EveryKeyComesBackAsTheCodeAHookReports) {
    constexpr int NumLock = 0x90;
    std::vector<std::string> names;
    for (const auto& entry : keyVocabulary().codeByName)
        if (entry.second > LastButtonCode && entry.second != NumLock) names.push_back(entry.first);
    names.push_back("NumLock");  // last: it turns the keypad's NumLock off
    for (const std::string& name : names) {
        const int code = keyVocabulary().codeByName.at(name);
        const auto exception = Exceptions.find(name);
        const int expected = exception != Exceptions.end() ? exception->second : reportedCode(code);
        EXPECT_EQ(roundTrip(code), expected) << name;
    }
}
