#include "X11Platform.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <sys/epoll.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include "X11Capture.h"
#include "X11ErrorTrap.h"
#include "X11Hotkeys.h"

namespace platform {

namespace {

// While a key is held, RECORD's auto-repeat presses come with no raw event
// that would make us flush the server; poll at this period instead.
constexpr long RepeatFlushPeriodNs = 5 * 1000 * 1000;
// After our own round trips, drain again at most this often per activation.
constexpr int DrainRounds = 4;

constexpr uint16_t KeyDownBit = 0x8000;

constexpr unsigned XButtonLeft = 1, XButtonMiddle = 2, XButtonRight = 3;
constexpr unsigned XButtonWheelAway = 4, XButtonWheelToward = 5;
constexpr unsigned XButtonX1 = 8, XButtonX2 = 9;
constexpr int HighWordShift = 16;
// Wheel clicks sent between two round trips to the server.
constexpr int WheelClicksPerRoundTrip = 32;

struct ButtonRow {
    uint32_t downFlag, upFlag;
    unsigned xButton;
};
constexpr ButtonRow ButtonRows[] = {
    {MouseLeftDown, MouseLeftUp, XButtonLeft},
    {MouseRightDown, MouseRightUp, XButtonRight},
    {MouseMiddleDown, MouseMiddleUp, XButtonMiddle},
};

// The generic modifier codes stand for either hand's key.
bool matchesVirtualKey(uint32_t reported, uint32_t asked) {
    if (reported == asked) return true;
    switch (asked) {
    case VkShift: return reported == VkLShift || reported == VkRShift;
    case VkControl: return reported == VkLControl || reported == VkRControl;
    case VkMenu: return reported == VkLMenu || reported == VkRMenu;
    default: return false;
    }
}

void closeDisplay(Display* display) {
    if (!display) return;
    XCloseDisplay(display);
    X11ErrorTrap::unwatch(display);
}

}  // namespace

std::unique_ptr<X11Platform> X11Platform::open(std::string* error) {
    auto fail = [error](const std::string& reason) {
        if (error) *error = reason;
        return nullptr;
    };
    X11ErrorTrap::endOnConnectionLoss();
    const char* name = XDisplayName(nullptr);
    Display* inject = XOpenDisplay(nullptr);
    if (!inject) return fail(std::string("cannot open the X display \"") + name + "\" (is DISPLAY set?)");
    X11ErrorTrap::watch(inject);
    int event = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(inject, &event, &errorBase, &major, &minor)) {
        closeDisplay(inject);
        return fail("the X server lacks the XTEST extension needed to inject input");
    }
    int opcode = 0;
    major = XkbMajorVersion;
    minor = XkbMinorVersion;
    if (!XkbQueryExtension(inject, &opcode, &event, &errorBase, &major, &minor)) {
        closeDisplay(inject);
        return fail("the X server lacks the XKEYBOARD extension");
    }
    Display* gui = XOpenDisplay(nullptr);
    Display* data = gui ? XOpenDisplay(nullptr) : nullptr;
    if (!gui || !data) {
        if (gui) XCloseDisplay(gui);
        closeDisplay(inject);
        return fail(std::string("cannot open further connections to the X display \"") + name + "\"");
    }
    X11ErrorTrap::watch(gui);
    X11ErrorTrap::watch(data);
    std::unique_ptr<X11Platform> platform(new X11Platform(inject, gui, data));
    if (!platform->setUpDescriptors()) return fail("cannot create the event descriptors for the X connections");
    return platform;
}

X11Platform::X11Platform(Display* inject, Display* gui, Display* data)
    : inject_(inject), gui_(gui), data_(data) {
    int opcode = 0, errorBase = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    XkbQueryExtension(gui_, &opcode, &xkbEventBase_, &errorBase, &major, &minor);
    XkbSelectEvents(gui_, XkbUseCoreKbd, XkbNewKeyboardNotifyMask | XkbMapNotifyMask,
                    XkbNewKeyboardNotifyMask | XkbMapNotifyMask);
    int xiMajor = 2, xiMinor = 2;
    XIQueryVersion(inject_, &xiMajor, &xiMinor);
    hotkeys_ = std::make_unique<X11Hotkeys>(gui_);
    capture_ = std::make_unique<X11Capture>(gui_, data_);
    reloadLayout();
}

X11Platform::~X11Platform() {
    capture_.reset();
    hotkeys_.reset();
    if (repeatTimerFd_ >= 0) ::close(repeatTimerFd_);
    if (epollFd_ >= 0) ::close(epollFd_);
    closeDisplay(data_);
    closeDisplay(gui_);
    closeDisplay(inject_);
}

