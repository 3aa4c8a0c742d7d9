#pragma once
// Turns the input_event stream of one evdev device, as libevdev hands it
// out, into the keys, buttons, wheel notches and raw motion a low-level
// hook reports. Pure: no device, no clock of its own.
//
// Events take effect at the SYN_REPORT that ends their frame, all stamped
// with its time. Within a frame the summed relative motion comes first (a
// click lands where the frame leaves the pointer), then keys, buttons and
// wheel notches in the device's order.
//
// SYN_DROPPED: the frame it breaks is dropped. What follows it up to the
// next SYN_REPORT is libevdev's catch-up (the keys whose state changed
// while events were lost), decoded as an ordinary frame, so a key released
// meanwhile is still released; motion and wheel turns lost are lost.

#include <linux/input.h>

#include <cstdint>
#include <vector>

#include "platform/InputRecords.h"
#include "platform/linux/HookKeyMessages.h"

namespace platform {

class CaptureListener;

// One decoded input. Keys carry no message yet: that depends on what every
// device holds, so it is chosen when the inputs are delivered.
struct EvdevInput {
    enum Kind : uint8_t { Key, Mouse, Motion };
    Kind kind = Key;
    uint64_t microseconds = 0;  // the device's CLOCK_MONOTONIC time
    uint32_t virtualKey = 0;    // Key
    bool pressed = false;       // Key
    MouseEvent mouse;           // Mouse
    RawMovement motion;         // Motion
};

class EvdevDecoder {
public:
    // numLockOn: NumLock's state when the device is opened. A device with a
    // NumLock LED then follows the LED (the compositor sets it on every
    // keyboard); one without follows its own NumLock key.
    EvdevDecoder(bool numLockOn, bool hasNumLockLed);

    // Takes the next event; the inputs a finished frame makes go to *out.
    void feed(const input_event& event, std::vector<EvdevInput>* out);
    // The device is gone: its unfinished frame is dropped and what it held
    // is released at the given time, the last pressed first, so that no
    // recording keeps a key or button held for ever.
    void lost(uint64_t microseconds, std::vector<EvdevInput>* out);

private:
    void endFrame(uint64_t microseconds, std::vector<EvdevInput>* out);
    void decodeKey(uint16_t code, int32_t value, uint64_t microseconds,
                   std::vector<EvdevInput>* out);
    void hold(uint16_t code, const EvdevInput& release, bool down);

    struct Held {
        uint16_t code;
        EvdevInput release;  // what lets it go: the virtual key it went down as
    };

    bool numLockOn_;
    bool hasNumLockLed_;
    std::vector<input_event> frame_;
    std::vector<Held> held_;  // in the order pressed
};

// Hands the inputs of one read pass, from any number of devices, to the
// listener in time order (the order read where times tie), each key with
// the message a hook gives it after the keys before it.
void deliverInTimeOrder(std::vector<EvdevInput>* inputs, HookKeyMessages* keys,
                        CaptureListener* listener);

// Milliseconds of an input's time, wrapped as the capture clock wraps.
uint32_t captureMilliseconds(uint64_t microseconds);

}  // namespace platform
