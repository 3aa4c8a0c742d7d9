// The command line of the real program: headless runs, their exit statuses
// and signals, and the running window driven by later starts.

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

#include "tests/support/ProcessRunner.h"
#include "tests/x11/X11TestSupport.h"

namespace {

struct Program : ChildProgram {
    explicit Program(const std::vector<std::string>& arguments) : ChildProgram(QUILLPRESS, arguments) {}
};

}  // namespace

TEST(HeadlessRun, LogsAsTheWindowDoesWhileItsInputReachesTheServer) {
    const std::string script = file("move.lua", "Log('start\\n') SetMousePosition(123, 456) Log('end\\n')");
    Program run({"--backend", "x11", "run", script});
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
        {{"--backend=mir", "run", broken}, 1, "", "--backend is \"mir\"; it may be \"x11\" or \"wayland\""},
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

    // Taken once the stopped run has ended (it is refused while one runs). The
    // run then plays it, so it was loaded and Use Table chosen.
    const std::string table = file("place.table", "Mouse Position:640 480:0\n");
    EXPECT_TRUE(eventually([&] { return Program({table}).end(0, 5s) == 0; }));
    EXPECT_EQ(Program({"--toggle-run"}).end(), 0);
    EXPECT_TRUE(eventually([] { return pointerLocation() == platform::Point{640, 480}; }));
    window.end(SIGTERM);
}
