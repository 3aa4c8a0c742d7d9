#include "PointerMath.h"

#include "platform/InputRecords.h"

namespace platform {

namespace {
// Windows scales the normalized range by 65536 when it maps it to pixels.
constexpr int64_t AbsoluteScale = AbsoluteRange + 1;
}  // namespace

int pixelOfAbsolute(int32_t value, int size) {
    if (size <= 0) return 0;
    const int64_t pixel = static_cast<int64_t>(value) * size / AbsoluteScale;
    if (pixel < 0) return 0;
    if (pixel >= size) return size - 1;
    return static_cast<int>(pixel);
}

namespace {
int32_t clampedStep(int32_t from, int32_t step, int32_t low, int32_t high) {
    const int64_t to = static_cast<int64_t>(from) + step;
    if (to < low) return low;
    if (to > high) return high;
    return static_cast<int32_t>(to);
}
}  // namespace

Point clampedToLayout(Point from, int32_t dx, int32_t dy, const Rect& extent) {
    if (extent.right <= extent.left || extent.bottom <= extent.top) return from;
    return {clampedStep(from.x, dx, extent.left, extent.right - 1),
            clampedStep(from.y, dy, extent.top, extent.bottom - 1)};
}

int WheelAccumulator::add(int32_t delta) {
    if ((delta > 0 && remainder_ < 0) || (delta < 0 && remainder_ > 0)) remainder_ = 0;
    const int64_t total = remainder_ + delta;
    const int64_t clicks = total / WheelDelta;
    remainder_ = total - clicks * WheelDelta;
    return static_cast<int>(clicks);
}

}  // namespace platform
