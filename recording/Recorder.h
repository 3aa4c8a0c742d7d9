#pragma once
// One recording at a time. Which captured events belong to it is decided by
// when they happened in the capture clock, not by when they were delivered:
// the capture reaches the GUI thread by other ways than the click or hotkey
// that starts or stops the recording, and either may come first.

#include <QString>
#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <vector>

#include "input/InputCapture.h"
#include "platform/InputRecords.h"

class Recorder {
public:
    // Every captured event, recording or not: the last few are kept for a
    // start that is seen after them, and what is held down is followed.
    void capture(const CapturedRecord& record);

    // Starts a recording of what happens after `after`. What was already
    // held down then belongs to before: its repeats and release are left out.
    void start(uint32_t after, platform::Point cursor, bool monitorStartPosition, bool monitorMouseMovement);
    // Ends it: nothing from `from` on belongs to it. `toggleKeys` are the
    // keys of the hotkey that stopped it, its key first: that press of the
    // hotkey is left out. Events from before `from` may still arrive.
    void stop(uint32_t from, std::vector<uint32_t> toggleKeys);
    // Forgets the recording.
    void discard();

    bool active() const { return state_ == State::Active; }
    // Whether a recording has been started and not discarded.
    bool hasRecording() const { return state_ != State::Idle; }
    // The records of the recording under way (everything so far) or of the
    // last one, in time order.
    QString records() const;

private:
    enum class State { Idle, Active, Stopped };
    void keep(const CapturedRecord& record);
    void dropStoppingHotkey(std::vector<const CapturedRecord*>& kept) const;

    State state_ = State::Idle;
    uint32_t start_ = 0;
    uint32_t stop_ = 0;
    bool monitorMovement_ = false;
    QString startPosition_;
    std::vector<uint32_t> toggleKeys_;
    std::vector<CapturedRecord> events_;     // after the start, in time order
    std::set<uint32_t> heldAtStart_;         // codes down when it started
    std::deque<CapturedRecord> recent_;      // the last events, recording or not
    std::map<uint32_t, uint32_t> downSince_;  // code held down -> when it went down
};
