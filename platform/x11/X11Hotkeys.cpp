#include "X11Hotkeys.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include "X11ErrorTrap.h"
#include "platform/InputRecords.h"

namespace platform {

namespace {

unsigned xModifiersOf(uint32_t modifiers) {
    unsigned mask = 0;
    if (modifiers & ModAlt) mask |= Mod1Mask;
    if (modifiers & ModControl) mask |= ControlMask;
    if (modifiers & ModShift) mask |= ShiftMask;
    if (modifiers & ModWin) mask |= Mod4Mask;
    return mask;
}

}  // namespace

X11Hotkeys::X11Hotkeys(Display* display) : display_(display) {
    numLockMask_ = XkbKeysymToModifiers(display_, XK_Num_Lock);
    scrollLockMask_ = XkbKeysymToModifiers(display_, XK_Scroll_Lock);
    // Held keys then repeat as presses only, which keysDown_ filters out.
    Bool supported = False;
    XkbSetDetectableAutoRepeat(display_, True, &supported);
}

X11Hotkeys::~X11Hotkeys() {
    for (const auto& entry : byId_) ungrab(entry.second);
    XSync(display_, False);
    X11ErrorTrap::takeError(display_);
}

std::vector<unsigned> X11Hotkeys::lockCombinations() const {
    std::vector<unsigned> locks{0};
    for (unsigned lock : {static_cast<unsigned>(LockMask), numLockMask_, scrollLockMask_}) {
        if (!lock) continue;
        const size_t n = locks.size();
        for (size_t i = 0; i < n; ++i) locks.push_back(locks[i] | lock);
    }
    return locks;
}

bool X11Hotkeys::grab(const Combination& c) {
    const Window root = DefaultRootWindow(display_);
    X11ErrorTrap::takeError(display_);
    for (unsigned locks : lockCombinations())
        XGrabKey(display_, c.keycode, c.xModifiers | locks, root, False, GrabModeAsync, GrabModeAsync);
    XSync(display_, False);
    if (!X11ErrorTrap::takeError(display_)) return true;
    // Another client holds some of it: undo the grabs that did take.
    ungrab(c);
    return false;
}

void X11Hotkeys::ungrab(const Combination& c) {
    const Window root = DefaultRootWindow(display_);
    for (unsigned locks : lockCombinations()) XUngrabKey(display_, c.keycode, c.xModifiers | locks, root);
    XSync(display_, False);
    X11ErrorTrap::takeError(display_);
}

bool X11Hotkeys::add(int id, uint32_t modifiers, uint8_t keycode) {
    remove(id);
    if (!keycode) return false;
    const Combination c{xModifiersOf(modifiers), keycode};
    for (const auto& entry : byId_)
        if (!(entry.second < c) && !(c < entry.second)) return false;
    if (!grab(c)) return false;
    byId_[id] = c;
    return true;
}

void X11Hotkeys::remove(int id) {
    auto it = byId_.find(id);
    if (it == byId_.end()) return;
    ungrab(it->second);
    byId_.erase(it);
}

void X11Hotkeys::regrab(const std::function<uint8_t(int id)>& keycodeOf) {
    std::map<int, Combination> old;
    old.swap(byId_);
    for (const auto& entry : old) ungrab(entry.second);
    for (const auto& entry : old) {
        Combination c{entry.second.xModifiers, keycodeOf(entry.first)};
        if (c.keycode && grab(c)) byId_[entry.first] = c;
    }
}

int X11Hotkeys::idOfEvent(const XEvent& event) {
    if (event.type != KeyPress && event.type != KeyRelease) return 0;
    const uint8_t keycode = static_cast<uint8_t>(event.xkey.keycode);
    if (event.type == KeyRelease) {
        keysDown_.erase(keycode);
        return 0;
    }
    const unsigned relevant = ShiftMask | ControlMask | Mod1Mask | Mod4Mask;
    const unsigned mods = event.xkey.state & relevant;
    for (const auto& entry : byId_) {
        if (entry.second.keycode != keycode || entry.second.xModifiers != mods) continue;
        if (!keysDown_.insert(keycode).second) return 0;  // auto-repeat
        return entry.first;
    }
    return 0;
}

}  // namespace platform
