#pragma once
// PC set-1 scan codes of the virtual keys under the US English layout, as
// MapVirtualKeyW(vk, MAPVK_VK_TO_VSC) gives them there (0 for keys it has
// no scan code for). The fake backend's mapping; the real backends' tests
// check their own mapping against it.

#include <cstdint>

namespace platform {

// The US scan code of a virtual key, 0 when it has none.
uint16_t usScanCodeOfVirtualKey(uint32_t virtualKey);

}  // namespace platform
