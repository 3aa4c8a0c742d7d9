// What the capture writes into the recording, and what it leaves out.

#include <gtest/gtest.h>

#include "input/InputCapture.h"
#include "recording/RecordingControl.h"
#include "tests/support/QtPrinters.h"

using namespace platform;

namespace {

constexpr int64_t TicksPerMs = 10000;

// A frozen clock, so the exact texts below do not depend on how fast they run.
int64_t frozenNow = 5'000'000'000;
int64_t frozenClock() { return frozenNow; }

class CaptureRecords : public testing::Test {
protected:
    void SetUp() override {
        captureClock = frozenClock;
        startRecording({0, 0}, false, true);
        frozenNow += 1534 * TicksPerMs;
    }
    void TearDown() override { endRecording(); }
};

TEST_F(CaptureRecords, KeysButtonsWheelAndMovementWriteTheirRecords) {
    keyboardHookProc(0, {MsgKeyDown, 65});
    keyboardHookProc(0, {MsgSysKeyUp, 0xA4});
    mouseHookProc(0, {MsgLeftDown, 0});
    mouseHookProc(0, {MsgRightUp, 0});
    mouseHookProc(0, {MsgMiddleDown, 0});
    mouseHookProc(0, {MsgXDown, 1u << 16});
    mouseHookProc(0, {MsgXUp, 2u << 16});
    mouseHookProc(0, {MsgMouseWheel, 120u << 16});
    mouseHookProc(0, {MsgMouseWheel, 0xFF88u << 16});  // one notch back
    mouseHookProc(0, {MsgMouseWheel, 0xFF10u << 16});  // two notches back
    mouseHookProc(0, {MsgMouseWheel, 240u << 16});
    recordRawMovement({3, -1});
    EXPECT_EQ(RecordingBuffer,
              "1534,256,65:1534,261,164:1534,513,1:1534,517,2:1534,519,4:1534,523,5:"
              "1534,524,6:1534,522,120:1534,522,65416:1534,522,65296:1534,522,240:"
              "1534,255,3,-1:");
}

TEST_F(CaptureRecords, EventsThatAreNotRecorded) {
    keyboardHookProc(1, {MsgKeyDown, 65});          // not a real event
    keyboardHookProc(0, {0x102, 65});               // a character message
    mouseHookProc(0, {MsgMouseMove, 0});            // pointer motion from the hook
    mouseHookProc(0, {MsgLeftDoubleClick, 0});
    mouseHookProc(0, {MsgRightDoubleClick, 0});
    mouseHookProc(0, {MsgMiddleDoubleClick, 0});
    mouseHookProc(0, {0x20E, 120u << 16});          // horizontal wheel
    mouseHookProc(0, {MsgXDown, 3u << 16});         // no such X button
    mouseHookProc(2, {MsgLeftDown, 0});
    recordRawMovement({0, 0});
    EXPECT_EQ(RecordingBuffer, "");
}

TEST_F(CaptureRecords, NothingIsRecordedOnceTheRecordingEnds) {
    endRecording();
    keyboardHookProc(0, {MsgKeyDown, 65});
    mouseHookProc(0, {MsgLeftDown, 0});
    EXPECT_EQ(RecordingBuffer, "");
}

TEST_F(CaptureRecords, LongRecordingsWriteTimesInExponentForm) {
    frozenNow = recordingStart + 1000010 * TicksPerMs;
    keyboardHookProc(0, {MsgKeyDown, 65});
    EXPECT_EQ(RecordingBuffer, "1.00001e+06,256,65:");
}

TEST(RecordingControl, StartClearsTheLastRecordingAndWritesTheStartPositionWhenAsked) {
    captureClock = frozenClock;
    RecordingBuffer = "12,256,65:";
    startRecording({640, 480}, true, false);
    EXPECT_TRUE(recordingActive);
    EXPECT_TRUE(ignoreMouseMovement);
    EXPECT_EQ(RecordingBuffer, "0,512,640,480:");
    keyboardHookProc(0, {MsgKeyDown, 65});
    frozenNow += 7 * TicksPerMs;
    keyboardHookProc(0, {MsgKeyUp, 65});
    EXPECT_EQ(RecordingBuffer, "0,512,640,480:0,256,65:7,257,65:");
    endRecording();
    EXPECT_FALSE(recordingActive);

    startRecording({-5, 7}, false, true);
    EXPECT_FALSE(ignoreMouseMovement);
    EXPECT_EQ(RecordingBuffer, "");
    endRecording();
}

}  // namespace
