// The key vocabulary: names and codes map both ways, the traits the injector
// sends by, and names that must match byte for byte.

#include <gtest/gtest.h>

#include <string>

#include "input/KeyNames.h"

namespace {

class KeyNamesTest : public testing::Test {
protected:
    static void SetUpTestSuite() { initKeyNames(); }
};

TEST_F(KeyNamesTest, NamesAndCodesMapBothWaysWithTheirTraits) {
    EXPECT_EQ(keyVocabulary().codeByName.size(), 174u);
    EXPECT_EQ(keyVocabulary().nameByCode.size(), 171u);
    for (const auto& [name, code] : keyVocabulary().codeByName) {
        EXPECT_EQ(keyCodeFromName(name), code) << name;
        // A code with several names gives back the first-sorting one.
        EXPECT_LE(keyNameFromCode(code), name);
        EXPECT_EQ(keyCodeFromName(keyNameFromCode(code)), code) << name;
    }
    int extended = 0, virtualKeyOnly = 0;
    for (int code = 0; code < KeyTraitCount; ++code) {
        extended += keyVocabulary().extended[code];
        virtualKeyOnly += keyVocabulary().virtualKeyOnly[code];
    }
    EXPECT_EQ(extended, 38);
    EXPECT_EQ(virtualKeyOnly, 26);
    // Both ends of the table's runs, and every trait.
    const struct {
        int code;
        const char* name;
        char trait;  // 'E'xtended, 'V'irtual key only
    } rows[] = {{0x01, "MouseLeft", ' '},  {0x06, "MouseX2", ' '},    {0x03, "Cancel", 'E'},
                {0x09, "Tab", 'V'},        {0x0D, "Return", ' '},     {0x12, "Alt", 'E'},
                {0x15, "Hanguel", 'V'},    {0x19, "Hanja", 'V'},      {0x1B, "Escape", 'V'},
                {0x21, "PgUp", 'E'},       {0x28, "Down", 'E'},       {0x2C, "SnapShot", ' '},
                {0x2E, "Delete", 'E'},     {0x30, "0", ' '},          {0x39, "9", ' '},
                {0x41, "A", ' '},          {0x5A, "Z", ' '},          {0x5D, "Apps", 'E'},
                {0x60, "Num0", ' '},       {0x6C, "Separator", 'V'},  {0x6F, "Divide", 'E'},
                {0x87, "F24", ' '},        {0x91, "ScrollLock", ' '}, {0xA3, "RControl", 'E'},
                {0xA4, "LAlt", ' '},       {0xB7, "LaunchApp2", 'E'}, {0xBA, ";", ' '},
                {0xC0, "`", ' '},          {0xDE, "'", ' '},          {0xE2, "OEM102", ' '},
                {0xFE, "OEMClear", 'V'},   {0x100, "Enter", 'E'}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(keyNameFromCode(row.code), row.name);
        EXPECT_EQ(keyCodeFromName(row.name), row.code);
        EXPECT_EQ(keyVocabulary().extended[row.code], row.trait == 'E');
        EXPECT_EQ(keyVocabulary().virtualKeyOnly[row.code], row.trait == 'V');
    }
    for (int code : {0, 0x07, 0x3A, 0x88, 0xFF, 0x101, 0xFFFF}) EXPECT_EQ(keyNameFromCode(code), "") << code;
}

TEST_F(KeyNamesTest, EveryNameOfACodeIsAnsweredAndNamesMatchExactly) {
    for (const char* alias : {"Kana", "Hangul", "Hanguel"}) EXPECT_EQ(keyCodeFromName(alias), 0x15) << alias;
    for (const char* alias : {"Kanji", "Hanja"}) EXPECT_EQ(keyCodeFromName(alias), 0x19) << alias;
    for (const std::string& name : {std::string("a"), std::string(), std::string(" A"), std::string("A "),
                                    std::string("escape"), std::string("ESCAPE"), std::string("A\0", 2),
                                    std::string("!"), std::string("F25"), std::string("NotAKey")})
        EXPECT_EQ(keyCodeFromName(name), 0) << name;
    // Lookups never insert.
    EXPECT_EQ(keyVocabulary().codeByName.size(), 174u);
    EXPECT_EQ(keyVocabulary().nameByCode.size(), 171u);
}

}  // namespace
