#include "WaylandPlatform.h"

#include <linux/input-event-codes.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/DisplayLoss.h"
#include "platform/linux/ScanCodeEvdev.h"
#include "platform/linux/VirtualKeyPositions.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace platform {

namespace {

constexpr const char KeyboardManagerInterface[] = "zwp_virtual_keyboard_manager_v1";
constexpr const char PointerManagerInterface[] = "zwlr_virtual_pointer_manager_v1";
constexpr uint32_t KeyboardManagerVersion = 1;
constexpr uint32_t PointerManagerVersion = 1;
// Version 2 of wl_output adds the scale, which the layout's size needs.
constexpr uint32_t OutputVersion = 2;
constexpr uint32_t SeatVersion = 1;

// The keymap every key and typed character is read with, whatever layout
// the user has: a key name and the typing table then mean one key.
constexpr const char KeymapRules[] = "evdev";
constexpr const char KeymapModel[] = "pc105";
constexpr const char KeymapLayout[] = "us";
// X keycodes are evdev codes + 8.
constexpr uint32_t XkbKeycodeOffset = 8;
// Keys sent right after a keymap upload were seen lost with sway (none from
// 200 ms on). With the round trip after the upload, a keyboard added next to
// another lost none without the wait; it is kept for the seat whose first
// keyboard ours is, and costs 200 ms once, at start.
constexpr int KeymapSettleMs = 200;

// Why services are missing here, as the user is told.
constexpr char NoHotkeysReason[] = "wlroots compositors offer no global hotkeys to programs";
constexpr char UnknownPointerReason[] =
    "the compositor tells no program where the pointer is; it is known once the program has "
    "placed it (SetMousePosition)";
constexpr char KeyStateReason[] =
    "the state of keys and buttons needs read access to /dev/input (the input group)";

// One notch of a wheel as libinput reports it, in the axis' units.
constexpr double WheelNotchValue = 15.0;
// Wheel clicks sent between two round trips to the compositor.
constexpr int WheelClicksPerRoundTrip = 32;
// How long a full socket may stay full before the compositor counts as gone.
constexpr int FlushTimeoutMs = 5000;
// Where the kernel's input devices are, read for recording and key state.
constexpr const char InputDirectory[] = "/dev/input";


struct ButtonRow {
    uint32_t downFlag, upFlag;
    uint32_t button;
};
constexpr ButtonRow ButtonRows[] = {
    {MouseLeftDown, MouseLeftUp, BTN_LEFT},
    {MouseRightDown, MouseRightUp, BTN_RIGHT},
    {MouseMiddleDown, MouseMiddleUp, BTN_MIDDLE},
};

// The devices' codes whose state answers for a virtual key: a generic
// modifier for either hand's key, Return for both Enter keys, as a hook
// reports them; none outside the hook's range.
std::vector<uint16_t> evdevCodesOfVirtualKey(uint32_t vk) {
    switch (vk) {
    case VkLeftButton: return {BTN_LEFT};
    case VkRightButton: return {BTN_RIGHT};
    case VkMiddleButton: return {BTN_MIDDLE};
    case VkXButton1: return {BTN_SIDE};
    case VkXButton2: return {BTN_EXTRA};
    case VkShift: return {KEY_LEFTSHIFT, KEY_RIGHTSHIFT};
    case VkControl: return {KEY_LEFTCTRL, KEY_RIGHTCTRL};
    case VkMenu: return {KEY_LEFTALT, KEY_RIGHTALT};
    case VkReturn: return {KEY_ENTER, KEY_KPENTER};
    default: break;
    }
    if (vk > LastVirtualKey) return {};
    const uint16_t code = evdevOfVirtualKey(vk);
    return code ? std::vector<uint16_t>{code} : std::vector<uint16_t>{};
}

uint32_t nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000);
}

void say(const char* what) {
    std::fprintf(stderr, "quillpress: Wayland: %s\n", what);
}

// --- wl_output: position, current mode, scale and rotation ---

void outputGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t,
                    const char*, const char*, int32_t transform) {
    auto* out = static_cast<WaylandOutput*>(data);
    out->x = x;
    out->y = y;
    out->transform = transform;
}

void outputMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
    if (!(flags & WL_OUTPUT_MODE_CURRENT)) return;
    auto* out = static_cast<WaylandOutput*>(data);
    out->width = width;
    out->height = height;
}

void outputDone(void*, wl_output*) {}

void outputScale(void* data, wl_output*, int32_t factor) {
    static_cast<WaylandOutput*>(data)->scale = factor > 0 ? factor : 1;
}

