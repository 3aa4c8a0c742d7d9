#pragma once
// Global hotkeys as passive key grabs on the root window of a connection of
// their own, with the registry that X itself does not keep: one id per
// combination, first come first served.

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <vector>

typedef struct _XDisplay Display;
typedef union _XEvent XEvent;

namespace platform {

class X11Hotkeys {
public:
    // display: the hotkey connection, owned by the caller.
    explicit X11Hotkeys(Display* display);
    ~X11Hotkeys();

    // modifiers: HotkeyModifiers bits (ModNoRepeat is implied). False when
    // the keycode is 0, another id holds the combination, or another client
    // has grabbed it.
    bool add(int id, uint32_t modifiers, uint8_t keycode);
    void remove(int id);
    // Grabs every combination again with new keycodes (after a keymap
    // change); keycodeOf gives the keycode of a registered virtual key.
    void regrab(const std::function<uint8_t(int id)>& keycodeOf);
    // The id fired by an event of the hotkey connection, or 0.
    int idOfEvent(const XEvent& event);

private:
    struct Combination {
        unsigned xModifiers;
        uint8_t keycode;
        bool operator<(const Combination& o) const {
            return xModifiers != o.xModifiers ? xModifiers < o.xModifiers : keycode < o.keycode;
        }
    };
    bool grab(const Combination& c);
    void ungrab(const Combination& c);
    std::vector<unsigned> lockCombinations() const;

    Display* display_;
    unsigned numLockMask_ = 0;
    unsigned scrollLockMask_ = 0;
    std::map<int, Combination> byId_;
    std::set<uint8_t> keysDown_;  // grabbed keys whose press was delivered
};

}  // namespace platform
