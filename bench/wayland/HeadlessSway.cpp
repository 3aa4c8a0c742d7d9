#include "HeadlessSway.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

constexpr int PauseMs = 10000;  // sway's start under a loaded machine included
constexpr char Placed[] = "placed on ";

}  // namespace

HeadlessSway::HeadlessSway(const std::string& window) : uid_(getuid()), gid_(getgid()) {
    if (uid_ == 0) {
        const passwd* nobody = getpwnam("nobody");
        if (!nobody) throw std::runtime_error("there is no user nobody to run sway as");
        uid_ = nobody->pw_uid;
        gid_ = nobody->pw_gid;
    }
    char dir[] = "/tmp/qp-sway-XXXXXX";  // 0700
    if (!mkdtemp(dir)) throw std::runtime_error("cannot make sway's runtime directory");
    dir_ = dir;
    int fds[2];
    if (chown(dir, uid_, gid_) != 0 || pipe2(fds, O_CLOEXEC) != 0) {
        std::filesystem::remove_all(dir_);
        throw std::runtime_error("cannot prepare sway's runtime directory or output");
    }
    std::ofstream(dir_ + "/config") << "output HEADLESS-1 resolution 1280x720 position 0 0\n"
                                    << "exec " << window << "\n";
    sway_ = start({"sway", "-c", dir_ + "/config"}, fds[1]);
    close(fds[1]);
    output_ = fds[0];
    if (sway_ < 0) {
        close(output_);
        std::filesystem::remove_all(dir_);
        throw std::runtime_error("cannot start sway");
    }
    bool placed = false;
    const auto lines =
        linesUntil([](const std::string& line) { return line.rfind(Placed, 0) == 0; }, &placed);
    if (!placed) {
        kill(sway_, SIGTERM);
        waitpid(sway_, nullptr, 0);
        close(output_);
        std::filesystem::remove_all(dir_);
        throw std::runtime_error("sway did not start or did not show " + window);
    }
    // The window names sway's socket relative to the runtime directory.
    socket_ = dir_ + "/" + lines.back().substr(sizeof Placed - 1);
}

HeadlessSway::~HeadlessSway() {
    // swaymsg complains that sway, gone, never answered: said nowhere. sway
    // is still ours to signal until it is waited for.
    const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    int status = 0;
    const pid_t swaymsg = start({"swaymsg", "-s", dir_ + "/ipc", "exit"}, devNull);
    if (swaymsg < 0 || waitpid(swaymsg, &status, 0) != swaymsg || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        kill(sway_, SIGTERM);
    close(devNull);
    waitpid(sway_, nullptr, 0);
    close(output_);
    std::filesystem::remove_all(dir_);
}

int HeadlessSway::run(const std::vector<std::string>& argv) const {
    const pid_t pid = start(argv, -1);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// sway's own output goes to outputFd and its complaints (no Xwayland, ...)
// nowhere; other programs keep ours. Nothing is allocated after the fork.
pid_t HeadlessSway::start(const std::vector<std::string>& argv, int outputFd) const {
    const std::string home = "HOME=" + dir_, runtime = "XDG_RUNTIME_DIR=" + dir_,
                      ipc = "SWAYSOCK=" + dir_ + "/ipc", display = "WAYLAND_DISPLAY=" + socket_;
    std::vector<const char*> env = {"PATH=/usr/bin:/bin",    home.c_str(),
                                    runtime.c_str(),         ipc.c_str(),
                                    "WLR_BACKENDS=headless", "WLR_LIBINPUT_NO_DEVICES=1",
                                    "WLR_RENDERER=pixman",   "ASAN_OPTIONS=detect_leaks=0"};
    // sway sets its clients' display itself; ours reach it by the absolute path.
    if (!socket_.empty()) env.push_back(display.c_str());
    env.push_back(nullptr);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    const pid_t pid = fork();
    if (pid != 0) return pid;
    if (outputFd >= 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(outputFd, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
    }
    if (getuid() != uid_ && (setgroups(0, nullptr) != 0 || setgid(gid_) != 0 || setuid(uid_) != 0))
        _exit(126);
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // after the change of user, which clears it
    execvpe(args[0], args.data(), const_cast<char* const*>(env.data()));
    _exit(127);
}

std::vector<std::string> HeadlessSway::linesUntil(
    const std::function<bool(const std::string&)>& isLast, bool* found) {
    std::vector<std::string> lines;
    if (found) *found = false;
    for (;;) {
        for (size_t end; (end = pending_.find('\n')) != std::string::npos;) {
            lines.push_back(pending_.substr(0, end));
            pending_.erase(0, end + 1);
            if (isLast(lines.back())) {
                if (found) *found = true;
                return lines;
            }
        }
        pollfd readable{output_, POLLIN, 0};
        char buffer[4096];
        ssize_t n = 0;
        if (poll(&readable, 1, PauseMs) <= 0 || (n = read(output_, buffer, sizeof buffer)) <= 0)
            return lines;
        pending_.append(buffer, static_cast<size_t>(n));
    }
}
