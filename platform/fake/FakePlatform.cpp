#include "FakePlatform.h"

#include <sstream>

#include "UsScanCodes.h"

namespace platform {

namespace {

std::string describe(const InputRecord& r) {
    std::ostringstream s;
    if (r.type == InputRecord::Keyboard) {
        s << "sendInput key vk=" << r.keyboard.virtualKey << " scan=" << r.keyboard.scanCode
          << " flags=" << r.keyboard.flags;
    } else {
        s << "sendInput mouse dx=" << r.mouse.dx << " dy=" << r.mouse.dy
          << " data=" << static_cast<int32_t>(r.mouse.mouseData) << " flags=" << r.mouse.flags;
    }
    return s.str();
}

}  // namespace

FakePlatform::FakePlatform() = default;

void FakePlatform::log(std::string line) { calls_.push_back(std::move(line)); }

void FakePlatform::sendInput(const InputRecord& record, const SendInterruption*) {
    std::lock_guard<std::mutex> lock(mutex_);
    inputs_.push_back(record);
    log(describe(record));
}

uint16_t FakePlatform::scanCodeOfVirtualKey(uint32_t virtualKey) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = scanCodes_.find(virtualKey);
    return it != scanCodes_.end() ? it->second : usScanCodeOfVirtualKey(virtualKey);
}

uint16_t FakePlatform::asyncKeyState(int virtualKey) {
    std::lock_guard<std::mutex> lock(mutex_);
    log("asyncKeyState " + std::to_string(virtualKey));
    return keysDown_.count(virtualKey) ? 0x8000 : 0;
}

bool FakePlatform::cursorPosition(Point* position) {
    std::lock_guard<std::mutex> lock(mutex_);
    log("cursorPosition");
    if (cursorFails_) return false;
    *position = cursor_;
    return true;
}

Rect FakePlatform::desktopRect() {
    std::lock_guard<std::mutex> lock(mutex_);
    return desktop_;
}

void FakePlatform::setListener(CaptureListener* listener) {
    std::lock_guard<std::mutex> lock(mutex_);
    listener_ = listener;
}

HotkeyResult FakePlatform::registerHotkey(int id, uint32_t modifiers, uint32_t virtualKey) {
    std::lock_guard<std::mutex> lock(mutex_);
    log("registerHotkey id=" + std::to_string(id) + " mod=" + std::to_string(modifiers) +
        " vk=" + std::to_string(virtualKey));
    hotkeys_.erase(id);
    const uint32_t exact = modifiers & ~(ModNoRepeat | ModAnyModifiers);
    for (const auto& [otherId, held] : hotkeys_)
        if (held.virtualKey == virtualKey && (held.modifiers & ~ModAnyModifiers) == exact)
            return HotkeyResult::HeldByThisProgram;
    if (heldElsewhere_.count(Hotkey{exact, virtualKey})) return HotkeyResult::HeldByAnotherProgram;
    const bool wide = modifiers & ModAnyModifiers;
    bool keyHeldElsewhere = false;
    for (const Hotkey& other : heldElsewhere_) keyHeldElsewhere = keyHeldElsewhere || other.virtualKey == virtualKey;
    hotkeys_[id] = Hotkey{wide && !keyHeldElsewhere ? exact | ModAnyModifiers : exact, virtualKey};
    return wide && keyHeldElsewhere ? HotkeyResult::ExactOnly : HotkeyResult::Registered;
}

void FakePlatform::unregisterHotkey(int id) {
    std::lock_guard<std::mutex> lock(mutex_);
    log("unregisterHotkey id=" + std::to_string(id));
    hotkeys_.erase(id);
}

void FakePlatform::startCapture(uintptr_t) {
    std::lock_guard<std::mutex> lock(mutex_);
    log("startCapture");
    capturing_ = true;
}

void FakePlatform::stopCapture() {
    std::lock_guard<std::mutex> lock(mutex_);
    log("stopCapture");
    capturing_ = false;
}

void FakePlatform::processPendingEvents() {
    // Deliver without the lock held: listeners may call back into the fake.
    for (;;) {
        Pending event;
        CaptureListener* listener;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (pending_.empty()) return;
            event = pending_.front();
            pending_.pop_front();
            listener = listener_;
        }
        if (!listener) continue;
        if (auto* key = std::get_if<KeyEvent>(&event)) listener->keyboardEvent(*key);
        else if (auto* mouse = std::get_if<MouseEvent>(&event)) listener->mouseEvent(*mouse);
        else if (auto* raw = std::get_if<RawMovement>(&event)) listener->rawMovement(*raw);
        else if (auto* lost = std::get_if<LostHotkey>(&event)) listener->hotkeyLost(lost->first, lost->second);
        else listener->hotkey(std::get<int>(event));
    }
}

std::vector<std::string> FakePlatform::calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

std::vector<InputRecord> FakePlatform::sentInputs() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return inputs_;
}

void FakePlatform::clearCalls() {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.clear();
    inputs_.clear();
}

void FakePlatform::setDesktopSize(int width, int height) {
    std::lock_guard<std::mutex> lock(mutex_);
    desktop_ = Rect{0, 0, width, height};
}

Availability FakePlatform::availability(Service service) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = missing_.find(service);
    return found == missing_.end() ? Availability::offered() : Availability::missing(found->second);
}

void FakePlatform::setMissing(Service service, std::string reason) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (reason.empty()) missing_.erase(service);
    else missing_[service] = std::move(reason);
}

void FakePlatform::setCursorFails(bool fails) {
    std::lock_guard<std::mutex> lock(mutex_);
    cursorFails_ = fails;
}

void FakePlatform::setCursor(Point position) {
    std::lock_guard<std::mutex> lock(mutex_);
    cursor_ = position;
}

void FakePlatform::setKeyDown(int virtualKey, bool down) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (down) keysDown_.insert(virtualKey);
    else keysDown_.erase(virtualKey);
}

void FakePlatform::setScanCode(uint32_t virtualKey, uint16_t scanCode) {
    std::lock_guard<std::mutex> lock(mutex_);
    scanCodes_[virtualKey] = scanCode;
}

std::map<int, FakePlatform::Hotkey> FakePlatform::hotkeys() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return hotkeys_;
}

bool FakePlatform::capturing() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return capturing_;
}

uint32_t FakePlatform::captureTime() {
    std::lock_guard<std::mutex> lock(mutex_);
    return ++clock_;
}

void FakePlatform::pushKeyEvent(KeyEvent event) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!event.time) event.time = ++clock_;
    pending_.push_back(event);
}

void FakePlatform::holdElsewhere(uint32_t modifiers, uint32_t virtualKey) {
    std::lock_guard<std::mutex> lock(mutex_);
    heldElsewhere_.insert(Hotkey{modifiers & ~ModNoRepeat, virtualKey});
}

void FakePlatform::pressHotkey(uint32_t modifiers, uint32_t virtualKey) {
    std::lock_guard<std::mutex> lock(mutex_);
    const Hotkey pressed{modifiers & ~ModNoRepeat, virtualKey};
    for (const auto& [id, held] : hotkeys_) {
        if (held.virtualKey == virtualKey && (held.modifiers & ModAnyModifiers)) {
            pending_.push_back(id);
            return;
        }
    }
    for (const auto& [id, held] : hotkeys_) {
        if (held == pressed) {
            pending_.push_back(id);
            return;
        }
    }
}

void FakePlatform::loseHotkey(int id, HotkeyResult why) {
    std::lock_guard<std::mutex> lock(mutex_);
    hotkeys_.erase(id);
    pending_.push_back(LostHotkey{id, why});
}

}  // namespace platform
