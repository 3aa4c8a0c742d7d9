#include "ProgramStart.h"

#include <QApplication>
#include <clocale>
#include <cstdio>

#include "app/ProgramSession.h"
#include "input/KeyNames.h"
#include "ui/ProgramFiles.h"

namespace {
const char ProgramName[] = "quillpress";
}

std::unique_ptr<platform::Platform> openProgramPlatform(const std::string& backend, std::string* error) {
    std::setlocale(LC_NUMERIC, "C");
    return platform::createPlatform(backend, error);
}

int runProgram(int argc, char* argv[], const std::function<void(ProgramSession&)>& started) {
    ProgramHooks hooks;
    hooks.started = started;
    return runProgram(argc, argv, hooks);
}

int runProgram(int argc, char* argv[], const ProgramHooks& hooks) {
    initKeyNames();
    QApplication application(argc, argv);
    // Where the settings live: $XDG_CONFIG_HOME/quillpress/quillpress.conf.
    QApplication::setOrganizationName(QString::fromLatin1(ProgramName));
    QApplication::setApplicationName(QString::fromLatin1(ProgramName));
    // Lets the desktop match the window to its entry and icon.
    QGuiApplication::setDesktopFileName(programFiles::applicationId());
    if (hooks.beforeSession)
        if (const std::optional<int> status = hooks.beforeSession()) return *status;

    std::string error;
    std::unique_ptr<platform::Platform> backend = openProgramPlatform(hooks.backend, &error);
    if (!backend) {
        std::fprintf(stderr, "quillpress: %s\n", error.c_str());
        return 1;
    }

    int status = 0;
    {
        ProgramSession session(*backend);
        // A lost display cannot ask the user: keep a recording in a recovery file.
        session.setDisplayLossCallback([&session] { session.window().preserveUnsavedRecording(); });
        if (hooks.started) hooks.started(session);
        status = hooks.loop ? hooks.loop(session, *backend) : application.exec();
    }
    // The backend goes last, after everything that used it.
    backend.reset();
    return status;
}
