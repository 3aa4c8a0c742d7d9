// The X server dies while the program runs a script that keeps asking the
// server for the pointer: the GUI thread (through the toolkit and through
// the backend) and the run thread all notice at about the same time. Every
// try must end the same orderly way: the display-loss status, no signal,
// the last chance taken once.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/DisplayLoss.h"
#include "tests/e2e_run/DisplayLossMarker.h"
#include "tests/support/ProcessRunner.h"
#include "tests/support/XvfbServer.h"

namespace {

constexpr int Tries = 5;
constexpr auto StartLimit = std::chrono::seconds(20);
constexpr auto EndLimit = std::chrono::seconds(10);
constexpr auto Poll = std::chrono::milliseconds(20);
// What `xdotool getmouselocation` prints first once the run is under way.
const char PointerAtTarget[] = "x:11 y:22 ";
const char Script[] = "while true do SetMousePosition(11, 22) GetMousePosition() end\n";

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

pid_t startProgram(const std::string& script, const std::string& errorPath) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int err = open(errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (err >= 0) dup2(err, STDERR_FILENO);
        execl(DISPLAY_LOSS_PROGRAM, DISPLAY_LOSS_PROGRAM, script.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// The child's wait status, or -1 when it does not end in time (it is then killed).
int waitForEnd(pid_t pid) {
    const auto deadline = std::chrono::steady_clock::now() + EndLimit;
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid, &status, WNOHANG) == pid) return status;
        std::this_thread::sleep_for(Poll);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

}  // namespace

TEST(DisplayLoss, KillingTheServerDuringARunEndsTheProgramTheOneOrderlyWayEveryTime) {
    char folder[] = "/tmp/qp_display_loss_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string script = std::string(folder) + "/pointer.lua";
    std::ofstream(script) << Script;
    const std::string errorPath = std::string(folder) + "/stderr.txt";
    // The program's window goes to the server, not to an offscreen surface.
    setenv("QT_QPA_PLATFORM", "xcb", 1);

    for (int i = 0; i < Tries; ++i) {
        SCOPED_TRACE("try " + std::to_string(i + 1));
        auto server = std::make_unique<XvfbServer>();
        const pid_t program = startProgram(script, errorPath);
        ASSERT_GT(program, 0);
        const auto deadline = std::chrono::steady_clock::now() + StartLimit;
        bool running = false;
        while (!running && std::chrono::steady_clock::now() < deadline) {
            running = runProcess({"xdotool", "getmouselocation"}).output.rfind(PointerAtTarget, 0) == 0;
            if (!running) std::this_thread::sleep_for(Poll);
        }
        EXPECT_TRUE(running) << readFile(errorPath);

        server.reset();
        const int status = waitForEnd(program);
        const std::string errors = readFile(errorPath);
        ASSERT_NE(status, -1) << "the program did not end\n" << errors;
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status) << "\n" << errors;
        EXPECT_EQ(WEXITSTATUS(status), platform::DisplayLostExitStatus) << errors;
        const auto marker = errors.find(LastChanceMarker);
        EXPECT_NE(marker, std::string::npos) << errors;
        EXPECT_EQ(errors.find(LastChanceMarker, marker + 1), std::string::npos) << errors;
    }
    std::remove(script.c_str());
    std::remove(errorPath.c_str());
    rmdir(folder);
}
