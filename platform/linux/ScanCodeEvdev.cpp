#include "ScanCodeEvdev.h"

#include <array>

namespace platform {

namespace {

// The plain block 0x01..0x58 is numbered alike in both systems, except
// SysRq/Print Screen; below are the keys where they part.
constexpr uint16_t PlainIdentityLast = 0x58;
constexpr uint16_t PlainSysRq = 0x54;
constexpr uint16_t EvdevSysRq = 99;

struct Row {
    uint8_t scan;
    uint16_t evdev;
};

// Plain codes above the identity block (Windows numbering of F13..F24 and
// the Japanese/Brazilian keys).
constexpr Row PlainRows[] = {
    {0x59, 117}, {0x64, 183}, {0x65, 184}, {0x66, 185}, {0x67, 186},
    {0x68, 187}, {0x69, 188}, {0x6A, 189}, {0x6B, 190}, {0x6C, 191}, {0x6D, 192},
    {0x6E, 193}, {0x70, 93},  {0x73, 89},  {0x76, 194}, {0x79, 92},  {0x7B, 94},
    {0x7D, 124}, {0x7E, 121},
};

// E0-prefixed keys: right-hand modifiers, keypad Enter and Divide, the
// navigation block, Windows keys and the media and browser keys.
constexpr Row ExtendedRows[] = {
    {0x1C, 96},  {0x1D, 97},  {0x35, 98},  {0x37, 99},  {0x38, 100}, {0x46, 223},
    {0x47, 102}, {0x48, 103}, {0x49, 104}, {0x4B, 105}, {0x4D, 106}, {0x4F, 107},
    {0x50, 108}, {0x51, 109}, {0x52, 110}, {0x53, 111}, {0x5B, 125}, {0x5C, 126},
    {0x5D, 127}, {0x5E, 116}, {0x5F, 142}, {0x63, 143},
    // media
    {0x20, 113}, {0x2E, 114}, {0x30, 115}, {0x19, 163}, {0x10, 165}, {0x24, 166},
    {0x22, 164}, {0x6D, 226},
    // launch and browser
    {0x6C, 155}, {0x6B, 157}, {0x21, 140}, {0x65, 217}, {0x66, 156}, {0x67, 173},
    {0x68, 128}, {0x69, 159}, {0x6A, 158}, {0x32, 172},
};

// Pause sends E1 1D 45; the one byte the platform names for it is 45.
constexpr uint16_t EvdevPause = 119;
constexpr ScanCode PauseScanCode{0x45, false};

constexpr uint16_t EvdevLimit = 256;

struct Tables {
    std::array<uint16_t, 128> plain{};
    std::array<uint16_t, 128> extended{};
    std::array<ScanCode, EvdevLimit> reverse{};
};

constexpr Tables buildTables() {
    Tables t;
    for (uint16_t s = 1; s <= PlainIdentityLast; ++s) t.plain[s] = s;
    t.plain[PlainSysRq] = EvdevSysRq;
    for (const Row& r : PlainRows) t.plain[r.scan] = r.evdev;
    for (const Row& r : ExtendedRows) t.extended[r.scan] = r.evdev;
    // Extended first, so a key reachable both ways reports its plain code.
    for (uint16_t s = 0; s < 128; ++s)
        if (t.extended[s]) t.reverse[t.extended[s]] = ScanCode{s, true};
    for (uint16_t s = 0; s < 128; ++s)
        if (t.plain[s]) t.reverse[t.plain[s]] = ScanCode{s, false};
    t.reverse[EvdevPause] = PauseScanCode;
    return t;
}

constexpr Tables ScanTables = buildTables();

}  // namespace

uint16_t evdevOfScanCode(ScanCode scan) {
    if (scan.code >= 128) return 0;
    return scan.extended ? ScanTables.extended[scan.code] : ScanTables.plain[scan.code];
}

ScanCode scanCodeOfEvdev(uint16_t evdev) {
    return evdev < EvdevLimit ? ScanTables.reverse[evdev] : ScanCode{};
}

}  // namespace platform
