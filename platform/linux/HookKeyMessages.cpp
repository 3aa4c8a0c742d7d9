#include "HookKeyMessages.h"

#include "platform/InputRecords.h"

namespace platform {

uint32_t HookKeyMessages::message(uint32_t virtualKey, bool pressed) {
    if (!virtualKey || virtualKey >= down_.size()) return 0;
    down_[virtualKey] = pressed;
    const bool alt = down_[VkLMenu] || down_[VkRMenu];
    const bool ctrl = down_[VkLControl] || down_[VkRControl];
    const bool system = (alt && !ctrl) || virtualKey == VkF10;
    return pressed ? (system ? MsgSysKeyDown : MsgKeyDown) : (system ? MsgSysKeyUp : MsgKeyUp);
}

bool HookKeyMessages::anyDown() const {
    for (bool down : down_)
        if (down) return true;
    return false;
}

}  // namespace platform
