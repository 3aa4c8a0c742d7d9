#include "CommandLine.h"

#include "input/HotkeyIds.h"

namespace cli {

namespace {

const char ProgramName[] = "quillpress";
const char ValueSeparator[] = "=";
const char EndOfOptions[] = "--";
const char TableSuffix[] = ".table";
const char BackendOption[] = "--backend";
constexpr int HelpWidth = 79;

const OptionEntry Options[] = {
    {OptionId::Window, OptionKind::Mode, "", "[FILE]",
     "Starts the window. A .lua FILE becomes the script to run (Use Script), a .table FILE is "
     "loaded into the table (Use Table). While a window is running on this display, this "
     "start hands FILE to it (or only raises it) and exits.",
     "quillpress ~/scripts/fill-form.lua"},
    {OptionId::Run, OptionKind::Mode, "run", "FILE [OPTIONS]",
     "Runs a Lua script, or a .table file as the table would play it, without a window. The "
     "log goes to standard output as it is written. Ctrl+C, SIGTERM or the run hotkey stop it. "
     "Exit status: 0 finished, 1 ended by an error, 2 usage error or unreadable file, 130 "
     "stopped by SIGINT or the hotkey, 143 stopped by SIGTERM, N after os.exit(N).",
     "quillpress run ~/scripts/fill-form.lua"},
    {OptionId::ToggleRun, OptionKind::Mode, "--toggle-run", "",
     "Starts or stops the running window's run, as its run hotkey does. Exits with 1 when no "
     "window is running.",
     "quillpress --toggle-run"},
    {OptionId::ToggleRecord, OptionKind::Mode, "--toggle-record", "",
     "Starts or stops the running window's recording, as its recording hotkey does. Exits with 1 "
     "when no window is running.",
     "quillpress --toggle-record"},
    {OptionId::Help, OptionKind::Mode, "--help", "", "Prints this text.", "quillpress --help"},
    {OptionId::Version, OptionKind::Mode, "--version", "", "Prints the version.", "quillpress --version"},
    {OptionId::Repeat, OptionKind::RunOption, "--repeat", "N", "Runs the script N times in a row (N from 1).",
     "quillpress run click.lua --repeat 10"},
    {OptionId::Loop, OptionKind::RunOption, "--loop", "", "Runs the script again and again until it is stopped.",
     "quillpress run watch.lua --loop"},
    {OptionId::Quiet, OptionKind::RunOption, "--quiet", "",
     "Prints no log; only the error that ended an execution, on standard error.",
     "quillpress run sync.lua --quiet"},
    {OptionId::Hotkey, OptionKind::RunOption, "--hotkey", "SEQ",
     "The global key that stops the run, written as in the window's hotkey edit (default F4).",
     "quillpress run game.lua --hotkey Ctrl+F11"},
    {OptionId::NoHotkey, OptionKind::RunOption, "--no-hotkey", "", "No key stops the run.",
     "quillpress run game.lua --no-hotkey"},
    {OptionId::Backend, OptionKind::Leading, "--backend", "NAME",
     "Drives the desktop through NAME (x11 or wayland) instead of the one chosen from the "
     "session, as QUILLPRESS_BACKEND does. Given before the window's FILE or before run.",
     "quillpress --backend x11 run click.lua"},
};
constexpr int OptionCount = static_cast<int>(sizeof Options / sizeof Options[0]);

const OptionEntry* findOption(const QString& name, OptionKind kind) {
    for (const OptionEntry& entry : Options)
        if (entry.kind == kind && name == QLatin1String(entry.name)) return &entry;
    return nullptr;
}

Command usageError(const QString& what) {
    Command command;
    command.action = Action::UsageError;
    command.error = what;
    return command;
}

QString quoted(const QString& text) { return QLatin1Char('\'') + text + QLatin1Char('\''); }

// The options of run, after "run".
Command parseRun(const QStringList& arguments, int index) {
    Command command;
    command.action = Action::Run;
    command.hotkey = QString::fromLatin1(DefaultRunHotkey);
    bool optionsEnded = false;
    bool repeatGiven = false;
    bool hotkeyGiven = false;
    bool noHotkeyGiven = false;
    for (; index < arguments.size(); ++index) {
        QString argument = arguments[index];
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            if (!command.file.isEmpty()) return usageError(QStringLiteral("run takes one FILE"));
            command.file = argument;
            continue;
        }
        if (argument == QLatin1String(EndOfOptions)) {
            optionsEnded = true;
            continue;
        }
        // --name=value is the same as --name value.
        QString value;
        bool valueAttached = false;
        const int separator = argument.indexOf(QLatin1String(ValueSeparator));
        if (separator > 0) {
            value = argument.mid(separator + 1);
            argument.truncate(separator);
            valueAttached = true;
        }
        const OptionEntry* option = findOption(argument, OptionKind::RunOption);
        if (!option) return usageError(QStringLiteral("unknown option %1 for run").arg(quoted(argument)));
        const bool takesValue = *option->value != '\0';
        if (takesValue && !valueAttached) {
            if (index + 1 >= arguments.size())
                return usageError(QStringLiteral("%1 needs %2").arg(argument, QLatin1String(option->value)));
            value = arguments[++index];
        } else if (!takesValue && valueAttached) {
            return usageError(QStringLiteral("%1 takes no value").arg(argument));
        }
        switch (option->id) {
        case OptionId::Repeat: {
            bool number = false;
            const int count = value.toInt(&number);
            if (!number || count < 1)
                return usageError(QStringLiteral("--repeat needs a whole number from 1, not %1").arg(quoted(value)));
            command.repeat = count;
            repeatGiven = true;
            break;
        }
        case OptionId::Loop: command.loop = true; break;
        case OptionId::Quiet: command.quiet = true; break;
        case OptionId::Hotkey:
            command.hotkey = value;
            hotkeyGiven = true;
            break;
        case OptionId::NoHotkey: noHotkeyGiven = true; break;
        default: break;
        }
    }
    if (repeatGiven && command.loop) return usageError(QStringLiteral("--repeat and --loop exclude each other"));
    if (hotkeyGiven && noHotkeyGiven) return usageError(QStringLiteral("--hotkey and --no-hotkey exclude each other"));
    if (command.file.isEmpty()) return usageError(QStringLiteral("run needs a FILE"));
    if (repeatGiven) command.loop = true;
    if (noHotkeyGiven) command.hotkey.clear();
    return command;
}

Command parseMode(const QStringList& arguments) {
    if (arguments.isEmpty()) return Command();
    const QString first = arguments.first();
    const OptionEntry* mode = findOption(first, OptionKind::Mode);
    if (mode && mode->id == OptionId::Run) return parseRun(arguments, 1);
    if (mode && (mode->id == OptionId::ToggleRun || mode->id == OptionId::ToggleRecord)) {
        if (arguments.size() > 1) return usageError(QStringLiteral("%1 takes nothing after it").arg(first));
        Command command;
        command.action = mode->id == OptionId::ToggleRun ? Action::ToggleRun : Action::ToggleRecord;
        return command;
    }
    // The window: at most one FILE, "--" before a name that starts with "-".
    int index = 0;
    if (first == QLatin1String(EndOfOptions)) index = 1;
    else if (first.startsWith(QLatin1Char('-')) && first != QLatin1String("-"))
        return usageError(QStringLiteral("unknown option %1").arg(quoted(first)));
    if (arguments.size() - index > 1) return usageError(QStringLiteral("the window opens one FILE"));
    Command command;
    if (index < arguments.size()) command.file = arguments[index];
    return command;
}

}  // namespace

