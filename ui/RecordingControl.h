#pragma once
// The recording switch and what it starts and ends: the recorder, the
// times at which a click or hotkey switched it, and saving the recording
// as a script.

#include <QMessageBox>
#include <QObject>
#include <cstdint>
#include <functional>
#include <optional>

#include "input/InputInjector.h"
#include "recording/Recorder.h"

class FileDialogs;
struct DesktopLimits;
namespace Ui {
class MainWindow;
}

class RecordingControl : public QObject {
public:
    // Asks what to do with a recording under way when the window closes:
    // Save, Discard or Cancel.
    using ClosePrompt = std::function<QMessageBox::StandardButton(QWidget*)>;

    // Watches the form's two recording switches; dialogs are shown over owner.
    // The recorder belongs to the session (the event loop feeds it too).
    RecordingControl(Ui::MainWindow& form, QWidget* owner, platform::Platform& platform,
                     const FileDialogs& dialogs, Recorder& recorder, const DesktopLimits& limits);

    void setClosePrompt(ClosePrompt prompt) { closePrompt_ = std::move(prompt); }

    // Checks Recording unless the last recording still waits for its file
    // name. False when the desktop offers no recording.
    bool setChecked(bool on);
    // RecordingStartStop: flips Recording when no run is on.
    void switchClicked();
    // Recording was switched: starts, or stops and asks where to save.
    void toggled(bool checked);

    // Asks for a file name and writes the last recording there as a script,
    // which then becomes the one to run. True when it was written; a write
    // that fails is reported in a message box.
    bool convertToScript();
    // The window is asked to close: a recording under way is saved or
    // discarded as the user answers. False when the close is to be cancelled.
    bool settleBeforeClose();
    // For an end that cannot ask: see MainWindow::preserveUnsavedRecording.
    bool preserveUnsaved();

protected:
    // Notes when a click or key that may switch the recording went down and up.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // When the input that switches the recording now began and ended, in
    // the capture clock: the click's or key's own times, or now.
    struct ToggleInput {
        uint32_t began;
        uint32_t ended;
        bool byClick;
    };
    ToggleInput toggleInput();
    void stop(const ToggleInput& input);

    Ui::MainWindow& form_;
    QWidget* owner_;
    platform::Platform& platform_;
    const FileDialogs& dialogs_;
    // Only asks for the cursor; it belongs to no run.
    PlainInjectionContext injection_;
    InputInjector injector_;
    ClosePrompt closePrompt_;
    Recorder& recorder_;
    const DesktopLimits& limits_;
    // True while a stopped recording waits for its file name: no other
    // recording starts meanwhile.
    bool awaitingSave_ = false;
    // The press on a recording switch whose release is being handled.
    std::optional<uint32_t> switchPressedAt_;
    std::optional<ToggleInput> switchClick_;
};
