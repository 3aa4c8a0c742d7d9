#include "KeyNames.h"

namespace {

enum Trait { None, Extended, VirtualKeyOnly };

struct KeyRow {
    int code;
    const char* name;
    Trait trait;
};

// Every named key except the digits and capital letters, which buildVocabulary
// adds by character code. Punctuation names are the unshifted US characters.
constexpr KeyRow KeyTable[] = {
    {0x01, "MouseLeft", None},
    {0x02, "MouseRight", None},
    {0x03, "Cancel", Extended},
    {0x04, "MouseMiddle", None},
    {0x05, "MouseX1", None},
    {0x06, "MouseX2", None},
    {0x08, "Backspace", None},
    {0x09, "Tab", VirtualKeyOnly},
    {0x0C, "Clear", VirtualKeyOnly},
    {0x0D, "Return", None},
    {0x10, "Shift", None},
    {0x11, "Control", None},
    {0x12, "Alt", Extended},
    {0x13, "Pause", VirtualKeyOnly},
    {0x14, "CapsLock", None},
    {0x15, "Kana", VirtualKeyOnly},
    {0x15, "Hanguel", VirtualKeyOnly},
    {0x15, "Hangul", VirtualKeyOnly},
    {0x17, "Junja", VirtualKeyOnly},
    {0x18, "Final", VirtualKeyOnly},
    {0x19, "Hanja", VirtualKeyOnly},
    {0x19, "Kanji", VirtualKeyOnly},
    {0x1B, "Escape", VirtualKeyOnly},
    {0x1C, "Convert", VirtualKeyOnly},
    {0x1D, "NonConvert", VirtualKeyOnly},
    {0x1E, "Accept", VirtualKeyOnly},
    {0x1F, "ModeChange", VirtualKeyOnly},
    {0x20, "Space", None},
    {0x21, "PgUp", Extended},
    {0x22, "PgDown", Extended},
    {0x23, "End", Extended},
    {0x24, "Home", Extended},
    {0x25, "Left", Extended},
    {0x26, "Up", Extended},
    {0x27, "Right", Extended},
    {0x28, "Down", Extended},
    {0x29, "Select", VirtualKeyOnly},
    {0x2A, "Print", VirtualKeyOnly},
    {0x2B, "Execute", VirtualKeyOnly},
    {0x2C, "SnapShot", None},
    {0x2D, "Insert", Extended},
    {0x2E, "Delete", Extended},
    {0x2F, "Help", None},
    {0x5B, "LWindow", Extended},
    {0x5C, "RWindow", Extended},
    {0x5D, "Apps", Extended},
    {0x5F, "Sleep", Extended},
    {0x60, "Num0", None},
    {0x61, "Num1", None},
    {0x62, "Num2", None},
    {0x63, "Num3", None},
    {0x64, "Num4", None},
    {0x65, "Num5", None},
    {0x66, "Num6", None},
    {0x67, "Num7", None},
    {0x68, "Num8", None},
    {0x69, "Num9", None},
    {0x6A, "Multiply", None},
    {0x6B, "Add", None},
    {0x6C, "Separator", VirtualKeyOnly},
    {0x6D, "Subtract", None},
    {0x6E, "Decimal", None},
    {0x6F, "Divide", Extended},
    {0x70, "F1", None},
    {0x71, "F2", None},
    {0x72, "F3", None},
    {0x73, "F4", None},
    {0x74, "F5", None},
    {0x75, "F6", None},
    {0x76, "F7", None},
    {0x77, "F8", None},
    {0x78, "F9", None},
    {0x79, "F10", None},
    {0x7A, "F11", None},
    {0x7B, "F12", None},
    {0x7C, "F13", None},
    {0x7D, "F14", None},
    {0x7E, "F15", None},
    {0x7F, "F16", None},
    {0x80, "F17", None},
    {0x81, "F18", None},
    {0x82, "F19", None},
    {0x83, "F20", None},
    {0x84, "F21", None},
    {0x85, "F22", None},
    {0x86, "F23", None},
    {0x87, "F24", None},
    {0x90, "NumLock", None},
    {0x91, "ScrollLock", None},
    {0xA0, "LShift", None},
    {0xA1, "RShift", None},
    {0xA2, "LControl", None},
    {0xA3, "RControl", Extended},
    {0xA4, "LAlt", None},
    {0xA5, "RAlt", Extended},
    {0xA6, "BrowserBack", Extended},
    {0xA7, "BrowserForward", Extended},
    {0xA8, "BrowserRefresh", Extended},
    {0xA9, "BrowserStop", Extended},
    {0xAA, "BrowserSearch", Extended},
    {0xAB, "BrowserFavorites", Extended},
    {0xAC, "BrowserHome", Extended},
    {0xAD, "VolumeMute", Extended},
    {0xAE, "VolumeDown", Extended},
    {0xAF, "VolumeUp", Extended},
    {0xB0, "MediaNext", Extended},
    {0xB1, "MediaPrevious", Extended},
    {0xB2, "MediaStop", Extended},
    {0xB3, "MediaPlayPause", Extended},
    {0xB4, "LaunchMail", Extended},
    {0xB5, "MediaSelect", Extended},
    {0xB6, "LaunchApp1", Extended},
    {0xB7, "LaunchApp2", Extended},
    {0xBA, ";", None},
    {0xBB, "=", None},
    {0xBC, ",", None},
    {0xBD, "-", None},
    {0xBE, ".", None},
    {0xBF, "/", None},
    {0xC0, "`", None},
    {0xDB, "[", None},
    {0xDC, "\\", None},
    {0xDD, "]", None},
    {0xDE, "'", None},
    {0xDF, "OEM8", VirtualKeyOnly},
    {0xE2, "OEM102", None},
    {0xE5, "Process", VirtualKeyOnly},
    {0xE7, "Packet", VirtualKeyOnly},
    {0xF6, "Attn", VirtualKeyOnly},
    {0xF7, "CrSel", VirtualKeyOnly},
    {0xF8, "ExSel", VirtualKeyOnly},
    {0xF9, "EraseEOF", None},
    {0xFA, "Play", VirtualKeyOnly},
    {0xFB, "Zoom", None},
    {0xFC, "NoName", VirtualKeyOnly},
    {0xFD, "PA1", VirtualKeyOnly},
    {0xFE, "OEMClear", VirtualKeyOnly},
    {KeypadEnterCode, "Enter", Extended},
};

KeyVocabulary buildVocabulary() {
    KeyVocabulary vocabulary;
    for (const KeyRow& row : KeyTable) vocabulary.codeByName.emplace(row.name, row.code);
    for (char c = '0'; c <= '9'; ++c) vocabulary.codeByName.emplace(std::string(1, c), c);
    for (char c = 'A'; c <= 'Z'; ++c) vocabulary.codeByName.emplace(std::string(1, c), c);

    // Walking in name order makes the first-sorting name of a code win.
    for (const auto& [name, code] : vocabulary.codeByName) vocabulary.nameByCode.emplace(code, name);

    for (const KeyRow& row : KeyTable) {
        if (row.trait == Extended) vocabulary.extended[row.code] = true;
        if (row.trait == VirtualKeyOnly) vocabulary.virtualKeyOnly[row.code] = true;
    }
    return vocabulary;
}

}  // namespace

const KeyVocabulary& keyVocabulary() {
    static const KeyVocabulary vocabulary = buildVocabulary();
    return vocabulary;
}

void initKeyNames() { keyVocabulary(); }

uint16_t keyCodeFromName(std::string name) {
    const std::map<std::string, int>& names = keyVocabulary().codeByName;
    const auto it = names.find(name);
    return it == names.end() ? 0 : static_cast<uint16_t>(it->second);
}

std::string keyNameFromCode(uint16_t code) {
    const std::map<int, std::string>& names = keyVocabulary().nameByCode;
    const auto it = names.find(code);
    return it == names.end() ? std::string() : it->second;
}