bool X11Platform::setUpDescriptors() {
    epollFd_ = epoll_create1(EPOLL_CLOEXEC);
    repeatTimerFd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (epollFd_ < 0 || repeatTimerFd_ < 0) return false;
    for (int fd : {ConnectionNumber(gui_), ConnectionNumber(data_), repeatTimerFd_}) {
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.fd = fd;
        if (epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &ev) != 0) return false;
    }
    return true;
}

// --- Any thread ---

void X11Platform::sendInput(const InputRecord& record, const SendInterruption* interruption) {
    int wheelClicks = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (record.type == InputRecord::Keyboard)
            sendKey(record.keyboard);
        else
            wheelClicks = sendMouse(record.mouse);
        XFlush(inject_);
    }
    sendWheelClicks(wheelClicks, interruption);
}

void X11Platform::sendKey(const KeyboardInput& key) {
    const bool extended = key.flags & KeyExtended;
    uint8_t keycode = 0;
    if (key.flags & KeyScanCode) {
        keycode = layout_.keycodeOfScanCode(ScanCode{key.scanCode, extended});
    } else {
        // A virtual key sent with the extended flag names the E0 key of its
        // scan code (Return -> keypad Enter); otherwise the layout decides.
        if (extended)
            keycode = layout_.keycodeOfScanCode(ScanCode{layout_.scanCodeOfVirtualKey(key.virtualKey), true});
        if (!keycode) keycode = layout_.keycodeOfVirtualKey(key.virtualKey);
    }
    if (keycode) XTestFakeKeyEvent(inject_, keycode, !(key.flags & KeyUp), CurrentTime);
}

// Sends all but the wheel; returns the wheel clicks the record asks for.
int X11Platform::sendMouse(const MouseInput& mouse) {
    if (mouse.flags & MouseMove) {
        if (mouse.flags & MouseAbsolute) {
            const int screen = DefaultScreen(inject_);
            XTestFakeMotionEvent(inject_, screen, pixelOfAbsolute(mouse.dx, DisplayWidth(inject_, screen)),
                                 pixelOfAbsolute(mouse.dy, DisplayHeight(inject_, screen)), CurrentTime);
        } else {
            XTestFakeRelativeMotionEvent(inject_, mouse.dx, mouse.dy, CurrentTime);
        }
    }
    for (const ButtonRow& row : ButtonRows) {
        if (mouse.flags & row.downFlag) XTestFakeButtonEvent(inject_, row.xButton, True, CurrentTime);
        if (mouse.flags & row.upFlag) XTestFakeButtonEvent(inject_, row.xButton, False, CurrentTime);
    }
    for (uint32_t flag : {uint32_t(MouseXDown), uint32_t(MouseXUp)}) {
        if (!(mouse.flags & flag)) continue;
        if (mouse.mouseData & XButton1) XTestFakeButtonEvent(inject_, XButtonX1, flag == MouseXDown, CurrentTime);
        if (mouse.mouseData & XButton2) XTestFakeButtonEvent(inject_, XButtonX2, flag == MouseXDown, CurrentTime);
    }
    return (mouse.flags & MouseWheel) ? wheel_.add(static_cast<int32_t>(mouse.mouseData)) : 0;
}

// One wheel record can ask for millions of clicks: each takes the lock on
// its own, so other threads (the GUI's capture) get their turn, and a stop
// drops the rest. The flush happens outside the lock, since it blocks while
// the server lags behind; a round trip every few clicks keeps that lag, and
// so what is still on its way after a stop, to those few clicks.
void X11Platform::sendWheelClicks(int clicks, const SendInterruption* interruption) {
    const unsigned button = clicks > 0 ? XButtonWheelAway : XButtonWheelToward;
    int64_t sent = 0;
    for (int64_t left = clicks > 0 ? int64_t{clicks} : -int64_t{clicks}; left > 0; --left) {
        if (interruption && interruption->interrupted()) return;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            XTestFakeButtonEvent(inject_, button, True, CurrentTime);
            XTestFakeButtonEvent(inject_, button, False, CurrentTime);
        }
        if (++sent % WheelClicksPerRoundTrip == 0)
            XSync(inject_, False);
        else
            XFlush(inject_);
    }
}

uint16_t X11Platform::scanCodeOfVirtualKey(uint32_t virtualKey) {
    std::lock_guard<std::mutex> lock(mutex_);
    return layout_.scanCodeOfVirtualKey(virtualKey);
}

