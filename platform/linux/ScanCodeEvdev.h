#pragma once
// PC set-1 scan codes <-> Linux evdev key codes: the physical keys, named
// the way input records name them (scan code plus the E0 "extended" bit).

#include <cstdint>

namespace platform {

struct ScanCode {
    uint16_t code = 0;       // set-1 make code without the E0 prefix; 0 = none
    bool extended = false;  // E0-prefixed
};

// The evdev code of a set-1 key, 0 when no key has that scan code.
uint16_t evdevOfScanCode(ScanCode scan);
// The set-1 scan code of an evdev key (the plain code where a key has two).
ScanCode scanCodeOfEvdev(uint16_t evdev);

}  // namespace platform