// Only sent from version 4 on; the listener must still name them.
void outputText(void*, wl_output*, const char*) {}

constexpr wl_output_listener OutputListener = {outputGeometry, outputMode, outputDone,
                                               outputScale,    outputText, outputText};

void registryGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                    uint32_t version) {
    static_cast<WaylandPlatform*>(data)->globalAdded(registry, name, interface, version);
}

void registryGlobalRemove(void* data, wl_registry*, uint32_t name) {
    static_cast<WaylandPlatform*>(data)->globalRemoved(name);
}

constexpr wl_registry_listener RegistryListener = {registryGlobal, registryGlobalRemove};

}  // namespace

std::unique_ptr<WaylandPlatform> WaylandPlatform::open(std::string* error) {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        const char* name = std::getenv("WAYLAND_DISPLAY");
        if (error)
            *error = std::string("cannot connect to the Wayland compositor \"") +
                     (name ? name : "wayland-0") + "\": " + std::strerror(errno);
        return nullptr;
    }
    std::unique_ptr<WaylandPlatform> platform(new WaylandPlatform(display));
    const std::string reason = platform->setUp();
    if (!reason.empty()) {
        if (error) *error = reason;
        return nullptr;
    }
    return platform;
}

WaylandPlatform::WaylandPlatform(wl_display* display)
    : display_(display), devices_(InputDirectory) {
    // One descriptor for the GUI to wait on, whichever side has news.
    epollFd_ = epoll_create1(EPOLL_CLOEXEC);
    for (const int fd : {wl_display_get_fd(display_), devices_.descriptor()}) {
        epoll_event wake{};
        wake.events = EPOLLIN;
        if (epollFd_ >= 0 && fd >= 0 && epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &wake) < 0) {
            ::close(epollFd_);
            epollFd_ = -1;
        }
    }
    if (epollFd_ < 0)
        say((std::string("cannot wait for the input devices and the compositor at once (") +
             std::strerror(errno) + "): recorded input arrives late, with the compositor's "
             "next message")
                .c_str());
}

WaylandPlatform::~WaylandPlatform() {
    if (epollFd_ >= 0) ::close(epollFd_);
    if (keyboard_) zwp_virtual_keyboard_v1_destroy(keyboard_);
    if (pointer_) zwlr_virtual_pointer_v1_destroy(pointer_);
    if (pointerManager_) zwlr_virtual_pointer_manager_v1_destroy(pointerManager_);
    if (keyboardManager_) zwp_virtual_keyboard_manager_v1_destroy(keyboardManager_);
    for (auto& out : outputs_) wl_output_destroy(out->output);
    if (seat_) wl_seat_destroy(seat_);
    if (registry_) wl_registry_destroy(registry_);
    // What is still queued (the last releases) must reach the compositor.
    wl_display_roundtrip(display_);
    wl_display_disconnect(display_);
    if (keyState_) xkb_state_unref(keyState_);
    if (keymap_) xkb_keymap_unref(keymap_);
    if (xkbContext_) xkb_context_unref(xkbContext_);
}

// Returns why the backend cannot work here, empty when it can.
std::string WaylandPlatform::setUp() {
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &RegistryListener, this);
    // The first round trip lists the globals; the second brings the
    // outputs' descriptions.
    if (wl_display_roundtrip(display_) < 0 || wl_display_roundtrip(display_) < 0)
        return "the Wayland compositor closed the connection while listing its services";
    std::string missing;
    if (!keyboardManager_) missing = KeyboardManagerInterface;
    if (!pointerManager_)
        missing += std::string(missing.empty() ? "" : " and ") + PointerManagerInterface;
    if (!missing.empty())
        return "the Wayland compositor does not offer " + missing +
               " (wlroots compositors such as sway do; GNOME and KDE do not: there, input "
               "reaches Wayland windows only through the RemoteDesktop portal, which this "
               "version does not use yet)";
    if (!seat_) return "the Wayland compositor has no seat to send input to";
    if (!uploadKeymap())
        return "cannot build the US keymap with xkbcommon (is xkb-data installed?)";
    pointer_ = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointerManager_, seat_);
    if (wl_display_roundtrip(display_) < 0)
        return "the Wayland compositor refused the virtual keyboard or pointer";
    ::usleep(KeymapSettleMs * 1000);
    return {};
}

