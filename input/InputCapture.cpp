#include "InputCapture.h"

#include <chrono>

using namespace platform;

namespace {

int64_t steadyTicks() {
    // Monotonic, so that a clock change during a recording cannot skew its times.
    using Ticks = std::chrono::duration<int64_t, std::ratio<1, 10000000>>;
    return std::chrono::duration_cast<Ticks>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

int64_t (*captureClock)() = steadyTicks;

QString RecordingBuffer;
bool recordingActive = false;
bool ignoreMouseMovement = true;
int64_t recordingStart = steadyTicks();

namespace {

// Virtual-key codes of the mouse buttons, which are the values of their records.
constexpr uint32_t LeftButtonCode = 1;
constexpr uint32_t RightButtonCode = 2;
constexpr uint32_t MiddleButtonCode = 4;
constexpr uint32_t X1ButtonCode = 5;
constexpr uint32_t X2ButtonCode = 6;
constexpr int64_t TicksPerMillisecond = 10000;

void appendRecord(const QString& time, uint32_t message, const QString& values) {
    RecordingBuffer += time + QLatin1Char(',') + QString::number(message) + QLatin1Char(',') +
                       values + QLatin1Char(':');
}

}  // namespace

int64_t captureTicks() { return captureClock(); }

QString recordTime() {
    const int64_t ms = (captureTicks() - recordingStart) / TicksPerMillisecond;
    return QString::number(static_cast<double>(ms), 'g', 6);
}

int keyboardHookProc(int code, const KeyEvent& event) {
    if (!recordingActive) return 0;
    const QString time = recordTime();
    if (code != 0) return 0;
    switch (event.message) {
    case MsgKeyDown:
    case MsgKeyUp:
    case MsgSysKeyDown:
    case MsgSysKeyUp:
        appendRecord(time, event.message, QString::number(event.virtualKey));
        break;
    default:
        break;
    }
    return 0;
}

int mouseHookProc(int code, const MouseEvent& event) {
    if (!recordingActive) return 0;
    const QString time = recordTime();
    if (code != 0 || event.message < MsgLeftDown || event.message > MsgXUp) return 0;
    const uint32_t highWord = event.mouseData >> 16;
    uint32_t value;
    switch (event.message) {
    case MsgLeftDown:
    case MsgLeftUp:
        value = LeftButtonCode;
        break;
    case MsgRightDown:
    case MsgRightUp:
        value = RightButtonCode;
        break;
    case MsgMiddleDown:
    case MsgMiddleUp:
        value = MiddleButtonCode;
        break;
    case MsgMouseWheel:
        value = highWord;  // the delta as an unsigned 16-bit number
        break;
    case MsgXDown:
    case MsgXUp:
        if (highWord == XButton1) value = X1ButtonCode;
        else if (highWord == XButton2) value = X2ButtonCode;
        else return 0;
        break;
    default:  // the double clicks
        return 0;
    }
    appendRecord(time, event.message, QString::number(value));
    return 0;
}

void recordRawMovement(const RawMovement& movement) {
    const QString time = recordTime();
    if (movement.lastX == 0 && movement.lastY == 0) return;
    appendRecord(time, MsgInput,
                 QString::number(movement.lastX) + QLatin1Char(',') + QString::number(movement.lastY));
}
