#pragma once
// A memory ceiling for one Lua state: its allocator counts the bytes the
// state holds and refuses to grow past the limit, so a runaway script gets
// Lua's ordinary "not enough memory" error instead of taking the program
// down. The message itself is preallocated by Lua, so reporting it needs no
// room under the ceiling.

#include <cstddef>

struct lua_State;

// The default ceiling of a run: the smaller of 1 GiB and a quarter of the
// machine's physical memory (1 GiB when that is unknown).
std::size_t defaultScriptMemoryLimit();

class MemoryCeiling {
public:
    explicit MemoryCeiling(std::size_t limit) : limit_(limit) {}
    MemoryCeiling(const MemoryCeiling&) = delete;
    MemoryCeiling& operator=(const MemoryCeiling&) = delete;

    // A new state allocating through this ceiling, which must outlive it;
    // null when even the bare state does not fit. One state per ceiling.
    lua_State* newState();
    // Bytes the state holds now. Only on the state's own thread.
    std::size_t used() const { return used_; }

private:
    static void* allocate(void* ceiling, void* block, std::size_t oldSize, std::size_t newSize);

    const std::size_t limit_;
    std::size_t used_ = 0;
};