const OptionEntry* optionTable(int* count) {
    *count = OptionCount;
    return Options;
}

QString helpText() {
    const QString indent = QStringLiteral("      ");
    // Words wrapped to a terminal's usual width under the indent.
    auto wrapped = [&](const QString& text) {
        QString lines;
        QString current = indent;
        for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (current.size() > indent.size() && current.size() + 1 + word.size() > HelpWidth) {
                lines += current + QLatin1Char('\n');
                current = indent;
            }
            if (current.size() > indent.size()) current += QLatin1Char(' ');
            current += word;
        }
        return lines + current + QLatin1Char('\n');
    };
    auto describe = [&](const OptionEntry& entry) {
        return wrapped(QLatin1String(entry.description)) + indent + QStringLiteral("Example: ") +
               QLatin1String(entry.example) + QLatin1Char('\n');
    };
    auto spaced = [](const char* name, const char* value) {
        QString text = QLatin1String(name);
        if (*name != '\0' && *value != '\0') text += QLatin1Char(' ');
        return text + QLatin1String(value);
    };
    QString text = QStringLiteral("Usage:\n");
    for (const OptionEntry& entry : Options)
        if (entry.kind == OptionKind::Mode)
            text += QStringLiteral("  %1 %2\n").arg(QLatin1String(ProgramName), spaced(entry.name, entry.value)) +
                    describe(entry);
    const auto listed = [&](OptionKind kind, const char* heading) {
        text += QLatin1String(heading);
        for (const OptionEntry& entry : Options)
            if (entry.kind == kind) text += QStringLiteral("  %1\n").arg(spaced(entry.name, entry.value)) + describe(entry);
    };
    listed(OptionKind::RunOption, "\nOptions of run:\n");
    listed(OptionKind::Leading, "\nOptions before the window's FILE or run:\n");
    return text;
}

Command parseCommandLine(const QStringList& arguments) {
    // --help and --version win wherever they are, as users expect.
    for (const QString& argument : arguments) {
        if (argument == QLatin1String(EndOfOptions)) break;
        if (const OptionEntry* option = findOption(argument, OptionKind::Mode)) {
            Command command;
            if (option->id == OptionId::Help) command.action = Action::Help;
            else if (option->id == OptionId::Version) command.action = Action::Version;
            else continue;
            return command;
        }
    }
    // --backend NAME (or --backend=NAME) leads; the backend judges NAME.
    QStringList rest = arguments;
    QString backend;
    const QString option = QLatin1String(BackendOption);
    while (!rest.isEmpty() && rest.first().startsWith(option)) {
        const QString argument = rest.takeFirst();
        if (argument.startsWith(option + QLatin1String(ValueSeparator))) {
            backend = argument.mid(option.size() + 1);
        } else if (argument != option) {
            return usageError(QStringLiteral("unknown option %1").arg(quoted(argument)));
        } else if (rest.isEmpty()) {
            return usageError(QStringLiteral("--backend needs NAME"));
        } else {
            backend = rest.takeFirst();
        }
        if (backend.isEmpty()) return usageError(QStringLiteral("--backend needs NAME"));
    }
    Command command = parseMode(rest);
    if (!backend.isEmpty() && command.action != Action::UsageError) {
        if (command.action != Action::Window && command.action != Action::Run)
            return usageError(QStringLiteral("--backend goes with the window or run only"));
        command.backend = backend;
    }
    return command;
}

bool isTableFile(const QString& path) { return path.endsWith(QLatin1String(TableSuffix), Qt::CaseInsensitive); }

}  // namespace cli
