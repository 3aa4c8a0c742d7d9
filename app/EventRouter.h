#pragma once
// Where the event loop's decisions live: what a hotkey press switches, and
// which captured events reach the recording.

#include "input/HotkeyIds.h"
#include "platform/Platform.h"

class Recorder;

// The window state the loop reads and the switches it flips.
class LoopTarget {
public:
    virtual ~LoopTarget() = default;
    virtual bool closing() const = 0;
    virtual bool running() const = 0;
    virtual bool recording() const = 0;
    virtual void setRunning(bool on) = 0;
    virtual void setRecording(bool on) = 0;
    // The system took hotkey id back; the window says so and empties its edit.
    virtual void hotkeyLost(int id, platform::HotkeyResult why) = 0;
};

class EventRouter : public platform::CaptureListener {
public:
    // Every captured event goes to the recorder, which keeps what belongs
    // to a recording.
    EventRouter(LoopTarget& target, Recorder& recorder) : target_(target), recorder_(recorder) {}

    void keyboardEvent(const platform::KeyEvent& event) override;
    void mouseEvent(const platform::MouseEvent& event) override;
    void rawMovement(const platform::RawMovement& movement) override;
    // The run hotkey flips Running unless a recording is on; the recording
    // hotkey flips Recording unless a run is on. Nothing once closing.
    void hotkey(int id) override;
    void hotkeyLost(int id, platform::HotkeyResult why) override { target_.hotkeyLost(id, why); }

private:
    LoopTarget& target_;
    Recorder& recorder_;
};
