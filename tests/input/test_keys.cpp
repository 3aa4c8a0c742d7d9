// The key vocabulary (names and codes both ways, the traits the injector
// sends by, names matched byte for byte) and what each key sequence of the
// hotkey edits registers and shows.

#include <gtest/gtest.h>

#include <QKeySequence>
#include <string>
#include <tuple>

#include "input/HotkeyBinding.h"
#include "input/KeyNames.h"
#include "platform/InputRecords.h"
#include "tests/support/QtPrinters.h"

using namespace platform;

namespace {

// Every name has its code and each code gives back its first sorting name;
// spot checks of codes and traits across the table.
TEST(KeyNames, NamesCodesAndTraitsMatchBothWays) {
    const KeyVocabulary& v = keyVocabulary();
    EXPECT_EQ(v.codeByName.size(), 174u);
    EXPECT_EQ(v.nameByCode.size(), 171u);
    for (const auto& [name, code] : v.codeByName) {
        EXPECT_EQ(keyCodeFromName(name), code) << name;
        EXPECT_LE(keyNameFromCode(code), name);
        EXPECT_EQ(keyCodeFromName(keyNameFromCode(code)), code) << name;
    }
    for (const char* alias : {"Kana", "Hangul"}) EXPECT_EQ(keyCodeFromName(alias), 0x15) << alias;
    EXPECT_EQ(keyNameFromCode(0x15), "Hanguel");
    for (int code : {0, 0x07, 0x3A, 0xFF, 0x101}) EXPECT_EQ(keyNameFromCode(code), "") << code;
    for (const std::string& name : {std::string("a"), std::string(" A"), std::string("escape"),
                                    std::string("A\0", 2), std::string("F25")})
        EXPECT_EQ(keyCodeFromName(name), 0) << name;

    int extended = 0, virtualKeyOnly = 0;
    for (int code = 0; code < KeyTraitCount; ++code) {
        extended += v.extended[code];
        virtualKeyOnly += v.virtualKeyOnly[code];
    }
    EXPECT_EQ(extended, 38);
    EXPECT_EQ(virtualKeyOnly, 26);
    const struct {
        int code;
        const char* name;
        char trait;  // 'E'xtended, 'V'irtual key only
    } rows[] = {{0x01, "MouseLeft", ' '}, {0x03, "Cancel", 'E'}, {0x09, "Tab", 'V'},    {0x0D, "Return", ' '},
                {0x30, "0", ' '},         {0x39, "9", ' '},      {0x41, "A", ' '},      {0x5A, "Z", ' '},
                {0x6F, "Divide", 'E'},    {0xA4, "LAlt", ' '},   {0xA5, "RAlt", 'E'},   {0xDC, "\\", ' '},
                {0xFE, "OEMClear", 'V'},  {0x100, "Enter", 'E'}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(keyNameFromCode(row.code), row.name);
        EXPECT_EQ(keyCodeFromName(row.name), row.code);
        EXPECT_EQ(v.extended[row.code], row.trait == 'E');
        EXPECT_EQ(v.virtualKeyOnly[row.code], row.trait == 'V');
    }
}

TEST(HotkeyBinding, ASequenceRegistersItsLastChordShowsWhatWasRegisteredAndSettlesWhenShownBack) {
    const struct {
        const char* sequence;
        bool registers;
        uint32_t modifiers;
        uint32_t virtualKey;
        const char* shown;
    } cases[] = {
        // The window's edits cover the last chord, Shift with punctuation, Shift dropped at the comma and an
        // unknown key.
        {"F4", true, ModNoRepeat, 0x73, "F4"}, {"Esc", false, 0, 0, ""}, {"Ctrl+Alt+", false, 0, 0, ""},
        {"Ctrl+Alt+Shift+Meta+Z", true, ModNoRepeat | ModControl | ModAlt | ModShift | ModWin, 'Z',
         "Meta+Ctrl+Alt+Shift+Z"},
        // A shifted punctuation character is its unshifted key with Shift.
        {"~", true, ModNoRepeat | ModShift, 0xC0, "~"}, {"Ctrl+?", true, ModNoRepeat | ModControl | ModShift, 0xBF, "Ctrl+?"},
        // Comma and plus end the portable text in ways of their own; Shift is dropped at the comma.
        {",", true, ModNoRepeat, 0xBC, ","}, {"+", true, ModNoRepeat | ModShift, 0xBB, "+"}, {"", false, 0, 0, ""},
        {"Ctrl+Shift++", true, ModNoRepeat | ModControl | ModShift, 0xBB, "Ctrl++"},
    };
    initKeyNames();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sequence);
        const HotkeyBinding b = bindHotkey(QKeySequence::fromString(c.sequence, QKeySequence::PortableText));
        EXPECT_EQ(b.registers, c.registers);
        EXPECT_EQ(b.modifiers, c.modifiers);
        EXPECT_EQ(b.virtualKey, c.virtualKey);
        EXPECT_EQ(b.shown.toString(QKeySequence::PortableText), QString::fromLatin1(c.shown));
        // The edit signals again with what it was given.
        const HotkeyBinding again = bindHotkey(b.shown);
        EXPECT_EQ(std::tie(again.registers, again.modifiers, again.virtualKey, again.shown),
                  std::tie(b.registers, b.modifiers, b.virtualKey, b.shown));
    }
}

}  // namespace
