#include "InputInjector.h"

#include <chrono>
#include <type_traits>

#include "input/KeyNames.h"
#include "input/NumberConversions.h"
#include "input/UsTypingTable.h"

using namespace platform;

// Script functions hold an injector while the interpreter may longjmp out of
// them; that is only safe for an object whose destructor does nothing.
static_assert(std::is_trivially_destructible_v<InputInjector>);

namespace {

struct ButtonRow {
    uint16_t code;
    uint32_t downFlags;
    uint32_t upFlags;
    uint32_t mouseData;
};

constexpr ButtonRow Buttons[] = {
    {VkLeftButton, MouseLeftDown, MouseLeftUp, 0},
    {VkRightButton, MouseRightDown, MouseRightUp, 0},
    {VkMiddleButton, MouseMiddleDown, MouseMiddleUp, 0},
    {VkXButton1, MouseXDown, MouseXUp, XButton1},
    {VkXButton2, MouseXDown, MouseXUp, XButton2},
};

const ButtonRow* buttonRow(uint16_t code) {
    for (const ButtonRow& row : Buttons)
        if (row.code == code) return &row;
    return nullptr;
}

// Time since an origin in 100-nanosecond ticks. A monotonic clock, so that
// setting the system time during a glide neither ends nor stretches it.
int64_t ticksSince(std::chrono::steady_clock::time_point origin) {
    using Ticks = std::chrono::duration<int64_t, std::ratio<1, 10000000>>;
    return std::chrono::duration_cast<Ticks>(std::chrono::steady_clock::now() - origin).count();
}

// One axis of an absolute move: ((p + 1) * 65535) / size, in 64 bits so
// that far-off coordinates clamp instead of overflowing.
int32_t normalized(int32_t pixel, int32_t size) {
    return clampToInt32((static_cast<int64_t>(pixel) + 1) * AbsoluteRange / size);
}

// A glide's position after elapsed of duration milliseconds, in 32-bit floats.
int32_t interpolated(int32_t start, int32_t target, float elapsed, float duration) {
    const float span = static_cast<float>(static_cast<int64_t>(target) - start);
    return truncateToInt32((span * elapsed) / duration + static_cast<float>(start));
}

}  // namespace

Point currentCursorPosition(Platform& platform) {
    Point position;  // stays (0, 0) when the query fails
    platform.cursorPosition(&position);
    return position;
}

InputInjector::InputInjector(Platform& platform, InjectionContext& context)
    : platform_(platform), context_(context) {
    keyRecord.type = InputRecord::Keyboard;
    mouseRecord.type = InputRecord::Mouse;
    readDesktop();
}

void InputInjector::readDesktop() {
    const Rect desktop = platform_.desktopRect();
    desktopWidth = desktop.right;
    desktopHeight = desktop.bottom;
}

void InputInjector::keyEvent(uint16_t code, bool up) {
    keyRecord.keyboard = KeyboardInput{};
    const uint32_t upFlag = up ? uint32_t{KeyUp} : 0u;
    // Codes beyond the trait tables name no key: sent like code 0.
    const bool known = code < KeyTraitCount;
    const KeyVocabulary& keys = keyVocabulary();
    if (known && keys.virtualKeyOnly[code]) {
        keyRecord.keyboard.virtualKey = code;
        keyRecord.keyboard.flags = upFlag;
    } else {
        // The keypad Enter has Return's scan code; only the extended flag tells it apart.
        const uint16_t mapped = code == KeypadEnterCode ? uint16_t{VkReturn} : code;
        const uint32_t extendedFlag = known && keys.extended[code] ? uint32_t{KeyExtended} : 0u;
        keyRecord.keyboard.scanCode = known ? platform_.scanCodeOfVirtualKey(mapped) : 0;
        keyRecord.keyboard.flags = KeyScanCode | extendedFlag | upFlag;
    }
    InputRecord release = keyRecord;
    release.keyboard.flags |= KeyUp;
    sendTracked(keyRecord, release, up);
}

// Presses and releases are matched by the release record, so that the
// generic and the one-handed name of a key (Shift, LShift) count as the
// one key they send.
void InputInjector::sendTracked(const InputRecord& record, const InputRecord& release,
                                bool isRelease) {
    platform_.sendInput(record);
    HeldInputs* held = context_.heldInputs();
    if (!held) return;
    if (isRelease) held->released(release);
    else held->pressed(release);
}

