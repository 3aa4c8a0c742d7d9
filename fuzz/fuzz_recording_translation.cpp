// Any recording buffer text turned into a replay script. A buffer in the
// recorder's own form (records of four whole numbers) must give a script
// that compiles.

#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>

#include "FuzzLua.h"
#include "input/KeyNames.h"
#include "recording/RecordingTranslation.h"

namespace {

// The recorder writes "time,message,value,value" records, each ended by ':'.
bool inRecorderForm(const QString& records) {
    static const QRegularExpression Record(QStringLiteral("^-?\\d+,-?\\d+,-?\\d+,-?\\d+$"));
    for (const QString& record : records.split(QLatin1Char(':'))) {
        if (record.size() < 3)
            continue;  // the translation skips these
        if (!Record.match(record).hasMatch())
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
