#pragma once
// The arithmetic between mouse input records and pointer requests.

#include <cstdint>

namespace platform {

// The screen pixel an absolute coordinate (0..65535 over the screen) lands
// on: the inverse of ((x + 1) * 65535) / size, clamped to the screen.
int pixelOfAbsolute(int32_t value, int size);

// Turns wheel deltas (120 per notch) into whole clicks: fractions carry
// over to the next event until they make a notch, and are dropped when the
// direction changes.
class WheelAccumulator {
public:
    // The clicks to send now: positive away from the user, negative toward.
    int add(int32_t delta);

private:
    int64_t remainder_ = 0;
};

}  // namespace platform