void InputInjector::keyDown(uint16_t code) { keyEvent(code, false); }
void InputInjector::keyUp(uint16_t code) { keyEvent(code, true); }

void InputInjector::hitKey(uint16_t code) {
    keyDown(code);
    injectorWait(DefaultHitPause);
    keyUp(code);
    injectorWait(DefaultHitPause);
}

void InputInjector::hitKeyWithModifier(uint16_t code, uint16_t modifier) {
    keyDown(modifier);
    keyDown(code);
    injectorWait(DefaultHitPause);
    keyUp(code);
    injectorWait(DefaultHitPause);
    keyUp(modifier);
}

void InputInjector::buttonEvent(uint16_t code, bool up) {
    const ButtonRow* row = buttonRow(code);
    if (!row) return;
    mouseRecord.mouse = MouseInput{};
    mouseRecord.mouse.flags = up ? row->upFlags : row->downFlags;
    mouseRecord.mouse.mouseData = row->mouseData;
    InputRecord release = mouseRecord;
    release.mouse.flags = row->upFlags;
    sendTracked(mouseRecord, release, up);
}

void InputInjector::buttonDown(uint16_t code) { buttonEvent(code, false); }
void InputInjector::buttonUp(uint16_t code) { buttonEvent(code, true); }

void InputInjector::wheel(double notches) {
    const float delta = nearestFloat(notches) * static_cast<float>(WheelDelta);
    mouseRecord.mouse = MouseInput{};
    mouseRecord.mouse.flags = MouseWheel;
    mouseRecord.mouse.mouseData = static_cast<uint32_t>(truncateToInt32(delta));
    platform_.sendInput(mouseRecord, &context_);
}

void InputInjector::moveBy(int32_t dx, int32_t dy) {
    readDesktop();
    mouseRecord.mouse = MouseInput{};
    mouseRecord.mouse.dx = dx;
    mouseRecord.mouse.dy = dy;
    mouseRecord.mouse.flags = MouseMove;
    platform_.sendInput(mouseRecord);
}

void InputInjector::moveTo(int32_t x, int32_t y) {
    readDesktop();
    if (desktopWidth <= 0 || desktopHeight <= 0) return;
    mouseRecord.mouse = MouseInput{};
    mouseRecord.mouse.dx = normalized(x, desktopWidth);
    mouseRecord.mouse.dy = normalized(y, desktopHeight);
    mouseRecord.mouse.flags = MouseMove | MouseAbsolute;
    platform_.sendInput(mouseRecord);
}

void InputInjector::glideTo(int32_t x, int32_t y, float duration) {
    const Point start = currentCursorPosition(platform_);
    if (!(duration > 0.0f)) {
        moveTo(x, y);
        return;
    }
    const auto t0 = std::chrono::steady_clock::now();
    float elapsed = 0.0f;
    while (duration > elapsed) {
        moveTo(interpolated(start.x, x, elapsed, duration),
               interpolated(start.y, y, elapsed, duration));
        // A stop leaves the pointer where it is.
        if (!context_.pause(GlideStepPause)) return;
        // Whole microseconds, so that short glides still interpolate.
        elapsed = static_cast<float>(ticksSince(t0) / 10) / 1000.0f;
    }
    moveTo(x, y);
}

void InputInjector::dragTo(int32_t x, int32_t y, float duration) {
    buttonDown(VkLeftButton);
    glideTo(x, y, duration);
    buttonUp(VkLeftButton);
}

void InputInjector::typeChar(char character) {
    const TypedKey key = usTypedKey(static_cast<unsigned char>(character));
    if (key.code == 0) return;
    if (key.shifted) hitKeyWithModifier(key.code, VkShift);
    else hitKey(key.code);
}

void InputInjector::typeString(std::string_view text) {
    for (char character : text) {
        if (context_.interrupted()) return;
        typeChar(character);
    }
}

bool InputInjector::injectorWait(double milliseconds) {
    return !(milliseconds > 0.0) || context_.pause(milliseconds);
}

Point InputInjector::cursorPosition() { return currentCursorPosition(platform_); }
