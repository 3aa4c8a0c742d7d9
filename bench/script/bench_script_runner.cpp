// Figures of the script runner, each against a baseline measured in the
// same process: what the stop costs a CPU-bound script (against a bare Lua
// state with no stop machinery), how fast a stop takes effect in loops and
// waits, what a second of MilliSleep costs (against a polling wait), and
// what stays resident after a memory-hungry run (against the same work in a
// bare state on a thread of its own, which gives nothing back).

#include <lua.hpp>
#include <pthread.h>
#include <sched.h>
#include <unistd.h>

#include <QString>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/fake/FakePlatform.h"
#include "script/MonotonicClock.h"
#include "bench/script/BenchRuns.h"
#include "script/Thread.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int Repeats = 7;
constexpr int LatencySamples = 15;
const QString Ready = "go!";
const std::string ReadyCall = "Log('go' .. '!') ";

// The two vCPUs here differ in speed from moment to moment; CPU-bound
// comparisons run both sides on the same one.
void pinToFirstCpu() {
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(0, &set);
    pthread_setaffinity_np(pthread_self(), sizeof set, &set);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString waitForLog(Thread& run, const QString& marker) {
    QString log;
    while (!log.contains(marker) && !run.isFinished()) {
        log += run.takeLog();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return log;
}

// --- CPU-bound scripts: the run against a bare state -----------------------

// body sets dt, the seconds its work took.
double bareSecondsHere(const std::string& body) {
    lua_State* state = luaL_newstate();
    luaL_openlibs(state);
    installMonotonicClock(state);
    const std::string chunk = body + " return dt";
    double seconds = -1;
    if (luaL_loadstring(state, chunk.c_str()) == LUA_OK && lua_pcall(state, 0, 1, 0) == LUA_OK)
        seconds = lua_tonumber(state, -1);
    lua_close(state);
    return seconds;
}

double bareSeconds(const std::string& body) {
    double seconds = -1;
    std::thread([&] {
        pinToFirstCpu();
        seconds = bareSecondsHere(body);
    }).join();
    return seconds;
}

double runSeconds(platform::Platform& platform, const std::string& body) {
    TimedRun run(platform, tableRun(body + " Log(string.format('<%.9f>', dt))"));
    run.beforeRun = pinToFirstCpu;
    run.start();
    run.wait();
    const QString log = run.takeLog();
    const int open = log.lastIndexOf('<');
    return log.mid(open + 1, log.indexOf('>', open) - open - 1).toDouble();
}

void cpuBoundOverhead(platform::Platform& platform) {
    struct Case {
        const char* name;
        std::string body;
    };
    const Case cases[] = {
        {"plain loop", "local t0 = os.clock() local x = 0 for i = 1, 30000000 do x = x + i % 7 end "
                       "local dt = os.clock() - t0"},
        {"calls and tables",
         "local t0 = os.clock() local t = {} local function f(a) return a * 2 end "
         "for i = 1, 10000000 do t[i % 100 + 1] = f(i) end local dt = os.clock() - t0"},
        {"loop in a coroutine",
         "local t0 = os.clock() local x = 0 coroutine.wrap(function() for i = 1, 30000000 do x = x + i % 7 end end)() "
         "local dt = os.clock() - t0"},
        {"yield every iteration",
         "local t0 = os.clock() local co = coroutine.wrap(function() while true do coroutine.yield() end end) "
         "for i = 1, 2000000 do co() end local dt = os.clock() - t0"},
    };
    std::printf("CPU-bound script in a run / same chunk in a bare state (%d each, alternating, same CPU)\n", Repeats);
    for (const Case& c : cases) {
        std::vector<double> bare, run;
        for (int i = 0; i < Repeats; ++i) {
            bare.push_back(bareSeconds(c.body));
            run.push_back(runSeconds(platform, c.body));
        }
        const double fastestBare = *std::min_element(bare.begin(), bare.end());
        const double fastestRun = *std::min_element(run.begin(), run.end());
        std::printf("  %-22s bare %8.2f ms  run %8.2f ms  ratio %.3f (medians), %.3f (fastest)\n", c.name,
                    median(bare) * 1e3, median(run) * 1e3, median(run) / median(bare), fastestRun / fastestBare);
    }
}

// --- Stop latency ------------------------------------------------------------

double latencyOf(platform::Platform& platform, const std::string& script) {
    TimedRun run(platform, tableRun(ReadyCall + script));
    run.start();
    waitForLog(run, Ready);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const Clock::time_point requested = Clock::now();
    run.requestStop();
    run.wait();
    return std::chrono::duration<double, std::milli>(run.ended - requested).count();
}

// A run whose whole work is the pause it lends its injectors.
class WaitRun : public Thread {
public:
    using Thread::Thread;
    Clock::time_point ended;

protected:
    void run() override {
        pause(60000);
        ended = Clock::now();
    }
};

double waitLatency(platform::Platform& platform) {
    WaitRun run(platform, RunSettings{});
    run.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const Clock::time_point requested = Clock::now();
    run.requestStop();
    run.wait();
    return std::chrono::duration<double, std::milli>(run.ended - requested).count();
}

void stopLatency(platform::Platform& platform) {
    const std::pair<const char*, std::string> cases[] = {
        {"plain loop", "while true do end"},
        {"loop in a coroutine", "coroutine.wrap(function() while true do end end)()"},
        {"pcall loop", "while true do pcall(function() while true do end end) end"},
        {"HourSleep(1)", "HourSleep(1)"},
        {"MinSleep(1)", "MinSleep(1)"},
        {"SecSleep(60)", "SecSleep(60)"},
        {"MilliSleep(60000)", "MilliSleep(60000)"},
        {"MicroSleep(6e7)", "MicroSleep(60000000)"},
        {"NanoSleep(-1)", "NanoSleep(-1)"},
    };
    std::printf("Stop latency, request to the run's end including closing its state (median / max of %d)\n",
                LatencySamples);
    for (const auto& c : cases) {
        std::vector<double> samples;
        for (int i = 0; i < LatencySamples; ++i)
            samples.push_back(latencyOf(platform, c.second));
        std::printf("  %-22s %7.3f ms / %7.3f ms\n", c.first, median(samples),
                    *std::max_element(samples.begin(), samples.end()));
    }
    std::vector<double> samples;
    for (int i = 0; i < LatencySamples; ++i)
        samples.push_back(waitLatency(platform));
    std::printf("  %-22s %7.3f ms / %7.3f ms\n", "a run's pause(60000)", median(samples),
                *std::max_element(samples.begin(), samples.end()));
}

// --- Cost of waiting ------------------------------------------------------------

double processCpuMs(const std::function<void()>& work) {
    const std::clock_t start = std::clock();
    work();
    return 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

double runCpuMs(platform::Platform& platform, const std::string& script) {
    return processCpuMs([&] {
        TimedRun run(platform, tableRun(script));
        run.start();
        run.wait();
    });
}

// The wait as first described: poll a stop flag under a mutex between 10 ns sleeps.
void pollingWait(std::chrono::milliseconds length) {
    std::mutex stopMutex;
    bool stop = false;
    const Clock::time_point start = Clock::now();
    while (Clock::now() - start < length) {
        {
            std::lock_guard<std::mutex> lock(stopMutex);
            if (stop)
                return;
        }
        std::this_thread::sleep_for(std::chrono::nanoseconds(10));
    }
}

void waitCost(platform::Platform& platform) {
    const double empty = runCpuMs(platform, "");
    const double sleeping = runCpuMs(platform, "MilliSleep(1000)");
    const double polling = processCpuMs([] { std::thread(pollingWait, std::chrono::milliseconds(1000)).join(); });
    // The whole run (state, libraries, thread) is an upper bound of the wait's own cost.
    std::printf("CPU of a whole run of MilliSleep(1000): %.2f ms (an empty run: %.2f ms); "
                "a polling wait of 1 s: %.2f ms; ratio %.4f\n",
                sleeping, empty, polling, sleeping / polling);

    TimedRun run(platform, tableRun("local t = {} for i = 1, 200 do local t0 = os.clock() MilliSleep(5) "
                                    "t[i] = os.clock() - t0 - 0.005 end table.sort(t) "
                                    "Log(string.format('<%.9f %.9f>', t[100], t[190]))"));
    run.start();
    run.wait();
    const QString log = run.takeLog();
    const int open = log.lastIndexOf('<');
    const QStringList figures = log.mid(open + 1, log.lastIndexOf('>') - open - 1).split(' ');
    std::printf("MilliSleep(5) overshoot: median %.3f ms, 95th percentile %.3f ms\n",
                figures.value(0).toDouble() * 1e3, figures.value(1).toDouble() * 1e3);
}

// --- Memory left resident after a run ----------------------------------------

const char MemoryHungry[] = "local t = {} for i = 1, 400 do t[i] = string.rep(string.char(65 + i % 26), 1e6) end";

double residentMb() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGE_SIZE)) / (1 << 20);
}

void residentAfterRun(platform::Platform& platform) {
    const double before = residentMb();
    TimedRun run(platform, tableRun(MemoryHungry));
    run.start();
    run.wait();
    const double afterRun = residentMb();
    std::thread([] {
        lua_State* state = luaL_newstate();
        luaL_openlibs(state);
        luaL_dostring(state, MemoryHungry);
        lua_close(state);
    }).join();
    const double afterBare = residentMb();
    std::printf("Resident after building 400 MB of strings: before %.0f MB; after a run %.0f MB; "
                "after the same in a bare state %.0f MB (growth ratio run / bare %.3f)\n",
                before, afterRun, afterBare, (afterRun - before) / (afterBare - before));
}

}  // namespace

int main() {
    platform::FakePlatform platform;
    cpuBoundOverhead(platform);
    stopLatency(platform);
    waitCost(platform);
    residentAfterRun(platform);
    return 0;
}
