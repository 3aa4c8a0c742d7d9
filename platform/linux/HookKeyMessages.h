#pragma once
// The message a low-level keyboard hook reports for a key event, which
// depends on the keys held before it: both Linux backends capture raw key
// events and dress them up the same way.

#include <array>
#include <cstdint>

namespace platform {

class HookKeyMessages {
public:
    // Notes that virtualKey went down or up and returns the hook's message
    // for it: MsgSysKeyDown/Up while Alt is held without Ctrl, and for F10
    // (the menu key); MsgKeyDown/Up otherwise. 0, noting nothing, for a
    // code outside the hook's range.
    uint32_t message(uint32_t virtualKey, bool pressed);
    bool anyDown() const;
    void clear() { down_.fill(false); }

private:
    std::array<bool, 256> down_{};  // virtual keys held, as captured
};

}  // namespace platform
