#include "MemoryCeiling.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <lua.hpp>

#include "SystemMemory.h"

namespace {

constexpr std::size_t MaxScriptMemory = std::size_t(1) << 30;
// A run may hold at most this fraction of physical memory (1 / divisor).
constexpr std::size_t PhysicalMemoryDivisor = 4;

// As the auxiliary library's own state does: say why before Lua aborts.
int reportPanic(lua_State* state) {
    const char* message = lua_tostring(state, -1);
    std::fprintf(stderr, "quillpress: unprotected error in a Lua state: %s\n",
                 message ? message : "(error object is not a string)");
    return 0;
}

}  // namespace

std::size_t defaultScriptMemoryLimit() {
    const unsigned long long physical = physicalMemoryBytes();
    if (physical == 0)
        return MaxScriptMemory;
    return static_cast<std::size_t>(
        std::min<unsigned long long>(MaxScriptMemory, physical / PhysicalMemoryDivisor));
}

lua_State* MemoryCeiling::newState() {
    lua_State* state = lua_newstate(allocate, this);
    if (state)
        lua_atpanic(state, reportPanic);
    return state;
}

void* MemoryCeiling::allocate(void* ceiling, void* block, std::size_t oldSize, std::size_t newSize) {
    auto* self = static_cast<MemoryCeiling*>(ceiling);
    // Without a block, oldSize tells the kind of object, not a size.
    const std::size_t held = block ? oldSize : 0;
    if (newSize == 0) {
        std::free(block);
        self->used_ -= held;
        return nullptr;
    }
    // Lua relies on shrinking never failing; only growth is refused.
    if (newSize > held && newSize - held > self->limit_ - self->used_)
        return nullptr;
    void* moved = std::realloc(block, newSize);
    if (!moved)
        return nullptr;
    self->used_ = self->used_ - held + newSize;
    return moved;
}
