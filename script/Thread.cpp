#include "Thread.h"

#include <exception>
#include <limits>
#include <lua.hpp>
#include <utility>

#include "MonotonicClock.h"
#include "NumericLocale.h"
#include "ScriptContext.h"
#include "ScriptExit.h"
#include "ScriptFunctions.h"
#include "ScriptTexts.h"
#include "StopGuards.h"
#include "SystemMemory.h"
#include "TimedWait.h"

Thread::Thread(platform::Platform& platform, RunSettings settings)
    : platform_(platform), settings_(std::move(settings)) {}

Thread::~Thread() {
    wait();
    // The run's last writes to its stop signal happened under its lock;
    // detaching takes it, which orders the destruction after them (also for
    // the thread sanitizer).
    stop_.detachState();
}

Thread* Thread::current() {
    return qobject_cast<Thread*>(QThread::currentThread());
}

void Thread::appendToLog(const QString& text) {
    if (!settings_.logEnabled)
        return;
    log_->append(text);
}

QString Thread::lastError() const {
    const std::lock_guard<std::mutex> lock(errorMutex_);
    return lastError_;
}

void Thread::logError(const QString& line) {
    {
        const std::lock_guard<std::mutex> lock(errorMutex_);
        lastError_ = line;
    }
    appendToLog(line);
}

QString Thread::takeLog() {
    QString all;
    for (QString part; !(part = log_->take(std::numeric_limits<int>::max())).isEmpty();) all += part;
    return all;
}

void Thread::run() {
    // Qt took the C library's locale from the environment; Lua would write
    // and read numbers with its decimal point.
    ScopedNumericLocaleC numericLocale;
    // Lives on the worker's stack: only the state's own thread counts in it.
    MemoryCeiling memory(settings_.memoryLimit);
    lua_State* state = nullptr;
    try {
        state = initState(memory);
        if (state)
            runScript(state);
        else
            logError(QString::fromLatin1(scriptText::NoStateMessage));
        if (const std::optional<int> status = exitStatus())
            appendToLog(scriptText::ExitPrefix + QString::number(*status) + scriptText::ExitSuffix);
    } catch (const std::exception&) {
        // Ends the run silently, as any failure outside the script does,
        // but leaves nothing pressed.
        releaseHeldInput();
    }
    if (state)
        closeState(state);
}

lua_State* Thread::initState(MemoryCeiling& memory) {
    lua_State* state = memory.newState();
    if (!state)
        return nullptr;
    luaL_openlibs(state);
    installScriptExit(state, &stop_);
    registerScriptFunctions(state);
    installStopGuards(state, &stop_);
    installMonotonicClock(state);
    stop_.attachState(state);
    return state;
}

void Thread::runScript(lua_State* state) {
    if (settings_.loopMode) {
        QString loading = scriptText::LoadingPrefix + runName();
        if (!settings_.runFile)
            loading += QLatin1Char('\n') + QString::fromStdString(settings_.tableScript);
        appendToLog(loading + scriptText::LoopingSuffix);
        const bool endless = settings_.repeatCount == 0;
        for (int32_t i = 0; endless || i < settings_.repeatCount; ++i) {
            executeOnce(state);
            if (stop_.endRequested()) {
                releaseHeldInputAfterStop();
                return;
            }
        }
    } else {
        executeOnce(state);
        if (exitStatus())
            return;
    }
    releaseHeldInputAfterStop();
    appendToLog(scriptText::FinishedPrefix + runName() + scriptText::FinishedSuffix);
}

void Thread::executeOnce(lua_State* state) {
    ++executionsBegun_;
    int status;
    if (settings_.runFile) {
        if (!settings_.loopMode)
            appendToLog(scriptText::LoadingPrefix + runName() + QLatin1Char('\n'));
        status = luaL_loadfilex(state, settings_.scriptPath.c_str(), nullptr);
    } else {
        if (!settings_.loopMode)
            appendToLog(scriptText::LoadingPrefix + runName() + QLatin1Char('\n') +
                        QString::fromStdString(settings_.tableScript) + QLatin1Char('\n'));
        status = luaL_loadstring(state, settings_.tableScript.c_str());
    }
    if (status == LUA_OK)
        status = lua_pcall(state, 0, LUA_MULTRET, 0);
    // The script never reached its own releases. In loop mode the next
    // execution starts from the top, so it too starts with nothing held.
    // os.exit is the script's own end: it keeps what it holds, as a
    // finished run does.
    if (status != LUA_OK && !exitStatus())
        releaseHeldInput();
    reportError(state, status);
    // The chunk's results are not used.
    lua_settop(state, 0);
}

void Thread::reportError(lua_State* state, int status) {
    // After os.exit the run reports the exit, not the error that unwound it.
    if (status == LUA_OK || exitStatus())
        return;
    QString text;
    if (lua_type(state, -1) == LUA_TSTRING || lua_type(state, -1) == LUA_TNUMBER) {
        text = QString::fromUtf8(lua_tostring(state, -1));
    } else {
        // No __tostring here: it could raise outside any protected call.
        text = QStringLiteral("(error object is a %1 value)")
                   .arg(QString::fromUtf8(luaL_typename(state, -1)));
    }
    lua_pop(state, 1);
    logError(scriptText::ErrorPrefix + text + QLatin1Char('\n'));
}

bool Thread::pause(double milliseconds) {
    return timedPause(&stop_, WaitClock::now(), milliseconds, StoppableWaitUnit);
}

// Straight to the platform: these releases are the run's, not the script's.
void Thread::releaseHeldInput() {
    for (const platform::InputRecord& release : held_.takeNewestFirst())
        platform_.sendInput(release);
}

// A stop that came as an execution ended still ends the run by a stop.
void Thread::releaseHeldInputAfterStop() {
    if (stopRequested())
        releaseHeldInput();
}

void Thread::closeState(lua_State* state) {
    // No stop request may reach the state once it starts closing.
    stop_.detachState();
    lua_close(state);
    // A memory-hungry run would otherwise stay resident until the next one.
    returnFreedMemory();
}

QString Thread::runName() const {
    return settings_.runFile ? QString::fromStdString(settings_.scriptPath)
                             : QString::fromLatin1(scriptText::TableName);
}
