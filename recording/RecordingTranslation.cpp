#include "RecordingTranslation.h"

#include <QFile>
#include <QStringList>

#include "input/KeyNames.h"
#include "platform/InputRecords.h"

using namespace platform;

namespace {

const char* const ScriptHeader[] = {
    "--This is the lua script created through recording.",
    "--If you want to learn what functions are available check out ReadMe.txt.",
    "local startTime = os.clock()",
    "local currentTime = os.clock()",
};

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
    for (const QString& record : records.split(QLatin1Char(':'))) {
        if (record.size() < 3) continue;
        const QStringList fields = record.split(QLatin1Char(','));
        const double seconds = fields.value(0).toDouble() / 1000.0;
        script += QStringLiteral("while(currentTime - startTime)<") + general6(seconds) +
                  QStringLiteral(" do\nMicroSleep(1)\ncurrentTime = os.clock()\nend\n");
        const QString event = eventLine(fields);
        if (!event.isEmpty()) script += event + QLatin1Char('\n');
    }
    return script;
}

bool writeRecordingScript(const QString& path, const QString& records) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) return false;
    return file.write(recordingToScript(records).toUtf8()) >= 0;
}
