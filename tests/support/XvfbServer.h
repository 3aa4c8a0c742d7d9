#pragma once
// A private X server for one test process: started on a free display
// number, exported as DISPLAY for this process and its children only, and
// always stopped by its pid.

#include <string>
#include <sys/types.h>

class XvfbServer {
public:
    // Starts Xvfb with a 1920x1080x24 screen; throws std::runtime_error when it cannot.
    XvfbServer();
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // ":N"
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};