bool WaylandPlatform::uploadKeymap() {
    xkbContext_ = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
    if (!xkbContext_) return false;
    const xkb_rule_names names{KeymapRules, KeymapModel, KeymapLayout, "", ""};
    keymap_ = xkb_keymap_new_from_names(xkbContext_, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!keymap_) return false;
    keyState_ = xkb_state_new(keymap_);
    char* text = xkb_keymap_get_as_string(keymap_, XKB_KEYMAP_FORMAT_TEXT_V1);
    if (!keyState_ || !text) {
        std::free(text);
        return false;
    }
    const size_t size = std::strlen(text) + 1;  // the compositor reads a terminated string
    const int fd = memfd_create("quillpress-keymap", MFD_CLOEXEC);
    bool written = fd >= 0;
    for (size_t done = 0; written && done < size;) {
        const ssize_t n = ::write(fd, text + done, size - done);
        written = n > 0;
        if (written) done += static_cast<size_t>(n);
    }
    std::free(text);
    if (!written) {
        if (fd >= 0) ::close(fd);
        return false;
    }
    keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboardManager_, seat_);
    zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                   static_cast<uint32_t>(size));
    ::close(fd);  // the request carries its own copy of the descriptor
    return true;
}

void WaylandPlatform::globalAdded(wl_registry* registry, uint32_t name, const char* interface,
                                  uint32_t version) {
    const std::string which = interface;
    if (which == wl_seat_interface.name && !seat_) {
        seat_ = static_cast<wl_seat*>(
            wl_registry_bind(registry, name, &wl_seat_interface, SeatVersion));
    } else if (which == wl_output_interface.name && version >= OutputVersion) {
        auto out = std::make_unique<WaylandOutput>();
        out->name = name;
        out->output = static_cast<wl_output*>(
            wl_registry_bind(registry, name, &wl_output_interface, OutputVersion));
        wl_output_add_listener(out->output, &OutputListener, out.get());
        outputs_.push_back(std::move(out));
    } else if (which == KeyboardManagerInterface) {
        keyboardManager_ = static_cast<zwp_virtual_keyboard_manager_v1*>(wl_registry_bind(
            registry, name, &zwp_virtual_keyboard_manager_v1_interface, KeyboardManagerVersion));
    } else if (which == PointerManagerInterface) {
        pointerManager_ = static_cast<zwlr_virtual_pointer_manager_v1*>(wl_registry_bind(
            registry, name, &zwlr_virtual_pointer_manager_v1_interface, PointerManagerVersion));
    }
}

void WaylandPlatform::globalRemoved(uint32_t name) {
    auto gone = std::find_if(
        outputs_.begin(), outputs_.end(),
        [name](const std::unique_ptr<WaylandOutput>& out) { return out->name == name; });
    if (gone == outputs_.end()) return;
    wl_output_destroy((*gone)->output);
    outputs_.erase(gone);
}

// --- The connection, under mutex_ ---

// Dispatches what the compositor has sent, without waiting for more.
void WaylandPlatform::readPending() {
    while (wl_display_prepare_read(display_) != 0) wl_display_dispatch_pending(display_);
    pollfd readable{wl_display_get_fd(display_), POLLIN, 0};
    if (::poll(&readable, 1, 0) > 0)
        wl_display_read_events(display_);
    else
        wl_display_cancel_read(display_);
    wl_display_dispatch_pending(display_);
    checkConnection();
}

// Sends everything queued; a full socket is waited out, as the X library does.
void WaylandPlatform::flush() {
    while (wl_display_flush(display_) < 0) {
        if (errno != EAGAIN) break;
        pollfd writable{wl_display_get_fd(display_), POLLOUT, 0};
        if (::poll(&writable, 1, FlushTimeoutMs) <= 0)
            DisplayLoss::end("the Wayland compositor stopped reading our input");
    }
    checkConnection();
}

void WaylandPlatform::checkConnection() {
    if (const int code = wl_display_get_error(display_)) {
        const std::string what =
            std::string("the connection to the Wayland compositor broke: ") + std::strerror(code);
        DisplayLoss::end(what.c_str());
    }
}

// The layout's extent in logical pixels: motion_absolute addresses it whole.
Rect WaylandPlatform::layoutExtent() const {
    bool any = false;
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    for (const auto& out : outputs_) {
        if (out->width <= 0 || out->height <= 0) continue;
        const bool turned = out->transform % 2 == 1;  // 90 and 270 degrees, flipped or not
        const int32_t w = (turned ? out->height : out->width) / out->scale;
        const int32_t h = (turned ? out->width : out->height) / out->scale;
        left = any ? std::min(left, out->x) : out->x;
        top = any ? std::min(top, out->y) : out->y;
        right = any ? std::max(right, out->x + w) : out->x + w;
        bottom = any ? std::max(bottom, out->y + h) : out->y + h;
        any = true;
    }
    return Rect{0, 0, right - left, bottom - top};
}

