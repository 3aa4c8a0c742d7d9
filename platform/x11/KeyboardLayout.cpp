#include "KeyboardLayout.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <cstring>

#include "platform/linux/EvdevKeyNames.h"
#include "platform/linux/VirtualKeyPositions.h"

namespace platform {

namespace {

constexpr int EvdevKeycodeOffset = 8;
constexpr const char EvdevKeycodesPrefix[] = "evdev";
constexpr unsigned PrintableFirst = 0x21;
constexpr unsigned PrintableLast = 0x7E;
constexpr int BaseLevel = 0;
constexpr int ShiftLevel = 1;

KeySym keysymAt(XkbDescPtr desc, int keycode, int group, int level) {
    const int groups = XkbKeyNumGroups(desc, keycode);
    if (groups <= 0) return NoSymbol;
    if (group >= groups) group = 0;
    if (level >= XkbKeyGroupWidth(desc, keycode, group)) return NoSymbol;
    return XkbKeySymEntry(desc, keycode, level, group);
}

// The layout-dependent virtual key a key types: its unshifted character,
// or a digit on the shifted level (layouts such as French put them there).
uint32_t characterKeyOfKeysyms(KeySym base, KeySym shifted) {
    if (base >= PrintableFirst && base <= PrintableLast) {
        if (uint32_t vk = virtualKeyOfCharacter(static_cast<unsigned>(base))) return vk;
    }
    if (shifted >= '0' && shifted <= '9') return static_cast<uint32_t>(shifted);
    return 0;
}

}  // namespace

bool KeyboardLayout::load(Display* display) {
    *this = KeyboardLayout();
    XkbDescPtr desc = XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (!desc) return false;
    XkbGetNames(display, XkbKeycodesNameMask | XkbKeyNamesMask, desc);
    if (desc->names && desc->names->keycodes) {
        char* name = XGetAtomName(display, desc->names->keycodes);
        if (name) {
            keycodesName_ = name;
            XFree(name);
        }
    }
    evdevKeycodes_ = keycodesName_.compare(0, sizeof EvdevKeycodesPrefix - 1, EvdevKeycodesPrefix) == 0;

    const int minKey = desc->min_key_code;
    const int maxKey = desc->max_key_code;
    for (int evdev = 1; evdev < 256; ++evdev) {
        int keycode = 0;
        if (evdevKeycodes_) {
            keycode = evdev + EvdevKeycodeOffset;
        } else if (const char* want = xkbKeyNameOfEvdev(static_cast<uint16_t>(evdev))) {
            for (int k = minKey; desc->names && desc->names->keys && k <= maxKey; ++k)
                if (std::strncmp(desc->names->keys[k].name, want, XkbKeyNameLength) == 0) keycode = k;
        }
        if (keycode >= minKey && keycode <= maxKey && keycode < 256) {
            keycodeOf_[evdev] = static_cast<uint8_t>(keycode);
            evdevOf_[keycode] = static_cast<uint16_t>(evdev);
        }
    }

    XkbStateRec state{};
    XkbGetState(display, XkbUseCoreKbd, &state);
    for (int keycode = minKey; keycode <= maxKey && keycode < 256; ++keycode) {
        const uint32_t vk = characterKeyOfKeysyms(keysymAt(desc, keycode, state.group, BaseLevel),
                                                  keysymAt(desc, keycode, state.group, ShiftLevel));
        if (!vk) continue;
        characterKeyOf_[keycode] = static_cast<uint8_t>(vk);
        // Of two keys typing the same character, the one at the US position wins.
        const bool atUsPosition = keycodeOfEvdev(evdevOfVirtualKey(vk)) == keycode;
        if (!keycodeOfCharacterKey_[vk] || atUsPosition)
            keycodeOfCharacterKey_[vk] = static_cast<uint8_t>(keycode);
    }
    XkbFreeKeyboard(desc, 0, True);
    return true;
}

uint8_t KeyboardLayout::keycodeOfEvdev(uint16_t evdev) const {
    return evdev < keycodeOf_.size() ? keycodeOf_[evdev] : 0;
}

uint8_t KeyboardLayout::keycodeOfVirtualKey(uint32_t virtualKey) const {
    if (virtualKey < keycodeOfCharacterKey_.size() && keycodeOfCharacterKey_[virtualKey])
        return keycodeOfCharacterKey_[virtualKey];
    return keycodeOfEvdev(evdevOfVirtualKey(virtualKey));
}

uint16_t KeyboardLayout::scanCodeOfVirtualKey(uint32_t virtualKey) const {
    uint16_t evdev = evdevOfVirtualKey(virtualKey);
    if (virtualKey < keycodeOfCharacterKey_.size() && keycodeOfCharacterKey_[virtualKey])
        evdev = evdevOf_[keycodeOfCharacterKey_[virtualKey]];
    return scanCodeOfEvdev(evdev).code;
}

uint32_t KeyboardLayout::virtualKeyOfKeycode(uint8_t keycode, bool numLockOn) const {
    if (characterKeyOf_[keycode]) return characterKeyOf_[keycode];
    return virtualKeyOfEvdev(evdevOf_[keycode], numLockOn);
}

}  // namespace platform
