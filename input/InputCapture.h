#pragma once
// What a captured event becomes in a recording: its message and values.
//
// Record: time "," message "," value ":" (movement and start position carry
// two values). Time is the elapsed milliseconds in 'g' 6-digit form.

#include <QString>
#include <cstdint>
#include <optional>

#include "platform/InputRecords.h"

// A captured event as a recording keeps it: the capture clock's time, the
// message and its values (a key's or button's code, the wheel delta as an
// unsigned 16-bit number, or the two values of a movement).
struct CapturedRecord {
    enum Edge { NoEdge, Press, Release };
    uint32_t time = 0;
    uint32_t message = 0;
    int64_t value = 0;
    int64_t second = 0;  // movement only
    bool movement = false;

    // Press or release of a key or button; code() names which.
    Edge edge() const;
    uint32_t code() const { return static_cast<uint32_t>(value); }
    // The record's text once `elapsedMs` have passed since the start.
    QString text(int64_t elapsedMs) const;
};

// The record of a key event, or none for messages that are not recorded.
std::optional<CapturedRecord> recordOfKey(const platform::KeyEvent& event);
// The record of a mouse button or wheel event, or none (double clicks,
// pointer motion, horizontal wheel, unknown X buttons).
std::optional<CapturedRecord> recordOfMouse(const platform::MouseEvent& event);
// The record of raw relative movement, or none when there is no movement.
std::optional<CapturedRecord> recordOfMovement(const platform::RawMovement& movement);
// The time field for `elapsedMs`.
QString recordTime(int64_t elapsedMs);
