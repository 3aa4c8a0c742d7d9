#pragma once
// Global hotkeys through RegisterHotKey, with what user32 does not offer: a
// hotkey whose key fires it with any modifiers held is one registration per
// modifier combination, each under an id of its own, mapped back here.

#include <windows.h>

#include <cstdint>
#include <map>
#include <vector>

#include "platform/Platform.h"

namespace platform {

class Win32Hotkeys {
public:
    Win32Hotkeys() = default;
    ~Win32Hotkeys();
    Win32Hotkeys(const Win32Hotkeys&) = delete;
    Win32Hotkeys& operator=(const Win32Hotkeys&) = delete;

    // ids must lie below CombinationIdStride.
    HotkeyResult add(int id, uint32_t modifiers, uint32_t virtualKey);
    void remove(int id);
    // The id a WM_HOTKEY message stands for: a registration of any
    // modifiers takes every press of its key.
    int idOfMessage(WPARAM nativeId, LPARAM keys) const;

private:
    struct Registration {
        uint32_t modifiers;  // Alt, Control, Shift, Win bits
        uint32_t virtualKey;
        bool anyModifiers;
        std::vector<int> nativeIds;  // empty while another id's wide registration covers it
    };
    bool registerNative(int owner, int nativeId, uint32_t modifiers, uint32_t virtualKey);
    // Registers id's registration, which holds nothing yet, with user32.
    HotkeyResult hold(int id);
    // The id (other than except) holding virtualKey with any modifiers, or
    // 0; ids are positive.
    int wideHolder(uint32_t virtualKey, int except) const;
    bool heldExactly(uint32_t virtualKey, uint32_t modifiers, int except) const;

    std::map<int, Registration> byId_;
    std::map<int, int> ownerOfNative_;
};

}  // namespace platform
