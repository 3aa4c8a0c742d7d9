#pragma once
// The program's command line: its one option table (the help text is made
// from it, and so can a manual page be), and the parse of argv into what
// the program is to do.

#include <QString>
#include <QStringList>
#include <cstdint>

namespace cli {

// Exit statuses of the command line itself; a headless run adds its own.
constexpr int UsageErrorStatus = 2;
constexpr int NoWindowStatus = 1;

enum class OptionId {
    Window, Run, ToggleRun, ToggleRecord, Help, Version, Repeat, Loop, Quiet, Hotkey, NoHotkey, Backend
};

// What an option is: a way to start the program, an option of `run`, or
// one that goes with any way that opens a backend (given before the rest).
enum class OptionKind { Mode, RunOption, Leading };

// One entry of the option table.
struct OptionEntry {
    OptionId id;
    OptionKind kind;
    const char* name;         // what is typed: "--repeat", "run", or "" for the window
    const char* value;        // what follows it in the usage ("N", "FILE [OPTIONS]"), or ""
    const char* description;
    const char* example;      // a whole command
};

// Every way to start the program, then every option of run, in the order
// --help lists them.
const OptionEntry* optionTable(int* count);
// The --help text, made from the table.
QString helpText();

enum class Action { Window, Run, ToggleRun, ToggleRecord, Help, Version, UsageError };

struct Command {
    Action action = Action::Window;
    QString file;          // Window (may be empty) and Run
    bool loop = false;     // Run: --loop or --repeat
    int32_t repeat = 0;    // Run: executions with --repeat; 0 with --loop is endless
    bool quiet = false;
    QString hotkey;        // Run: the stop hotkey's sequence; empty with --no-hotkey
    QString backend;       // Window and Run: the backend asked for, empty to choose
    QString error;         // UsageError: what is wrong
};

// arguments are argv without the program's name.
Command parseCommandLine(const QStringList& arguments);

// A .table file is a table; anything else is a Lua script.
bool isTableFile(const QString& path);

}  // namespace cli
