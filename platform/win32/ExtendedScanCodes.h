#pragma once
// The virtual keys of the E0-prefixed (extended) set-1 scan codes. They are
// the same in every Windows keyboard layout.

#include <cstdint>

namespace platform {

// The virtual key Windows gives the extended scan code, 0 when unknown.
uint16_t virtualKeyOfExtendedScanCode(uint16_t scanCode);

}  // namespace platform
