#pragma once
// Keeps X protocol errors on this backend's connections from reaching
// Xlib's default handler, which would end the process. Errors on other
// connections go on to whatever handler was installed before.

typedef struct _XDisplay Display;

namespace platform {

class X11ErrorTrap {
public:
    // Starts catching the errors of a connection (installs the handler once).
    static void watch(Display* display);
    static void unwatch(Display* display);
    // The error code of the first error caught on the connection since the
    // last call, 0 when none. Call after XSync to see a request's outcome.
    static int takeError(Display* display);
};

}  // namespace platform
