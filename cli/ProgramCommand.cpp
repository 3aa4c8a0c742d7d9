#include "ProgramCommand.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

#include "app/ProgramSession.h"
#include "app/ProgramStart.h"
#include "app/Version.h"
#include "cli/CommandLine.h"
#include "cli/HeadlessRun.h"
#include "cli/InstanceChannel.h"
#include "input/HotkeyIds.h"

namespace cli {

namespace {

const char HelpHint[] = "Try 'quillpress --help' for more information.";
const char NoWindowMessage[] = "no Quillpress window is running on this display";
const char BusyReason[] = "the window is running a script or recording; stop it first";

void tell(const QString& message) {
    std::fprintf(stderr, "quillpress: %s\n", message.toLocal8Bit().constData());
}

void print(const QString& text) { std::fputs(text.toLocal8Bit().constData(), stdout); }

// A FILE for the window must be there before anything starts or is handed on.
bool readable(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isDir() && file.open(QIODevice::ReadOnly)) return true;
    tell(QStringLiteral("cannot read %1: %2")
             .arg(path, QFileInfo(path).isDir() ? QStringLiteral("it is a folder") : file.errorString()));
    return false;
}

int deliver(const QString& request, const QString& argument) {
    const DeliveryResult result = sendToWindow(request, argument);
    if (result.delivery == Delivery::Done) return 0;
    if (result.delivery == Delivery::Refused) tell(result.reason);
    else tell(result.reason.isEmpty() ? QString::fromLatin1(NoWindowMessage) : result.reason);
    return NoWindowStatus;
}

int toggle(int argc, char* argv[], const char* request) {
    QCoreApplication application(argc, argv);
    return deliver(QLatin1String(request), QString());
}

// The window's answers, through the same entries as its own controls and hotkeys.
InstanceServer::Answer answer(ProgramSession& session, const QString& request, const QString& argument) {
    MainWindow& window = session.window();
    const auto raise = [&window] {
        window.raise();
        window.activateWindow();
    };
    if (request == QLatin1String(ToggleRunRequest)) return {{}, [&session] { session.hotkey(RunHotkeyId); }};
    if (request == QLatin1String(ToggleRecordRequest))
        return {{}, [&session] { session.hotkey(RecordingHotkeyId); }};
    if (request == QLatin1String(ShowRequest)) return {{}, raise};
    if (request == QLatin1String(OpenRequest)) {
        if (window.isRunningChecked() || window.isRecordingChecked()) return {QString::fromLatin1(BusyReason), {}};
        return {{}, [&window, raise, argument] {
                    if (isTableFile(argument)) window.useTableFile(argument);
                    else window.useScriptFile(argument);
                    raise();
                }};
    }
    return {QStringLiteral("unknown request %1").arg(request), {}};
}

void open(MainWindow& window, const QString& path) {
    if (isTableFile(path)) window.useTableFile(path);
    else window.useScriptFile(path);
}

int runWindow(int argc, char* argv[], const Command& command, const SessionLoop& loop) {
    const QString path = command.file.isEmpty() ? QString() : QFileInfo(command.file).absoluteFilePath();
    if (!path.isEmpty() && !readable(path)) return UsageErrorStatus;
    ProgramHooks hooks;
    hooks.loop = loop;
    hooks.backend = command.backend.toStdString();
    // One window per user and display: a second start hands its file on.
    hooks.beforeSession = [&path]() -> std::optional<int> {
        const DeliveryResult result =
            sendToWindow(QLatin1String(path.isEmpty() ? ShowRequest : OpenRequest), path);
        if (result.delivery == Delivery::Done) return 0;
        if (result.delivery == Delivery::Refused) {
            tell(result.reason);
            return NoWindowStatus;
        }
        return std::nullopt;
    };
    hooks.started = [&path](ProgramSession& session) {
        // A child of the window: it goes with the window, before the session's end.
        auto* server = new InstanceServer(
            [&session](const QString& request, const QString& argument) {
                return answer(session, request, argument);
            },
            &session.window());
        QString error;
        if (!server->listen(&error))
            tell(QStringLiteral("other starts cannot reach this window: %1").arg(error));
        if (!path.isEmpty()) open(session.window(), path);
    };
    return runProgram(argc, argv, hooks);
}

QStringList argumentsOf(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

}  // namespace

int runCommandLine(int argc, char* argv[], const SessionLoop& loop) {
    const Command command = parseCommandLine(argumentsOf(argc, argv));
    switch (command.action) {
    case Action::Help: print(helpText()); return 0;
    case Action::Version: print(QStringLiteral("quillpress %1\n").arg(QLatin1String(app::ProgramVersion))); return 0;
    case Action::UsageError:
        tell(command.error);
        std::fprintf(stderr, "%s\n", HelpHint);
        return UsageErrorStatus;
    case Action::Run: return runHeadless(argc, argv, command);
    case Action::ToggleRun: return toggle(argc, argv, ToggleRunRequest);
    case Action::ToggleRecord: return toggle(argc, argv, ToggleRecordRequest);
    case Action::Window: break;
    }
    return runWindow(argc, argv, command, loop);
}

}  // namespace cli
