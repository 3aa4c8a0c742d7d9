#pragma once
// A private headless sway with one 1280x720 output, whose config starts a
// window that prints each event reaching it on sway's standard output, which
// we read. sway refuses to run as root, so under root sway and whatever we run
// in it run as nobody, in a 0700 runtime directory of theirs; we stay root and
// reach the sockets by absolute path.

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

class HeadlessSway {
public:
    // Returns once the window is shown; throws std::runtime_error when sway
    // or the window does not come up.
    explicit HeadlessSway(const std::string& window);
    ~HeadlessSway();
    HeadlessSway(const HeadlessSway&) = delete;
    HeadlessSway& operator=(const HeadlessSway&) = delete;

    // The compositor's socket, absolute: a value for WAYLAND_DISPLAY.
    const std::string& socket() const { return socket_; }
    // Runs argv as sway's user, connected to it, and waits: its exit code
    // (-1 when it could not start).
    int run(const std::vector<std::string>& argv) const;
    // The window's lines up to and including the first for which isLast
    // holds, or all that came before a pause of a few seconds (found false).
    std::vector<std::string> linesUntil(const std::function<bool(const std::string&)>& isLast,
                                        bool* found = nullptr);

private:
    pid_t start(const std::vector<std::string>& argv, int outputFd) const;

    uid_t uid_;
    gid_t gid_;
    std::string dir_;
    std::string socket_;
    pid_t sway_ = -1;
    int output_ = -1;
    std::string pending_;
};
