#pragma once
// The key vocabulary: key names <-> virtual-key codes, and the two per-code
// traits that decide how a key is injected. Filled once by initKeyNames()
// before any other thread exists, read-only (and lock-free) afterwards.

#include <cstdint>
#include <map>
#include <string>

// Code of the numeric keypad's Enter key; not a platform virtual key.
constexpr int KeypadEnterCode = 256;
// Trait tables are indexed by key code 0..KeypadEnterCode.
constexpr int KeyTraitCount = KeypadEnterCode + 1;

// Name -> code, ordered by unsigned byte comparison of the names.
extern std::map<std::string, int> KeyCodeByName;
// Code -> name; for a code with several names, the name that sorts first.
extern std::map<int, std::string> KeyNameByCode;
// The key's injected events carry the extended-key flag.
extern bool ExtendedKeys[KeyTraitCount];
// The key is injected by virtual-key code alone, without a scan code.
extern bool VirtualKeyOnlyKeys[KeyTraitCount];

// Fills both maps and both trait tables. Call once, first thing in the process.
void initKeyNames();
// The code of a key name (matched byte for byte), 0 when it is not a name.
uint16_t keyCodeFromName(std::string name);
// The name of a key code, empty when the code has no name.
std::string keyNameFromCode(uint16_t code);
