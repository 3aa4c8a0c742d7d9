// Injection throughput and latency of the Wayland backend against one wtype
// process per key stroke, into a window on a private headless sway, in the
// same run. A stroke is two events (press and release); wtype cannot send
// one without the other from separate processes, since each process's
// keyboard goes away when it exits.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <vector>

#include "platform/wayland/WaylandPlatform.h"
#include "tests/support/ProcessRunner.h"
#include "tests/wayland/SwaySession.h"

using namespace platform;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int BackendStrokes = 5000;
constexpr int WtypeStrokes = 40;
constexpr int LatencySamples = 300;
constexpr double TargetRatio = 100.0;
constexpr uint16_t ScanA = 0x1E, ScanF12 = 0x58;
// What the window prints for the release of A and of F12 (evdev 30 and 88)
// when our US keymap is in use.
constexpr const char ReleaseA[] = "key 30 0";
constexpr const char ReleaseF12[] = "key 88 0";

double micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

void stroke(Platform& p, uint16_t scan) {
    p.sendInput(InputRecord::key(KeyboardInput{0, scan, KeyScanCode}));
    p.sendInput(InputRecord::key(KeyboardInput{0, scan, KeyScanCode | KeyUp}));
}

double percentile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(q * (v.size() - 1))];
}

// wtype numbers its own keys: its release of "a" is some "key N 0" line.
bool isRelease(const std::string& line) {
    return line.rfind("key ", 0) == 0 && line.compare(line.size() - 2, 2, " 0") == 0;
}

}  // namespace

int main() {
    SwaySession sway;
    setenv("WAYLAND_DISPLAY", sway.socket().c_str(), 1);
    std::string error;
    auto backend = WaylandPlatform::open(&error);
    if (!backend) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    TestWindow window(sway);

    // Throughput: everything sent, then until the window has seen the last
    // event. The window's output is read meanwhile, or it would stall.
    auto start = Clock::now();
    auto seen =
        std::async(std::launch::async, [&window] { return window.linesUntil(ReleaseF12).size(); });
    for (int i = 0; i < BackendStrokes; ++i) stroke(*backend, ScanA);
    stroke(*backend, ScanF12);
    const size_t backendLines = seen.get();
    const double backendPerEvent = micros(Clock::now() - start) / (2 * BackendStrokes);

    std::vector<double> backendLatency, wtypeLatency;
    for (int i = 0; i < LatencySamples; ++i) {
        start = Clock::now();
        stroke(*backend, ScanA);
        window.linesUntil(ReleaseA);
        backendLatency.push_back(micros(Clock::now() - start));
    }

    int wtypeFailures = 0;
    start = Clock::now();
    for (int i = 0; i < WtypeStrokes; ++i) {
        const auto one = Clock::now();
        wtypeFailures += runProcess({"wtype", "-k", "a"}).exitCode != 0;
        bool released = false;
        window.linesUntil(isRelease, &released);
        wtypeFailures += !released;
        wtypeLatency.push_back(micros(Clock::now() - one));
    }
    const double wtypePerEvent = micros(Clock::now() - start) / (2 * WtypeStrokes);

    if (wtypeFailures)
        std::fprintf(stderr, "wtype failed, or its key never arrived, %d times\n", wtypeFailures);
    if (backendLines < 2 * BackendStrokes)
        std::fprintf(stderr, "the window saw only %zu of %d events\n", backendLines,
                     2 * BackendStrokes);
    const double ratio = wtypePerEvent / backendPerEvent;
    std::printf(
        "injection, backend:      %9.2f us/event (%d key events, until the window has them)\n",
        backendPerEvent, 2 * BackendStrokes);
    std::printf(
        "injection, wtype:        %9.2f us/event (one process per stroke of 2 events, %d "
        "strokes)\n",
        wtypePerEvent, WtypeStrokes);
    std::printf("ratio wtype/backend:     %9.1f x   (target >= %.0f x): %s\n", ratio, TargetRatio,
                ratio >= TargetRatio ? "met" : "NOT met");
    std::printf("stroke latency, backend: median %8.1f us, p99 %8.1f us (%d samples)\n",
                percentile(backendLatency, 0.5), percentile(backendLatency, 0.99), LatencySamples);
    std::printf("stroke latency, wtype:   median %8.1f us, p99 %8.1f us (%d samples)\n",
                percentile(wtypeLatency, 0.5), percentile(wtypeLatency, 0.99), WtypeStrokes);
    return ratio >= TargetRatio ? 0 : 1;
}
