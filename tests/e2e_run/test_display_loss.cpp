// The X server dies while the program runs a script that keeps asking the
// server for the pointer: the GUI thread (through the toolkit and through
// the backend) and the run thread all notice at about the same time. Every
// try must end the same orderly way: the display-loss status, no signal,
// the last chance taken once.

#include <gtest/gtest.h>

#include <memory>

#include "platform/DisplayLoss.h"
#include "tests/e2e_run/DisplayLossMarker.h"
#include "tests/support/XvfbServer.h"
#include "tests/x11/X11TestSupport.h"

TEST(DisplayLoss, KillingTheServerDuringARunEndsTheProgramTheOneOrderlyWayEveryTime) {
    const std::string script = file("pointer.lua", "while true do SetMousePosition(11, 22) GetMousePosition() end\n");
    // The program's window goes to the server, not to an offscreen surface.
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE("try " + std::to_string(i + 1));
        auto server = std::make_unique<XvfbServer>();
        ChildProgram program(DISPLAY_LOSS_PROGRAM, {script});
        EXPECT_TRUE(eventually([] { return pointerLocation() == platform::Point{11, 22}; }, 20s))
            << program.errors();
        server.reset();
        // -2: it did not end; -3: a signal ended it.
        EXPECT_EQ(program.end(0, 10s), platform::DisplayLostExitStatus) << program.errors();
        const std::string errors = program.errors();
        const auto marker = errors.find(LastChanceMarker);
        EXPECT_NE(marker, std::string::npos) << errors;
        EXPECT_EQ(errors.find(LastChanceMarker, marker + 1), std::string::npos) << errors;
    }
}
