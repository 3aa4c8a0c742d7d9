// The event loop's decisions: which hotkey flips what, and which captured
// events reach the recording.

#include <gtest/gtest.h>

#include "app/EventRouter.h"
#include "input/InputCapture.h"
#include "platform/fake/FakePlatform.h"
#include "recording/RecordingControl.h"

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
    EventRouter router(window);
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
    EventRouter router(window);
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
    EventRouter router(window);
    router.hotkey(RunHotkeyId);
    router.hotkey(RecordingHotkeyId);
    EXPECT_EQ(window.flips, 0);
}

TEST(EventRouter, CapturedEventsFromTheBackendReachTheRecording) {
    Window window;
    EventRouter router(window);
    FakePlatform fake;
    fake.setListener(&router);

    startRecording({0, 0}, false, false);  // movement not monitored
    recordingStart = captureTicks();
    fake.pushKeyEvent({MsgKeyDown, 65});
    fake.pushRawMovement({4, 5});
    fake.pushMouseEvent({MsgLeftDown, 0});
    fake.processPendingEvents();
    endRecording();
    // Times are a few ms at most; compare without them.
    EXPECT_EQ(RecordingBuffer.count(':'), 2);
    EXPECT_TRUE(RecordingBuffer.contains(",256,65:"));
    EXPECT_TRUE(RecordingBuffer.contains(",513,1:"));

    startRecording({0, 0}, false, true);
    fake.pushRawMovement({4, 5});
    fake.pushRawMovement({0, 0});
    fake.processPendingEvents();
    endRecording();
    EXPECT_TRUE(RecordingBuffer.endsWith(",255,4,5:"));
    EXPECT_EQ(RecordingBuffer.count(':'), 1);
}

}  // namespace
