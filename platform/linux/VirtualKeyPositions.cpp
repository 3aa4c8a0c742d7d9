#include "VirtualKeyPositions.h"

#include <array>

namespace platform {

namespace {

struct Row {
    uint8_t virtualKey;
    uint16_t evdev;
};

// Where a position is listed twice, the first row is what a hook reports
// (LShift before Shift); later rows only add injection targets.
constexpr Row PositionRows[] = {
    {0x08, 14},  {0x09, 15},  {0x0D, 28},  {0x13, 119}, {0x14, 58},  {0x1B, 1},
    {0x20, 57},  {0x21, 104}, {0x22, 109}, {0x23, 107}, {0x24, 102}, {0x25, 105},
    {0x26, 103}, {0x27, 106}, {0x28, 108}, {0x2C, 99},  {0x2D, 110}, {0x2E, 111},
    {0x0D, 96},  {0x2F, 138}, {0x03, 223}, {0x2A, 210}, {0x5B, 125}, {0x5C, 126}, {0x5D, 127},
    {0x5F, 142},
    {0x60, 82},  {0x61, 79},  {0x62, 80},  {0x63, 81},  {0x64, 75},  {0x65, 76},
    {0x66, 77},  {0x67, 71},  {0x68, 72},  {0x69, 73},  {0x6A, 55},  {0x6B, 78},
    {0x6C, 121}, {0x6D, 74},  {0x6E, 83},  {0x6F, 98},  {0x0C, 76},
    {0x70, 59},  {0x71, 60},  {0x72, 61},  {0x73, 62},  {0x74, 63},  {0x75, 64},
    {0x76, 65},  {0x77, 66},  {0x78, 67},  {0x79, 68},  {0x7A, 87},  {0x7B, 88},
    {0x7C, 183}, {0x7D, 184}, {0x7E, 185}, {0x7F, 186}, {0x80, 187}, {0x81, 188},
    {0x82, 189}, {0x83, 190}, {0x84, 191}, {0x85, 192}, {0x86, 193}, {0x87, 194},
    {0x90, 69},  {0x91, 70},
    {0xA0, 42},  {0xA1, 54},  {0xA2, 29},  {0xA3, 97},  {0xA4, 56},  {0xA5, 100},
    {0x10, 42},  {0x11, 29},  {0x12, 56},
    {0xA6, 158}, {0xA7, 159}, {0xA8, 173}, {0xA9, 128}, {0xAA, 217}, {0xAB, 156},
    {0xAC, 172}, {0xAD, 113}, {0xAE, 114}, {0xAF, 115}, {0xB0, 163}, {0xB1, 165},
    {0xB2, 166}, {0xB3, 164}, {0xB4, 155}, {0xB5, 226}, {0xB6, 157}, {0xB7, 140},
    {0x15, 122}, {0x19, 123}, {0x1C, 92},  {0x1D, 94},  {0xFA, 207},
    {0xE2, 86},
    // Layout-dependent keys at their US positions, the fallback when the
    // active layout has no key for the character.
    {0x30, 11},  {0x31, 2},   {0x32, 3},   {0x33, 4},   {0x34, 5},   {0x35, 6},
    {0x36, 7},   {0x37, 8},   {0x38, 9},   {0x39, 10},
    {'A', 30},   {'B', 48},   {'C', 46},   {'D', 32},   {'E', 18},   {'F', 33},
    {'G', 34},   {'H', 35},   {'I', 23},   {'J', 36},   {'K', 37},   {'L', 38},
    {'M', 50},   {'N', 49},   {'O', 24},   {'P', 25},   {'Q', 16},   {'R', 19},
    {'S', 31},   {'T', 20},   {'U', 22},   {'V', 47},   {'W', 17},   {'X', 45},
    {'Y', 21},   {'Z', 44},
    {0xBA, 39},  {0xBB, 13},  {0xBC, 51},  {0xBD, 12},  {0xBE, 52},  {0xBF, 53},
    {0xC0, 41},  {0xDB, 26},  {0xDC, 43},  {0xDD, 27},  {0xDE, 40},
};

// With NumLock off the keypad keys report their navigation meaning.
constexpr Row NumLockOffRows[] = {
    {0x2D, 82}, {0x23, 79}, {0x28, 80}, {0x22, 81}, {0x25, 75}, {0x0C, 76},
    {0x27, 77}, {0x24, 71}, {0x26, 72}, {0x21, 73}, {0x2E, 83},
};

struct CharRow {
    uint8_t virtualKey;
    char character;
};

constexpr CharRow PunctuationRows[] = {
    {0xBA, ';'}, {0xBB, '='}, {0xBC, ','}, {0xBD, '-'}, {0xBE, '.'}, {0xBF, '/'},
    {0xC0, '`'}, {0xDB, '['}, {0xDC, '\\'}, {0xDD, ']'}, {0xDE, '\''},
};

constexpr int EvdevLimit = 256;
constexpr int VirtualKeyLimit = 256;

struct Tables {
    std::array<uint16_t, VirtualKeyLimit> evdevOf{};
    std::array<uint8_t, EvdevLimit> virtualKeyOf{};
    std::array<uint8_t, EvdevLimit> numLockOffVirtualKeyOf{};
};

constexpr Tables buildTables() {
    Tables t;
    for (const Row& r : PositionRows) {
        if (!r.evdev) continue;
        if (!t.evdevOf[r.virtualKey]) t.evdevOf[r.virtualKey] = r.evdev;
        if (!t.virtualKeyOf[r.evdev]) t.virtualKeyOf[r.evdev] = r.virtualKey;
    }
    for (const Row& r : NumLockOffRows) t.numLockOffVirtualKeyOf[r.evdev] = r.virtualKey;
    return t;
}

constexpr Tables PositionTables = buildTables();

}  // namespace

uint16_t evdevOfVirtualKey(uint32_t virtualKey) {
    return virtualKey < VirtualKeyLimit ? PositionTables.evdevOf[virtualKey] : 0;
}

uint32_t virtualKeyOfEvdev(uint16_t evdev, bool numLockOn) {
    if (evdev >= EvdevLimit) return 0;
    if (!numLockOn && PositionTables.numLockOffVirtualKeyOf[evdev])
        return PositionTables.numLockOffVirtualKeyOf[evdev];
    return PositionTables.virtualKeyOf[evdev];
}

uint32_t virtualKeyOfCharacter(unsigned character) {
    if (character >= 'a' && character <= 'z') return character - 'a' + 'A';
    if (character >= '0' && character <= '9') return character;
    for (const CharRow& r : PunctuationRows)
        if (static_cast<unsigned char>(r.character) == character) return r.virtualKey;
    return 0;
}

}  // namespace platform
