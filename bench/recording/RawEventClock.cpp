#include "RawEventClock.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <poll.h>

#include <stdexcept>

RawEventClock::RawEventClock() : display_(XOpenDisplay(nullptr)) {
    if (!display_) throw std::runtime_error("cannot open the display");
    int event = 0, error = 0, major = 2, minor = 2;
    if (!XQueryExtension(display_, "XInputExtension", &opcode_, &event, &error) ||
        XIQueryVersion(display_, &major, &minor) != Success) {
        XCloseDisplay(display_);
        throw std::runtime_error("no XInput 2");
    }
    unsigned char mask[XIMaskLen(XI_LASTEVENT)] = {};
    for (int type : {XI_RawKeyPress, XI_RawKeyRelease, XI_RawMotion}) XISetMask(mask, type);
    XIEventMask m{XIAllMasterDevices, sizeof mask, mask};
    XISelectEvents(display_, DefaultRootWindow(display_), &m, 1);
    XSync(display_, False);
    // From here on only the watching thread uses the connection.
    thread_ = std::thread([this] { watch(); });
}

RawEventClock::~RawEventClock() {
    stop_ = true;
    thread_.join();
    XCloseDisplay(display_);
}

std::vector<RawEventClock::Arrival> RawEventClock::take() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Arrival> taken;
    taken.swap(arrivals_);
    return taken;
}

void RawEventClock::watch() {
    while (!stop_) {
        pollfd fd{ConnectionNumber(display_), POLLIN, 0};
        poll(&fd, 1, 20);
        while (XPending(display_)) {
            XEvent e;
            XNextEvent(display_, &e);
            const Clock::time_point now = Clock::now();
            if (e.type != GenericEvent || e.xcookie.extension != opcode_) continue;
            std::lock_guard<std::mutex> lock(mutex_);
            arrivals_.push_back({now, e.xcookie.evtype});
        }
    }
}
