#pragma once
// Where the keys that do not follow the keyboard layout sit, as evdev codes,
// and which virtual key a low-level keyboard hook reports for each position.

#include <cstdint>

namespace platform {

// The evdev position of a virtual key on the US layout, 0 when it has none.
uint16_t evdevOfVirtualKey(uint32_t virtualKey);
// The virtual key a hook reports for the key at an evdev position:
// left/right-specific modifiers, keypad keys by the NumLock state.
uint32_t virtualKeyOfEvdev(uint16_t evdev, bool numLockOn);
// The layout-dependent virtual key of a character, 0 when none.
uint32_t virtualKeyOfCharacter(unsigned character);

}  // namespace platform
