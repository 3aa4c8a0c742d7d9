// The fake backend is the ground truth of every injection test, so what it
// records and how it keeps hotkeys must itself be right.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "platform/fake/FakePlatform.h"

using namespace platform;
using testing::ElementsAre;

namespace {

struct RecordingListener : CaptureListener {
    std::vector<std::string> seen;
    void keyboardEvent(const KeyEvent& e) override {
        seen.push_back("key " + std::to_string(e.message) + " " + std::to_string(e.virtualKey));
    }
    void mouseEvent(const MouseEvent& e) override {
        seen.push_back("mouse " + std::to_string(e.message) + " " + std::to_string(e.mouseData));
    }
    void rawMovement(const RawMovement& m) override {
        seen.push_back("raw " + std::to_string(m.lastX) + " " + std::to_string(m.lastY));
    }
    void hotkey(int id) override { seen.push_back("hotkey " + std::to_string(id)); }
};

TEST(FakePlatform, RecordsEveryCallInOrder) {
    FakePlatform fake;
    fake.sendInput(InputRecord::key({0, 0x1E, KeyScanCode}));
    fake.asyncKeyState(0x41);
    fake.sendInput(InputRecord::pointer({34, 60, 0, MouseMove | MouseAbsolute}));
    Point p;
    fake.cursorPosition(&p);
    fake.sendInput(InputRecord::pointer({0, 0, static_cast<uint32_t>(-240), MouseWheel}));
    EXPECT_THAT(fake.calls(),
                ElementsAre("sendInput key vk=0 scan=30 flags=8", "asyncKeyState 65",
                            "sendInput mouse dx=34 dy=60 data=0 flags=32769", "cursorPosition",
                            "sendInput mouse dx=0 dy=0 data=-240 flags=2048"));
    ASSERT_EQ(fake.sentInputs().size(), 3u);
    EXPECT_EQ(fake.sentInputs()[0], InputRecord::key({0, 0x1E, KeyScanCode}));
    fake.clearCalls();
    EXPECT_TRUE(fake.calls().empty());
    EXPECT_TRUE(fake.sentInputs().empty());
}

TEST(FakePlatform, AnswersFromItsState) {
    FakePlatform fake;
    EXPECT_EQ(fake.desktopRect(), (Rect{0, 0, 1920, 1080}));
    fake.setDesktopSize(800, 600);
    EXPECT_EQ(fake.desktopRect(), (Rect{0, 0, 800, 600}));

    EXPECT_EQ(fake.asyncKeyState(0x10), 0);
    fake.setKeyDown(0x10, true);
    EXPECT_EQ(fake.asyncKeyState(0x10) & 0x8000, 0x8000);
    fake.setKeyDown(0x10, false);
    EXPECT_EQ(fake.asyncKeyState(0x10), 0);

    Point p{-1, -1};
    fake.setCursor({12, 34});
    EXPECT_TRUE(fake.cursorPosition(&p));
    EXPECT_EQ(p, (Point{12, 34}));
    fake.setCursorFails(true);
    p = {-1, -1};
    EXPECT_FALSE(fake.cursorPosition(&p));
    EXPECT_EQ(p, (Point{-1, -1}));

    // US scan codes unless a test says otherwise.
    EXPECT_EQ(fake.scanCodeOfVirtualKey('A'), 0x1E);
    EXPECT_EQ(fake.scanCodeOfVirtualKey(0x0D), 0x1C);
    EXPECT_EQ(fake.scanCodeOfVirtualKey(0x25), 0x4B);
    EXPECT_EQ(fake.scanCodeOfVirtualKey(0xB0), 0);
    fake.setScanCode('A', 0x99);
    EXPECT_EQ(fake.scanCodeOfVirtualKey('A'), 0x99);
}

TEST(FakePlatform, HotkeyCombinationBelongsToTheFirstIdThatTakesIt) {
    FakePlatform fake;
    RecordingListener listener;
    fake.setListener(&listener);
    EXPECT_TRUE(fake.registerHotkey(1, ModNoRepeat, 0x73));
    EXPECT_FALSE(fake.registerHotkey(2, ModNoRepeat, 0x73));
    fake.pressHotkey(0, 0x73);
    fake.unregisterHotkey(2);  // never held it: the first keeps working
    fake.pressHotkey(0, 0x73);
    fake.pressHotkey(ModShift, 0x73);  // another combination
    fake.processPendingEvents();
    EXPECT_THAT(listener.seen, ElementsAre("hotkey 1", "hotkey 1"));

    // Re-registering an id replaces its old combination.
    EXPECT_TRUE(fake.registerHotkey(1, ModNoRepeat | ModControl, 0x41));
    EXPECT_TRUE(fake.registerHotkey(2, ModNoRepeat, 0x73));
    EXPECT_EQ(fake.hotkeys().size(), 2u);
}

TEST(FakePlatform, DeliversPushedEventsInOrderOnlyWhenProcessed) {
    FakePlatform fake;
    RecordingListener listener;
    fake.setListener(&listener);
    fake.pushKeyEvent({MsgKeyDown, 0x41});
    fake.pushMouseEvent({MsgMouseWheel, 0xFF880000u});
    fake.pushRawMovement({3, -1});
    EXPECT_TRUE(listener.seen.empty());
    fake.processPendingEvents();
    EXPECT_THAT(listener.seen,
                ElementsAre("key 256 65", "mouse 522 4287102976", "raw 3 -1"));
    fake.setListener(nullptr);
    fake.pushKeyEvent({MsgKeyUp, 0x41});
    fake.processPendingEvents();  // dropped, not kept for later
    fake.setListener(&listener);
    fake.processPendingEvents();
    EXPECT_EQ(listener.seen.size(), 3u);
}

TEST(FakePlatform, InjectionFromSeveralThreadsLosesNothing) {
    FakePlatform fake;
    constexpr int PerThread = 2000;
    auto inject = [&fake](uint16_t vk) {
        for (int i = 0; i < PerThread; ++i) {
            fake.sendInput(InputRecord::key({vk, 0, 0}));
            fake.asyncKeyState(vk);
            Point p;
            fake.cursorPosition(&p);
        }
    };
    std::thread a(inject, 1), b(inject, 2);
    inject(3);
    a.join();
    b.join();
    EXPECT_EQ(fake.sentInputs().size(), 3u * PerThread);
    EXPECT_EQ(fake.calls().size(), 9u * PerThread);
}

}  // namespace
