// The command line of the real program: headless runs, their exit statuses
// and signals, and the running window driven by later starts.

#include <gtest/gtest.h>

#include <X11/XKBlib.h>
#include <X11/keysym.h>
#include <X11/extensions/XInput2.h>

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

// "x:X y:Y " as xdotool prints the pointer.
std::string pointer() {
    const std::string location = runProcess({"xdotool", "getmouselocation"}).output;
    return location.substr(0, location.find("screen"));
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
    XiWatcher watcher;
    const std::string script = file("type.lua", "Log('start\\n') SetMousePosition(123, 456) TypeString('hi') Log('end\\n')");
    Program run({"run", script});
    ASSERT_EQ(run.end(), 0) << run.errors();
    EXPECT_EQ(run.output(), "-- Loading: " + script + "\nstart\nend\n-- Finished executing: " + script + "\n\n");
    EXPECT_EQ(pointer(), "x:123 y:456 ");
    const int i = XKeysymToKeycode(watcher.display(), XK_i);
    ASSERT_TRUE(watcher.waitFor(XI_RawKeyRelease, i));
    std::string typed;
    for (const XiWatcher::Event& event : watcher.events())
        if (event.type == XI_RawKeyPress) typed += XKeysymToString(watcher.keysymOf(event.detail));
    EXPECT_EQ(typed, "hi");
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
    XiWatcher watcher;
    const int shift = XKeysymToKeycode(watcher.display(), XK_Shift_L);
    auto shiftDown = [&] {
        char keys[32];
        XQueryKeymap(watcher.display(), keys);
        return (keys[shift / 8] >> (shift % 8)) & 1;
    };
    Program run({"run", file("hold.lua", "PressKey('LShift') Log('held\\n') while true do end")});
    ASSERT_TRUE(eventually([&] { return shiftDown() && run.output().find("held") != std::string::npos; }));
    kill(run.pid, SIGINT);
    // A second interrupt while it stops changes nothing.
    EXPECT_EQ(run.end(SIGINT, 1s), 130) << run.errors();
    EXPECT_FALSE(shiftDown());
    EXPECT_EQ(run.output().substr(run.output().find("held")), "held\n-- Execution Stopped\n\n");
}

// The window started with a script, once it is up.
std::unique_ptr<Program> startWindow(const std::string& script) {
    auto window = std::make_unique<Program>(std::vector<std::string>{file("window.lua", script)});
    EXPECT_TRUE(eventually([] { return runProcess({"xdotool", "search", "--name", "^Quillpress$"}).exitCode == 0; }));
    return window;
}

TEST(WindowChannel, ToggleRunStartsAndStopsTheWindowsRunAndFailsWithoutAWindow) {
    Program none({"--toggle-run"});
    EXPECT_EQ(none.end(), 1);
    EXPECT_NE(none.errors().find("no Quillpress window is running"), std::string::npos) << none.errors();

    const auto window = startWindow("while true do SetMousePosition(300, 400) MilliSleep(20) end");
    run({"xdotool", "mousemove", "0", "0"});
    EXPECT_EQ(Program({"--toggle-run"}).end(), 0);
    EXPECT_TRUE(eventually([] { return pointer() == "x:300 y:400 "; })) << pointer();
    EXPECT_EQ(Program({"--toggle-run"}).end(), 0);
    std::this_thread::sleep_for(200ms);
    run({"xdotool", "mousemove", "0", "0"});
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(pointer(), "x:0 y:0 ");
    window->end(SIGTERM);
}

TEST(WindowChannel, ASecondStartHandsItsTableToTheFirst) {
    const auto window = startWindow("SetMousePosition(1, 1)");
    const std::string table = file("place.table", "Mouse Position:640 480:0\n");
    Program second({table});
    EXPECT_EQ(second.end(0, 5s), 0) << second.errors();
    // The run plays the table, so it was loaded and Use Table chosen.
    run({"xdotool", "mousemove", "0", "0"});
    EXPECT_EQ(Program({"--toggle-run"}).end(), 0);
    EXPECT_TRUE(eventually([] { return pointer() == "x:640 y:480 "; })) << pointer();
    window->end(SIGTERM);
}
