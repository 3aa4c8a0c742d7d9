#include "X11Hotkeys.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include "X11ErrorTrap.h"
#include "platform/InputRecords.h"

namespace platform {

namespace {

// The modifiers a hotkey is told apart by; the lock keys never count.
constexpr unsigned HotkeyModifierMask = ShiftMask | ControlMask | Mod1Mask | Mod4Mask;

unsigned xModifiersOf(uint32_t modifiers) {
    unsigned mask = 0;
    if (modifiers & ModAlt) mask |= Mod1Mask;
    if (modifiers & ModControl) mask |= ControlMask;
    if (modifiers & ModShift) mask |= ShiftMask;
    if (modifiers & ModWin) mask |= Mod4Mask;
    return mask;
}

// Holds the server while the grabs of a change are swapped, so no other
// client can take a combination between our ungrab and our grab.
class ServerHold {
public:
    explicit ServerHold(Display* display) : display_(display) { XGrabServer(display_); }
    ~ServerHold() {
        XUngrabServer(display_);
        XFlush(display_);
    }
    ServerHold(const ServerHold&) = delete;
    ServerHold& operator=(const ServerHold&) = delete;

private:
    Display* display_;
};

}  // namespace

X11Hotkeys::X11Hotkeys(Display* display) : display_(display) {
    numLockMask_ = XkbKeysymToModifiers(display_, XK_Num_Lock);
    scrollLockMask_ = XkbKeysymToModifiers(display_, XK_Scroll_Lock);
    // Held keys then repeat as presses only, which keysDown_ filters out.
    Bool supported = False;
    XkbSetDetectableAutoRepeat(display_, True, &supported);
}

X11Hotkeys::~X11Hotkeys() {
    for (const auto& entry : byId_)
        XUngrabKey(display_, entry.second.keycode, AnyModifier, DefaultRootWindow(display_));
    sync();
}

bool X11Hotkeys::sync() {
    XSync(display_, False);
    return X11ErrorTrap::takeError(display_) == 0;
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

bool X11Hotkeys::grabExact(const Registration& r) {
    const Window root = DefaultRootWindow(display_);
    X11ErrorTrap::takeError(display_);
    for (unsigned locks : lockCombinations())
        XGrabKey(display_, r.keycode, r.xModifiers | locks, root, False, GrabModeAsync, GrabModeAsync);
    if (sync()) return true;
    // Another client holds some of it: undo the grabs that did take.
    ungrabExact(r);
    return false;
}

void X11Hotkeys::ungrabExact(const Registration& r) {
    const Window root = DefaultRootWindow(display_);
    for (unsigned locks : lockCombinations()) XUngrabKey(display_, r.keycode, r.xModifiers | locks, root);
    sync();
}

bool X11Hotkeys::grabAnyModifiers(uint8_t keycode) {
    X11ErrorTrap::takeError(display_);
    // Refused whole when another client holds any combination of the key;
    // taken, it replaces our own exact grabs of the key.
    XGrabKey(display_, keycode, AnyModifier, DefaultRootWindow(display_), False, GrabModeAsync, GrabModeAsync);
    return sync();
}

bool X11Hotkeys::anyModifiersHeld(uint8_t keycode, int except) const {
    for (const auto& entry : byId_)
        if (entry.first != except && entry.second.keycode == keycode && entry.second.anyModifiers) return true;
    return false;
}

void X11Hotkeys::narrow(uint8_t keycode) {
    // An ungrab of one combination would cut a hole into a grab of any
    // modifiers, so everything of the key goes and the exact ones return.
    // While we held the key no other client could grab any of it, and the
    // server is held now, so these grabs take.
    XUngrabKey(display_, keycode, AnyModifier, DefaultRootWindow(display_));
    for (const auto& entry : byId_)
        if (entry.second.keycode == keycode) grabExact(entry.second);
}

HotkeyResult X11Hotkeys::add(int id, uint32_t modifiers, uint8_t keycode) {
    const Registration wanted{xModifiersOf(modifiers), keycode, (modifiers & ModAnyModifiers) != 0};
    // Widening what id holds is one request (a run waits for it): the grab of
    // any modifiers replaces our exact grabs, and a refusal leaves them be.
    const auto held = byId_.find(id);
    if (wanted.anyModifiers && held != byId_.end() && !held->second.anyModifiers &&
        held->second.keycode == keycode && held->second.xModifiers == wanted.xModifiers) {
        if (!anyModifiersHeld(keycode, id) && !grabAnyModifiers(keycode)) return HotkeyResult::ExactOnly;
        held->second.anyModifiers = true;
        return HotkeyResult::Registered;
    }
    ServerHold hold(display_);
    release(id);
    return place(id, wanted);
}

HotkeyResult X11Hotkeys::place(int id, Registration wanted) {
    if (!wanted.keycode) return HotkeyResult::NoSuchKey;
    for (const auto& entry : byId_)
        if (entry.second.keycode == wanted.keycode && entry.second.xModifiers == wanted.xModifiers)
            return HotkeyResult::HeldByThisProgram;
    // Another id's grab of any modifiers already covers every combination.
    const bool covered = anyModifiersHeld(wanted.keycode, id);
    if (wanted.anyModifiers && (covered || grabAnyModifiers(wanted.keycode))) {
        byId_[id] = wanted;
        return HotkeyResult::Registered;
    }
    const bool askedWide = wanted.anyModifiers;
    wanted.anyModifiers = false;
    if (!covered && !grabExact(wanted)) return HotkeyResult::HeldByAnotherProgram;
    byId_[id] = wanted;
    return askedWide ? HotkeyResult::ExactOnly : HotkeyResult::Registered;
}

void X11Hotkeys::remove(int id) {
    ServerHold hold(display_);
    release(id);
}

void X11Hotkeys::release(int id) {
    auto it = byId_.find(id);
    if (it == byId_.end()) return;
    const Registration old = it->second;
    byId_.erase(it);
    if (anyModifiersHeld(old.keycode, id)) return;  // still covered; its grab stays whole
    if (old.anyModifiers)
        narrow(old.keycode);
    else
        ungrabExact(old);
}

std::vector<std::pair<int, HotkeyResult>> X11Hotkeys::regrab(const std::function<uint8_t(int id)>& keycodeOf) {
    ServerHold hold(display_);
    std::map<int, Registration> old;
    old.swap(byId_);
    for (const auto& entry : old)
        XUngrabKey(display_, entry.second.keycode, AnyModifier, DefaultRootWindow(display_));
    sync();
    std::vector<std::pair<int, HotkeyResult>> lost;
    for (const auto& entry : old) {
        Registration moved = entry.second;
        moved.keycode = keycodeOf(entry.first);
        const HotkeyResult result = place(entry.first, moved);
        if (!isRegistered(result)) lost.emplace_back(entry.first, result);
    }
    return lost;
}

int X11Hotkeys::idOfEvent(const XEvent& event) {
    if (event.type != KeyPress && event.type != KeyRelease) return 0;
    const uint8_t keycode = static_cast<uint8_t>(event.xkey.keycode);
    if (event.type == KeyRelease) {
        keysDown_.erase(keycode);
        return 0;
    }
    const unsigned mods = event.xkey.state & HotkeyModifierMask;
    int id = 0;
    // A registration of any modifiers takes its key's every press.
    for (const auto& entry : byId_) {
        if (entry.second.keycode == keycode && entry.second.anyModifiers) {
            id = entry.first;
            break;
        }
    }
    for (const auto& entry : byId_) {
        if (id) break;
        if (entry.second.keycode == keycode && entry.second.xModifiers == mods) id = entry.first;
    }
    if (!id || !keysDown_.insert(keycode).second) return 0;  // none, or auto-repeat
    return id;
}

}  // namespace platform
