#pragma once
// The key vocabulary: key names <-> virtual-key codes, and the two per-code
// traits that decide how a key is injected. Built once on first use and
// read-only (and lock-free) afterwards.

#include <array>
#include <cstdint>
#include <map>
#include <string>

// Code of the numeric keypad's Enter key; not a platform virtual key.
constexpr int KeypadEnterCode = 256;
// Trait tables are indexed by key code 0..KeypadEnterCode.
constexpr int KeyTraitCount = KeypadEnterCode + 1;

struct KeyVocabulary {
    // Name -> code, ordered by unsigned byte comparison of the names.
    std::map<std::string, int> codeByName;
    // Code -> name; for a code with several names, the name that sorts first.
    std::map<int, std::string> nameByCode;
    // The key's injected events carry the extended-key flag.
    std::array<bool, KeyTraitCount> extended{};
    // The key is injected by virtual-key code alone, without a scan code.
    std::array<bool, KeyTraitCount> virtualKeyOnly{};
};

// The one vocabulary, built on the first call (thread-safe) and never changed.
const KeyVocabulary& keyVocabulary();
// Builds the vocabulary now, so that no later lookup (a run's first key
// press) pays for it.
void initKeyNames();
// The code of a key name (matched byte for byte), 0 when it is not a name.
uint16_t keyCodeFromName(std::string name);
// The name of a key code, empty when the code has no name.
std::string keyNameFromCode(uint16_t code);
