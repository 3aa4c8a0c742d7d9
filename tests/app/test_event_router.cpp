// The event loop's decisions: which hotkey flips what, and which captured
// events reach the recording.

#include <gtest/gtest.h>

#include "app/EventRouter.h"
#include "platform/fake/FakePlatform.h"
#include "recording/Recorder.h"

using namespace platform;

namespace {

struct Window : LoopTarget {
    bool isClosing = false, isRunning = false, isRecording = false;
    int flips = 0;
    bool closing() const override { return isClosing; }
    bool running() const override { return isRunning; }
    bool recording() const override { return isRecording; }
    void setRunning(bool on) override { isRunning = on; ++flips; }
    void setRecording(bool on) override { isRecording = on; ++flips; }
};

TEST(EventRouter, EachHotkeyPressFlipsItsSwitchOnce) {
    Window window;
    Recorder recorder;
    EventRouter router(window, recorder);
    router.hotkey(RunHotkeyId);
    EXPECT_TRUE(window.isRunning);
    router.hotkey(RunHotkeyId);
    EXPECT_FALSE(window.isRunning);
    router.hotkey(RecordingHotkeyId);
    EXPECT_TRUE(window.isRecording);
    router.hotkey(RecordingHotkeyId);
    EXPECT_FALSE(window.isRecording);
    router.hotkey(3);
    EXPECT_EQ(window.flips, 4);
}

TEST(EventRouter, RunsAndRecordingsExcludeEachOther) {
    Window window;
    Recorder recorder;
    EventRouter router(window, recorder);
    window.isRecording = true;
    router.hotkey(RunHotkeyId);
    EXPECT_FALSE(window.isRunning);
    window.isRecording = false;
    window.isRunning = true;
    router.hotkey(RecordingHotkeyId);
    EXPECT_FALSE(window.isRecording);
    EXPECT_EQ(window.flips, 0);
}

TEST(EventRouter, NothingIsActedOnOnceTheWindowIsClosing) {
    Window window;
    window.isClosing = true;
    Recorder recorder;
    EventRouter router(window, recorder);
    router.hotkey(RunHotkeyId);
    router.hotkey(RecordingHotkeyId);
    EXPECT_EQ(window.flips, 0);
}

TEST(EventRouter, CapturedEventsFromTheBackendReachTheRecording) {
    Window window;
    Recorder recorder;
    EventRouter router(window, recorder);
    FakePlatform fake;
    fake.setListener(&router);

    recorder.start(100, {0, 0}, false, true);
    fake.pushKeyEvent({MsgKeyDown, 65, 101});
    fake.pushRawMovement({4, 5, 102});
    fake.pushRawMovement({0, 0, 103});
    fake.pushMouseEvent({MsgLeftDown, 0, 104});
    fake.processPendingEvents();
    EXPECT_EQ(recorder.records(), "1,256,65:2,255,4,5:4,513,1:");
}

}  // namespace
