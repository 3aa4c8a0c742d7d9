#pragma once
// A headless sway of the test's own and a window in it. sway refuses to run
// as root, so under root (CI) both run as a throw-away user, created when
// missing, with a private runtime directory; the test itself stays root
// and reaches the compositor's socket by its absolute path.

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

class SwaySession {
public:
    // Starts sway with one 1280x720 output; throws std::runtime_error when it cannot.
    SwaySession();
    ~SwaySession();
    SwaySession(const SwaySession&) = delete;
    SwaySession& operator=(const SwaySession&) = delete;

    // The compositor's socket, absolute: a value for WAYLAND_DISPLAY.
    const std::string& socket() const { return socket_; }
    // Starts a program as the session's user, inside the session; its
    // standard output goes to outputFd (or nowhere when -1).
    pid_t start(const std::vector<std::string>& argv, int outputFd) const;

private:
    uid_t uid_ = 0;
    gid_t gid_ = 0;
    std::string runtimeDir_;
    std::string socket_;
    pid_t sway_ = -1;
};

// The test client: a fullscreen window that prints each event it receives.
class TestWindow {
public:
    // Returns once the window is shown and has the keyboard focus; throws
    // std::runtime_error when that does not happen.
    explicit TestWindow(const SwaySession& session);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    // The lines printed until one equals last (that one excluded), or all
    // of them when it has not come within a few seconds.
    std::vector<std::string> linesUntil(const std::string& last, bool* found = nullptr);
    // As above, until the first line for which isLast is true.
    std::vector<std::string> linesUntil(const std::function<bool(const std::string&)>& isLast,
                                        bool* found);

private:
    pid_t pid_ = -1;
    int fd_ = -1;
    std::string pending_;
};