// --- Any thread ---

void WaylandPlatform::sendInput(const InputRecord& record, const SendInterruption* interruption) {
    int wheelClicks = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        readPending();
        if (record.type == InputRecord::Keyboard)
            sendKey(record.keyboard);
        else
            wheelClicks = sendMouse(record.mouse);
        flush();
    }
    sendWheelClicks(wheelClicks, interruption);
}

void WaylandPlatform::sendKey(const KeyboardInput& key) {
    const bool extended = key.flags & KeyExtended;
    uint16_t evdev = 0;
    if (key.flags & KeyScanCode) {
        evdev = evdevOfScanCode(ScanCode{key.scanCode, extended});
    } else {
        // As on X11: a virtual key with the extended flag names the E0 key
        // of its scan code (Return -> keypad Enter).
        if (extended)
            evdev = evdevOfScanCode(
                ScanCode{scanCodeOfEvdev(evdevOfVirtualKey(key.virtualKey)).code, true});
        if (!evdev) evdev = evdevOfVirtualKey(key.virtualKey);
    }
    if (evdev) pressKey(evdev, !(key.flags & KeyUp));
}

// The compositor does not follow a virtual keyboard's modifiers itself: it
// takes them from the client, so our own state follows each key.
void WaylandPlatform::pressKey(uint16_t evdev, bool down) {
    zwp_virtual_keyboard_v1_key(
        keyboard_, nowMs(), evdev,
        down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
    xkb_state_update_key(keyState_, evdev + XkbKeycodeOffset, down ? XKB_KEY_DOWN : XKB_KEY_UP);
    const uint32_t mods[4] = {xkb_state_serialize_mods(keyState_, XKB_STATE_MODS_DEPRESSED),
                              xkb_state_serialize_mods(keyState_, XKB_STATE_MODS_LATCHED),
                              xkb_state_serialize_mods(keyState_, XKB_STATE_MODS_LOCKED),
                              xkb_state_serialize_layout(keyState_, XKB_STATE_LAYOUT_EFFECTIVE)};
    if (std::equal(mods, mods + 4, sentModifiers_)) return;
    std::copy(mods, mods + 4, sentModifiers_);
    zwp_virtual_keyboard_v1_modifiers(keyboard_, mods[0], mods[1], mods[2], mods[3]);
}

// Sends all but the wheel; returns the wheel clicks the record asks for.
int WaylandPlatform::sendMouse(const MouseInput& mouse) {
    const uint32_t time = nowMs();
    bool any = false;
    if (mouse.flags & MouseMove) {
        if (mouse.flags & MouseAbsolute) {
            const Rect layout = layoutExtent();
            if (layout.right > 0 && layout.bottom > 0) {
                placedAt_ = {pixelOfAbsolute(mouse.dx, layout.right),
                             pixelOfAbsolute(mouse.dy, layout.bottom)};
                placed_ = true;
                zwlr_virtual_pointer_v1_motion_absolute(
                    pointer_, time, static_cast<uint32_t>(placedAt_.x),
                    static_cast<uint32_t>(placedAt_.y), static_cast<uint32_t>(layout.right),
                    static_cast<uint32_t>(layout.bottom));
                any = true;
            }
        } else {
            zwlr_virtual_pointer_v1_motion(pointer_, time, wl_fixed_from_int(mouse.dx),
                                           wl_fixed_from_int(mouse.dy));
            if (placed_) placedAt_ = clampedToLayout(placedAt_, mouse.dx, mouse.dy, layoutExtent());
            any = true;
        }
    }
    for (const ButtonRow& row : ButtonRows) {
        for (uint32_t flag : {row.downFlag, row.upFlag}) {
            if (!(mouse.flags & flag)) continue;
            zwlr_virtual_pointer_v1_button(pointer_, time, row.button,
                                           flag == row.downFlag ? WL_POINTER_BUTTON_STATE_PRESSED
                                                                : WL_POINTER_BUTTON_STATE_RELEASED);
            any = true;
        }
    }
    for (uint32_t flag : {uint32_t(MouseXDown), uint32_t(MouseXUp)}) {
        if (!(mouse.flags & flag)) continue;
        const uint32_t state =
            flag == MouseXDown ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED;
        if (mouse.mouseData & XButton1)
            zwlr_virtual_pointer_v1_button(pointer_, time, BTN_SIDE, state);
        if (mouse.mouseData & XButton2)
            zwlr_virtual_pointer_v1_button(pointer_, time, BTN_EXTRA, state);
        any = true;
    }
    if (any) zwlr_virtual_pointer_v1_frame(pointer_);
    return (mouse.flags & MouseWheel) ? wheel_.add(static_cast<int32_t>(mouse.mouseData)) : 0;
}

// As on X11: one notch per lock, the interruption asked before each, and a
// round trip every few notches keeps what is on its way after a stop short.
void WaylandPlatform::sendWheelClicks(int clicks, const SendInterruption* interruption) {
    // Wayland's vertical axis grows toward the user; the record's notches away.
    const int step = clicks > 0 ? -1 : 1;
    int64_t sent = 0;
    for (int64_t left = clicks > 0 ? int64_t{clicks} : -int64_t{clicks}; left > 0; --left) {
        if (interruption && interruption->interrupted()) return;
        std::lock_guard<std::mutex> lock(mutex_);
        zwlr_virtual_pointer_v1_axis_source(pointer_, WL_POINTER_AXIS_SOURCE_WHEEL);
        zwlr_virtual_pointer_v1_axis_discrete(pointer_, nowMs(), WL_POINTER_AXIS_VERTICAL_SCROLL,
                                              wl_fixed_from_double(step * WheelNotchValue), step);
        zwlr_virtual_pointer_v1_frame(pointer_);
        if (++sent % WheelClicksPerRoundTrip == 0) {
            if (wl_display_roundtrip(display_) < 0) checkConnection();
        } else {
            flush();
        }
    }
}

uint16_t WaylandPlatform::scanCodeOfVirtualKey(uint32_t virtualKey) {
    // Our keymap is the US one, so the fixed US positions are the answer.
    return scanCodeOfEvdev(evdevOfVirtualKey(virtualKey)).code;
}

// Without the devices every key reads as up; availability() says why.
uint16_t WaylandPlatform::asyncKeyState(int virtualKey) {
    for (const uint16_t code : evdevCodesOfVirtualKey(static_cast<uint32_t>(virtualKey)))
        if (devices_.down(code)) return KeyStateDown;
    return 0;
}

bool WaylandPlatform::cursorPosition(Point* position) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!placed_) return false;
    *position = placedAt_;
    return true;
}

