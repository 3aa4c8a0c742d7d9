// `quillpress run` of a one-line script from the process's start: to the
// first event it injects and to its exit, on a private Xvfb with the real
// X11 backend. The baseline, measured in the same run, is `xdotool`
// injecting the same key press and release from its own start (its pointer
// moves warp the pointer, which raw events do not show).

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "bench/support/RawEventWatcher.h"
#include "tests/support/XvfbServer.h"

using Clock = std::chrono::steady_clock;

namespace {

constexpr int Samples = 30;
constexpr double TargetMs = 50.0;  // process start to the first injected event
constexpr auto GiveUp = std::chrono::seconds(5);
const char Script[] = "PressKey('LShift') ReleaseKey('LShift')\n";

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Sample {
    double first = -1, exit = -1;
};

// Starts argv, and times the first motion the watcher sees and the exit.
Sample timeProcess(RawEventWatcher& watcher, const std::vector<std::string>& argv) {
    watcher.arm();
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        execvp(args[0], args.data());
        _exit(127);
    }
    Sample sample;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) != pid) {
        if (Clock::now() - start > GiveUp) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return {};
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    sample.exit = ms(Clock::now() - start);
    // The event may be noted a moment after the exit was seen.
    for (const auto end = Clock::now() + std::chrono::milliseconds(500); !watcher.seen() && Clock::now() < end;)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    if (watcher.seen() && WIFEXITED(status) && WEXITSTATUS(status) == 0) sample.first = ms(watcher.when() - start);
    return sample;
}

struct Figures {
    double median, p95;
};
Figures figuresOf(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[static_cast<size_t>(0.95 * (v.size() - 1))]};
}

}  // namespace

int main() {
    XvfbServer server;
    char folder[] = "/tmp/qp_bench_cli_XXXXXX";
    if (!mkdtemp(folder)) return 1;
    const std::string script = std::string(folder) + "/shift.lua";
    std::ofstream(script) << Script;
    RawEventWatcher watcher(XI_RawKeyPress);
    std::vector<double> first, exit, xdoFirst, xdoExit;
    int failures = 0;
    for (int i = 0; i < Samples; ++i) {
        const Sample run = timeProcess(watcher, {QUILLPRESS, "run", script, "--quiet"});
        const Sample xdo = timeProcess(watcher, {"xdotool", "key", "Shift_L"});
        if (run.first < 0 || xdo.first < 0) {
            std::fprintf(stderr, "sample %d: run %.1f/%.1f ms, xdotool %.1f/%.1f ms\n", i, run.first, run.exit,
                         xdo.first, xdo.exit);
            ++failures;
            continue;
        }
        first.push_back(run.first);
        exit.push_back(run.exit);
        xdoFirst.push_back(xdo.first);
        xdoExit.push_back(xdo.exit);
    }
    std::filesystem::remove_all(folder);
    if (first.empty()) {
        std::fprintf(stderr, "no run injected anything (%d failures)\n", failures);
        return 1;
    }
    const Figures f = figuresOf(first), e = figuresOf(exit), xf = figuresOf(xdoFirst), xe = figuresOf(xdoExit);
    std::printf("%d samples, %d failures\n", Samples, failures);
    std::printf("quillpress run: first event median %7.2f ms (p95 %7.2f), exit median %7.2f ms (p95 %7.2f)\n",
                f.median, f.p95, e.median, e.p95);
    std::printf("xdotool:        first event median %7.2f ms (p95 %7.2f), exit median %7.2f ms (p95 %7.2f)\n",
                xf.median, xf.p95, xe.median, xe.p95);
    std::printf("ratio to xdotool: first event %.2f x, exit %.2f x; first event / target (%.0f ms): %.2f\n",
                f.median / xf.median, e.median / xe.median, TargetMs, f.median / TargetMs);
    const bool met = f.median <= TargetMs && failures == 0;
    std::printf("target %s\n", met ? "met" : "NOT met");
    return met ? 0 : 1;
}
