#include "X11TestSupport.h"

#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>
#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <thread>

#include "tests/support/ProcessRunner.h"

std::unique_ptr<platform::X11Platform> openPlatform() {
    std::string error;
    auto p = platform::X11Platform::open(&error);
    EXPECT_TRUE(p) << error;
    return p;
}

bool pumpUntil(platform::Platform& p, const std::function<bool()>& done,
               std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (p.processPendingEvents(); !done(); p.processPendingEvents()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd fd{p.eventDescriptor(), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(std::min<long>(left.count(), 50)));
    }
    return true;
}

void pumpFor(platform::Platform& p, std::chrono::milliseconds duration) {
    pumpUntil(
        p, [] { return false; }, duration);
}

void run(const std::vector<std::string>& argv) {
    ASSERT_EQ(runProcess(argv).exitCode, 0)
        << argv[0] << " " << (argv.size() > 1 ? argv[1] : "") << " failed";
}

platform::Point pointerLocation() {
    platform::Point p{-1, -1};
    std::sscanf(runProcess({"xdotool", "getmouselocation"}).output.c_str(), "x:%d y:%d", &p.x,
                &p.y);
    return p;
}

ServerWatcher::ServerWatcher() : display_(XOpenDisplay(nullptr)) {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | StructureNotifyMask;
    const int screen = DefaultScreen(display_);
    const Window window =
        XCreateWindow(display_, RootWindow(display_, screen), 0, 0, DisplayWidth(display_, screen),
                      DisplayHeight(display_, screen), 0, CopyFromParent, InputOutput,
                      CopyFromParent, CWOverrideRedirect | CWEventMask, &attributes);
    XMapRaised(display_, window);
    XEvent e;
    do XWindowEvent(display_, window, StructureNotifyMask, &e);
    while (e.type != MapNotify);
    XSetInputFocus(display_, window, RevertToParent, CurrentTime);
    XSync(display_, False);
}

ServerWatcher::~ServerWatcher() {
    XCloseDisplay(display_);
}

void ServerWatcher::drain() {
    while (XPending(display_)) {
        XEvent e;
        XNextEvent(display_, &e);
        if (e.type == KeyPress || e.type == KeyRelease) {
            events.push_back(
                {e.type, static_cast<int>(e.xkey.keycode), e.xkey.x_root, e.xkey.y_root});
            char buffer[8];
            if (e.type == KeyPress)
                text.append(buffer,
                            XLookupString(&e.xkey, buffer, sizeof buffer, nullptr, nullptr));
        } else if (e.type == ButtonPress || e.type == ButtonRelease) {
            events.push_back(
                {e.type, static_cast<int>(e.xbutton.button), e.xbutton.x_root, e.xbutton.y_root});
        } else if (e.type == MotionNotify) {
            events.push_back({e.type, 0, e.xmotion.x_root, e.xmotion.y_root});
        }
    }
}

void ServerWatcher::settle() {
    // Events of another client's requests may still be on their way.
    size_t seen = 0;
    for (int quiet = 0; quiet < 10; ++quiet) {
        XSync(display_, False);
        drain();
        if (events.size() + text.size() != seen) quiet = 0;
        seen = events.size() + text.size();
        std::this_thread::sleep_for(5ms);
    }
}

void ServerWatcher::clear() {
    settle();
    events.clear();
    text.clear();
}

KeySym ServerWatcher::keysymOf(int keycode) {
    return XkbKeycodeToKeysym(display_, static_cast<KeyCode>(keycode), 0, 0);
}

XiWatcher::XiWatcher() : display_(XOpenDisplay(nullptr)) {
    int event = 0, error = 0;
    XQueryExtension(display_, "XInputExtension", &opcode_, &event, &error);
    int major = 2, minor = 2;
    XIQueryVersion(display_, &major, &minor);
    unsigned char mask[XIMaskLen(XI_LASTEVENT)] = {};
    for (int type : {XI_RawKeyPress, XI_RawKeyRelease, XI_RawButtonPress, XI_RawButtonRelease})
        XISetMask(mask, type);
    XIEventMask m{XIAllMasterDevices, sizeof mask, mask};
    XISelectEvents(display_, DefaultRootWindow(display_), &m, 1);
    XSync(display_, False);
}

XiWatcher::~XiWatcher() {
    XCloseDisplay(display_);
}

void XiWatcher::drain() {
    while (XPending(display_)) {
        XEvent e;
        XNextEvent(display_, &e);
        if (e.type != GenericEvent || e.xcookie.extension != opcode_) continue;
        if (!XGetEventData(display_, &e.xcookie)) continue;
        const auto* raw = static_cast<const XIRawEvent*>(e.xcookie.data);
        events_.push_back(Event{e.xcookie.evtype, raw->detail});
        XFreeEventData(display_, &e.xcookie);
    }
}

bool XiWatcher::waitFor(int type, int detail, std::chrono::milliseconds timeout) {
    return waitUntil([&](const Event& e) { return e.type == type && e.detail == detail; },
                     timeout) != nullptr;
}

int XiWatcher::waitForAny(int type, std::chrono::milliseconds timeout) {
    const Event* e = waitUntil([&](const Event& e) { return e.type == type; }, timeout);
    return e ? e->detail : 0;
}

const XiWatcher::Event* XiWatcher::waitUntil(const std::function<bool(const Event&)>& match,
                                             std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        drain();
        for (const Event& e : events_)
            if (match(e)) return &e;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return nullptr;
        pollfd fd{ConnectionNumber(display_), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(std::min<long>(left.count(), 50)));
    }
}

KeySym XiWatcher::keysymOf(int keycode) {
    return XkbKeycodeToKeysym(display_, static_cast<KeyCode>(keycode), 0, 0);
}
