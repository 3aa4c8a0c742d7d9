// The backend's fixed tables: scan codes to evdev positions, the positions
// of the vocabulary's keys, and the pointer arithmetic. No X server needed.

#include <gtest/gtest.h>

#include <set>

#include "input/KeyNames.h"
#include "platform/InputRecords.h"
#include "platform/x11/PointerMath.h"
#include "platform/x11/ScanCodeEvdev.h"
#include "platform/x11/VirtualKeyPositions.h"

using namespace platform;

TEST(ScanCodeEvdev, PlainBlockIsIdentityExceptSysRq) {
    for (uint16_t s = 1; s <= 0x58; ++s)
        EXPECT_EQ(evdevOfScanCode({s, false}), s == 0x54 ? 99 : s) << std::hex << s;
}

TEST(ScanCodeEvdev, ExtendedKeysReachTheirOwnPositions) {
    const struct {
        uint16_t scan;
        uint16_t evdev;
    } rows[] = {{0x48, 103}, {0x1D, 97}, {0x1C, 96}, {0x35, 98}, {0x38, 100}, {0x47, 102},
                {0x53, 111}, {0x5B, 125}, {0x5C, 126}, {0x5D, 127}, {0x20, 113}, {0x6A, 158}};
    for (const auto& r : rows) EXPECT_EQ(evdevOfScanCode({r.scan, true}), r.evdev) << std::hex << r.scan;
    // The E0 prefix matters: the same byte without it is a keypad or main key.
    EXPECT_EQ(evdevOfScanCode({0x48, false}), 72);
    EXPECT_EQ(evdevOfScanCode({0x1C, false}), 28);
    EXPECT_EQ(evdevOfScanCode({0x00, false}), 0);
    EXPECT_EQ(evdevOfScanCode({0x200, false}), 0);
}

TEST(ScanCodeEvdev, EveryKeyMapsBackToTheScanCodeThatReachedIt) {
    for (bool extended : {false, true})
        for (uint16_t s = 1; s < 128; ++s) {
            const uint16_t evdev = evdevOfScanCode({s, extended});
            if (!evdev || (extended && s == 0x37)) continue;  // E0 37 is SysRq's second name
            const ScanCode back = scanCodeOfEvdev(evdev);
            EXPECT_EQ(back.code, s) << std::hex << s << " ext " << extended;
            EXPECT_EQ(back.extended, extended) << std::hex << s;
        }
}

class VocabularyPositions : public testing::Test {
protected:
    static void SetUpTestSuite() { initKeyNames(); }
};

// Each vocabulary key sent by scan code, as the injection primitives send
// it (scan code of the key's position plus the extended trait), presses
// the key it names.
TEST_F(VocabularyPositions, ScanCodeInjectionReachesTheNamedKey) {
    constexpr int Alt = 0x12;
    // Keys sent by scan code although the platform gives them none.
    const std::set<int> noScanCode = {0x2F /* Help */, 0xF9 /* EraseEOF */, 0xFB /* Zoom */};
    for (const auto& entry : keyVocabulary().codeByName) {
        const int code = entry.second;
        if (code <= 6 || keyVocabulary().virtualKeyOnly[code]) continue;  // buttons, keys sent by virtual key
        if (noScanCode.count(code)) {
            EXPECT_EQ(scanCodeOfEvdev(evdevOfVirtualKey(static_cast<uint32_t>(code))).code, 0) << entry.first;
            continue;
        }
        const int vk = code == KeypadEnterCode ? 0x0D : code;
        const uint16_t position = evdevOfVirtualKey(static_cast<uint32_t>(vk));
        ASSERT_NE(position, 0) << entry.first;
        const ScanCode scan{scanCodeOfEvdev(position).code, keyVocabulary().extended[code]};
        // The generic Alt is extended, so it goes out as the right Alt.
        const uint16_t expected = code == KeypadEnterCode ? 96 : code == Alt ? 100 : position;
        EXPECT_EQ(evdevOfScanCode(scan), expected) << entry.first;
    }
}

TEST_F(VocabularyPositions, HooksReportSidedModifiersAndKeypadByNumLock) {
    EXPECT_EQ(virtualKeyOfEvdev(42, true), 0xA0u);
    EXPECT_EQ(virtualKeyOfEvdev(54, true), 0xA1u);
    EXPECT_EQ(virtualKeyOfEvdev(29, true), 0xA2u);
    EXPECT_EQ(virtualKeyOfEvdev(97, true), 0xA3u);
    EXPECT_EQ(virtualKeyOfEvdev(56, true), 0xA4u);
    EXPECT_EQ(virtualKeyOfEvdev(100, true), 0xA5u);
    EXPECT_EQ(virtualKeyOfEvdev(96, false), 0x0Du);  // keypad Enter
    EXPECT_EQ(virtualKeyOfEvdev(71, true), 0x67u);   // Num7
    EXPECT_EQ(virtualKeyOfEvdev(71, false), 0x24u);  // Home
    EXPECT_EQ(virtualKeyOfEvdev(76, false), 0x0Cu);  // Clear
    EXPECT_EQ(virtualKeyOfEvdev(83, false), 0x2Eu);  // Delete
    EXPECT_EQ(virtualKeyOfEvdev(98, false), 0x6Fu);  // Divide ignores NumLock
    EXPECT_EQ(virtualKeyOfEvdev(102, false), 0x24u);
    EXPECT_EQ(virtualKeyOfEvdev(0, true), 0u);
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

TEST(PointerMath, EveryAbsoluteCoordinateOfTheMoveRuleLandsOnItsPixel) {
    for (int size : {1920, 1080, 1366, 768, 800, 3840, 2160, 1}) {
        for (int x = 0; x < size; ++x) {
            const int value = ((x + 1) * AbsoluteRange) / size;
            ASSERT_EQ(pixelOfAbsolute(value, size), x) << "size " << size;
        }
    }
}

TEST(PointerMath, OutOfRangeCoordinatesStayOnTheScreen) {
    EXPECT_EQ(pixelOfAbsolute(-5000, 1920), 0);
    EXPECT_EQ(pixelOfAbsolute(70000, 1920), 1919);
    EXPECT_EQ(pixelOfAbsolute(1000, 0), 0);
}

TEST(WheelAccumulator, WholeNotchesClickAndFractionsCarryUntilTheDirectionTurns) {
    WheelAccumulator w;
    EXPECT_EQ(w.add(120), 1);
    EXPECT_EQ(w.add(-240), -2);
    EXPECT_EQ(w.add(60), 0);
    EXPECT_EQ(w.add(60), 1);
    EXPECT_EQ(w.add(90), 0);
    EXPECT_EQ(w.add(-60), 0);  // direction turned: the 90 is dropped
    EXPECT_EQ(w.add(-60), -1);
    EXPECT_EQ(w.add(0), 0);
    EXPECT_EQ(w.add(300), 2);
    EXPECT_EQ(w.add(60), 1);  // 60 carried + 60
}
