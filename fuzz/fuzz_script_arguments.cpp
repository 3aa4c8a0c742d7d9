// Every script function called with fuzzed argument counts and kinds, on a
// run's own thread over the fake platform, so nothing reaches a display.
// The run's stop is requested before it starts: every wait and pause then
// returns at once, whatever duration a fuzzed number asks for. The checks
// refuse what they do not accept by message and result, never by raising a
// Lua error, so every call must return normally.

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <lua.hpp>

#include "FuzzChecks.h"
#include "input/KeyNames.h"
#include "platform/fake/FakePlatform.h"
#include "script/NumericLocale.h"
#include "script/ScriptFunctions.h"
#include "script/Thread.h"

namespace {

// Enough calls per input to mix functions; the rest of a long input is unused.
constexpr int MaxCallsPerInput = 64;
constexpr int MaxArguments = 5;
constexpr int MaxStringBytes = 40;

class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    template <typename T>
    T value() {
        unsigned char raw[sizeof(T)] = {};
        for (unsigned char& b : raw) b = byte();
        T result;
        std::memcpy(&result, raw, sizeof(T));
        return result;
    }
    QByteArray text(int length) {
        QByteArray out;
        for (int i = 0; i < length && !empty(); ++i) out.append(static_cast<char>(byte()));
        return out;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

int functionCount() {
    int count = 0;
    while (ScriptFunctions[count].name) ++count;
    return count;
}

int noResults(lua_State*) { return 0; }

void pushArgument(lua_State* state, Bytes& in) {
    switch (in.byte() % 10) {
    case 0: lua_pushnil(state); break;
    case 1: lua_pushboolean(state, in.byte() & 1); break;
    case 2: lua_pushinteger(state, in.value<lua_Integer>()); break;
    case 3: lua_pushinteger(state, static_cast<int8_t>(in.byte())); break;
    case 4: lua_pushnumber(state, in.value<double>()); break;
    case 5: {
        const QByteArray text = in.text(in.byte() % (MaxStringBytes + 1));
        lua_pushlstring(state, text.constData(), text.size());
        break;
    }
    // Numbers in text, which the number checks accept.
    case 6: lua_pushstring(state, QByteArray::number(in.value<double>(), 'g', 17).constData()); break;
    case 7: lua_pushstring(state, QByteArray::number(static_cast<int16_t>(in.value<uint16_t>())).constData()); break;
    case 8: lua_newtable(state); break;
    default: lua_pushcfunction(state, noResults); break;
    }
}

class FuzzRun : public Thread {
public:
    FuzzRun(platform::Platform& platform, const uint8_t* data, size_t size)
        : Thread(platform, settingsForFuzz()), in_(data, size) {}

protected:
    void run() override {
        ScopedNumericLocaleC numericLocale;
        lua_State* state = luaL_newstate();
        if (!state)
            fuzzFailure("no Lua state", QByteArray());
        luaL_openlibs(state);
        registerScriptFunctions(state);
        static const int Functions = functionCount();
        for (int call = 0; call < MaxCallsPerInput && !in_.empty(); ++call) {
            const luaL_Reg& function = ScriptFunctions[in_.byte() % Functions];
            const int arguments = in_.byte() % (MaxArguments + 1);
            lua_pushcfunction(state, function.func);
            for (int i = 0; i < arguments; ++i) pushArgument(state, in_);
            if (lua_pcall(state, arguments, LUA_MULTRET, 0) != LUA_OK) {
                const char* message = lua_tostring(state, -1);
                fuzzFailure(function.name, message ? QByteArray(message) : QByteArray("(no message)"));
            }
            lua_settop(state, 0);
        }
        lua_close(state);
    }

private:
    static RunSettings settingsForFuzz() {
        RunSettings settings;
        settings.logEnabled = true;  // the refusals' messages are made and kept
        return settings;
    }

    Bytes in_;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    initKeyNames();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::FakePlatform platform;
    FuzzRun run(platform, data, size);
    run.requestStop();
    run.start();
    run.wait();
    (void)run.takeLog();
    return 0;
}
