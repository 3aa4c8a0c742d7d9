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

    // Makes a broken connection (the server gone) end the program through
    // DisplayLoss instead of Xlib's default, which calls exit() on whichever
    // thread noticed while others go on. Process-wide: it covers the
    // toolkit's own Xlib connection too. Call once the toolkit is up, as
    // its start-up installs a handler of its own.
    static void endOnConnectionLoss();
};

}  // namespace platform
