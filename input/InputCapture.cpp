#include "InputCapture.h"

using namespace platform;

namespace {

// Virtual-key codes of the mouse buttons, which are the values of their records.
constexpr uint32_t LeftButtonCode = 1;
constexpr uint32_t RightButtonCode = 2;
constexpr uint32_t MiddleButtonCode = 4;
constexpr uint32_t X1ButtonCode = 5;
constexpr uint32_t X2ButtonCode = 6;

}  // namespace

CapturedRecord::Edge CapturedRecord::edge() const {
    switch (message) {
    case MsgKeyDown: case MsgSysKeyDown: case MsgLeftDown:
    case MsgRightDown: case MsgMiddleDown: case MsgXDown:
        return Press;
    case MsgKeyUp: case MsgSysKeyUp: case MsgLeftUp:
    case MsgRightUp: case MsgMiddleUp: case MsgXUp:
        return Release;
    default:
        return NoEdge;
    }
}

QString recordTime(int64_t elapsedMs) { return QString::number(static_cast<double>(elapsedMs), 'g', 6); }

QString CapturedRecord::text(int64_t elapsedMs) const {
    QString values = QString::number(value);
    if (movement) values += QLatin1Char(',') + QString::number(second);
    return recordTime(elapsedMs) + QLatin1Char(',') + QString::number(message) + QLatin1Char(',') + values +
           QLatin1Char(':');
}

std::optional<CapturedRecord> recordOfKey(const KeyEvent& event) {
    switch (event.message) {
    case MsgKeyDown:
    case MsgKeyUp:
    case MsgSysKeyDown:
    case MsgSysKeyUp:
        return CapturedRecord{event.time, event.message, event.virtualKey};
    default:
        return std::nullopt;
    }
}

std::optional<CapturedRecord> recordOfMouse(const MouseEvent& event) {
    if (event.message < MsgLeftDown || event.message > MsgXUp) return std::nullopt;
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
        else return std::nullopt;
        break;
    default:  // the double clicks
        return std::nullopt;
    }
    return CapturedRecord{event.time, event.message, value};
}

std::optional<CapturedRecord> recordOfMovement(const RawMovement& movement) {
    if (movement.lastX == 0 && movement.lastY == 0) return std::nullopt;
    return CapturedRecord{movement.time, MsgInput, movement.lastX, movement.lastY, true};
}
