#pragma once
// Turns a key sequence from the hotkey edits into a global hotkey: the
// platform modifier bits, the virtual key, and the sequence the edit is to
// show afterwards. Only the last chord of a sequence counts.

#include <QKeySequence>
#include <cstdint>
#include <vector>

struct HotkeyBinding {
    bool registers = false;   // false: leave the hotkey unregistered
    uint32_t modifiers = 0;   // platform::HotkeyModifiers bits, no-repeat included
    uint32_t virtualKey = 0;
    QKeySequence shown;       // what the edit shows afterwards
};

// What to register for `sequence`. Needs the key names filled.
HotkeyBinding bindHotkey(const QKeySequence& sequence);

// The virtual keys held to press the binding: its key and each modifier's
// key of either hand.
std::vector<uint32_t> keysOfHotkey(const HotkeyBinding& binding);
