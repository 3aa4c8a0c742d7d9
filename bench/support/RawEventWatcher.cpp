#include "RawEventWatcher.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <poll.h>

RawEventWatcher::RawEventWatcher(int rawEventType) : display_(XOpenDisplay(nullptr)), type_(rawEventType) {
    int event = 0, error = 0, major = 2, minor = 2;
    XQueryExtension(display_, "XInputExtension", &opcode_, &event, &error);
    XIQueryVersion(display_, &major, &minor);
    unsigned char mask[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(mask, rawEventType);
    XIEventMask m{XIAllMasterDevices, sizeof mask, mask};
    XISelectEvents(display_, DefaultRootWindow(display_), &m, 1);
    XSync(display_, False);
    thread_ = std::thread([this] { watch(); });
}

RawEventWatcher::~RawEventWatcher() {
    quit_ = true;
    thread_.join();
    XCloseDisplay(display_);
}

void RawEventWatcher::watch() {
    while (!quit_) {
        pollfd fd{ConnectionNumber(display_), POLLIN, 0};
        poll(&fd, 1, 10);
        while (XPending(display_)) {
            XEvent e;
            XNextEvent(display_, &e);
            if (e.type != GenericEvent || e.xcookie.extension != opcode_ || e.xcookie.evtype != type_) continue;
            if (armed_.exchange(false)) {
                when_ = Clock::now();
                seen_ = true;
            }
        }
    }
}
