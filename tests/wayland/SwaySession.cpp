#include "SwaySession.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "tests/support/ProcessRunner.h"

namespace {

constexpr const char TestUser[] = "qpwayland";
constexpr int StartTimeoutMs = 15000;
constexpr int LineTimeoutMs = 5000;

void stop(pid_t pid) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

}  // namespace

SwaySession::SwaySession() : uid_(getuid()), gid_(getgid()) {
    if (uid_ == 0) {
        if (!getpwnam(TestUser))
            runProcess({"useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin",
                        TestUser});
        const passwd* user = getpwnam(TestUser);
        if (!user)
            throw std::runtime_error(std::string("cannot create the user ") + TestUser +
                                     " to run sway");
        uid_ = user->pw_uid;
        gid_ = user->pw_gid;
    }
    char dir[] = "/tmp/qp-sway-XXXXXX";
    if (!mkdtemp(dir) || chown(dir, uid_, gid_) != 0)
        throw std::runtime_error("cannot make sway's runtime directory");
    runtimeDir_ = dir;
    std::ofstream(runtimeDir_ + "/config")
        << "output HEADLESS-1 resolution 1280x720 position 0 0\n";
    sway_ = start({"sway", "-c", runtimeDir_ + "/config"}, -1);
    for (int waited = 0; socket_.empty() && waited < StartTimeoutMs; waited += 50) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        for (const auto& entry : std::filesystem::directory_iterator(runtimeDir_))
            if (entry.is_socket() && entry.path().filename().string().rfind("wayland-", 0) == 0)
                socket_ = entry.path().string();
    }
    if (socket_.empty()) {
        stop(sway_);
        std::filesystem::remove_all(runtimeDir_);
        throw std::runtime_error("sway did not start (is the sway package installed?)");
    }
}

SwaySession::~SwaySession() {
    stop(sway_);
    std::filesystem::remove_all(runtimeDir_);
}

pid_t SwaySession::start(const std::vector<std::string>& argv, int outputFd) const {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    const int devNull = open("/dev/null", O_RDWR);
    dup2(outputFd >= 0 ? outputFd : devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
    if (getuid() != uid_ && (setgroups(0, nullptr) != 0 || setgid(gid_) != 0 || setuid(uid_) != 0))
        _exit(126);
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // after the change of user, which clears it
    const std::string runtime = "XDG_RUNTIME_DIR=" + runtimeDir_, home = "HOME=" + runtimeDir_;
    const std::string display = "WAYLAND_DISPLAY=" + socket_;
    const char* env[] = {"PATH=/usr/bin:/bin",
                         runtime.c_str(),
                         home.c_str(),
                         display.c_str(),
                         "WLR_BACKENDS=headless",
                         "WLR_LIBINPUT_NO_DEVICES=1",
                         "WLR_RENDERER=pixman",
                         "ASAN_OPTIONS=detect_leaks=0",
                         nullptr};
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvpe(args[0], args.data(), const_cast<char* const*>(env));
    _exit(127);
}

TestWindow::TestWindow(const SwaySession& session) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    pid_ = session.start({QP_WAYLAND_TEST_CLIENT}, fds[1]);
    close(fds[1]);
    fd_ = fds[0];
    bool ready = false;
    linesUntil("ready", &ready);
    if (!ready) {
        stop(pid_);
        close(fd_);
        throw std::runtime_error(
            "the test window was not shown fullscreen with the keyboard focus");
    }
}

TestWindow::~TestWindow() {
    stop(pid_);
    close(fd_);
}

std::vector<std::string> TestWindow::linesUntil(const std::string& last, bool* found) {
    return linesUntil([&last](const std::string& line) { return line == last; }, found);
}

std::vector<std::string> TestWindow::linesUntil(
    const std::function<bool(const std::string&)>& isLast, bool* found) {
    std::vector<std::string> lines;
    if (found) *found = false;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(LineTimeoutMs);
    for (;;) {
        for (size_t end; (end = pending_.find('\n')) != std::string::npos;) {
            lines.push_back(pending_.substr(0, end));
            pending_.erase(0, end + 1);
            if (isLast(lines.back())) {
                lines.pop_back();
                if (found) *found = true;
                return lines;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd readable{fd_, POLLIN, 0};
        char buffer[4096];
        ssize_t n = 0;
        if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0 ||
            (n = read(fd_, buffer, sizeof buffer)) <= 0)
            return lines;
        pending_.append(buffer, static_cast<size_t>(n));
    }
}
