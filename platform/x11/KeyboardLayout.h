#pragma once
// The server's keyboard as virtual keys see it: physical keys (evdev
// positions) to X keycodes, and the layout-dependent keys (letters, digits,
// punctuation) found by the character they type in the active layout.

#include <array>
#include <cstdint>
#include <string>

#include "platform/linux/ScanCodeEvdev.h"

typedef struct _XDisplay Display;

namespace platform {

class KeyboardLayout {
public:
    // Reads the keymap through XKB; call again whenever it changes. False
    // when the server offers no XKB keymap (every lookup then gives 0).
    bool load(Display* display);

    // Whether the server numbers its keycodes as evdev + 8.
    bool evdevKeycodes() const { return evdevKeycodes_; }
    // The keycodes name the server reports ("evdev", "xfree86", ...).
    const std::string& keycodesName() const { return keycodesName_; }

    uint8_t keycodeOfEvdev(uint16_t evdev) const;
    uint16_t evdevOfKeycode(uint8_t keycode) const { return evdevOf_[keycode]; }
    uint8_t keycodeOfScanCode(ScanCode scan) const { return keycodeOfEvdev(evdevOfScanCode(scan)); }
    // The key a virtual key presses: the key typing its character in the
    // active layout, else its fixed position.
    uint8_t keycodeOfVirtualKey(uint32_t virtualKey) const;
    // As MapVirtualKey(vk, MAPVK_VK_TO_VSC): the set-1 code without E0.
    uint16_t scanCodeOfVirtualKey(uint32_t virtualKey) const;
    // The virtual key a hook would report for a keycode.
    uint32_t virtualKeyOfKeycode(uint8_t keycode, bool numLockOn) const;

private:
    bool evdevKeycodes_ = false;
    std::string keycodesName_;
    std::array<uint8_t, 256> keycodeOf_{};   // by evdev code
    std::array<uint16_t, 256> evdevOf_{};    // by keycode
    std::array<uint8_t, 256> keycodeOfCharacterKey_{};  // by virtual key
    std::array<uint8_t, 256> characterKeyOf_{};         // by keycode
};

}  // namespace platform
