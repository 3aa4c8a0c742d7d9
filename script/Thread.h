#pragma once
// One run of a Lua script or of the table's Lua text, on a worker thread of
// its own with a new Lua state. Created and started by ThreadManager.

#include <QString>
#include <QThread>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "MemoryCeiling.h"
#include "RunLog.h"
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
    // Bytes the run's Lua state may hold; past it the script gets Lua's
    // "not enough memory" error.
    std::size_t memoryLimit = defaultScriptMemoryLimit();
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
    bool stopRequested() const { return stop_.stopRequested(); }
    // Set when the script ended the run with os.exit: the status it asked
    // for. Empty when the run finished, failed or was stopped.
    std::optional<int> exitStatus() const { return stop_.exitStatus(); }
    // Any thread: the error line (as the log has it, whether logging is on
    // or not) of the latest execution that ended by an error; empty when
    // none did.
    QString lastError() const;
    // Any thread: executions begun so far; each loop counts.
    int32_t executionsBegun() const { return executionsBegun_.load(); }

    // Worker: the injectors' side of the run. Long actions end once the run
    // is to end, by a stop or by os.exit.
    bool pause(double milliseconds) override;
    bool interrupted() const override { return stop_.endRequested(); }
    HeldInputs* heldInputs() override { return &held_; }

    // Worker: appends to the pending log text, or drops it when logging is off.
    void appendToLog(const QString& text);
    // GUI: takes the log text not yet taken (empty when none is pending).
    QString takeLog();
    bool logPending() const { return log_->pending(); }
    // The run's log channel; it outlives the run for whoever holds it.
    const RunLogPtr& log() const { return log_; }

protected:
    void run() override;

private:
    lua_State* initState(MemoryCeiling& memory);
    void runScript(lua_State* state);
    void executeOnce(lua_State* state);
    void reportError(lua_State* state, int status);
    void logError(const QString& line);
    void releaseHeldInput();
    void releaseHeldInputAfterStop();
    void closeState(lua_State* state);
    QString runName() const;

    platform::Platform& platform_;
    const RunSettings settings_;
    StopSignal stop_;
    HeldInputs held_;  // worker thread only
    const RunLogPtr log_ = std::make_shared<RunLog>();
    std::atomic<int32_t> executionsBegun_{0};
    mutable std::mutex errorMutex_;
    QString lastError_;
};
