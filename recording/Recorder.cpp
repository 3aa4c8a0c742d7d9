#include "Recorder.h"

#include <algorithm>

namespace {

// Events kept while no recording is on: more than can arrive between an
// input and the handling of the click or hotkey that came after it.
constexpr size_t RecentEvents = 256;

// The capture clock wraps; times are compared by their signed difference.
bool after(uint32_t time, uint32_t moment) { return static_cast<int32_t>(time - moment) > 0; }

}  // namespace

void Recorder::capture(const CapturedRecord& record) {
    const CapturedRecord::Edge edge = record.edge();
    if (edge == CapturedRecord::Press) downSince_.emplace(record.code(), record.time);
    if (edge == CapturedRecord::Release) downSince_.erase(record.code());
    const bool during = state_ == State::Active || (state_ == State::Stopped && after(stop_, record.time));
    if (!during) {
        recent_.push_back(record);
        if (recent_.size() > RecentEvents) recent_.pop_front();
        return;
    }
    if (after(record.time, start_)) {
        keep(record);
        return;
    }
    // From before the start, delivered late: it only tells what was held.
    if (edge == CapturedRecord::Press) heldAtStart_.insert(record.code());
    if (edge == CapturedRecord::Release) heldAtStart_.erase(record.code());
}

void Recorder::keep(const CapturedRecord& record) {
    // Events mostly arrive in time order; keys and the mouse come by
    // separate ways and may overtake each other.
    auto at = events_.end();
    while (at != events_.begin() && after((at - 1)->time, record.time)) --at;
    events_.insert(at, record);
}

void Recorder::start(uint32_t after_, platform::Point cursor, bool monitorStartPosition, bool monitorMouseMovement) {
    state_ = State::Active;
    start_ = after_;
    monitorMovement_ = monitorMouseMovement;
    toggleKeys_.clear();
    events_.clear();
    heldAtStart_.clear();
    startPosition_ = monitorStartPosition ? QStringLiteral("0,%1,%2,%3:")
                                                .arg(platform::MsgMouseMove)
                                                .arg(cursor.x)
                                                .arg(cursor.y)
                                          : QString();
    for (const auto& [code, since] : downSince_)
        if (!after(since, start_)) heldAtStart_.insert(code);
    for (const CapturedRecord& record : recent_)
        if (after(record.time, start_)) keep(record);
    recent_.clear();
}

void Recorder::stop(uint32_t from, std::vector<uint32_t> toggleKeys) {
    if (state_ != State::Active) return;
    state_ = State::Stopped;
    stop_ = from;
    toggleKeys_ = std::move(toggleKeys);
}

void Recorder::discard() {
    state_ = State::Idle;
    events_.clear();
    heldAtStart_.clear();
    startPosition_.clear();
}

// The hotkey that stopped the recording was pressed before the moment its
// stop was seen, so its keys may have been captured: its key's last press
// and what follows of its keys, and the modifier presses that led into it.
// Movement and the wheel in between stay.
void Recorder::dropStoppingHotkey(std::vector<const CapturedRecord*>& kept) const {
    const uint32_t key = toggleKeys_.front();
    auto isToggleKey = [&](const CapturedRecord& r) {
        return std::find(toggleKeys_.begin(), toggleKeys_.end(), r.code()) != toggleKeys_.end();
    };
    auto isModifierPress = [&](const CapturedRecord& r) {
        return r.edge() == CapturedRecord::Press && r.code() != key && isToggleKey(r);
    };
    // The trailing stretch made of nothing but the hotkey's keys (and
    // movement), and in it the press that put its key down last.
    size_t chord = kept.size();
    for (size_t i = kept.size(); i-- > 0;) {
        const CapturedRecord& r = *kept[i];
        if (r.edge() == CapturedRecord::NoEdge) continue;
        if (!isToggleKey(r)) break;
        if (r.code() != key) continue;
        if (r.edge() == CapturedRecord::Release) {
            if (chord != kept.size()) break;  // an earlier press and release of the key
            continue;
        }
        chord = i;
    }
    std::vector<const CapturedRecord*> out(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(chord));
    for (size_t i = chord; i < kept.size(); ++i)
        if (kept[i]->edge() == CapturedRecord::NoEdge || !isToggleKey(*kept[i])) out.push_back(kept[i]);
    // The modifiers pressed just before it, with nothing else pressed between.
    for (size_t i = chord; i-- > 0;) {
        const CapturedRecord& r = *out[i];
        if (r.edge() == CapturedRecord::NoEdge) continue;
        if (!isModifierPress(r)) break;
        out.erase(out.begin() + static_cast<std::ptrdiff_t>(i));
    }
    kept.swap(out);
}

QString Recorder::records() const {
    std::set<uint32_t> heldBefore = heldAtStart_;
    std::vector<uint32_t> down;  // pressed in the recording, not yet released
    std::vector<const CapturedRecord*> kept;
    for (const CapturedRecord& record : events_) {
        if (state_ == State::Stopped && !after(stop_, record.time)) break;
        if (record.movement && !monitorMovement_) continue;
        const uint32_t code = record.code();
        const bool isDown = std::find(down.begin(), down.end(), code) != down.end();
        switch (record.edge()) {
        case CapturedRecord::Press:
            if (heldBefore.count(code)) continue;  // a repeat of a key held since before
            if (!isDown) down.push_back(code);
            break;
        case CapturedRecord::Release:
            if (heldBefore.erase(code) || !isDown) continue;  // its press was not recorded
            down.erase(std::find(down.begin(), down.end(), code));
            break;
        case CapturedRecord::NoEdge:
            break;
        }
        kept.push_back(&record);
    }
    if (!toggleKeys_.empty()) dropStoppingHotkey(kept);
    QString out = startPosition_;
    for (const CapturedRecord* record : kept) out += record->text(static_cast<int32_t>(record->time - start_));
    return out;
}
