// The key vocabulary, checked against the table as ranges of codes with
// their names and traits, written independently of the code's row list.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "input/KeyNames.h"

namespace {

struct Range {
    int first;
    std::vector<std::string> names;  // one per code from `first` upward
    char trait;                      // 'E', 'V' or ' '
};

const std::vector<Range>& expectedRanges() {
    static const std::vector<Range> ranges = {
        {0x01, {"MouseLeft", "MouseRight"}, ' '},
        {0x03, {"Cancel"}, 'E'},
        {0x04, {"MouseMiddle", "MouseX1", "MouseX2"}, ' '},
        {0x08, {"Backspace"}, ' '},
        {0x09, {"Tab"}, 'V'},
        {0x0C, {"Clear"}, 'V'},
        {0x0D, {"Return"}, ' '},
        {0x10, {"Shift", "Control"}, ' '},
        {0x12, {"Alt"}, 'E'},
        {0x13, {"Pause"}, 'V'},
        {0x14, {"CapsLock"}, ' '},
        {0x15, {"Hanguel"}, 'V'},
        {0x17, {"Junja", "Final", "Hanja"}, 'V'},
        {0x1B, {"Escape", "Convert", "NonConvert", "Accept", "ModeChange"}, 'V'},
        {0x20, {"Space"}, ' '},
        {0x21, {"PgUp", "PgDown", "End", "Home", "Left", "Up", "Right", "Down"}, 'E'},
        {0x29, {"Select", "Print", "Execute"}, 'V'},
        {0x2C, {"SnapShot"}, ' '},
        {0x2D, {"Insert", "Delete"}, 'E'},
        {0x2F, {"Help"}, ' '},
        {0x30, {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}, ' '},
        {0x41, {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
                "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z"}, ' '},
        {0x5B, {"LWindow", "RWindow", "Apps"}, 'E'},
        {0x5F, {"Sleep"}, 'E'},
        {0x60, {"Num0", "Num1", "Num2", "Num3", "Num4", "Num5", "Num6", "Num7", "Num8", "Num9",
                "Multiply", "Add"}, ' '},
        {0x6C, {"Separator"}, 'V'},
        {0x6D, {"Subtract", "Decimal"}, ' '},
        {0x6F, {"Divide"}, 'E'},
        {0x70, {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12",
                "F13", "F14", "F15", "F16", "F17", "F18", "F19", "F20", "F21", "F22", "F23",
                "F24"}, ' '},
        {0x90, {"NumLock", "ScrollLock", }, ' '},
        {0xA0, {"LShift", "RShift", "LControl"}, ' '},
        {0xA3, {"RControl"}, 'E'},
        {0xA4, {"LAlt"}, ' '},
        {0xA5, {"RAlt", "BrowserBack", "BrowserForward", "BrowserRefresh", "BrowserStop",
                "BrowserSearch", "BrowserFavorites", "BrowserHome", "VolumeMute",
                "VolumeDown", "VolumeUp", "MediaNext", "MediaPrevious", "MediaStop",
                "MediaPlayPause", "LaunchMail", "MediaSelect", "LaunchApp1", "LaunchApp2"}, 'E'},
        {0xBA, {";", "=", ",", "-", ".", "/", "`"}, ' '},
        {0xDB, {"[", "\\", "]", "'"}, ' '},
        {0xDF, {"OEM8"}, 'V'},
        {0xE2, {"OEM102"}, ' '},
        {0xE5, {"Process"}, 'V'},
        {0xE7, {"Packet"}, 'V'},
        {0xF6, {"Attn", "CrSel", "ExSel"}, 'V'},
        {0xF9, {"EraseEOF"}, ' '},
        {0xFA, {"Play"}, 'V'},
        {0xFB, {"Zoom"}, ' '},
        {0xFC, {"NoName", "PA1", "OEMClear"}, 'V'},
        {0x100, {"Enter"}, 'E'},
    };
    return ranges;
}

class KeyNamesTest : public testing::Test {
protected:
    static void SetUpTestSuite() { initKeyNames(); }
};

TEST_F(KeyNamesTest, MapsHoldTheDocumentedCounts) {
    EXPECT_EQ(keyVocabulary().codeByName.size(), 174u);
    EXPECT_EQ(keyVocabulary().nameByCode.size(), 171u);
}

TEST_F(KeyNamesTest, EveryCodeHasItsNameAndTraits) {
    std::set<int> named;
    for (const Range& range : expectedRanges()) {
        for (size_t i = 0; i < range.names.size(); ++i) {
            const int code = range.first + static_cast<int>(i);
            const std::string& name = range.names[i];
            named.insert(code);
            SCOPED_TRACE("code " + std::to_string(code) + " " + name);
            EXPECT_EQ(keyNameFromCode(code), name);
            EXPECT_EQ(keyCodeFromName(name), code);
            EXPECT_EQ(keyVocabulary().extended[code], range.trait == 'E');
            EXPECT_EQ(keyVocabulary().virtualKeyOnly[code], range.trait == 'V');
        }
    }
    EXPECT_EQ(named.size(), 171u);
    // Every other code has no name and no trait.
    for (int code = 0; code < 0x10000; ++code) {
        if (named.count(code)) continue;
        SCOPED_TRACE("code " + std::to_string(code));
        EXPECT_EQ(keyNameFromCode(code), "");
        if (code < KeyTraitCount) {
            EXPECT_FALSE(keyVocabulary().extended[code]);
            EXPECT_FALSE(keyVocabulary().virtualKeyOnly[code]);
        }
    }
}

TEST_F(KeyNamesTest, CodesWithSeveralNamesAnswerEveryNameAndGiveBackTheFirstSorting) {
    EXPECT_EQ(keyCodeFromName("Kana"), 0x15);
    EXPECT_EQ(keyCodeFromName("Hangul"), 0x15);
    EXPECT_EQ(keyCodeFromName("Hanguel"), 0x15);
    EXPECT_EQ(keyNameFromCode(0x15), "Hanguel");
    EXPECT_EQ(keyCodeFromName("Kanji"), 0x19);
    EXPECT_EQ(keyCodeFromName("Hanja"), 0x19);
    EXPECT_EQ(keyNameFromCode(0x19), "Hanja");
}

TEST_F(KeyNamesTest, NamesMatchExactlyByteForByte) {
    EXPECT_EQ(keyCodeFromName("a"), 0);
    EXPECT_EQ(keyCodeFromName(""), 0);
    EXPECT_EQ(keyCodeFromName(" A"), 0);
    EXPECT_EQ(keyCodeFromName("A "), 0);
    EXPECT_EQ(keyCodeFromName("escape"), 0);
    EXPECT_EQ(keyCodeFromName("ESCAPE"), 0);
    EXPECT_EQ(keyCodeFromName(std::string("A\0", 2)), 0);
    EXPECT_EQ(keyCodeFromName("Enter"), 256);
    EXPECT_EQ(keyCodeFromName("Return"), 13);
    EXPECT_EQ(keyCodeFromName("!"), 0);  // no shifted punctuation
    EXPECT_EQ(keyCodeFromName("F25"), 0);
}

TEST_F(KeyNamesTest, LookupsNeverInsert) {
    keyCodeFromName("NotAKey");
    keyNameFromCode(0x3A);
    keyNameFromCode(0xFFFF);
    EXPECT_EQ(keyVocabulary().codeByName.size(), 174u);
    EXPECT_EQ(keyVocabulary().nameByCode.size(), 171u);
}

TEST_F(KeyNamesTest, FillingTwiceGivesTheSameTables) {
    initKeyNames();
    EXPECT_EQ(keyVocabulary().codeByName.size(), 174u);
    EXPECT_EQ(keyVocabulary().nameByCode.size(), 171u);
    EXPECT_TRUE(keyVocabulary().extended[0x12]);
    EXPECT_FALSE(keyVocabulary().extended[0xA4]);
}

}  // namespace