Availability WaylandPlatform::availability(Service service) {
    switch (service) {
    case Service::GlobalHotkeys:
        return Availability::missing(NoHotkeysReason);
    case Service::PointerPosition: {
        std::lock_guard<std::mutex> lock(mutex_);
        return placed_ ? Availability::offered() : Availability::missing(UnknownPointerReason);
    }
    case Service::Recording:
        return devices_.whyNot().empty() ? Availability::offered()
                                         : Availability::missing(devices_.whyNot());
    case Service::KeyState:
        return devices_.whyNot().empty() ? Availability::offered()
                                         : Availability::missing(KeyStateReason);
    }
    return Availability::offered();
}

Rect WaylandPlatform::desktopRect() {
    std::lock_guard<std::mutex> lock(mutex_);
    readPending();
    return layoutExtent();
}

uint32_t WaylandPlatform::captureTime() {
    return nowMs();
}

// --- GUI thread ---

void WaylandPlatform::setListener(CaptureListener* listener) {
    listener_ = listener;
}

// Callers ask availability() first and tell the user; this only keeps the
// interface's promise that id holds nothing.
HotkeyResult WaylandPlatform::registerHotkey(int, uint32_t, uint32_t) {
    return HotkeyResult::Refused;
}

void WaylandPlatform::unregisterHotkey(int) {}

// Without the devices there is nothing to capture; availability() says why.
void WaylandPlatform::startCapture(uintptr_t) {
    if (!devices_.whyNot().empty()) return;
    capturedKeys_.clear();
    capturing_ = true;
}

void WaylandPlatform::stopCapture() {
    capturing_ = false;
    capturedKeys_.clear();
}

int WaylandPlatform::eventDescriptor() const {
    return epollFd_ >= 0 ? epollFd_ : wl_display_get_fd(display_);
}

void WaylandPlatform::processPendingEvents() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        readPending();
        flush();
    }
    // The devices are read while capture is off too: the decoders then know
    // what is held when it starts, and the kernel's buffers never overflow.
    std::vector<EvdevInput> inputs;
    devices_.read(&inputs);
    if (capturing_ && listener_) deliverInTimeOrder(&inputs, &capturedKeys_, listener_);
}

}  // namespace platform
