#include "GlobalHotkeys.h"

using platform::HotkeyResult;

namespace {

// Log lines: the combination (portable text), then why.
const char RefusedLine[] = "Hotkey %1 refused: %2\n";
const char LostLine[] = "Hotkey %1 lost after a keyboard layout change: %2\n";
const char ExactOnlyLine[] =
    "Hotkey %1 stops this run only with no other keys held: another program holds %1 with other modifiers\n";
const char HeldByOtherHotkey[] = "the other hotkey holds it";
const char HeldByAnotherProgram[] = "another program holds it";
const char NoSuchKey[] = "the keyboard has no such key";
const char RefusedBySystem[] = "the system refused it";

QString nameOf(const QKeySequence& sequence) { return sequence.toString(QKeySequence::PortableText); }

QString refusal(const QKeySequence& sequence, HotkeyResult result, const char* line = RefusedLine) {
    const char* reason = RefusedBySystem;
    if (result == HotkeyResult::HeldByThisProgram) reason = HeldByOtherHotkey;
    if (result == HotkeyResult::HeldByAnotherProgram) reason = HeldByAnotherProgram;
    if (result == HotkeyResult::NoSuchKey) reason = NoSuchKey;
    return QString::fromLatin1(line).arg(nameOf(sequence), QString::fromLatin1(reason));
}

}  // namespace

uint32_t GlobalHotkeys::modifiersFor(int id, const HotkeyBinding& binding) const {
    return id == RunHotkeyId && running_ ? binding.modifiers | platform::ModAnyModifiers : binding.modifiers;
}

GlobalHotkeys::Outcome GlobalHotkeys::set(int id, const QKeySequence& sequence) {
    platform_.unregisterHotkey(id);
    held_.erase(id);
    const HotkeyBinding binding = bindHotkey(sequence);
    if (!binding.registers) return {binding.shown, {}};
    const platform::Availability offered = platform_.availability(platform::Service::GlobalHotkeys);
    if (!offered.available)
        return {QKeySequence(), QString::fromLatin1(RefusedLine)
                                    .arg(nameOf(binding.shown), QString::fromStdString(offered.reason))};
    const HotkeyResult result = platform_.registerHotkey(id, modifiersFor(id, binding), binding.virtualKey);
    if (!platform::isRegistered(result)) return {QKeySequence(), refusal(binding.shown, result)};
    held_[id] = binding;
    if (result == HotkeyResult::ExactOnly)
        return {binding.shown, QString::fromLatin1(ExactOnlyLine).arg(nameOf(binding.shown))};
    return {binding.shown, {}};
}

GlobalHotkeys::Outcome GlobalHotkeys::setRunning(bool running) {
    const auto held = held_.find(RunHotkeyId);
    if (running == running_ || held == held_.end()) {
        running_ = running;
        return {held == held_.end() ? QKeySequence() : held->second.shown, {}};
    }
    running_ = running;
    const HotkeyBinding binding = held->second;
    const HotkeyResult result =
        platform_.registerHotkey(RunHotkeyId, modifiersFor(RunHotkeyId, binding), binding.virtualKey);
    if (result == HotkeyResult::Registered) return {binding.shown, {}};
    if (result == HotkeyResult::ExactOnly)
        return {binding.shown, QString::fromLatin1(ExactOnlyLine).arg(nameOf(binding.shown))};
    held_.erase(held);
    return {QKeySequence(), refusal(binding.shown, result)};
}

GlobalHotkeys::Outcome GlobalHotkeys::lost(int id, HotkeyResult why) {
    const auto held = held_.find(id);
    if (held == held_.end()) return {};
    const QKeySequence sequence = held->second.shown;
    held_.erase(held);
    return {QKeySequence(), refusal(sequence, why, LostLine)};
}
