#include "X11Platform.h"

#include <X11/Xlib.h>

#include "platform/UsScanCodes.h"

namespace platform {

std::unique_ptr<X11Platform> X11Platform::open(std::string* error) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        if (error) *error = "cannot open the X display (is DISPLAY set?)";
        return nullptr;
    }
    return std::unique_ptr<X11Platform>(new X11Platform(display));
}

X11Platform::X11Platform(Display* display) : display_(display) {}

X11Platform::~X11Platform() { XCloseDisplay(display_); }

void X11Platform::sendInput(const InputRecord&) {}

uint16_t X11Platform::scanCodeOfVirtualKey(uint32_t virtualKey) {
    return usScanCodeOfVirtualKey(virtualKey);
}

uint16_t X11Platform::asyncKeyState(int) { return 0; }

bool X11Platform::cursorPosition(Point* position) {
    std::lock_guard<std::mutex> lock(mutex_);
    Window root, child;
    int rootX, rootY, winX, winY;
    unsigned int mask;
    if (!XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rootX, &rootY,
                       &winX, &winY, &mask))
        return false;
    *position = Point{rootX, rootY};
    return true;
}

Rect X11Platform::desktopRect() {
    std::lock_guard<std::mutex> lock(mutex_);
    const int screen = DefaultScreen(display_);
    return Rect{0, 0, DisplayWidth(display_, screen), DisplayHeight(display_, screen)};
}

void X11Platform::setListener(CaptureListener* listener) { listener_ = listener; }
bool X11Platform::registerHotkey(int, uint32_t, uint32_t) { return false; }
void X11Platform::unregisterHotkey(int) {}
void X11Platform::startCapture(uintptr_t) {}
void X11Platform::stopCapture() {}
int X11Platform::eventDescriptor() const { return -1; }
void X11Platform::processPendingEvents() {}

}  // namespace platform
