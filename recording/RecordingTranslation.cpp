#include "RecordingTranslation.h"

#include <QStringList>

#include "input/KeyNames.h"
#include "platform/InputRecords.h"
#include "table/TextFileWriter.h"

using namespace platform;

namespace {

// The wait sleeps once for what is left until the event's time: a stop
// cuts it short, and it costs no processor time while it waits.
const char* const ScriptHeader[] = {
    "--This is the lua script created through recording.",
    "--If you want to learn what functions are available check out ReadMe.txt.",
    "local startTime = os.clock()",
    "local function waitUntil(seconds)",
    "local left = seconds - (os.clock() - startTime)",
    "if left > 0 then MilliSleep(left * 1000) end",
    "end",
};
const char ReleaseAtEndComment[] = "--Release what was still held when the recording stopped.";

// The start position and movement records carry these message numbers.
constexpr int StartPositionMessage = MsgMouseMove;
constexpr int MovementMessage = MsgInput;

enum class Edge { None, Press, Release };

Edge edgeOf(int message) {
    switch (message) {
    case MsgKeyDown: case MsgSysKeyDown: case MsgLeftDown:
    case MsgRightDown: case MsgMiddleDown: case MsgXDown:
        return Edge::Press;
    case MsgKeyUp: case MsgSysKeyUp: case MsgLeftUp:
    case MsgRightUp: case MsgMiddleUp: case MsgXUp:
        return Edge::Release;
    default:
        return Edge::None;
    }
}

bool isMouseCode(const QString& code) {
    static const QStringList MouseCodes = {"1", "2", "4", "5", "6"};
    return MouseCodes.contains(code);
}

QString general6(double value) { return QString::number(value, 'g', 6); }

QString keyLine(Edge edge, const QString& code) {
    const bool press = edge == Edge::Press;
    const QString name = QString::fromStdString(keyNameFromCode(static_cast<uint16_t>(code.toInt())));
    if (!name.isEmpty() && isMouseCode(code))
        return QString(press ? "PressMouseButton(\"%1\")" : "ReleaseMouseButton(\"%1\")").arg(name);
    if (!name.isEmpty()) {
        const QString quoted = name == QLatin1String("\\") ? QStringLiteral("\\\\") : name;
        return QString(press ? "PressKey(\"%1\")" : "ReleaseKey(\"%1\")").arg(quoted);
    }
    if (isMouseCode(code))
        return QString(press ? "PressMouseButtonVK(%1)" : "ReleaseMouseButtonVK(%1)").arg(code);
    return QString(press ? "PressKeyVK(%1)" : "ReleaseKeyVK(%1)").arg(code);
}

// Keys and buttons pressed and not yet released, in the order they went down.
class HeldInputs {
public:
    void follow(const QStringList& fields) {
        const Edge edge = edgeOf(fields.value(1).toInt());
        const QString code = fields.value(2);
        if (edge == Edge::Press && !held_.contains(code)) held_.append(code);
        if (edge == Edge::Release) held_.removeAll(code);
    }
    // Releases of everything still held, the last pressed first.
    QString releaseLines() const {
        if (held_.isEmpty()) return QString();
        QString lines = QLatin1String(ReleaseAtEndComment) + QLatin1Char('\n');
        for (auto code = held_.crbegin(); code != held_.crend(); ++code)
            lines += keyLine(Edge::Release, *code) + QLatin1Char('\n');
        return lines;
    }

private:
    QStringList held_;
};

QString eventLine(const QStringList& fields) {
    const int message = fields.value(1).toInt();
    const Edge edge = edgeOf(message);
    if (edge != Edge::None) return keyLine(edge, fields.value(2));
    if (message == StartPositionMessage)
        return QStringLiteral("SetMousePosition(%1,%2)").arg(fields.value(2), fields.value(3));
    if (message == MovementMessage)
        return QStringLiteral("ChangeMousePosition(%1,%2)").arg(fields.value(2), fields.value(3));
    if (message == MsgMouseWheel) {
        const auto delta = static_cast<int16_t>(fields.value(2).toInt());
        return QStringLiteral("MouseWheel(%1)").arg(general6(delta / double(WheelDelta)));
    }
    return QString();
}

}  // namespace

QString recordingToScript(const QString& records) {
    QString script;
    for (const char* line : ScriptHeader) script += QLatin1String(line) + QLatin1Char('\n');
    HeldInputs held;
    for (const QString& record : records.split(QLatin1Char(':'))) {
        if (record.size() < 3) continue;
        const QStringList fields = record.split(QLatin1Char(','));
        const double seconds = fields.value(0).toDouble() / 1000.0;
        script += QStringLiteral("waitUntil(") + general6(seconds) + QStringLiteral(")\n");
        const QString event = eventLine(fields);
        if (!event.isEmpty()) script += event + QLatin1Char('\n');
        held.follow(fields);
    }
    // A replay never leaves a key or button down.
    return script + held.releaseLines();
}

bool writeRecordingScript(const QString& path, const QString& records) {
    return table::writeTextFile(path, recordingToScript(records).toUtf8());
}
