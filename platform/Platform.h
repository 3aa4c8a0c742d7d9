#pragma once
// The one interface through which the program reaches the real keyboard,
// mouse and screen. Values are numbered as the Windows user32 services
// number them (see InputRecords.h); each backend translates.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "InputRecords.h"

namespace platform {

// What became of a hotkey registration.
enum class HotkeyResult {
    Registered,            // as asked
    ExactOnly,             // asked with ModAnyModifiers; only the exact combination could be held
    HeldByThisProgram,     // another id holds the combination
    HeldByAnotherProgram,  // another program holds the combination, or some of it
    NoSuchKey,             // the keyboard has no key for the virtual key
    Refused,               // the system refused it for a reason it did not tell
};

// Whether the hotkey fires now (exactly or wider).
inline bool isRegistered(HotkeyResult result) {
    return result == HotkeyResult::Registered || result == HotkeyResult::ExactOnly;
}

// The services a backend may lack on some desktops. X11 and Windows offer
// all of them; a Wayland compositor offers what its protocols allow, and a
// portal-based backend what the user granted.
enum class Service {
    GlobalHotkeys,    // registerHotkey
    Recording,        // startCapture
    PointerPosition,  // cursorPosition
    KeyState,         // asyncKeyState
};

// Whether a service works now and, when not, why: one line for the user,
// without a line end. The answer may change (the pointer position becomes
// known once the program has placed the pointer).
struct Availability {
    bool available = true;
    std::string reason;

    static Availability offered() { return {}; }
    static Availability missing(std::string why) { return {false, std::move(why)}; }
};

// Receives captured input and hotkey presses. Always called on the GUI
// thread, from Platform::processPendingEvents or the native message loop.
class CaptureListener {
public:
    virtual ~CaptureListener() = default;
    virtual void keyboardEvent(const KeyEvent& event) = 0;
    virtual void mouseEvent(const MouseEvent& event) = 0;
    virtual void rawMovement(const RawMovement& movement) = 0;
    virtual void hotkey(int id) = 0;
    // The system took hotkey id back (the keyboard layout changed and its
    // key went, or another program now holds it): id holds nothing now.
    virtual void hotkeyLost(int /*id*/, HotkeyResult /*why*/) {}
};

// Asked by a backend between the events it makes of one record (the X11
// wheel sends one click per notch): once it answers true, the rest of that
// record is dropped.
class SendInterruption {
public:
    virtual bool interrupted() const = 0;

protected:
    ~SendInterruption() = default;
};

// Thread rules: the injection and query group may be called from any thread
// at once (two runs may overlap for a moment, the GUI asks for the cursor);
// everything else belongs to the GUI thread. The backend is created before
// the main window and outlives every run thread.
class Platform {
public:
    virtual ~Platform() = default;

    // --- Any thread ---
    // Sends one input record into the input stream, as if from the device.
    // A backend that turns the record into several events asks interruption
    // (when given) between them, and holds its lock for one event at a time.
    virtual void sendInput(const InputRecord& record,
                           const SendInterruption* interruption = nullptr) = 0;
    // The scan code of a virtual key in the current layout, 0 when none.
    virtual uint16_t scanCodeOfVirtualKey(uint32_t virtualKey) = 0;
    // Key or button state now: the top bit (0x8000) is set while it is down.
    // Codes outside 1..255 (the keypad Enter's 256 among them) are never down.
    virtual uint16_t asyncKeyState(int virtualKey) = 0;
    // The cursor in screen pixels; false (and *position untouched) on failure.
    virtual bool cursorPosition(Point* position) = 0;
    // The desktop rectangle; right and bottom are the screen's size.
    virtual Rect desktopRect() = 0;
    // What this desktop lets the backend do; everything unless overridden.
    virtual Availability availability(Service) { return Availability::offered(); }

    // --- GUI thread ---
    // Where captured events and hotkey presses go; null stops delivery.
    virtual void setListener(CaptureListener* listener) = 0;
    // Registers a global hotkey under id, replacing what id held: modifiers
    // are HotkeyModifiers bits. With ModAnyModifiers the key fires it with
    // any modifiers held, and takes precedence over another id's exact
    // combination on the same key; when that is refused, the exact
    // combination is registered instead (ExactOnly). On a refusal id holds
    // nothing.
    virtual HotkeyResult registerHotkey(int id, uint32_t modifiers, uint32_t virtualKey) = 0;
    virtual void unregisterHotkey(int id) = 0;
    // Starts and stops listening to the keyboard and mouse. nativeWindow is
    // the main window's native handle, where a backend needs a target.
    virtual void startCapture(uintptr_t nativeWindow) = 0;
    virtual void stopCapture() = 0;
    // A descriptor that becomes readable when events are pending, or -1 when
    // the backend's events arrive through the native message loop.
    virtual int eventDescriptor() const = 0;
    // Delivers every pending event to the listener. Never blocks.
    virtual void processPendingEvents() = 0;
    // Now, in the clock that stamps captured events (a round trip to the
    // server where that clock is the server's).
    virtual uint32_t captureTime() = 0;
};

// Opens the backend named (on Linux "x11" or "wayland"), or with no name
// the one this system calls for (chosen by the build, and on Linux by the
// environment and what the session offers). Null with a reason in *error
// when none can open.
std::unique_ptr<Platform> createPlatform(const std::string& backend, std::string* error);
inline std::unique_ptr<Platform> createPlatform(std::string* error) { return createPlatform({}, error); }

}  // namespace platform
