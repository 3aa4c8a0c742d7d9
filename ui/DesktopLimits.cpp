#include "DesktopLimits.h"

#include "WindowTexts.h"
#include "platform/Platform.h"

namespace {
// Where a desktop has no global hotkeys, its own key bindings can run the
// program's toggle commands instead.
constexpr char NoHotkeysNotice[] = QT_TRANSLATE_NOOP(
    "MainWindow",
    "Global hotkeys are not available on this desktop (%1): bind keys in the compositor to "
    "quillpress --toggle-run and quillpress --toggle-record");
}  // namespace

DesktopLimits DesktopLimits::of(platform::Platform& platform) {
    DesktopLimits limits;
    QStringList lines;
    const platform::Availability hotkeys = platform.availability(platform::Service::GlobalHotkeys);
    if (!hotkeys.available) {
        limits.hotkeys = false;
        lines << windowText(NoHotkeysNotice).arg(QString::fromStdString(hotkeys.reason));
    }
    const platform::Availability recording = platform.availability(platform::Service::Recording);
    if (!recording.available) {
        limits.recording = false;
        limits.recordingReason = QString::fromStdString(recording.reason);
        lines << limits.recordingReason;
    }
    const platform::Availability pointer =
        platform.availability(platform::Service::PointerPosition);
    if (!pointer.available) {
        limits.startPosition = false;
        limits.startPositionReason = QString::fromStdString(pointer.reason);
    }
    limits.notice = lines.join(QLatin1Char('\n'));
    return limits;
}
