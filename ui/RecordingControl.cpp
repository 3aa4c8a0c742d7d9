#include "RecordingControl.h"

#include <QKeyEvent>
#include <QSignalBlocker>
#include <QTimer>
#include <cstdio>

#include "DesktopLimits.h"
#include "EnableGroups.h"
#include "FileDialogs.h"
#include "FileWarnings.h"
#include "WindowTexts.h"
#include "input/HotkeyBinding.h"
#include "recording/RecordingRecovery.h"
#include "recording/RecordingTranslation.h"
#include "ui_mainwindow.h"

namespace {

const char RecordingFileStart[] = "LuaScripts/recording.lua";
const char ClosePromptTitle[] = "Quillpress";
const char ClosePromptText[] =
    QT_TRANSLATE_NOOP("MainWindow", "A recording is under way. Save it before closing?");

}  // namespace

RecordingControl::RecordingControl(Ui::MainWindow& form, QWidget* owner, platform::Platform& platform,
                                   const FileDialogs& dialogs, Recorder& recorder,
                                   const DesktopLimits& limits)
    : form_(form),
      owner_(owner),
      platform_(platform),
      dialogs_(dialogs),
      injector_(platform, injection_),
      closePrompt_([](QWidget* parent) {
          return QMessageBox::question(parent, QString::fromLatin1(ClosePromptTitle), windowText(ClosePromptText),
                                       QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                       QMessageBox::Save);
      }),
      recorder_(recorder),
      limits_(limits) {
    form_.Recording->installEventFilter(this);
    form_.RecordingStartStop->installEventFilter(this);
}

bool RecordingControl::setChecked(bool on) {
    if (on && !limits_.recording) return false;
    if (on && awaitingSave_) return true;
    form_.Recording->setChecked(on);
    return true;
}

void RecordingControl::switchClicked() {
    if (form_.Running->isChecked() || awaitingSave_) return;
    form_.Recording->setChecked(!form_.Recording->isChecked());
}

bool RecordingControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched != form_.Recording && watched != form_.RecordingStartStop) return false;
    bool press = false, release = false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:  // a quick second click presses the button too
        press = true;
        break;
    case QEvent::MouseButtonRelease:
        release = true;
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        // The key that clicks a focused button.
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (key->key() != Qt::Key_Space || key->isAutoRepeat()) return false;
        press = event->type() == QEvent::KeyPress;
        release = !press;
        break;
    }
    default:
        return false;
    }
    const auto time = static_cast<uint32_t>(static_cast<const QInputEvent*>(event)->timestamp());
    if (press) switchPressedAt_ = time;
    if (release && switchPressedAt_) {
        // The switch acts while this release is handled, right after the filter.
        switchClick_ = ToggleInput{*switchPressedAt_, time, true};
        switchPressedAt_.reset();
        QTimer::singleShot(0, this, [this] { switchClick_.reset(); });
    }
    return false;
}

RecordingControl::ToggleInput RecordingControl::toggleInput() {
    if (switchClick_) {
        const ToggleInput click = *switchClick_;
        switchClick_.reset();
        return click;
    }
    // A hotkey, or a switch flipped by the program: now, in the capture clock.
    const uint32_t now = platform_.captureTime();
    return ToggleInput{now, now, false};
}

void RecordingControl::stop(const ToggleInput& input) {
    // The hotkey's own presses are not part of what it stopped.
    recorder_.stop(input.began,
                   input.byClick ? std::vector<uint32_t>()
                                 : keysOfHotkey(bindHotkey(form_.RecordingHotkey->keySequence())));
    const QSignalBlocker quiet(form_.Recording);
    form_.Recording->setChecked(false);
    updateEnabledStates(form_, limits_);
}

void RecordingControl::toggled(bool checked) {
    if (checked && awaitingSave_) {
        // The last recording still waits for its file name.
        const QSignalBlocker quiet(form_.Recording);
        form_.Recording->setChecked(false);
        return;
    }
    updateEnabledStates(form_, limits_);
    const ToggleInput input = toggleInput();
    if (checked) {
        // The click or key that started it ends before the recording begins.
        // A setting restored from another desktop may still be checked.
        const bool startPosition = form_.MonitorStartPosition->isChecked() && limits_.startPosition;
        recorder_.start(input.ended, injector_.cursorPosition(), startPosition,
                        form_.MonitorMouseMovement->isChecked());
        return;
    }
    stop(input);
    convertToScript();
}

bool RecordingControl::convertToScript() {
    awaitingSave_ = true;
    const QString path = dialogs_.askSave(RecordingFileStart, ScriptFileFilter);
    awaitingSave_ = false;
    if (path.isEmpty()) return false;
    // Taken once the name is chosen: events from before the stop that the
    // capture delivered later are in by now.
    const table::WriteOutcome outcome = writeRecordingScript(path, recorder_.records());
    if (!outcome.written) {
        warnNotSaved(owner_, path, outcome.reason);
        return false;
    }
    form_.ScriptLocation->setText(path);
    form_.UseScript->setChecked(true);
    return true;
}

bool RecordingControl::settleBeforeClose() {
    if (!form_.Recording->isChecked()) return true;
    // The recording ends where the close was asked for: what the user
    // does in the prompt is not part of it.
    const ToggleInput closeAsked = toggleInput();
    const QMessageBox::StandardButton answer = closePrompt_(owner_);
    // The recording hotkey works under the prompt: it may have ended (and
    // been saved) meanwhile.
    const bool stillRecording = form_.Recording->isChecked();
    switch (answer) {
    case QMessageBox::Save:
        if (!stillRecording) return true;
        stop(closeAsked);
        return convertToScript();
    case QMessageBox::Discard:
        if (!stillRecording) return true;
        stop(closeAsked);
        recorder_.discard();
        return true;
    default:
        return false;
    }
}

bool RecordingControl::preserveUnsaved() {
    if (!recorder_.active() && !awaitingSave_) return false;
    QString error;
    const QString path = writeRecoveryScript(recorder_.records(), &error);
    if (path.isEmpty()) {
        std::fprintf(stderr, "quillpress: the unsaved recording is lost: %s\n", qPrintable(error));
        return false;
    }
    std::fprintf(stderr, "quillpress: the unsaved recording was written to %s\n", qPrintable(path));
    return true;
}
