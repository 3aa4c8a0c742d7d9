#pragma once
// Which key types each 8-bit character on the US English layout. The
// active layout and Caps Lock are not consulted.

#include <cstdint>

struct TypedKey {
    uint16_t code = 0;     // virtual-key code; 0 when the byte types nothing
    bool shifted = false;  // Shift is held around the key
};

// The key that types a byte: letters, digits, the US punctuation and the
// control characters backspace, tab, line feed and escape. Any other byte
// (carriage return, bytes 128..255, ...) gives code 0.
TypedKey usTypedKey(unsigned char byte);