uint16_t X11Platform::asyncKeyState(int virtualKey) {
    std::lock_guard<std::mutex> lock(mutex_);
    const uint32_t vk = static_cast<uint32_t>(virtualKey);
    const Window rootWindow = DefaultRootWindow(inject_);
    if (vk == VkLeftButton || vk == VkRightButton || vk == VkMiddleButton) {
        Window root, child;
        int rx, ry, wx, wy;
        unsigned mask = 0;
        if (!XQueryPointer(inject_, rootWindow, &root, &child, &rx, &ry, &wx, &wy, &mask)) return 0;
        const unsigned bit = vk == VkLeftButton ? Button1Mask : vk == VkRightButton ? Button3Mask : Button2Mask;
        return (mask & bit) ? KeyDownBit : 0;
    }
    if (vk == VkXButton1 || vk == VkXButton2) {
        int pointer = 0;
        if (!XIGetClientPointer(inject_, None, &pointer)) return 0;
        Window root, child;
        double rx, ry, wx, wy;
        XIButtonState buttons{};
        XIModifierState mods{};
        XIGroupState group{};
        if (!XIQueryPointer(inject_, pointer, rootWindow, &root, &child, &rx, &ry, &wx, &wy, &buttons, &mods,
                            &group))
            return 0;
        const int button = vk == VkXButton1 ? XButtonX1 : XButtonX2;
        const bool down = button < buttons.mask_len * 8 && XIMaskIsSet(buttons.mask, button);
        XFree(buttons.mask);
        return down ? KeyDownBit : 0;
    }
    // Only codes of the platform's own range have a state; the vocabulary's
    // keypad Enter (256) is not one: Return (13) answers for both Enter keys.
    if (vk == 0 || vk > LastVirtualKey) return 0;
    char keys[32] = {};
    XQueryKeymap(inject_, keys);
    XkbStateRec state{};
    XkbGetState(inject_, XkbUseCoreKbd, &state);
    const bool numLock = state.locked_mods & numLockMask_;
    for (int keycode = 0; keycode < 256; ++keycode) {
        if (!(keys[keycode / 8] & (1 << (keycode % 8)))) continue;
        if (matchesVirtualKey(layout_.virtualKeyOfKeycode(static_cast<uint8_t>(keycode), numLock), vk))
            return KeyDownBit;
    }
    return 0;
}

bool X11Platform::cursorPosition(Point* position) {
    std::lock_guard<std::mutex> lock(mutex_);
    Window root, child;
    int rootX, rootY, winX, winY;
    unsigned int mask;
    if (!XQueryPointer(inject_, DefaultRootWindow(inject_), &root, &child, &rootX, &rootY, &winX, &winY, &mask))
        return false;
    *position = Point{rootX, rootY};
    return true;
}

Rect X11Platform::desktopRect() {
    std::lock_guard<std::mutex> lock(mutex_);
    const int screen = DefaultScreen(inject_);
    return Rect{0, 0, DisplayWidth(inject_, screen), DisplayHeight(inject_, screen)};
}

uint32_t X11Platform::captureTime() {
    // The server stamps a property change with its time, the clock of every
    // captured event; the injection connection selects no other events.
    std::lock_guard<std::mutex> lock(mutex_);
    if (!timeWindow_) {
        XSetWindowAttributes attributes{};
        attributes.event_mask = PropertyChangeMask;
        timeWindow_ = XCreateWindow(inject_, DefaultRootWindow(inject_), -1, -1, 1, 1, 0, CopyFromParent, InputOnly,
                                    CopyFromParent, CWEventMask, &attributes);
        timeAtom_ = XInternAtom(inject_, "_QUILLPRESS_CAPTURE_TIME", False);
    }
    XChangeProperty(inject_, timeWindow_, timeAtom_, XA_INTEGER, 8, PropModeAppend, nullptr, 0);
    XEvent event;
    XWindowEvent(inject_, timeWindow_, PropertyChangeMask, &event);
    return static_cast<uint32_t>(event.xproperty.time);
}

KeyboardLayout X11Platform::layout() {
    std::lock_guard<std::mutex> lock(mutex_);
    return layout_;
}

// --- GUI thread ---

void X11Platform::reloadLayout() {
    KeyboardLayout fresh;
    fresh.load(gui_);
    const unsigned numLockMask = XkbKeysymToModifiers(gui_, XK_Num_Lock);
    std::lock_guard<std::mutex> lock(mutex_);
    layout_ = fresh;
    numLockMask_ = numLockMask;
}

void X11Platform::setListener(CaptureListener* listener) { listener_ = listener; }

HotkeyResult X11Platform::registerHotkey(int id, uint32_t modifiers, uint32_t virtualKey) {
    hotkeyKeys_.erase(id);
    uint8_t keycode = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        keycode = layout_.keycodeOfVirtualKey(virtualKey);
    }
    const HotkeyResult result = hotkeys_->add(id, modifiers, keycode);
    if (isRegistered(result)) hotkeyKeys_[id] = virtualKey;
    return result;
}

void X11Platform::unregisterHotkey(int id) {
    hotkeys_->remove(id);
    hotkeyKeys_.erase(id);
}

void X11Platform::startCapture(uintptr_t) {
    keysDown_.clear();
    capture_->start();
}

