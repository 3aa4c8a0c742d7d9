// Two run threads inject and query at once while the GUI thread captures:
// every relative move arrives, exactly once, and nothing races.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "X11TestSupport.h"

using namespace platform;

TEST(X11Threads, TwoThreadsInjectingAtOnceLoseNothing) {
    constexpr int MovesPerThread = 400;
    auto platform = openPlatform();
    ASSERT_TRUE(platform);
    RecordingListener listener;
    platform->setListener(&listener);
    platform->startCapture(0);
    platform->sendInput(InputRecord::pointer(MouseInput{(101 * AbsoluteRange) / 1920, (101 * AbsoluteRange) / 1080, 0,
                                                        MouseMove | MouseAbsolute}));
    ASSERT_TRUE(pumpUntil(*platform, [&] { return !listener.moves.empty(); }));
    listener.clear();

    std::atomic<int> queriesFailed{0};
    auto worker = [&](int dx, int dy, uint16_t scan) {
        for (int i = 0; i < MovesPerThread; ++i) {
            platform->sendInput(InputRecord::pointer(MouseInput{dx, dy, 0, MouseMove}));
            if (i % 40 == 0) {
                platform->sendInput(InputRecord::key(KeyboardInput{0, scan, KeyScanCode}));
                platform->sendInput(InputRecord::key(KeyboardInput{0, scan, KeyScanCode | KeyUp}));
                Point p;
                if (!platform->cursorPosition(&p) || platform->desktopRect().right != 1920 ||
                    platform->scanCodeOfVirtualKey('Q') != 0x10)
                    ++queriesFailed;
                platform->asyncKeyState(0x10);
            }
        }
    };
    std::thread a(worker, 1, 0, 0x1E);  // A
    std::thread b(worker, 0, 1, 0x30);  // B
    // The GUI thread keeps capturing meanwhile.
    auto sum = [&](bool x) {
        int s = 0;
        for (const RawMovement& m : listener.moves) s += x ? m.lastX : m.lastY;
        return s;
    };
    pumpUntil(*platform, [&] { return sum(true) >= MovesPerThread && sum(false) >= MovesPerThread; }, 20000ms);
    a.join();
    b.join();
    ASSERT_TRUE(pumpUntil(*platform, [&] { return sum(true) >= MovesPerThread && sum(false) >= MovesPerThread; }));
    EXPECT_EQ(queriesFailed.load(), 0);
    EXPECT_EQ(sum(true), MovesPerThread);
    EXPECT_EQ(sum(false), MovesPerThread);
    Point end;
    ASSERT_TRUE(platform->cursorPosition(&end));
    EXPECT_EQ(end, (Point{100 + MovesPerThread, 100 + MovesPerThread}));
    const size_t presses = MovesPerThread / 40;
    ASSERT_TRUE(pumpUntil(*platform, [&] { return listener.keys.size() >= 4 * presses; }));
    size_t a_downs = 0, b_downs = 0;
    for (const KeyEvent& e : listener.keys) {
        a_downs += e.virtualKey == 'A' && e.message == MsgKeyDown;
        b_downs += e.virtualKey == 'B' && e.message == MsgKeyDown;
    }
    EXPECT_EQ(a_downs, presses);
    EXPECT_EQ(b_downs, presses);
}
