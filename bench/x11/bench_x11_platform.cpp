// Injection throughput of the X11 backend against one xdotool invocation per
// event, and the latency from injection to the capture listener, measured
// on a private Xvfb in the same run.

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "platform/x11/X11Platform.h"
#include "tests/support/ProcessRunner.h"
#include "tests/support/XvfbServer.h"

using namespace platform;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int BackendEvents = 20000;
constexpr int XdotoolEvents = 40;
constexpr int LatencySamples = 500;
constexpr double TargetRatio = 100.0;
constexpr double TargetMicrosPerEvent = 50.0;

struct Counter : CaptureListener {
    int moves = 0, keys = 0;
    void keyboardEvent(const KeyEvent&) override { ++keys; }
    void mouseEvent(const MouseEvent&) override {}
    void rawMovement(const RawMovement&) override { ++moves; }
    void hotkey(int) override {}
};

double micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

InputRecord move(int dx) { return InputRecord::pointer(MouseInput{dx, 0, 0, MouseMove}); }

// Waits (servicing the descriptor) until the counter moves past `before`.
void waitPast(X11Platform& p, const int& counter, int before) {
    while (counter <= before) {
        pollfd fd{p.eventDescriptor(), POLLIN, 0};
        poll(&fd, 1, 100);
        p.processPendingEvents();
    }
}

double percentile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(q * (v.size() - 1))];
}

}  // namespace

int main() {
    XvfbServer server;
    std::string error;
    auto platform = X11Platform::open(&error);
    if (!platform) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    Point where;

    // Backend: events sent, then one round trip so the server has them all.
    auto start = Clock::now();
    for (int i = 0; i < BackendEvents; ++i) platform->sendInput(move(i % 2 ? 1 : -1));
    platform->cursorPosition(&where);
    const double backendPerEvent = micros(Clock::now() - start) / BackendEvents;

    start = Clock::now();
    int xdotoolFailures = 0;
    for (int i = 0; i < XdotoolEvents; ++i)
        xdotoolFailures += runProcess({"xdotool", "mousemove_relative", "--", i % 2 ? "1" : "-1", "0"}).exitCode != 0;
    const double xdotoolPerEvent = micros(Clock::now() - start) / XdotoolEvents;

    Counter counter;
    platform->setListener(&counter);
    platform->startCapture(0);
    std::vector<double> moveLatency, keyLatency;
    for (int i = 0; i < LatencySamples; ++i) {
        const int before = counter.moves;
        start = Clock::now();
        platform->sendInput(move(i % 2 ? 1 : -1));
        waitPast(*platform, counter.moves, before);
        moveLatency.push_back(micros(Clock::now() - start));
    }
    for (int i = 0; i < LatencySamples; ++i) {
        const int before = counter.keys;
        start = Clock::now();
        platform->sendInput(InputRecord::key(KeyboardInput{0, 0x1E, KeyScanCode | (i % 2 ? KeyUp : 0u)}));
        waitPast(*platform, counter.keys, before);
        keyLatency.push_back(micros(Clock::now() - start));
    }
    platform->stopCapture();

    if (xdotoolFailures) std::fprintf(stderr, "xdotool failed %d times\n", xdotoolFailures);
    const double ratio = xdotoolPerEvent / backendPerEvent;
    std::printf("injection, backend:        %8.2f us/event (%d relative moves)\n", backendPerEvent, BackendEvents);
    std::printf("injection, xdotool:        %8.2f us/event (one process per event, %d events)\n", xdotoolPerEvent,
                XdotoolEvents);
    std::printf("ratio xdotool/backend:     %8.1f x   (target >= %.0f x, <= %.0f us/event): %s\n", ratio, TargetRatio,
                TargetMicrosPerEvent,
                ratio >= TargetRatio && backendPerEvent <= TargetMicrosPerEvent ? "met" : "NOT met");
    std::printf("capture latency, motion:   median %7.1f us, p99 %7.1f us (XInput2 raw, %d samples)\n",
                percentile(moveLatency, 0.5), percentile(moveLatency, 0.99), LatencySamples);
    std::printf("capture latency, keys:     median %7.1f us, p99 %7.1f us (RECORD, %d samples)\n",
                percentile(keyLatency, 0.5), percentile(keyLatency, 0.99), LatencySamples);
    return 0;
}
