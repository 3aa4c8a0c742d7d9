// Any recording buffer text turned into a replay script. A buffer in the
// recorder's own form must give a script that compiles.

#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>

#include "FuzzChecks.h"
#include "input/KeyNames.h"
#include "platform/InputRecords.h"
#include "recording/RecordingTranslation.h"

namespace {

// The recorder writes "time,message,value[,value]" records of whole numbers,
// each ended by ':'; pointer positions and movements carry both values.
bool inRecorderForm(const QString& records) {
    static const QRegularExpression Record(QStringLiteral("^-?\\d+,(-?\\d+),-?\\d+(,-?\\d+)?\\z"));
    for (const QString& record : records.split(QLatin1Char(':'))) {
        if (record.size() < 3)
            continue;  // the translation skips these
        const QRegularExpressionMatch match = Record.match(record);
        if (!match.hasMatch())
            return false;
        const int message = match.captured(1).toInt();
        const bool pointer = message == platform::MsgMouseMove || message == platform::MsgInput;
        if (pointer && match.captured(2).isEmpty())
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    initKeyNames();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString records = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const QByteArray script = recordingToScript(records).toUtf8();
    if (!inRecorderForm(records))
        return 0;
    QByteArray error;
    if (!luaLoads(script, &error))
        fuzzFailure(("recorded records translate into Lua that does not compile: " + error).constData(),
                    script);
    return 0;
}
