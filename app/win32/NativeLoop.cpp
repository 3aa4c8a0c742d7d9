#include "NativeLoop.h"

#include "platform/win32/Win32Platform.h"

int runNativeLoop(platform::Win32Platform& backend, platform::CaptureListener& router,
                  const std::function<bool()>& closing) {
    backend.setListener(&router);
    int status = NativeLoopClosedStatus;
    MSG message;
    for (;;) {
        const BOOL taken = GetMessageW(&message, nullptr, 0, 0);
        if (taken == 0) {
            status = static_cast<int>(message.wParam);
            break;
        }
        // Only a bad window filter makes GetMessageW fail, and there is none;
        // the message is then not filled in.
        if (taken == -1) continue;
        // Before dispatching: the default handling of WM_INPUT may release
        // its data. Neither kind can close the window, so this acts on the
        // same messages as handling them after the dispatch would.
        backend.handleMessage(message);
        TranslateMessage(&message);
        DispatchMessageW(&message);
        // A close leaves whatever is queued behind it untouched.
        if (closing()) break;
    }
    backend.setListener(nullptr);
    return status;
}
