#pragma once
// A platform that records every call in order and answers from settable
// state, so tests can assert exactly what the program sends.

#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "../Platform.h"

namespace platform {

class FakePlatform : public Platform {
public:
    FakePlatform();

    // One record, whatever it asks for: the interruption is never needed.
    void sendInput(const InputRecord& record, const SendInterruption* interruption = nullptr) override;
    uint16_t scanCodeOfVirtualKey(uint32_t virtualKey) override;
    uint16_t asyncKeyState(int virtualKey) override;
    bool cursorPosition(Point* position) override;
    Rect desktopRect() override;
    Availability availability(Service service) override;

    void setListener(CaptureListener* listener) override;
    HotkeyResult registerHotkey(int id, uint32_t modifiers, uint32_t virtualKey) override;
    void unregisterHotkey(int id) override;
    void startCapture(uintptr_t nativeWindow) override;
    void stopCapture() override;
    int eventDescriptor() const override { return -1; }
    void processPendingEvents() override;
    // The fake's capture clock: one step on at every reading and at every
    // event pushed without a time of its own, so events fall in push order.
    uint32_t captureTime() override;

    // --- What was called ---
    // Every call, in order, as one readable line ("sendInput key vk=0 scan=30 flags=8").
    std::vector<std::string> calls() const;
    // The records sent, in order.
    std::vector<InputRecord> sentInputs() const;
    void clearCalls();

    // --- What the fake answers ---
    void setDesktopSize(int width, int height);
    // Makes the cursor query fail (true) or succeed (false).
    void setCursorFails(bool fails);
    void setCursor(Point position);
    void setKeyDown(int virtualKey, bool down);
    void setScanCode(uint32_t virtualKey, uint16_t scanCode);
    // The desktop lacks service, for reason; an empty reason offers it
    // again (the fake offers all until told otherwise).
    void setMissing(Service service, std::string reason);

    // Another program holds the combination (modifiers without ModNoRepeat).
    void holdElsewhere(uint32_t modifiers, uint32_t virtualKey);

    struct Hotkey {
        uint32_t modifiers;  // without ModNoRepeat; ModAnyModifiers when held wide
        uint32_t virtualKey;
        bool operator<(const Hotkey& o) const {
            return modifiers != o.modifiers ? modifiers < o.modifiers : virtualKey < o.virtualKey;
        }
        bool operator==(const Hotkey& o) const {
            return modifiers == o.modifiers && virtualKey == o.virtualKey;
        }
    };
    // The hotkeys registered now, by id.
    std::map<int, Hotkey> hotkeys() const;
    bool capturing() const;

    // --- Events a test makes happen; delivered by processPendingEvents ---
    void pushKeyEvent(KeyEvent event);
    // Presses a key combination: the id that holds it, if any, gets a hotkey
    // event; an id holding the key with any modifiers comes first.
    void pressHotkey(uint32_t modifiers, uint32_t virtualKey);
    // The system takes hotkey id back, as a keyboard layout change may.
    void loseHotkey(int id, HotkeyResult why);

private:
    using LostHotkey = std::pair<int, HotkeyResult>;
    using Pending = std::variant<KeyEvent, MouseEvent, RawMovement, int, LostHotkey>;
    void log(std::string line);

    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
    std::vector<InputRecord> inputs_;
    std::map<uint32_t, uint16_t> scanCodes_;
    std::set<int> keysDown_;
    Point cursor_;
    bool cursorFails_ = false;
    Rect desktop_{0, 0, 1920, 1080};
    std::map<int, Hotkey> hotkeys_;
    std::set<Hotkey> heldElsewhere_;
    bool capturing_ = false;
    std::map<Service, std::string> missing_;
    CaptureListener* listener_ = nullptr;
    std::deque<Pending> pending_;
    uint32_t clock_ = 1000;
};

}  // namespace platform
