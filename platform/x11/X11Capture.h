#pragma once
// Global capture of the keyboard and mouse. Keys come through the RECORD
// extension, which sees every core key event with its auto-repeats; mouse
// buttons, wheel and raw movement come as XInput2 raw events, which also
// tell when RECORD has data that the server still holds back.

#include <cstdint>
#include <vector>

#include <X11/Xlib.h>
#include <X11/extensions/record.h>


namespace platform {

// One captured event in server order, before it becomes a hook message.
struct CapturedEvent {
    enum Kind { Key, Button, Motion };
    Kind kind = Key;
    bool pressed = false;
    unsigned detail = 0;      // keycode or X button number
    unsigned state = 0;       // core modifier state before the event (keys)
    unsigned long time = 0;   // server milliseconds
    double rawX = 0, rawY = 0;
};

class X11Capture {
public:
    // control: a connection serviced on the GUI thread (raw events arrive
    // there); data: a connection used for nothing but RECORD's data.
    X11Capture(Display* control, Display* data);
    ~X11Capture();

    // False when the server lacks RECORD or XInput 2.
    bool start();
    void stop();
    bool active() const { return context_ != 0; }

    // Handles an event of the control connection; true when it was ours.
    bool takeControlEvent(XEvent* event);
    // Makes the server send what RECORD holds back, then reads it. Call
    // after draining the control connection.
    void readRecordData(bool flushServer);
    // Every event gathered since the last call, in server time order.
    std::vector<CapturedEvent> takeEvents();

private:
    static void onRecordData(XPointer self, XRecordInterceptData* data);
    void selectRawEvents(bool on);

    Display* control_;
    Display* data_;
    XRecordContext context_ = 0;
    int xiOpcode_ = 0;
    bool keySignalled_ = false;  // a raw key came: RECORD holds its event
    std::vector<CapturedEvent> events_;
};

}  // namespace platform
