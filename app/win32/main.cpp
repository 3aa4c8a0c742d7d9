#include "app/ProgramSession.h"
#include "app/win32/NativeLoop.h"
#include "cli/ProgramCommand.h"
#include "platform/win32/Win32Platform.h"

// Windows serves the session from its native message queue, where hotkeys and
// raw input arrive; createPlatform() here always makes a Win32Platform.
int main(int argc, char* argv[]) {
    return cli::runCommandLine(argc, argv, [](ProgramSession& session, platform::Platform& backend) {
        return runNativeLoop(static_cast<platform::Win32Platform&>(backend), session.router(),
                             [&session] { return session.window().isClosing(); });
    });
}
