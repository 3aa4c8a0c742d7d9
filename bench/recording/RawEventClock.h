#pragma once
// An independent witness of what reaches the X server: an XInput2 raw-event
// client on its own connection and thread that notes when each key and
// motion event arrives.

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

typedef struct _XDisplay Display;

class RawEventClock {
public:
    using Clock = std::chrono::steady_clock;
    struct Arrival {
        Clock::time_point at;
        int type;  // XI_RawKeyPress, XI_RawKeyRelease, XI_RawMotion
    };

    // Connects to DISPLAY and starts watching; throws std::runtime_error when it cannot.
    RawEventClock();
    ~RawEventClock();
    RawEventClock(const RawEventClock&) = delete;
    RawEventClock& operator=(const RawEventClock&) = delete;

    // Every arrival so far; the list starts again empty.
    std::vector<Arrival> take();

private:
    void watch();

    Display* display_;
    int opcode_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<Arrival> arrivals_;
    std::thread thread_;
};
