#pragma once
// The two global hotkeys as the window asks for them, and the one rule on
// top of each edit's sequence: while a run is on, the run hotkey's key stops
// it whatever modifiers are held, since the run itself may hold any.

#include <QKeySequence>
#include <QString>
#include <map>

#include "input/HotkeyBinding.h"
#include "input/HotkeyIds.h"
#include "platform/Platform.h"

class GlobalHotkeys {
public:
    // The platform outlives this object.
    explicit GlobalHotkeys(platform::Platform& platform) : platform_(platform) {}

    struct Outcome {
        QKeySequence shown;  // what the edit is to show: what is registered
        QString problem;     // one log line (with its line end) when the platform refused, else empty
    };
    // Registers id from its edit's sequence; nothing for an empty or unusable one.
    Outcome set(int id, const QKeySequence& sequence);
    // A run starts or ends; shown is then the run hotkey's.
    Outcome setRunning(bool running);
    // The platform took id back after a keyboard layout change; shown is empty.
    Outcome lost(int id, platform::HotkeyResult why);

private:
    uint32_t modifiersFor(int id, const HotkeyBinding& binding) const;

    platform::Platform& platform_;
    std::map<int, HotkeyBinding> held_;  // the registered bindings by id
    bool running_ = false;
};
