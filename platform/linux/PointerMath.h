#pragma once
// The arithmetic between mouse input records and pointer requests.

#include <cstdint>

#include "platform/InputRecords.h"

namespace platform {

// The screen pixel an absolute coordinate (0..65535 over the screen) lands
// on: the inverse of ((x + 1) * 65535) / size, clamped to the screen.
int pixelOfAbsolute(int32_t value, int size);

// Where a relative move of (dx, dy) from `from` ends on a desktop of
// `extent`: the pointer stops at its edges.
Point clampedToLayout(Point from, int32_t dx, int32_t dy, const Rect& extent);

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
