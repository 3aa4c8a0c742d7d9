#pragma once
// One run of a Lua script or of the table's Lua text, on a worker thread of
// its own with a new Lua state. Created and started by ThreadManager.

#include <QString>
#include <QThread>
#include <cstdint>
#include <mutex>
#include <string>

#include "StopSignal.h"
#include "input/InjectionContext.h"

struct lua_State;
namespace platform {
class Platform;
}

// What a run is given; fixed for the whole run.
struct RunSettings {
    bool logEnabled = false;
    bool loopMode = false;
    // Executions in loop mode; 0 means endless.
    int32_t repeatCount = 0;
    // true: run the file at scriptPath; false: run tableScript.
    bool runFile = false;
    std::string scriptPath;
    std::string tableScript;
};

// Lends its injectors a pause that its stop request cuts short, and keeps
// the record of what its script pressed and did not release: when the run
// ends by a stop or an execution by an error, those are released, newest
// first, before the error line. A run that finishes leaves them held (the
// next run may release them).
class Thread : public QThread, public InjectionContext {
    Q_OBJECT

public:
    Thread(platform::Platform& platform, RunSettings settings);
    // Waits for the run if it is still going; ThreadManager stops it first.
    ~Thread() override;

    // The run whose worker thread calls this, or null on any other thread.
    static Thread* current();

    const RunSettings& settings() const { return settings_; }
    platform::Platform& platform() const { return platform_; }
    StopSignal& stopSignal() { return stop_; }

    // Any thread: asks the script to end at its next instruction or wait.
    void requestStop() { stop_.requestStop(); }
    bool stopRequested() const override { return stop_.stopRequested(); }

    // Worker: the injectors' side of the run.
    bool pause(double milliseconds) override;
    HeldInputs* heldInputs() override { return &held_; }

    // Worker: appends to the pending log text, or drops it when logging is off.
    void appendToLog(const QString& text);
    // GUI: takes the log text not yet taken (empty when none is pending).
    QString takeLog();
    bool logPending() const;

protected:
    void run() override;

private:
    lua_State* initState();
    void runScript(lua_State* state);
    void executeOnce(lua_State* state);
    void reportError(lua_State* state, int status);
    void releaseHeldInput();
    void closeState(lua_State* state);
    QString runName() const;

    platform::Platform& platform_;
    const RunSettings settings_;
    StopSignal stop_;
    HeldInputs held_;  // worker thread only
    mutable std::mutex logMutex;
    bool logPending_ = false;
    QString logBuffer;
};
