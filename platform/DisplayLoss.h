#pragma once
// The one way the program ends when its display goes away under it. Every
// thread that talks to the display may notice first: the X library calls
// its I/O error handler on whichever thread used a broken connection (and
// would call exit() from there, racing other threads through the process's
// exit handlers), and the toolkit calls exit() itself when its own
// connection breaks. All of them come here; the end is carried out once,
// by one thread, and the others stay blocked until the process is gone.
//
// Neither the X library's handler nor an exit handler takes user data, so
// this is process-wide state by necessity.

#include <functional>

namespace platform {

// The status the program ends with when its display connection is lost.
constexpr int DisplayLostExitStatus = 2;

class DisplayLoss {
public:
    // GUI thread, while a session runs (arm at its start, disarm at its very
    // end): only then may the toolkit's exit() be taken for a lost display,
    // and that thread gets the first chance to carry out the end.
    static void arm();
    static void disarm();
    // The session's last word before the end (saving what the user would
    // lose), or an empty function. It runs once, on the ending thread, which
    // is the GUI thread whenever that notices in time; it must not wait for
    // other threads, which may be blocked here.
    static void setLastChance(std::function<void()> lastChance);

    // Says what happened on stderr, gives the last chance, and ends the
    // process with DisplayLostExitStatus. Any thread; never returns.
    [[noreturn]] static void end(const char* what);
};

}  // namespace platform
