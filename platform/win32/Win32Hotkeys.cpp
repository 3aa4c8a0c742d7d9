#include "Win32Hotkeys.h"

#include "platform/InputRecords.h"

namespace platform {

namespace {

constexpr uint32_t CombinationBits = ModAlt | ModControl | ModShift | ModWin;
// The combination c of a wide hotkey id registers as id + (c + 1) * stride.
constexpr int CombinationIdStride = 0x100;
constexpr int KeyShift = 16;  // WM_HOTKEY: the virtual key in the high word

int nativeIdOf(int id, uint32_t combination) {
    return id + static_cast<int>(combination + 1) * CombinationIdStride;
}

}  // namespace

Win32Hotkeys::~Win32Hotkeys() {
    for (const auto& entry : ownerOfNative_) UnregisterHotKey(nullptr, entry.first);
}

bool Win32Hotkeys::registerNative(int owner, int nativeId, uint32_t modifiers, uint32_t virtualKey) {
    if (!RegisterHotKey(nullptr, nativeId, modifiers | ModNoRepeat, virtualKey)) return false;
    ownerOfNative_[nativeId] = owner;
    byId_[owner].nativeIds.push_back(nativeId);
    return true;
}

int Win32Hotkeys::wideHolder(uint32_t virtualKey, int except) const {
    for (const auto& entry : byId_)
        if (entry.first != except && entry.second.virtualKey == virtualKey && entry.second.anyModifiers)
            return entry.first;
    return 0;
}

bool Win32Hotkeys::heldExactly(uint32_t virtualKey, uint32_t modifiers, int except) const {
    for (const auto& entry : byId_)
        if (entry.first != except && entry.second.virtualKey == virtualKey && entry.second.modifiers == modifiers)
            return true;
    return false;
}

HotkeyResult Win32Hotkeys::add(int id, uint32_t modifiers, uint32_t virtualKey) {
    remove(id);
    const uint32_t exact = modifiers & CombinationBits;
    if (heldExactly(virtualKey, exact, id)) return HotkeyResult::HeldByThisProgram;
    byId_[id] = Registration{exact, virtualKey, (modifiers & ModAnyModifiers) != 0, {}};
    // Another id's wide registration already holds every combination.
    if (wideHolder(virtualKey, id)) return HotkeyResult::Registered;
    const HotkeyResult result = hold(id);
    if (!isRegistered(result)) byId_.erase(id);
    return result;
}

HotkeyResult Win32Hotkeys::hold(int id) {
    Registration& r = byId_[id];
    if (!registerNative(id, id, r.modifiers, r.virtualKey))
        return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED ? HotkeyResult::HeldByAnotherProgram
                                                                 : HotkeyResult::Refused;
    if (!r.anyModifiers) return HotkeyResult::Registered;
    // Combinations another id of ours holds stay its registrations;
    // idOfMessage hands their presses to this one.
    for (uint32_t combination = 0; combination <= CombinationBits; ++combination) {
        if (combination == r.modifiers || heldExactly(r.virtualKey, combination, id)) continue;
        if (registerNative(id, nativeIdOf(id, combination), combination, r.virtualKey)) continue;
        // All or nothing, as on other systems: keep the exact one alone.
        for (int native : r.nativeIds) {
            if (native == id) continue;
            UnregisterHotKey(nullptr, native);
            ownerOfNative_.erase(native);
        }
        r.nativeIds.assign(1, id);
        r.anyModifiers = false;
        return HotkeyResult::ExactOnly;
    }
    return HotkeyResult::Registered;
}

void Win32Hotkeys::remove(int id) {
    auto it = byId_.find(id);
    if (it == byId_.end()) {
        UnregisterHotKey(nullptr, id);
        return;
    }
    const Registration old = it->second;
    byId_.erase(it);
    for (int native : old.nativeIds) {
        UnregisterHotKey(nullptr, native);
        ownerOfNative_.erase(native);
    }
    if (old.nativeIds.empty()) return;  // covered by a wide one: it held nothing itself
    const int holder = wideHolder(old.virtualKey, id);
    if (holder && !byId_[holder].nativeIds.empty()) {
        // The wide registration takes over the combination just freed.
        registerNative(holder, nativeIdOf(holder, old.modifiers), old.modifiers, old.virtualKey);
        return;
    }
    if (!old.anyModifiers) return;
    // What the wide one covered is registered on its own again.
    for (auto& entry : byId_)
        if (entry.second.virtualKey == old.virtualKey && entry.second.nativeIds.empty()) hold(entry.first);
}

int Win32Hotkeys::idOfMessage(WPARAM nativeId, LPARAM keys) const {
    const auto owner = ownerOfNative_.find(static_cast<int>(nativeId));
    const int id = owner != ownerOfNative_.end() ? owner->second : static_cast<int>(nativeId);
    const uint32_t virtualKey = static_cast<uint32_t>(keys) >> KeyShift & 0xFFFF;
    const int holder = wideHolder(virtualKey, 0);
    return holder ? holder : id;
}

}  // namespace platform
