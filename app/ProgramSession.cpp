#include "ProgramSession.h"

#include <QCoreApplication>
#include <utility>

#include "platform/DisplayLoss.h"

namespace {
const char WindowTitle[] = "Quillpress";
}

ProgramSession::ProgramSession(platform::Platform& platform) : platform_(platform) {
    // From here a lost display ends the program in its one orderly way.
    platform::DisplayLoss::arm();
    // The window registers the run hotkey while it is built.
    window_ = std::make_unique<MainWindow>(platform_, recorder_);
    window_->setWindowTitle(QString::fromLatin1(WindowTitle));
    // The settings live under the program's names (runProgram sets them); a
    // session started without them keeps nothing.
    if (!QCoreApplication::organizationName().isEmpty()) window_->restoreSettings();
    window_->show();
    target_ = std::make_unique<WindowLoopTarget>(*window_);
    router_ = std::make_unique<EventRouter>(*target_, recorder_);
    platform_.setListener(router_.get());
    platform_.startCapture(static_cast<uintptr_t>(window_->winId()));
    pump_ = std::make_unique<EventPump>(platform_);
}

ProgramSession::~ProgramSession() {
    platform::DisplayLoss::setLastChance({});
    platform_.stopCapture();
    pump_.reset();
    platform_.setListener(nullptr);
    router_.reset();
    target_.reset();
    // Waits for the window's runs to end.
    window_.reset();
    platform_.unregisterHotkey(RunHotkeyId);
    platform_.unregisterHotkey(RecordingHotkeyId);
    platform::DisplayLoss::disarm();
}

void ProgramSession::setDisplayLossCallback(std::function<void()> callback) {
    platform::DisplayLoss::setLastChance(std::move(callback));
}
