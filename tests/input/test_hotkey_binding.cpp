// What each key sequence of the hotkey edits registers, and what the edit
// shows afterwards.

#include <gtest/gtest.h>

#include <QKeySequence>

#include "input/HotkeyBinding.h"
#include "tests/support/QtPrinters.h"
#include "input/KeyNames.h"
#include "platform/InputRecords.h"

using namespace platform;

namespace {

class HotkeyBindingTest : public testing::Test {
protected:
    static void SetUpTestSuite() { initKeyNames(); }

    static QKeySequence seq(const char* portable) {
        return QKeySequence::fromString(QString::fromLatin1(portable), QKeySequence::PortableText);
    }
    static QString shown(const HotkeyBinding& b) {
        return b.shown.toString(QKeySequence::PortableText);
    }
};

struct Case {
    const char* sequence;
    bool registers;
    uint32_t modifiers;
    uint32_t virtualKey;
    const char* shown;
};

TEST_F(HotkeyBindingTest, SequencesRegisterTheirLastChordAndShowWhatWasRegistered) {
    const Case cases[] = {
        {"F4", true, ModNoRepeat, 0x73, "F4"},
        {"Ctrl+A, Shift+B", true, ModNoRepeat | ModShift, 'B', "Shift+B"},
        {"Shift+!", true, ModNoRepeat | ModShift, '1', "Shift+!"},
        {"Ctrl+Alt+Shift+Meta+Z", true, ModNoRepeat | ModControl | ModAlt | ModShift | ModWin,
         'Z', "Meta+Ctrl+Alt+Shift+Z"},
        {"Ctrl+?", true, ModNoRepeat | ModControl | ModShift, 0xBF, "Ctrl+?"},
        {"\"", true, ModNoRepeat | ModShift, 0xDE, "\""},
        {"|", true, ModNoRepeat | ModShift, 0xDC, "|"},
        {"~", true, ModNoRepeat | ModShift, 0xC0, "~"},
        {",", true, ModNoRepeat, 0xBC, ","},
        {"Ctrl+,", true, ModNoRepeat | ModControl, 0xBC, "Ctrl+,"},
        {"Ctrl+Shift+,", true, ModNoRepeat | ModControl, 0xBC, "Ctrl+,"},
        {"+", true, ModNoRepeat | ModShift, 0xBB, "+"},
        {"Alt++", true, ModNoRepeat | ModAlt | ModShift, 0xBB, "Alt++"},
        {"Ctrl+Shift++", true, ModNoRepeat | ModControl | ModShift, 0xBB, "Ctrl++"},
        {"Return", true, ModNoRepeat, 0x0D, "Return"},
        {"Space", true, ModNoRepeat, 0x20, "Space"},
        {"F12", false, 0, 0, ""},
        {"Ctrl+F12", false, 0, 0, ""},
        {"Esc", false, 0, 0, ""},
        {"Ins", false, 0, 0, ""},
        {"Del", false, 0, 0, ""},
        {"Ctrl+Alt+", false, 0, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sequence);
        const HotkeyBinding b = bindHotkey(seq(c.sequence));
        EXPECT_EQ(b.registers, c.registers);
        if (c.registers) {
            EXPECT_EQ(b.modifiers, c.modifiers);
            EXPECT_EQ(b.virtualKey, c.virtualKey);
        }
        EXPECT_EQ(shown(b), QString::fromLatin1(c.shown));
    }
}

TEST_F(HotkeyBindingTest, AnEmptySequenceRegistersNothingAndStaysEmpty) {
    const HotkeyBinding b = bindHotkey(QKeySequence());
    EXPECT_FALSE(b.registers);
    EXPECT_TRUE(b.shown.isEmpty());
}

TEST_F(HotkeyBindingTest, WritingTheShownSequenceBackGivesTheSameBinding) {
    // The edit signals again with what it was given; that must settle.
    for (const char* s : {"Ctrl+A, Shift+B", "Ctrl+Shift+,", "Ctrl+Shift++", "Shift+!", "F4"}) {
        SCOPED_TRACE(s);
        const HotkeyBinding first = bindHotkey(seq(s));
        const HotkeyBinding second = bindHotkey(first.shown);
        EXPECT_EQ(second.registers, first.registers);
        EXPECT_EQ(second.modifiers, first.modifiers);
        EXPECT_EQ(second.virtualKey, first.virtualKey);
        EXPECT_EQ(second.shown, first.shown);
    }
}

}  // namespace
