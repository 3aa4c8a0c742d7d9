// Capture under load: 1000 events a second (relative moves and key presses
// in turn, sent by XTest from a connection of the bench's own) reach the
// recording through the real X11 backend and event router. Counts the
// records against the events sent and the GUI thread's CPU time per event,
// against a baseline in the same run: the same stream with no recording on
// (the backend's own cost).
//
// Usage: bench_capture [seconds]   (default 60; the baseline runs a tenth of it)

#include <poll.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "app/EventRouter.h"
#include "platform/x11/X11Platform.h"
#include "recording/Recorder.h"
#include "tests/support/XvfbServer.h"

// Last: Xlib defines names that clash with Qt's.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

using namespace platform;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int DefaultSeconds = 60;
constexpr int EventsPerSecond = 1000;
constexpr double TargetMicrosPerEvent = 50.0;
constexpr unsigned KeycodeA = 38;
// How long the last events may take to come through after the sender ends.
constexpr auto Drain = std::chrono::seconds(2);

struct Idle : LoopTarget {
    explicit Idle(const Recorder& r) : recorder(r) {}
    const Recorder& recorder;
    bool closing() const override { return false; }
    bool running() const override { return false; }
    bool recording() const override { return recorder.active(); }
    void setRunning(bool) override {}
    void setRecording(bool) override {}
    void hotkeyLost(int, platform::HotkeyResult) override {}
};

// The router with a stopwatch around it: the part of the GUI thread's cost
// that the recording path itself adds to the backend's.
struct TimedRouter : CaptureListener {
    explicit TimedRouter(EventRouter& r) : router(r) {}
    template <typename Call>
    void timed(Call call) {
        const Clock::time_point start = Clock::now();
        call();
        spent += Clock::now() - start;
    }
    void keyboardEvent(const KeyEvent& e) override { timed([&] { router.keyboardEvent(e); }); }
    void mouseEvent(const MouseEvent& e) override { timed([&] { router.mouseEvent(e); }); }
    void rawMovement(const RawMovement& m) override { timed([&] { router.rawMovement(m); }); }
    void hotkey(int id) override { router.hotkey(id); }
    EventRouter& router;
    Clock::duration spent{};
};

double threadCpuMicros() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

// Sends `count` events at the steady rate: move right, press A, move left, release A.
void send(int count, std::atomic<bool>& done) {
    Display* d = XOpenDisplay(nullptr);
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < count; ++i) {
        std::this_thread::sleep_until(start + std::chrono::microseconds(i * 1000000LL / EventsPerSecond));
        switch (i % 4) {
        case 0: XTestFakeRelativeMotionEvent(d, 1, 0, CurrentTime); break;
        case 1: XTestFakeKeyEvent(d, KeycodeA, True, CurrentTime); break;
        case 2: XTestFakeRelativeMotionEvent(d, -1, 0, CurrentTime); break;
        default: XTestFakeKeyEvent(d, KeycodeA, False, CurrentTime); break;
        }
        XFlush(d);
    }
    XSync(d, False);
    XCloseDisplay(d);
    done = true;
}

struct Pass {
    int sent = 0;
    double guiMicros = 0;
    double wallSeconds = 0;
};

// Services the backend on this thread, as the GUI loop does, while a second
// thread sends; stops once `enough` holds after the sender ended (or after
// the drain time).
template <typename Enough>
Pass pass(X11Platform& p, int seconds, Enough enough) {
    Pass r;
    r.sent = seconds * EventsPerSecond;
    std::atomic<bool> done{false};
    const double cpuStart = threadCpuMicros();
    const Clock::time_point start = Clock::now();
    std::thread sender(send, r.sent, std::ref(done));
    Clock::time_point deadline = Clock::time_point::max();
    while (Clock::now() < deadline) {
        pollfd fd{p.eventDescriptor(), POLLIN, 0};
        poll(&fd, 1, 20);
        p.processPendingEvents();
        if (done && deadline == Clock::time_point::max()) deadline = Clock::now() + Drain;
        if (done && enough(r.sent)) break;
    }
    r.guiMicros = threadCpuMicros() - cpuStart;
    r.wallSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    sender.join();
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : DefaultSeconds;
    XvfbServer server;
    std::string error;
    auto platform = X11Platform::open(&error);
    if (!platform) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    Recorder recorder;
    Idle target(recorder);
    EventRouter router(target, recorder);
    TimedRouter timedRouter(router);
    platform->setListener(&timedRouter);
    platform->startCapture(0);
    if (!platform->capturing()) {
        std::fprintf(stderr, "capture could not start\n");
        return 1;
    }

    // Baseline: nothing is recorded, the backend still decodes every event.
    const Pass idle = pass(*platform, std::max(1, seconds / 10), [](int) { return false; });

    recorder.start(platform->captureTime(), {0, 0}, false, true);
    timedRouter.spent = {};
    const Pass recording =
        pass(*platform, seconds, [&](int sent) { return recorder.records().count(':') >= sent; });
    recorder.stop(platform->captureTime(), {});
    platform->stopCapture();
    platform->setListener(nullptr);

    const int records = recorder.records().count(':');
    const double perEvent = recording.guiMicros / recording.sent;
    const double idlePerEvent = idle.guiMicros / idle.sent;
    std::printf("capture at %d events/s for %d s: %d sent, %d recorded, %d lost (wall %.1f s)\n", EventsPerSecond,
                seconds, recording.sent, records, recording.sent - records, recording.wallSeconds);
    std::printf("GUI thread CPU per event, recording:       %7.2f us\n", perEvent);
    std::printf("GUI thread CPU per event, not recording:   %7.2f us (baseline, %d events)\n", idlePerEvent,
                idle.sent);
    std::printf("  of which in the record path (router and recorder): %.2f us\n",
                std::chrono::duration<double, std::micro>(timedRouter.spent).count() / recording.sent);
    std::printf("ratio recording/baseline:                  %7.2f x\n", perEvent / idlePerEvent);
    const bool met = records == recording.sent && perEvent <= TargetMicrosPerEvent;
    std::printf("target none lost, <= %.0f us per event: %s\n", TargetMicrosPerEvent, met ? "met" : "NOT met");
    return met ? 0 : 1;
}
