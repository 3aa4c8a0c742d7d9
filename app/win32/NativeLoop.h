#pragma once
// The program's event loop on Windows. Global hotkeys and raw mouse input
// arrive in the GUI thread's native message queue, beside the toolkit's own
// messages, so the program waits there instead of in the toolkit's loop.

#include <functional>

namespace platform {
class CaptureListener;
class Win32Platform;
}  // namespace platform

// What the loop returns when it ends because the window is closing.
constexpr int NativeLoopClosedStatus = 0;

// Takes every message of this thread's queue, hands hotkey and raw-input
// messages through backend to router, and translates and dispatches every
// message to its window. Ends right after the message during whose dispatch
// closing() became true (NativeLoopClosedStatus), or at a quit message (its
// exit code). backend delivers to router only while the loop runs.
int runNativeLoop(platform::Win32Platform& backend, platform::CaptureListener& router,
                  const std::function<bool()>& closing);
