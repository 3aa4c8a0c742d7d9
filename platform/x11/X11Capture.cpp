#include "X11Capture.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/XInput2.h>

#include <algorithm>

#include "X11ErrorTrap.h"

namespace platform {

namespace {

constexpr int RequiredXiMajor = 2;
constexpr int RequiredXiMinor = 2;
constexpr int ValuatorX = 0;
constexpr int ValuatorY = 1;

}  // namespace

X11Capture::X11Capture(Display* control, Display* data) : control_(control), data_(data) {}

X11Capture::~X11Capture() { stop(); }

void X11Capture::selectRawEvents(bool on) {
    unsigned char mask[XIMaskLen(XI_LASTEVENT)] = {};
    if (on) {
        XISetMask(mask, XI_RawKeyPress);
        XISetMask(mask, XI_RawKeyRelease);
        XISetMask(mask, XI_RawButtonPress);
        XISetMask(mask, XI_RawButtonRelease);
        XISetMask(mask, XI_RawMotion);
    }
    // Master devices only: all devices would deliver each event twice.
    XIEventMask eventMask{XIAllMasterDevices, sizeof mask, mask};
    XISelectEvents(control_, DefaultRootWindow(control_), &eventMask, 1);
}

bool X11Capture::start() {
    if (context_) return true;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XQueryExtension(control_, "XInputExtension", &xiOpcode_, &event, &error)) return false;
    major = RequiredXiMajor;
    minor = RequiredXiMinor;
    if (XIQueryVersion(control_, &major, &minor) != Success) return false;
    if (!XRecordQueryVersion(control_, &major, &minor)) return false;

    XRecordRange* range = XRecordAllocRange();
    if (!range) return false;
    range->device_events.first = KeyPress;
    range->device_events.last = KeyRelease;
    XRecordClientSpec clients = XRecordAllClients;
    context_ = XRecordCreateContext(control_, 0, &clients, 1, &range, 1);
    XFree(range);
    if (!context_) return false;
    // The data connection must know the context before it enables it.
    XSync(control_, False);
    if (!XRecordEnableContextAsync(data_, context_, onRecordData, reinterpret_cast<XPointer>(this))) {
        XRecordFreeContext(control_, context_);
        context_ = 0;
        return false;
    }
    selectRawEvents(true);
    XSync(control_, False);
    X11ErrorTrap::takeError(control_);
    return true;
}

void X11Capture::stop() {
    if (!context_) return;
    selectRawEvents(false);
    XRecordDisableContext(control_, context_);
    XSync(control_, False);
    // Take the last data and the end-of-data reply off the data connection.
    XRecordProcessReplies(data_);
    XRecordFreeContext(control_, context_);
    XSync(control_, False);
    X11ErrorTrap::takeError(control_);
    context_ = 0;
    events_.clear();
}

void X11Capture::onRecordData(XPointer self, XRecordInterceptData* data) {
    // Runs inside XRecordProcessReplies: no Xlib call on the data connection here.
    auto* capture = reinterpret_cast<X11Capture*>(self);
    if (data->category == XRecordFromServer && data->data && capture->context_) {
        const auto* event = reinterpret_cast<const xEvent*>(data->data);
        const int type = event->u.u.type & 0x7F;
        if (type == KeyPress || type == KeyRelease) {
            CapturedEvent e;
            e.kind = CapturedEvent::Key;
            e.pressed = type == KeyPress;
            e.detail = event->u.u.detail;
            e.state = event->u.keyButtonPointer.state;
            e.time = event->u.keyButtonPointer.time;
            capture->events_.push_back(e);
        }
    }
    XRecordFreeData(data);
}

bool X11Capture::takeControlEvent(XEvent* event) {
    if (event->type != GenericEvent || event->xcookie.extension != xiOpcode_ || !xiOpcode_) return false;
    if (!XGetEventData(control_, &event->xcookie)) return true;
    const auto* raw = static_cast<const XIRawEvent*>(event->xcookie.data);
    CapturedEvent e;
    e.time = raw->time;
    switch (event->xcookie.evtype) {
    case XI_RawButtonPress:
    case XI_RawButtonRelease:
        e.kind = CapturedEvent::Button;
        e.pressed = event->xcookie.evtype == XI_RawButtonPress;
        e.detail = static_cast<unsigned>(raw->detail);
        events_.push_back(e);
        break;
    case XI_RawMotion: {
        e.kind = CapturedEvent::Motion;
        // Values in mask order; the axes are passed on as the device gave them.
        const double* value = raw->raw_values;
        for (int axis = 0; axis < raw->valuators.mask_len * 8; ++axis) {
            if (!XIMaskIsSet(raw->valuators.mask, axis)) continue;
            if (axis == ValuatorX) e.rawX = *value;
            if (axis == ValuatorY) e.rawY = *value;
            ++value;
        }
        events_.push_back(e);
        break;
    }
    default:
        // Raw keys only tell that RECORD has something; pointer events come
        // whole from here, so only keys are worth the round trip.
        keySignalled_ = true;
        break;
    }
    XFreeEventData(control_, &event->xcookie);
    return true;
}

void X11Capture::readRecordData(bool flushServer) {
    if (!context_) return;
    if (flushServer || keySignalled_) {
        // A round trip makes the server flush what RECORD has buffered.
        XSync(control_, False);
        keySignalled_ = false;
    }
    XRecordProcessReplies(data_);
}

std::vector<CapturedEvent> X11Capture::takeEvents() {
    std::stable_sort(events_.begin(), events_.end(),
                     [](const CapturedEvent& a, const CapturedEvent& b) { return a.time < b.time; });
    std::vector<CapturedEvent> out;
    out.swap(events_);
    return out;
}

}  // namespace platform
