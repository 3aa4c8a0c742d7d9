#include "X11ErrorTrap.h"

#include <X11/Xlib.h>

#include <csignal>
#include <map>
#include <mutex>

#include "platform/DisplayLoss.h"

namespace platform {

namespace {

std::mutex trapMutex;
std::map<Display*, int> firstErrors;  // watched connections -> first error code
XErrorHandler previousHandler = nullptr;
bool installed = false;

int catchError(Display* display, XErrorEvent* event) {
    XErrorHandler chain = nullptr;
    {
        std::lock_guard<std::mutex> lock(trapMutex);
        auto it = firstErrors.find(display);
        if (it != firstErrors.end()) {
            if (!it->second) it->second = event->error_code;
            return 0;
        }
        chain = previousHandler;
    }
    return chain ? chain(display, event) : 0;
}

// Xlib exits when its I/O error handler returns; this one never does.
int connectionLost(Display*) { DisplayLoss::end("the connection to the X server was lost"); }

}  // namespace

void X11ErrorTrap::endOnConnectionLoss() {
    XSetIOErrorHandler(connectionLost);
    // A write to a server that has gone would kill the process with SIGPIPE
    // before any handler runs (ours or the toolkit's); ignored, the write
    // fails and the loss takes the orderly way like any other.
    std::signal(SIGPIPE, SIG_IGN);
}

void X11ErrorTrap::watch(Display* display) {
    std::lock_guard<std::mutex> lock(trapMutex);
    firstErrors[display] = 0;
    if (!installed) {
        previousHandler = XSetErrorHandler(catchError);
        installed = true;
    }
}

void X11ErrorTrap::unwatch(Display* display) {
    std::lock_guard<std::mutex> lock(trapMutex);
    firstErrors.erase(display);
    if (installed && firstErrors.empty()) {
        XSetErrorHandler(previousHandler);
        previousHandler = nullptr;
        installed = false;
    }
}

int X11ErrorTrap::takeError(Display* display) {
    std::lock_guard<std::mutex> lock(trapMutex);
    auto it = firstErrors.find(display);
    if (it == firstErrors.end()) return 0;
    const int code = it->second;
    it->second = 0;
    return code;
}

}  // namespace platform
