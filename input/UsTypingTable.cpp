#include "UsTypingTable.h"

#include <array>

namespace {

struct TypedRow {
    char character;
    uint16_t code;
    bool shifted;
};

// Characters that are neither letters nor digits, as the US keyboard types them.
constexpr TypedRow UsSymbolRows[] = {
    {'\b', 0x08, false}, {'\t', 0x09, false}, {'\n', 0x0D, false}, {'\x1B', 0x1B, false},
    {' ', 0x20, false},  {'!', 0x31, true},   {'"', 0xDE, true},   {'#', 0x33, true},
    {'$', 0x34, true},   {'%', 0x35, true},   {'&', 0x37, true},   {'\'', 0xDE, false},
    {'(', 0x39, true},   {')', 0x30, true},   {'*', 0x38, true},   {'+', 0xBB, true},
    {',', 0xBC, false},  {'-', 0xBD, false},  {'.', 0xBE, false},  {'/', 0xBF, false},
    {':', 0xBA, true},   {';', 0xBA, false},  {'<', 0xBC, true},   {'=', 0xBB, false},
    {'>', 0xBE, true},   {'?', 0xBF, true},   {'@', 0x32, true},   {'[', 0xDB, false},
    {'\\', 0xDC, false}, {']', 0xDD, false},  {'^', 0x36, true},   {'_', 0xBD, true},
    {'`', 0xC0, false},  {'{', 0xDB, true},   {'|', 0xDC, true},   {'}', 0xDD, true},
    {'~', 0xC0, true},
};

constexpr std::array<TypedKey, 256> buildTable() {
    std::array<TypedKey, 256> table{};
    // A letter's key code is its capital's character code; capitals add Shift.
    for (int c = 'A'; c <= 'Z'; ++c) {
        table[c] = TypedKey{static_cast<uint16_t>(c), true};
        table[c - 'A' + 'a'] = TypedKey{static_cast<uint16_t>(c), false};
    }
    for (int c = '0'; c <= '9'; ++c) table[c] = TypedKey{static_cast<uint16_t>(c), false};
    for (const TypedRow& row : UsSymbolRows)
        table[static_cast<unsigned char>(row.character)] = TypedKey{row.code, row.shifted};
    return table;
}

constexpr std::array<TypedKey, 256> UsTypingTable = buildTable();

}  // namespace

TypedKey usTypedKey(unsigned char byte) { return UsTypingTable[byte]; }
