// Every key of the vocabulary, injected the way the injection primitives
// inject it, comes back through capture as the virtual key a low-level
// hook reports for it, or is one of the listed exceptions; and the backend's
// fixed tables behind that: scan codes and evdev positions, the keypad by
// NumLock, character keys, and the pointer and wheel arithmetic.

#include <gtest/gtest.h>

#include <map>

#include "X11TestSupport.h"
#include "input/KeyNames.h"
#include "platform/linux/PointerMath.h"
#include "platform/linux/ScanCodeEvdev.h"
#include "platform/linux/VirtualKeyPositions.h"

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

TEST(ScanCodeEvdev, ScanCodesReachTheirPositionsAndMapBack) {
    for (uint16_t s = 1; s <= 0x58; ++s)  // the plain block is the identity but for SysRq
        EXPECT_EQ(evdevOfScanCode({s, false}), s == 0x54 ? 99 : s) << std::hex << s;
    const struct {
        uint16_t scan;
        bool extended;
        uint16_t evdev;
    } rows[] = {{0x48, true, 103}, {0x1D, true, 97},  {0x1C, true, 96},   {0x35, true, 98},
                {0x38, true, 100}, {0x47, true, 102}, {0x53, true, 111},  {0x5B, true, 125},
                {0x5C, true, 126}, {0x5D, true, 127}, {0x20, true, 113},  {0x6A, true, 158},
                {0x48, false, 72}, {0x1C, false, 28}, {0x00, false, 0},   {0x200, false, 0}};
    for (const auto& r : rows) EXPECT_EQ(evdevOfScanCode({r.scan, r.extended}), r.evdev) << std::hex << r.scan;
    for (bool extended : {false, true})
        for (uint16_t s = 1; s < 128; ++s) {
            const uint16_t evdev = evdevOfScanCode({s, extended});
            if (!evdev || (extended && s == 0x37)) continue;  // E0 37 is SysRq's second name
            const ScanCode back = scanCodeOfEvdev(evdev);
            EXPECT_EQ(back.code, s) << std::hex << s << " ext " << extended;
            EXPECT_EQ(back.extended, extended) << std::hex << s;
        }
}

TEST(ScanCodeEvdev, HooksReportSidedModifiersAndKeypadByNumLock) {
    const struct {
        uint16_t evdev;
        bool numLock;
        uint32_t vk;
    } rows[] = {{42, true, 0xA0},  {54, true, 0xA1},  {29, true, 0xA2},  {97, true, 0xA3},
                {56, true, 0xA4},  {100, true, 0xA5}, {96, false, 0x0D}, {71, true, 0x67},
                {71, false, 0x24}, {76, false, 0x0C}, {83, false, 0x2E}, {98, false, 0x6F},
                {102, false, 0x24}, {0, true, 0}};
    for (const auto& r : rows) EXPECT_EQ(virtualKeyOfEvdev(r.evdev, r.numLock), r.vk) << r.evdev;
}

TEST(CharacterKeys, LettersDigitsAndPunctuationFollowTheLayout) {
    EXPECT_EQ(characterOfVirtualKey('Z'), 'z');
    EXPECT_EQ(characterOfVirtualKey('5'), '5');
    EXPECT_EQ(characterOfVirtualKey(0xDC), '\\');
    EXPECT_EQ(characterOfVirtualKey(0x70), 0);  // F1 has a fixed position
    for (uint32_t vk = 0; vk < 256; ++vk) {
        if (char c = characterOfVirtualKey(vk)) {
            EXPECT_EQ(virtualKeyOfCharacter(static_cast<unsigned char>(c)), vk);
        }
    }
    EXPECT_EQ(virtualKeyOfCharacter('!'), 0u);
}

TEST(PointerMath, AbsoluteCoordinatesLandOnTheirPixelAndStayOnTheScreen) {
    for (int size : {1920, 1080, 1366, 768, 800, 3840, 2160, 1})
        for (int x = 0; x < size; ++x)
            ASSERT_EQ(pixelOfAbsolute(((x + 1) * AbsoluteRange) / size, size), x) << "size " << size;
    EXPECT_EQ(pixelOfAbsolute(-5000, 1920), 0);
    EXPECT_EQ(pixelOfAbsolute(70000, 1920), 1919);
    EXPECT_EQ(pixelOfAbsolute(1000, 0), 0);
}

TEST(WheelAccumulator, WholeNotchesClickAndFractionsCarryUntilTheDirectionTurns) {
    WheelAccumulator w;
    // 90 then -60: the direction turned, so the 90 is dropped; the last 60 adds to a carried 60.
    const int deltas[] = {120, -240, 60, 60, 90, -60, -60, 0, 300, 60};
    const int clicks[] = {1, -2, 0, 1, 0, 0, -1, 0, 2, 1};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(w.add(deltas[i]), clicks[i]) << i;
}
