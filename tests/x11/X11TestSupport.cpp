#include "X11TestSupport.h"

#include <gtest/gtest.h>

#include <X11/XKBlib.h>
#include <X11/extensions/XInput2.h>
#include <poll.h>

#include "tests/support/ProcessRunner.h"

std::unique_ptr<platform::X11Platform> openPlatform() {
    std::string error;
    auto p = platform::X11Platform::open(&error);
    EXPECT_TRUE(p) << error;
    return p;
}

bool pumpUntil(platform::Platform& p, const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    p.processPendingEvents();
    while (!done()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd fd{p.eventDescriptor(), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(std::min<long>(left.count(), 50)));
        p.processPendingEvents();
    }
    return true;
}

void pumpFor(platform::Platform& p, std::chrono::milliseconds duration) {
    pumpUntil(p, [] { return false; }, duration);
}

void run(const std::vector<std::string>& argv) {
    const ProcessResult r = runProcess(argv);
    ASSERT_EQ(r.exitCode, 0) << argv[0] << " " << (argv.size() > 1 ? argv[1] : "") << " failed";
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

XiWatcher::~XiWatcher() { XCloseDisplay(display_); }

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
    return waitUntil([&](const Event& e) { return e.type == type && e.detail == detail; }, timeout) != nullptr;
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
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return nullptr;
        pollfd fd{ConnectionNumber(display_), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(std::min<long>(left.count(), 50)));
    }
}

KeySym XiWatcher::keysymOf(int keycode) {
    return XkbKeycodeToKeysym(display_, static_cast<KeyCode>(keycode), 0, 0);
}
