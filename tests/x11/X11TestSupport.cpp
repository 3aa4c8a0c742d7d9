#include "X11TestSupport.h"

#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/ProcessRunner.h"

std::unique_ptr<platform::X11Platform> openPlatform() {
    std::string error;
    auto p = platform::X11Platform::open(&error);
    EXPECT_TRUE(p) << error;
    return p;
}

bool pumpUntil(platform::Platform& p, const std::function<bool()>& done,
               std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (p.processPendingEvents(); !done(); p.processPendingEvents()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        pollfd fd{p.eventDescriptor(), POLLIN, 0};
        poll(&fd, 1, 50);
    }
    return true;
}

void run(const std::vector<std::string>& argv) {
    ASSERT_EQ(runProcess(argv).exitCode, 0) << argv[0] << " " << argv.back() << " failed";
}

bool eventually(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    for (const auto end = std::chrono::steady_clock::now() + limit;
         std::chrono::steady_clock::now() < end;) {
        if (done()) return true;
        std::this_thread::sleep_for(20ms);
    }
    return done();
}

namespace {
struct FolderRemoval : testing::Environment {
    void TearDown() override { std::filesystem::remove_all(folder()); }
};
const auto* const folderRemoval = testing::AddGlobalTestEnvironment(new FolderRemoval);
}  // namespace

std::string folder() {
    static const std::string path = [] {
        char name[] = "/tmp/qp_test_XXXXXX";
        const std::string made = mkdtemp(name);
        setenv("XDG_RUNTIME_DIR", made.c_str(), 1);
        return made;
    }();
    return path;
}

std::string contents(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

std::string file(const std::string& name, const std::string& text) {
    const std::string path = folder() + "/" + name;
    std::ofstream(path) << text;
    return path;
}

ChildProgram::ChildProgram(const char* path, const std::vector<std::string>& arguments) {
    static int count = 0;
    out = folder() + "/out" + std::to_string(++count);
    err = folder() + "/err" + std::to_string(count);
    pid = fork();
    if (pid == 0) {
        dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
        dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(path)};
        for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(path, argv.data());
        _exit(127);
    }
}

ChildProgram::~ChildProgram() {
    if (status == -1) end(SIGKILL);
}

int ChildProgram::end(int signal, std::chrono::milliseconds limit) {
    if (signal) kill(pid, signal);
    int wait = 0;
    if (!eventually([&] { return waitpid(pid, &wait, WNOHANG) == pid; }, limit)) {
        kill(pid, SIGKILL);
        waitpid(pid, &wait, 0);
        return status = -2;
    }
    return status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -3;
}

platform::Point pointerLocation() {
    platform::Point p{-1, -1};
    std::sscanf(runProcess({"xdotool", "getmouselocation"}).output.c_str(), "x:%d y:%d", &p.x,
                &p.y);
    return p;
}

ServerWatcher::ServerWatcher() : display_(XOpenDisplay(nullptr)) {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.event_mask =
        KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
    const int screen = DefaultScreen(display_);
    const Window window =
        XCreateWindow(display_, RootWindow(display_, screen), 0, 0, DisplayWidth(display_, screen),
                      DisplayHeight(display_, screen), 0, CopyFromParent, InputOutput,
                      CopyFromParent, CWOverrideRedirect | CWEventMask, &attributes);
    // Override-redirect: mapped at once, no window manager in between.
    XMapRaised(display_, window);
    XSetInputFocus(display_, window, RevertToParent, CurrentTime);
    XSync(display_, False);
}

ServerWatcher::~ServerWatcher() {
    XCloseDisplay(display_);
}

void ServerWatcher::drain() {
    while (XPending(display_)) {
        XEvent e;
        XNextEvent(display_, &e);
        if (e.type < KeyPress || e.type > MotionNotify) continue;
        // Key, button and motion events share one layout up to the keycode or button.
        const int detail = e.type == MotionNotify ? 0 : static_cast<int>(e.xbutton.button);
        events.push_back({e.type, detail, e.xbutton.x_root, e.xbutton.y_root});
        char buffer[8];
        if (e.type == KeyPress)
            text.append(buffer, XLookupString(&e.xkey, buffer, sizeof buffer, nullptr, nullptr));
    }
}

void ServerWatcher::settle() {
    // Events of another client's requests may still be on their way.
    size_t seen = 0;
    for (int quiet = 0; quiet < 10; ++quiet) {
        XSync(display_, False);
        drain();
        if (events.size() + text.size() != seen) quiet = 0;
        seen = events.size() + text.size();
        std::this_thread::sleep_for(5ms);
    }
}

void ServerWatcher::clear() {
    settle();
    events.clear();
    text.clear();
}
