// The command line of the real program: headless runs, their exit statuses
// and signals, and the running window driven by later starts.

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/support/ProcessRunner.h"
#include "tests/x11/X11TestSupport.h"

namespace {

constexpr auto Poll = 20ms;

std::string folder() {
    static const std::string path = [] {
        char name[] = "/tmp/qp_cli_XXXXXX";
        const std::string made = mkdtemp(name);
        // The window's socket goes here, private to this test.
        setenv("XDG_RUNTIME_DIR", made.c_str(), 1);
        return made;
    }();
    return path;
}

// The folder goes when the tests end.
struct FolderRemoval : testing::Environment {
    void TearDown() override { std::filesystem::remove_all(folder()); }
};
const auto* const folderRemoval = testing::AddGlobalTestEnvironment(new FolderRemoval);

std::string file(const std::string& name, const std::string& text) {
    const std::string path = folder() + "/" + name;
    std::ofstream(path) << text;
    return path;
}

std::string readAll(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

bool eventually(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s) {
    for (const auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
        if (done()) return true;
        std::this_thread::sleep_for(Poll);
    }
    return done();
}

// The program started with arguments; its output goes to files read at its end.
struct Program {
    explicit Program(const std::vector<std::string>& arguments) {
        pid = fork();
        if (pid == 0) {
            dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
            dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
            std::vector<char*> argv{const_cast<char*>(QUILLPRESS)};
            for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(QUILLPRESS, argv.data());
            _exit(127);
        }
    }
    ~Program() {
        if (status == -1) end(SIGKILL);
    }
    // After signal (when not 0): the exit status; -2 (and killed) when it has
    // not ended within limit, -3 when a signal ended it.
    int end(int signal = 0, std::chrono::milliseconds limit = 20s) {
        if (signal) kill(pid, signal);
        int wait = 0;
        if (!eventually([&] { return waitpid(pid, &wait, WNOHANG) == pid; }, limit)) {
            kill(pid, SIGKILL);
            waitpid(pid, &wait, 0);
            return status = -2;
        }
        return status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -3;
    }
    std::string output() const { return readAll(out); }
    std::string errors() const { return readAll(err); }

    std::string out = folder() + "/out" + std::to_string(++count);
    std::string err = folder() + "/err" + std::to_string(count);
    pid_t pid = -1;
    int status = -1;
    static inline int count = 0;
};

}  // namespace

TEST(HeadlessRun, LogsAsTheWindowDoesWhileItsInputReachesTheServer) {
    const std::string script = file("move.lua", "Log('start\\n') SetMousePosition(123, 456) Log('end\\n')");
    Program run({"run", script});
    ASSERT_EQ(run.end(), 0) << run.errors();
    EXPECT_EQ(run.output(), "-- Loading: " + script + "\nstart\nend\n-- Finished executing: " + script + "\n\n");
    EXPECT_EQ(pointerLocation(), (platform::Point{123, 456}));
}

TEST(HeadlessRun, ExitStatusSaysHowTheRunEnded) {
    const std::string broken = file("broken.lua", "Log('a\\n')\nerror('boom')\n");
    const std::string missing = folder() + "/missing.lua";
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string output, errors;  // what each must contain
    } cases[] = {
        {{"run", broken}, 1, "a\nError " + broken + ":2: boom\n", ""},
        {{"run", broken, "--quiet"}, 1, "", "Error " + broken + ":2: boom\n"},
        {{"run", file("exit.lua", "os.exit(7)")}, 7, "os.exit(7)", ""},
        {{"run", missing}, 2, "", "cannot read " + missing},
        {{"run", file("bad.table", "A:Hitt:10\n")}, 1, "-- Table not played, row 1: ", ""},
        {{"run", broken, "--loop", "--repeat", "2"}, 2, "", "exclude each other"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.back());
        Program run(c.arguments);
        EXPECT_EQ(run.end(), c.status);
        EXPECT_NE(run.output().find(c.output), std::string::npos) << run.output();
        EXPECT_NE(run.errors().find(c.errors), std::string::npos) << run.errors();
        if (c.output.empty()) {
            EXPECT_EQ(run.output(), "");
        }
    }
}

TEST(HeadlessRun, InterruptStopsAnEndlessRunAndReleasesWhatItHeld) {
    const auto server = openPlatform();
    auto shiftDown = [&] { return server->asyncKeyState(0xA0) != 0; };
    Program run({"run", file("hold.lua", "PressKey('LShift') Log('held\\n') while true do end")});
    ASSERT_TRUE(eventually([&] { return shiftDown() && run.output().find("held") != std::string::npos; }));
    kill(run.pid, SIGINT);
    // A second interrupt while it stops changes nothing.
    EXPECT_EQ(run.end(SIGINT, 1s), 130) << run.errors();
    EXPECT_FALSE(shiftDown());
    EXPECT_EQ(run.output().substr(run.output().find("held")), "held\n-- Execution Stopped\n\n");
}

TEST(WindowChannel, ToggleRunAndASecondStartDriveTheRunningWindowAndFailWithoutOne) {
    Program none({"--toggle-run"});
    EXPECT_EQ(none.end(), 1);
    EXPECT_NE(none.errors().find("no Quillpress window is running"), std::string::npos) << none.errors();

    Program window({file("window.lua", "while true do SetMousePosition(300, 400) MilliSleep(20) end")});
    ASSERT_TRUE(eventually([] { return runProcess({"xdotool", "search", "--name", "^Quillpress$"}).exitCode == 0; }));
    run({"xdotool", "mousemove", "0", "0"});
    EXPECT_EQ(Program({"--toggle-run"}).end(), 0);
    EXPECT_TRUE(eventually([] { return pointerLocation() == platform::Point{300, 400}; }));
    EXPECT_EQ(Program({"--toggle-run"}).end(), 0);
    std::this_thread::sleep_for(200ms);
    run({"xdotool", "mousemove", "0", "0"});
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(pointerLocation(), (platform::Point{0, 0}));

    // The run plays the handed table, so it was loaded and Use Table chosen.
    Program second({file("place.table", "Mouse Position:640 480:0\n")});
    EXPECT_EQ(second.end(0, 5s), 0) << second.errors();
    EXPECT_EQ(Program({"--toggle-run"}).end(), 0);
    EXPECT_TRUE(eventually([] { return pointerLocation() == platform::Point{640, 480}; }));
    window.end(SIGTERM);
}
