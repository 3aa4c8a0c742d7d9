#pragma once
// Global hotkeys as passive key grabs on the root window of a connection of
// their own, with the registry that X itself does not keep: one id per
// combination, first come first served. A registration with any modifiers
// is one AnyModifier grab of its key, which covers (and takes the events
// of) every exact combination of that key.

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "platform/Platform.h"

typedef struct _XDisplay Display;
typedef union _XEvent XEvent;

namespace platform {

class X11Hotkeys {
public:
    // display: the hotkey connection, owned by the caller.
    explicit X11Hotkeys(Display* display);
    ~X11Hotkeys();

    // modifiers: HotkeyModifiers bits (ModNoRepeat is implied).
    HotkeyResult add(int id, uint32_t modifiers, uint8_t keycode);
    void remove(int id);
    // Grabs every registration again with new keycodes (after a keymap
    // change); keycodeOf gives the keycode of a registered virtual key.
    // Returns the ids that could not be placed again, with why.
    std::vector<std::pair<int, HotkeyResult>> regrab(const std::function<uint8_t(int id)>& keycodeOf);
    // The id fired by an event of the hotkey connection, or 0.
    int idOfEvent(const XEvent& event);

private:
    struct Registration {
        unsigned xModifiers;
        uint8_t keycode;
        bool anyModifiers;
    };
    // The unlocked halves of add and remove; callers hold the server.
    HotkeyResult place(int id, Registration wanted);
    void release(int id);
    bool grabExact(const Registration& r);
    void ungrabExact(const Registration& r);
    bool grabAnyModifiers(uint8_t keycode);
    // Whether an id other than `except` holds keycode with any modifiers.
    bool anyModifiersHeld(uint8_t keycode, int except) const;
    // Drops every grab of keycode and grabs its exact registrations again.
    void narrow(uint8_t keycode);
    // Waits for the requests so far; false when one of them failed.
    bool sync();
    std::vector<unsigned> lockCombinations() const;

    Display* display_;
    unsigned numLockMask_ = 0;
    unsigned scrollLockMask_ = 0;
    std::map<int, Registration> byId_;
    std::set<uint8_t> keysDown_;  // grabbed keys whose press was delivered
};

}  // namespace platform
