// What the injector sends, record by record, on the fake platform: key flags
// and scan codes, button flags and mouse data, wheel and absolute-move
// arithmetic, glides, drags and typing with its waits.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>

#include "input/InputInjector.h"
#include "input/KeyNames.h"
#include "input/UsTypingTable.h"
#include "platform/fake/FakePlatform.h"
#include "tests/input/RecordLines.h"
#include "tests/input/WaitTimeline.h"

using namespace platform;
using testing::ElementsAre;

namespace {

class InjectorTest : public testing::Test {
protected:
    static void SetUpTestSuite() { initKeyNames(); }

    FakePlatform fake;
    WaitTimeline timeline{fake};
    InputInjector injector{fake, timeline};

    std::vector<MouseInput> mouseRecords() const {
        std::vector<MouseInput> records;
        for (const InputRecord& r : fake.sentInputs())
            if (r.type == InputRecord::Mouse) records.push_back(r.mouse);
        return records;
    }
};

TEST_F(InjectorTest, KeyEventsByTraits) {
    injector.keyDown(0x41);  // A: scan code, plain
    injector.keyUp(0x25);    // Left: extended
    injector.keyDown(0x09);  // Tab: virtual key only
    injector.keyUp(0x09);
    injector.keyDown(256);   // keypad Enter: Return's scan code, extended
    injector.keyUp(256);
    injector.keyDown(0x0D);  // Return: the same scan code, not extended
    injector.keyDown(0x12);  // Alt is extended (the right-hand key) ...
    injector.keyDown(0xA4);  // ... LAlt is not
    injector.keyDown(0);
    injector.keyUp(0);
    EXPECT_THAT(fake.calls(),
                ElementsAre(key(0, 0x1E, 0x08), key(0, 0x4B, 0x0B), key(9, 0, 0x00),
                            key(9, 0, 0x02), key(0, 0x1C, 0x09), key(0, 0x1C, 0x0B),
                            key(0, 0x1C, 0x08), key(0, 0x38, 0x09), key(0, 0x38, 0x08),
                            key(0, 0, 0x08), key(0, 0, 0x0A)));
}

TEST_F(InjectorTest, ScanCodesComeFromThePlatformLayout) {
    fake.setScanCode(0x41, 0x10);  // a layout where the A key sits elsewhere
    fake.setScanCode(0x0D, 0x55);
    injector.keyDown(0x41);
    injector.keyDown(256);
    EXPECT_THAT(fake.calls(), ElementsAre(key(0, 0x10, 0x08), key(0, 0x55, 0x09)));
}

TEST_F(InjectorTest, CodesAboveTheVocabularyGoOutLikeCodeZero) {
    // Even if a platform mapped such a number, it names no key.
    fake.setScanCode(0x141, 0x1E);
    fake.setScanCode(0xFFFF, 0x1E);
    injector.keyDown(0x141);
    injector.keyUp(0x141);
    injector.keyDown(0xFFFF);
    EXPECT_THAT(fake.calls(), ElementsAre(key(0, 0, 0x08), key(0, 0, 0x0A), key(0, 0, 0x08)));
}

TEST_F(InjectorTest, ButtonsAndTheirMouseData) {
    for (uint16_t code : {1, 2, 4, 5, 6}) {
        injector.buttonDown(code);
        injector.buttonUp(code);
    }
    EXPECT_THAT(fake.calls(),
                ElementsAre(mouse(0, 0, 0, 0x02), mouse(0, 0, 0, 0x04), mouse(0, 0, 0, 0x08),
                            mouse(0, 0, 0, 0x10), mouse(0, 0, 0, 0x20), mouse(0, 0, 0, 0x40),
                            mouse(0, 0, 1, 0x80), mouse(0, 0, 1, 0x100), mouse(0, 0, 2, 0x80),
                            mouse(0, 0, 2, 0x100)));
}

TEST_F(InjectorTest, CodesThatAreNotButtonsSendNothing) {
    for (uint16_t code : {0, 3, 7, 0x41, 256, 0x101}) {
        injector.buttonDown(code);
        injector.buttonUp(code);
    }
    EXPECT_TRUE(fake.calls().empty());
}

TEST_F(InjectorTest, WheelIsNotchesTimes120InFloat) {
    for (double notches : {1.0, -2.0, 0.5, 0.004, -0.5, 2.9999999})
        injector.wheel(notches);
    EXPECT_THAT(fake.calls(),
                ElementsAre(mouse(0, 0, 120, 0x800), mouse(0, 0, -240, 0x800),
                            mouse(0, 0, 60, 0x800), mouse(0, 0, 0, 0x800),
                            mouse(0, 0, -60, 0x800),
                            // 2.9999999 is 3.0 as a float, so a whole 360
                            mouse(0, 0, 360, 0x800)));
}

TEST_F(InjectorTest, WheelSaturatesInsteadOfOverflowing) {
    injector.wheel(1e30);
    injector.wheel(-1e300);
    injector.wheel(std::numeric_limits<double>::quiet_NaN());
    EXPECT_THAT(fake.calls(), ElementsAre(mouse(0, 0, std::numeric_limits<int32_t>::max(), 0x800),
                                          mouse(0, 0, std::numeric_limits<int32_t>::min(), 0x800),
                                          mouse(0, 0, 0, 0x800)));
}

TEST_F(InjectorTest, AbsoluteMovesNormaliseOnTheDesktop) {
    injector.moveTo(0, 0);
    injector.moveTo(959, 539);
    injector.moveTo(1919, 1079);
    injector.moveTo(-1, -1);
    EXPECT_THAT(fake.calls(), ElementsAre(mouse(34, 60, 0, 0x8001), mouse(32767, 32767, 0, 0x8001),
                                          mouse(65535, 65535, 0, 0x8001), mouse(0, 0, 0, 0x8001)));
}

TEST_F(InjectorTest, AbsoluteMovesReadTheDesktopEachTime) {
    injector.moveTo(399, 299);
    fake.setDesktopSize(800, 600);  // a screen change after the injector was made
    injector.moveTo(399, 299);
    EXPECT_THAT(fake.calls(),
                ElementsAre(mouse(13653, 18204, 0, 0x8001), mouse(32767, 32767, 0, 0x8001)));
}

TEST_F(InjectorTest, FarOffCoordinatesClampInsteadOfOverflowing) {
    injector.moveTo(std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min());
    EXPECT_THAT(fake.calls(), ElementsAre(mouse(std::numeric_limits<int32_t>::max(),
                                                std::numeric_limits<int32_t>::min(), 0, 0x8001)));
}

TEST_F(InjectorTest, NoAbsoluteMoveWithoutADesktopSize) {
    fake.setDesktopSize(0, 1080);
    injector.moveTo(10, 10);
    fake.setDesktopSize(1920, 0);
    injector.moveTo(10, 10);
    injector.glideTo(10, 10, 0.0f);
    EXPECT_THAT(fake.calls(), ElementsAre("cursorPosition"));
    fake.setDesktopSize(1920, 1080);
    injector.moveTo(0, 0);
    EXPECT_EQ(fake.sentInputs().size(), 1u);
}

TEST_F(InjectorTest, RelativeMotionIsSentAsGiven) {
    injector.moveBy(5, -3);
    injector.moveBy(-100000, 0);
    EXPECT_THAT(fake.calls(), ElementsAre(mouse(5, -3, 0, 0x0001), mouse(-100000, 0, 0, 0x0001)));
}

TEST_F(InjectorTest, GlideWithoutDurationIsOneMove) {
    fake.setCursor({100, 100});
    injector.glideTo(1919, 1079, 0.0f);
    injector.glideTo(0, 0, -5.0f);
    injector.glideTo(0, 0, std::nanf(""));
    EXPECT_THAT(fake.calls(), ElementsAre("cursorPosition", mouse(65535, 65535, 0, 0x8001),
                                          "cursorPosition", mouse(34, 60, 0, 0x8001),
                                          "cursorPosition", mouse(34, 60, 0, 0x8001)));
}

TEST_F(InjectorTest, GlideStartsOnTheCursorAndEndsOnTheTarget) {
    fake.setCursor({0, 539});
    injector.glideTo(1919, 539, 40.0f);
    const std::vector<MouseInput> moves = mouseRecords();
    ASSERT_GE(moves.size(), 3u);  // start, at least one step between, target
    EXPECT_EQ(moves.front(), (MouseInput{34, 32767, 0, 0x8001}));
    EXPECT_EQ(moves.back(), (MouseInput{65535, 32767, 0, 0x8001}));
    for (std::size_t i = 1; i < moves.size(); ++i) {
        EXPECT_GE(moves[i].dx, moves[i - 1].dx) << "step " << i;
        EXPECT_EQ(moves[i].dy, 32767) << "step " << i;
    }
    EXPECT_GT(moves[moves.size() - 2].dx, moves.front().dx);
}

TEST_F(InjectorTest, GlideFromAFailedCursorQueryStartsAtTheOrigin) {
    fake.setCursor({500, 500});
    fake.setCursorFails(true);
    injector.glideTo(1919, 1079, 10.0f);
    const std::vector<MouseInput> moves = mouseRecords();
    ASSERT_GE(moves.size(), 2u);
    EXPECT_EQ(moves.front(), (MouseInput{34, 60, 0, 0x8001}));
    EXPECT_EQ(moves.back(), (MouseInput{65535, 65535, 0, 0x8001}));
}

TEST_F(InjectorTest, DragHoldsTheLeftButtonAroundTheGlide) {
    fake.setCursor({10, 10});
    injector.dragTo(1919, 1079, 0.0f);
    EXPECT_THAT(fake.calls(), ElementsAre(mouse(0, 0, 0, 0x02), "cursorPosition",
                                          mouse(65535, 65535, 0, 0x8001), mouse(0, 0, 0, 0x04)));
    fake.clearCalls();
    injector.dragTo(0, 0, 10.0f);
    const std::vector<MouseInput> records = mouseRecords();
    ASSERT_GE(records.size(), 4u);
    EXPECT_EQ(records.front(), (MouseInput{0, 0, 0, 0x02}));
    EXPECT_EQ(records[records.size() - 2], (MouseInput{34, 60, 0, 0x8001}));
    EXPECT_EQ(records.back(), (MouseInput{0, 0, 0, 0x04}));
}

TEST_F(InjectorTest, HitsWaitAfterEachKeyEvent) {
    injector.hitKey(0x41);
    injector.hitKeyWithModifier(0x41, 0x11);  // Control + A
    EXPECT_THAT(timeline.lines(),
                ElementsAre(key(0, 0x1E, 0x08), "wait 50", key(0, 0x1E, 0x0A), "wait 50",
                            key(0, 0x1D, 0x08), key(0, 0x1E, 0x08), "wait 50",
                            key(0, 0x1E, 0x0A), "wait 50", key(0, 0x1D, 0x0A)));
}

TEST_F(InjectorTest, WaitsOnlyForPositiveDurations) {
    for (double ms : {0.0, -1.0, std::nan(""), 0.5, 20.0}) injector.injectorWait(ms);
    EXPECT_THAT(timeline.lines(), ElementsAre("wait 0.5", "wait 20"));
}

TEST_F(InjectorTest, TypingCharactersByCase) {
    const std::vector<std::string> shiftedA = {key(0, 0x2A, 0x08), key(0, 0x1E, 0x08), "wait 50",
                                               key(0, 0x1E, 0x0A), "wait 50", key(0, 0x2A, 0x0A)};
    injector.typeChar('A');
    EXPECT_EQ(timeline.lines(), shiftedA);
    timeline.clear();

    injector.typeChar('a');
    EXPECT_THAT(timeline.lines(),
                ElementsAre(key(0, 0x1E, 0x08), "wait 50", key(0, 0x1E, 0x0A), "wait 50"));
    timeline.clear();

    injector.typeChar('\n');  // a line feed is Return
    injector.typeChar('\t');  // tab goes by virtual key
    EXPECT_THAT(timeline.lines(),
                ElementsAre(key(0, 0x1C, 0x08), "wait 50", key(0, 0x1C, 0x0A), "wait 50",
                            key(9, 0, 0x00), "wait 50", key(9, 0, 0x02), "wait 50"));
}

TEST_F(InjectorTest, BytesWithoutAKeyTypeNothingAndTakeNoTime) {
    for (char c : {'\r', '\0', '\x7F', '\x1F', static_cast<char>(0xC3), static_cast<char>(0xE9)})
        injector.typeChar(c);
    injector.typeString("\xC3\xA9");  // a UTF-8 "é" goes byte by byte
    EXPECT_TRUE(timeline.lines().empty());
}

TEST_F(InjectorTest, TypingHiBang) {
    injector.typeString("Hi!");
    EXPECT_THAT(timeline.lines(),
                ElementsAre(key(0, 0x2A, 0x08), key(0, 0x23, 0x08), "wait 50", key(0, 0x23, 0x0A),
                            "wait 50", key(0, 0x2A, 0x0A),  // H
                            key(0, 0x17, 0x08), "wait 50", key(0, 0x17, 0x0A), "wait 50",  // i
                            key(0, 0x2A, 0x08), key(0, 0x02, 0x08), "wait 50", key(0, 0x02, 0x0A),
                            "wait 50", key(0, 0x2A, 0x0A)));  // Shift + 1
}

TEST(UsTypingTable, EveryPrintableCharacterHasItsOwnKeyAndShift) {
    const std::string shiftedOnUs = "~!@#$%^&*()_+{}|:\"<>?ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::set<std::pair<uint16_t, bool>> seen;
    for (int c = 0x20; c <= 0x7E; ++c) {
        const TypedKey typed = usTypedKey(static_cast<unsigned char>(c));
        EXPECT_NE(typed.code, 0) << "character " << c;
        EXPECT_EQ(typed.shifted, shiftedOnUs.find(static_cast<char>(c)) != std::string::npos)
            << "character " << c;
        EXPECT_TRUE(seen.insert({typed.code, typed.shifted}).second)
            << "character " << c << " shares its key with another";
    }
    // Shifted and unshifted characters of one key share the key code.
    EXPECT_EQ(usTypedKey('[').code, usTypedKey('{').code);
    EXPECT_EQ(usTypedKey('`').code, usTypedKey('~').code);
    EXPECT_EQ(usTypedKey('\'').code, usTypedKey('"').code);
}

TEST_F(InjectorTest, CursorPositionFallsBackToTheOrigin) {
    fake.setCursor({123, -45});
    EXPECT_EQ(injector.cursorPosition(), (Point{123, -45}));
    fake.setCursorFails(true);
    EXPECT_EQ(injector.cursorPosition(), (Point{0, 0}));
}

}  // namespace