void X11Platform::stopCapture() {
    capture_->stop();
    keysDown_.clear();
    updateRepeatTimer();
}

bool X11Platform::capturing() const { return capture_->active(); }

void X11Platform::processPendingEvents() {
    uint64_t expirations = 0;
    // System calls are what capture costs most on a busy machine: read only
    // what can have something.
    const bool timerFired = repeatTimerArmed_ && ::read(repeatTimerFd_, &expirations, sizeof expirations) > 0;
    bool layoutChanged = false;
    std::vector<int> hotkeyIds;
    std::vector<CapturedEvent> events;
    XEventsQueued(gui_, QueuedAfterReading);
    for (int round = 0; round < DrainRounds; ++round) {
        while (XEventsQueued(gui_, QueuedAlready) > 0) {
            XEvent event;
            XNextEvent(gui_, &event);
            if (capture_->takeControlEvent(&event)) continue;
            if (event.type == xkbEventBase_) {
                layoutChanged = true;
                continue;
            }
            if (int id = hotkeys_->idOfEvent(event)) hotkeyIds.push_back(id);
        }
        capture_->readRecordData(timerFired && round == 0);
        for (const CapturedEvent& e : capture_->takeEvents()) events.push_back(e);
        // Our round trip may have queued more events without waking the descriptor.
        if (!XEventsQueued(gui_, QueuedAlready)) break;
    }
    std::vector<std::pair<int, HotkeyResult>> lost;
    if (layoutChanged) {
        reloadLayout();
        lost = hotkeys_->regrab([this](int id) {
            std::lock_guard<std::mutex> lock(mutex_);
            return layout_.keycodeOfVirtualKey(hotkeyKeys_[id]);
        });
        for (const auto& [id, why] : lost) hotkeyKeys_.erase(id);
    }
    for (const CapturedEvent& e : events) deliver(e);
    for (int id : hotkeyIds)
        if (listener_) listener_->hotkey(id);
    for (const auto& [id, why] : lost)
        if (listener_) listener_->hotkeyLost(id, why);
    updateRepeatTimer();
}

void X11Platform::deliver(const CapturedEvent& event) {
    switch (event.kind) {
    case CapturedEvent::Key:
        deliverKey(event);
        break;
    case CapturedEvent::Button:
        deliverButton(event);
        break;
    case CapturedEvent::Motion:
        if (listener_)
            listener_->rawMovement(RawMovement{static_cast<int32_t>(event.rawX), static_cast<int32_t>(event.rawY),
                                               static_cast<uint32_t>(event.time)});
        break;
    }
}

void X11Platform::deliverKey(const CapturedEvent& event) {
    uint32_t vk = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        vk = layout_.virtualKeyOfKeycode(static_cast<uint8_t>(event.detail), event.state & numLockMask_);
    }
    const uint32_t message = keysDown_.message(vk, event.pressed);
    if (!message) return;
    if (listener_) listener_->keyboardEvent(KeyEvent{message, vk, static_cast<uint32_t>(event.time)});
}

void X11Platform::deliverButton(const CapturedEvent& event) {
    MouseEvent out;
    out.time = static_cast<uint32_t>(event.time);
    switch (event.detail) {
    case XButtonLeft: out.message = event.pressed ? MsgLeftDown : MsgLeftUp; break;
    case XButtonRight: out.message = event.pressed ? MsgRightDown : MsgRightUp; break;
    case XButtonMiddle: out.message = event.pressed ? MsgMiddleDown : MsgMiddleUp; break;
    case XButtonX1:
    case XButtonX2:
        out.message = event.pressed ? MsgXDown : MsgXUp;
        out.mouseData = (event.detail == XButtonX1 ? XButton1 : XButton2) << HighWordShift;
        break;
    case XButtonWheelAway:
    case XButtonWheelToward:
        if (!event.pressed) return;  // a click's release is no wheel event
        out.message = MsgMouseWheel;
        out.mouseData = static_cast<uint32_t>(static_cast<uint16_t>(
                            event.detail == XButtonWheelAway ? WheelDelta : -WheelDelta))
                        << HighWordShift;
        break;
    default:
        return;  // horizontal wheel and further buttons have no message here
    }
    if (listener_) listener_->mouseEvent(out);
}

void X11Platform::updateRepeatTimer() {
    const bool anyDown = keysDown_.anyDown();
    if (anyDown == repeatTimerArmed_) return;
    itimerspec period{};
    if (anyDown) {
        period.it_value.tv_nsec = RepeatFlushPeriodNs;
        period.it_interval.tv_nsec = RepeatFlushPeriodNs;
    }
    timerfd_settime(repeatTimerFd_, 0, &period, nullptr);
    repeatTimerArmed_ = anyDown;
}

}  // namespace platform
