// Two run threads inject and query at once while the GUI thread captures:
// every move and key arrives, exactly once, and nothing races.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "X11TestSupport.h"

using namespace platform;

TEST(X11Threads, TwoThreadsInjectingAtOnceLoseNothing) {
    constexpr int Moves = 400, MovesPerKey = 40;
    auto platform = openPlatform();
    ASSERT_TRUE(platform);
    RecordingListener listener;
    platform->setListener(&listener);
    platform->startCapture(0);
    Point start;
    ASSERT_TRUE(platform->cursorPosition(&start));

    std::atomic<int> queriesFailed{0};
    auto worker = [&](int dx, int dy, uint16_t scan) {
        for (int i = 0; i < Moves; ++i) {
            platform->sendInput(InputRecord::pointer(MouseInput{dx, dy, 0, MouseMove}));
            if (i % MovesPerKey) continue;
            platform->sendInput(InputRecord::key(KeyboardInput{0, scan, KeyScanCode}));
            platform->sendInput(InputRecord::key(KeyboardInput{0, scan, KeyScanCode | KeyUp}));
            Point p;
            queriesFailed += !platform->cursorPosition(&p) ||
                             platform->desktopRect().right != 1920 ||
                             platform->scanCodeOfVirtualKey('Q') != 0x10;
            platform->asyncKeyState(0x10);
        }
    };
    auto sum = [&](int RawMovement::*axis) {
        int s = 0;
        for (const RawMovement& m : listener.moves) s += m.*axis;
        return s;
    };
    auto allThere = [&] {
        return sum(&RawMovement::lastX) >= Moves && sum(&RawMovement::lastY) >= Moves;
    };
    std::thread a(worker, 1, 0, 0x1E);        // A
    std::thread b(worker, 0, 1, 0x30);        // B
    pumpUntil(*platform, allThere, 20000ms);  // the GUI thread captures meanwhile
    a.join();
    b.join();
    ASSERT_TRUE(pumpUntil(
        *platform, [&] { return allThere() && listener.keys.size() >= 4 * Moves / MovesPerKey; }));
    EXPECT_EQ(queriesFailed.load(), 0);
    EXPECT_EQ(sum(&RawMovement::lastX), Moves);
    EXPECT_EQ(sum(&RawMovement::lastY), Moves);
    Point end;
    ASSERT_TRUE(platform->cursorPosition(&end));
    EXPECT_EQ(end, (Point{start.x + Moves, start.y + Moves}));
    int downs[2] = {};
    for (const KeyEvent& e : listener.keys) downs[e.virtualKey == 'B'] += e.message == MsgKeyDown;
    EXPECT_EQ(downs[0], Moves / MovesPerKey);
    EXPECT_EQ(downs[1], Moves / MovesPerKey);
}
