#pragma once
// XKB key names of evdev positions, to find keys on a server whose keycodes
// are not evdev-based.

#include <cstdint>

namespace platform {

// The four-letter XKB name of the key at an evdev position, null when the
// key has no standard name.
const char* xkbKeyNameOfEvdev(uint16_t evdev);

}  // namespace platform
