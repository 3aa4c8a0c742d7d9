#pragma once
// Notes, on an X connection and a thread of its own, when a raw input event
// of one kind reaches the server after arm(): the far end the benchmarks
// time. Xlib stays out of this header; its macros break Qt headers.

#include <atomic>
#include <chrono>
#include <thread>

struct _XDisplay;

class RawEventWatcher {
public:
    using Clock = std::chrono::steady_clock;

    // rawEventType: an XInput2 raw event type (XI_RawKeyPress, XI_RawMotion).
    explicit RawEventWatcher(int rawEventType);
    ~RawEventWatcher();
    RawEventWatcher(const RawEventWatcher&) = delete;
    RawEventWatcher& operator=(const RawEventWatcher&) = delete;

    void arm() {
        seen_ = false;
        armed_ = true;
    }
    bool seen() const { return seen_; }
    Clock::time_point when() const { return when_; }

private:
    void watch();

    _XDisplay* display_;
    int type_;
    int opcode_ = 0;
    std::atomic<bool> quit_{false}, armed_{false}, seen_{false};
    Clock::time_point when_;  // published by seen_
    std::thread thread_;
};
