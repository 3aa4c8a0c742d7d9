#include "EvdevDecoder.h"

#include <algorithm>
#include <cstdlib>

#include "platform/Platform.h"
#include "platform/linux/VirtualKeyPositions.h"

namespace platform {

namespace {

constexpr int HighWordShift = 16;
// Key codes below this are keyboard keys; the buttons sit above it.
constexpr uint16_t FirstButtonCode = BTN_MISC;
constexpr int32_t KeyReleased = 0, KeyPressed = 1, KeyRepeated = 2;

struct ButtonRow {
    uint16_t code;
    uint32_t down, up;
    uint32_t xButton;  // 0 for the three main buttons
};
// The buttons a hook reports; the side buttons are X buttons 1 and 2, as
// the X server numbers them 8 and 9. Further buttons have no message, as on
// X11.
constexpr ButtonRow ButtonRows[] = {
    {BTN_LEFT, MsgLeftDown, MsgLeftUp, 0},       {BTN_RIGHT, MsgRightDown, MsgRightUp, 0},
    {BTN_MIDDLE, MsgMiddleDown, MsgMiddleUp, 0}, {BTN_SIDE, MsgXDown, MsgXUp, XButton1},
    {BTN_EXTRA, MsgXDown, MsgXUp, XButton2},
};

uint64_t microsecondsOf(const input_event& event) {
    return static_cast<uint64_t>(event.input_event_sec) * 1000000 +
           static_cast<uint64_t>(event.input_event_usec);
}

EvdevInput keyInput(uint32_t virtualKey, bool pressed, uint64_t microseconds) {
    EvdevInput input;
    input.kind = EvdevInput::Key;
    input.microseconds = microseconds;
    input.virtualKey = virtualKey;
    input.pressed = pressed;
    return input;
}

EvdevInput mouseInput(uint32_t message, uint32_t mouseData, uint64_t microseconds) {
    EvdevInput input;
    input.kind = EvdevInput::Mouse;
    input.microseconds = microseconds;
    input.mouse = MouseEvent{message, mouseData, captureMilliseconds(microseconds)};
    return input;
}

}  // namespace

uint32_t captureMilliseconds(uint64_t microseconds) {
    return static_cast<uint32_t>(microseconds / 1000);
}

EvdevDecoder::EvdevDecoder(bool numLockOn, bool hasNumLockLed)
    : numLockOn_(numLockOn), hasNumLockLed_(hasNumLockLed) {}

void EvdevDecoder::feed(const input_event& event, std::vector<EvdevInput>* out) {
    switch (event.type) {
        case EV_SYN:
            if (event.code == SYN_REPORT)
                endFrame(microsecondsOf(event), out);
            else if (event.code == SYN_DROPPED)
                frame_.clear();
            break;
        case EV_KEY:
        case EV_REL:
            frame_.push_back(event);
            break;
        case EV_LED:
            // The LED is state, not input: it counts from the moment it is read.
            if (event.code == LED_NUML) numLockOn_ = event.value != 0;
            break;
        default:
            break;  // scan codes, absolute axes, switches: nothing a hook reports
    }
}

void EvdevDecoder::endFrame(uint64_t microseconds, std::vector<EvdevInput>* out) {
    int32_t dx = 0, dy = 0;
    for (const input_event& e : frame_) {
        if (e.type != EV_REL) continue;
        if (e.code == REL_X) dx += e.value;
        if (e.code == REL_Y) dy += e.value;
    }
    if (dx || dy) {
        EvdevInput motion;
        motion.kind = EvdevInput::Motion;
        motion.microseconds = microseconds;
        motion.motion = RawMovement{dx, dy, captureMilliseconds(microseconds)};
        out->push_back(motion);
    }
    for (const input_event& e : frame_) {
        if (e.type == EV_KEY) {
            decodeKey(e.code, e.value, microseconds, out);
        } else if (e.code == REL_WHEEL) {
            // One event per notch, as the X server reports the wheel. The
            // high-resolution axis repeats the same turn; the horizontal
            // wheel has no message here.
            const uint16_t delta = static_cast<uint16_t>(e.value > 0 ? WheelDelta : -WheelDelta);
            const uint32_t data = static_cast<uint32_t>(delta) << HighWordShift;
            for (int32_t n = 0; n < std::abs(e.value); ++n)
                out->push_back(mouseInput(MsgMouseWheel, data, microseconds));
        }
    }
    frame_.clear();
}

void EvdevDecoder::decodeKey(uint16_t code, int32_t value, uint64_t microseconds,
                             std::vector<EvdevInput>* out) {
    const auto held =
        std::find_if(held_.begin(), held_.end(), [code](const Held& h) { return h.code == code; });
    if (code >= FirstButtonCode) {
        if (value == KeyRepeated) return;
        for (const ButtonRow& row : ButtonRows) {
            if (row.code != code) continue;
            const uint32_t data = row.xButton << HighWordShift;
            const bool down = value == KeyPressed;
            out->push_back(mouseInput(down ? row.down : row.up, data, microseconds));
            hold(code, mouseInput(row.up, data, 0), down);
        }
        return;
    }
    // A key goes up, and repeats, as the virtual key it went down as, even
    // if NumLock changed meanwhile.
    const uint32_t vk =
        held != held_.end() ? held->release.virtualKey : virtualKeyOfEvdev(code, numLockOn_);
    if (vk) {
        const bool down = value != KeyReleased;
        out->push_back(keyInput(vk, down, microseconds));
        hold(code, keyInput(vk, false, 0), down);
    }
    if (code == KEY_NUMLOCK && value == KeyPressed && !hasNumLockLed_) numLockOn_ = !numLockOn_;
}

void EvdevDecoder::hold(uint16_t code, const EvdevInput& release, bool down) {
    const auto held =
        std::find_if(held_.begin(), held_.end(), [code](const Held& h) { return h.code == code; });
    if (!down) {
        if (held != held_.end()) held_.erase(held);
    } else if (held == held_.end()) {
        held_.push_back(Held{code, release});
    }
}

void EvdevDecoder::lost(uint64_t microseconds, std::vector<EvdevInput>* out) {
    frame_.clear();
    for (auto h = held_.rbegin(); h != held_.rend(); ++h) {
        EvdevInput release = h->release;
        release.microseconds = microseconds;
        release.mouse.time = captureMilliseconds(microseconds);
        out->push_back(release);
    }
    held_.clear();
}

void deliverInTimeOrder(std::vector<EvdevInput>* inputs, HookKeyMessages* keys,
                        CaptureListener* listener) {
    std::stable_sort(inputs->begin(), inputs->end(), [](const EvdevInput& a, const EvdevInput& b) {
        return a.microseconds < b.microseconds;
    });
    for (const EvdevInput& input : *inputs) {
        const uint32_t time = captureMilliseconds(input.microseconds);
        switch (input.kind) {
            case EvdevInput::Key:
                if (const uint32_t message = keys->message(input.virtualKey, input.pressed))
                    listener->keyboardEvent(KeyEvent{message, input.virtualKey, time});
                break;
            case EvdevInput::Mouse:
                listener->mouseEvent(input.mouse);
                break;
            case EvdevInput::Motion:
                listener->rawMovement(input.motion);
                break;
        }
    }
}

}  // namespace platform
