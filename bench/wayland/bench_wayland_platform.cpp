// Injection throughput and latency of the Wayland backend against one wtype
// process per key stroke, into a window on a private headless sway, in the
// same run. A stroke is two events (press and release); wtype cannot send
// one without the other from separate processes, since each process's
// keyboard goes away when it exits.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "HeadlessSway.h"
#include "platform/wayland/WaylandPlatform.h"

using namespace platform;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int BackendStrokes = 5000;
constexpr int InFlight = 100;  // strokes
constexpr int WtypeStrokes = 100;
constexpr int LatencySamples = 300;
constexpr double TargetRatio = 100.0;
constexpr uint16_t ScanA = 0x1E;
// What the window prints for the release of A (evdev 30) when our US keymap
// is in use.
constexpr char ReleaseA[] = "key 30 0";

double micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

void stroke(Platform& p) {
    p.sendInput(InputRecord::key(KeyboardInput{0, ScanA, KeyScanCode}));
    p.sendInput(InputRecord::key(KeyboardInput{0, ScanA, KeyScanCode | KeyUp}));
}

double percentile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(q * (v.size() - 1))];
}

std::function<bool(const std::string&)> is(const char* line) {
    return [line](const std::string& l) { return l == line; };
}
bool isKey(const std::string& line) {
    return line.rfind("key ", 0) == 0;
}
// wtype numbers its own keys: its release of "a" is some "key N 0" line.
bool isRelease(const std::string& line) {
    return isKey(line) && line.compare(line.size() - 2, 2, " 0") == 0;
}

}  // namespace

int main() {
    try {
        HeadlessSway sway(QP_WAYLAND_TEST_CLIENT);
        setenv("WAYLAND_DISPLAY", sway.socket().c_str(), 1);
        std::string error;
        auto backend = WaylandPlatform::open(&error);
        if (!backend) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        // The window gets the focus with the first keyboard, the backend's.
        bool focused = false;
        sway.linesUntil(is("focused"), &focused);
        if (!focused) {
            std::fprintf(stderr, "the window got no keyboard focus\n");
            return 1;
        }

        // Throughput: strokes sent as fast as the window takes them, with at
        // most InFlight of them not yet seen. Unbounded, a slow moment of the
        // window lets its connection overflow, and sway drops the window.
        long seen = 0;
        int arrived = 0;
        const auto waitForOne = [&] {
            bool released = false;
            const auto lines = sway.linesUntil(is(ReleaseA), &released);
            seen += std::count_if(lines.begin(), lines.end(), isKey);
            arrived += released;
            return released;
        };
        auto start = Clock::now();
        bool flowing = true;
        for (int sent = 0; sent < BackendStrokes && flowing; ++sent) {
            if (sent - arrived >= InFlight) flowing = waitForOne();
            stroke(*backend);
        }
        while (flowing && arrived < BackendStrokes) flowing = waitForOne();
        const double backendRate = 2 * BackendStrokes / (micros(Clock::now() - start) / 1e6);
        if (seen != 2 * BackendStrokes) {
            std::fprintf(stderr, "the window saw %ld of %d events\n", seen, 2 * BackendStrokes);
            return 1;
        }

        std::vector<double> backendLatency, wtypeLatency;
        for (int i = 0; i < LatencySamples; ++i) {
            start = Clock::now();
            stroke(*backend);
            bool released = false;
            sway.linesUntil(is(ReleaseA), &released);
            if (!released) {
                std::fprintf(stderr, "a stroke never reached the window\n");
                return 1;
            }
            backendLatency.push_back(micros(Clock::now() - start));
        }

        // wtype runs as sway's user, as a client of the desktop would.
        start = Clock::now();
        for (int i = 0; i < WtypeStrokes; ++i) {
            const auto one = Clock::now();
            bool released = false;
            if (sway.run({"wtype", "-k", "a"}) == 0) sway.linesUntil(isRelease, &released);
            if (!released) {
                std::fprintf(stderr, "wtype failed, or its stroke never reached the window\n");
                return 1;
            }
            wtypeLatency.push_back(micros(Clock::now() - one));
        }
        const double wtypeRate = 2 * WtypeStrokes / (micros(Clock::now() - start) / 1e6);

        const double ratio = backendRate / wtypeRate;
        const double p50[] = {percentile(backendLatency, 0.5), percentile(wtypeLatency, 0.5)};
        const double p95[] = {percentile(backendLatency, 0.95), percentile(wtypeLatency, 0.95)};
        std::printf(
            "injection, backend:      %10.0f events/s (%d key events, at most %d strokes "
            "ahead of the window)\n",
            backendRate, 2 * BackendStrokes, InFlight);
        std::printf(
            "injection, wtype:        %10.0f events/s (one process per stroke of 2 events, %d "
            "strokes)\n",
            wtypeRate, WtypeStrokes);
        std::printf("ratio backend/wtype:     %10.1f x   (target >= %.0f x): %s\n", ratio,
                    TargetRatio, ratio >= TargetRatio ? "met" : "NOT met");
        std::printf("stroke latency, backend: p50 %9.1f us, p95 %9.1f us (%d samples)\n", p50[0],
                    p95[0], LatencySamples);
        std::printf("stroke latency, wtype:   p50 %9.1f us, p95 %9.1f us (%d samples)\n", p50[1],
                    p95[1], WtypeStrokes);
        std::printf("latency ratio wtype/backend: p50 %.1f x, p95 %.1f x\n", p50[1] / p50[0],
                    p95[1] / p95[0]);
        return ratio >= TargetRatio ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
