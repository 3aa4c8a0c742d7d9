// A recording: which captured events it keeps by when they happened, the
// records it writes, and the replay script made of them, line for line.

#include <gtest/gtest.h>

#include "input/InputCapture.h"
#include "input/KeyNames.h"
#include "recording/Recorder.h"
#include "recording/RecordingTranslation.h"
#include "tests/support/QtPrinters.h"

using namespace platform;

namespace {

constexpr uint32_t Start = 5000;
constexpr uint32_t VkA = 65, VkB = 66, VkR = 82, VkLControl = 0xA2;

class Recording : public testing::Test {
protected:
    void capture(std::optional<CapturedRecord> r) { if (r) recorder.capture(*r); }
    void key(uint32_t message, uint32_t code, uint32_t t) { capture(recordOfKey({message, code, t})); }
    void mouse(uint32_t message, uint32_t data, uint32_t t) { capture(recordOfMouse({message, data, t})); }
    void move(int32_t x, int32_t y, uint32_t t) { capture(recordOfMovement({x, y, t})); }
    Recorder recorder;
};

TEST_F(Recording, StartPositionKeysButtonsWheelAndMovementWriteTheirRecordsAndNothingElse) {
    recorder.start(Start, {640, 480}, true, true);
    const uint32_t t = Start + 1534;
    key(MsgKeyDown, VkA, t);
    key(MsgSysKeyDown, 0xA4, t);
    key(MsgSysKeyUp, 0xA4, t);
    mouse(MsgLeftDown, 0, t);
    mouse(MsgMiddleDown, 0, t);
    mouse(MsgXDown, 1u << 16, t);
    mouse(MsgXDown, 2u << 16, t);
    mouse(MsgXUp, 2u << 16, t);
    mouse(MsgMouseWheel, 120u << 16, t);
    mouse(MsgMouseWheel, 0xFF10u << 16, t);  // two notches back
    move(3, -1, t);
    key(MsgKeyDown, VkB, Start + 1000010);
    EXPECT_EQ(recorder.records(),
              "0,512,640,480:1534,256,65:1534,260,164:1534,261,164:1534,513,1:1534,519,4:1534,523,5:1534,523,6:"
              "1534,524,6:1534,522,120:1534,522,65296:1534,255,3,-1:1.00001e+06,256,66:");
    recorder.stop(Start + 2000000, {});
    // A new recording starts empty, and these are never recorded: a character message, pointer motion from
    // the hook, double clicks, the horizontal wheel, no such X button, movement not monitored, a release
    // whose press came before.
    const uint32_t u = Start + 2000021;
    recorder.start(u - 1, {-5, 7}, false, false);
    key(0x102, VkA, u);
    mouse(MsgMouseMove, 0, u);
    for (uint32_t message : {MsgLeftDoubleClick, MsgRightDoubleClick, MsgMiddleDoubleClick}) mouse(message, 0, u);
    mouse(0x20E, 120u << 16, u);
    mouse(MsgXDown, 3u << 16, u);
    move(4, 5, u);
    mouse(MsgRightUp, 0, u);
    EXPECT_EQ(recorder.records(), "");
}

TEST_F(Recording, MembershipGoesByWhenEventsHappenedNotWhenTheyArrived) {
    mouse(MsgLeftDown, 0, Start - 12);     // the click that starts it
    mouse(MsgLeftUp, 0, Start);
    key(MsgKeyDown, VkA, Start + 3);       // already after the start, seen before it
    recorder.start(Start, {0, 0}, false, true);
    key(MsgKeyUp, VkA, Start + 8);
    move(1, 1, Start + 5);                 // overtaken by the key on its way
    key(MsgKeyDown, VkB, Start - 1);       // from before, seen late
    key(MsgKeyUp, VkB, Start + 9);
    mouse(MsgLeftDown, 0, Start + 50);     // the click that stops it, seen first
    recorder.stop(Start + 50, {});
    mouse(MsgLeftUp, 0, Start + 62);
    move(2, 2, Start + 49);                // from before the stop, seen after it
    EXPECT_EQ(recorder.records(), "3,256,65:5,255,1,1:8,257,65:49,255,2,2:");
}

TEST_F(Recording, TheHotkeysOwnKeysAreLeftOut) {
    key(MsgKeyDown, VkLControl, Start - 30);
    key(MsgKeyDown, VkR, Start - 1);
    recorder.start(Start, {0, 0}, false, true);
    key(MsgKeyDown, VkR, Start + 20);      // a repeat of the held R
    key(MsgKeyUp, VkR, Start + 40);
    key(MsgKeyUp, VkLControl, Start + 45);
    key(MsgKeyDown, VkLControl, Start + 100);
    key(MsgKeyDown, VkA, Start + 110);
    key(MsgKeyUp, VkA, Start + 120);
    key(MsgKeyDown, VkB, Start + 200);      // held on past the stop
    key(MsgKeyDown, VkLControl, Start + 300);  // a repeat of Ctrl
    move(1, 0, Start + 305);
    key(MsgKeyDown, VkR, Start + 310);
    key(MsgKeyUp, VkR, Start + 318);
    recorder.stop(Start + 320, {VkR, 0x11, VkLControl, 0xA3});  // seen after the hotkey's own events
    // Ctrl went down for Ctrl+A as well, so it stays, and is released at the end.
    EXPECT_EQ(recorder.records(), "100,256,162:110,256,65:120,257,65:200,256,66:305,255,1,0:");
}

const QString Header =
    "--This is the lua script created through recording.\n"
    "--If you want to learn what functions are available check out ReadMe.txt.\n"
    "local startTime = os.clock()\n"
    "local function waitUntil(seconds)\n"
    "local left = seconds - (os.clock() - startTime)\n"
    "if left > 0 then MilliSleep(left * 1000) end\n"
    "end\n";

QString wait(const char* seconds) { return QStringLiteral("waitUntil(%1)\n").arg(QLatin1String(seconds)); }

TEST(RecordingTranslation, EachRecordWaitsForItsTimeThenBecomesItsLine) {
    const struct {
        const char* record;
        const char* time;
        const char* line;
    } rows[] = {
        {"5,260,164:", "0.005", "PressKey(\"LAlt\")"}, {"5,261,18:", "0.005", "ReleaseKey(\"Alt\")"},
        {"7,257,220:", "0.007", "ReleaseKey(\"\\\\\")"}, {"9,256,255:", "0.009", "PressKeyVK(255)"},
        {"9,257,7:", "0.009", "ReleaseKeyVK(7)"}, {"10,513,1:", "0.01", "PressMouseButton(\"MouseLeft\")"},
        {"14,524,6:", "0.014", "ReleaseMouseButton(\"MouseX2\")"}, {"0,512,640,480:", "0", "SetMousePosition(640,480)"},
        {"16,255,3,-1:", "0.016", "ChangeMousePosition(3,-1)"}, {"20,522,240:", "0.02", "MouseWheel(2)"},
        {"20,522,65416:", "0.02", "MouseWheel(-1)"}, {"20,522,60:", "0.02", "MouseWheel(0.5)"},
        {"1.23457e+06,257,65:", "1234.57", "ReleaseKey(\"A\")"}, {"1234567,257,65:", "1234.57", "ReleaseKey(\"A\")"},
    };
    initKeyNames();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.record);
        // A lone press also gets its release at the end; that is checked below.
        EXPECT_TRUE(recordingToScript(QLatin1String(row.record))
                        .startsWith(Header + wait(row.time) + QLatin1String(row.line) + "\n"));
    }
    EXPECT_EQ(recordingToScript(""), Header);
    EXPECT_EQ(recordingToScript("30,999,1:::1:"), Header + wait("0.03"));
}

TEST(RecordingTranslation, RecordsFollowInOrderAndWhatIsStillHeldIsReleasedLastPressedFirst) {
    initKeyNames();
    EXPECT_EQ(recordingToScript("1,256,162:2,256,65:3,513,1:4,257,65:5,256,162:7,523,5:"),
              Header + wait("0.001") + "PressKey(\"LControl\")\n" + wait("0.002") + "PressKey(\"A\")\n" +
                  wait("0.003") + "PressMouseButton(\"MouseLeft\")\n" + wait("0.004") + "ReleaseKey(\"A\")\n" +
                  wait("0.005") + "PressKey(\"LControl\")\n" + wait("0.007") + "PressMouseButton(\"MouseX1\")\n" +
                  "--Release what was still held when the recording stopped.\n"
                  "ReleaseMouseButton(\"MouseX1\")\nReleaseMouseButton(\"MouseLeft\")\nReleaseKey(\"LControl\")\n");
}

}  // namespace
