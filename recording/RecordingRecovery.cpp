#include "RecordingRecovery.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include "RecordingTranslation.h"

namespace {

const char StateHomeVariable[] = "XDG_STATE_HOME";
const char DefaultStateHome[] = ".local/state";
const char ProgramFolder[] = "quillpress";
const char FileNamePattern[] = "recording-%1%2.lua";
const char StampFormat[] = "yyyyMMdd-HHmmss";

}  // namespace

// Qt 5 has no standard location for state; this is the XDG rule.
QString recordingRecoveryFolder() {
    QString home = qEnvironmentVariable(StateHomeVariable);
    if (home.isEmpty() || QDir::isRelativePath(home)) home = QDir::home().filePath(QLatin1String(DefaultStateHome));
    return QDir(home).filePath(QLatin1String(ProgramFolder));
}

QString writeRecoveryScript(const QString& records, QString* error) {
    const QString folder = recordingRecoveryFolder();
    if (!QDir().mkpath(folder)) {
        if (error) *error = QStringLiteral("cannot create the folder %1").arg(folder);
        return QString();
    }
    const QString stamp = QDateTime::currentDateTime().toString(QLatin1String(StampFormat));
    QString path = QDir(folder).filePath(QString::fromLatin1(FileNamePattern).arg(stamp, QString()));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(folder).filePath(QString::fromLatin1(FileNamePattern).arg(stamp, QStringLiteral("-%1").arg(n)));
    if (!writeRecordingScript(path, records)) {
        if (error) *error = QStringLiteral("cannot write %1").arg(path);
        return QString();
    }
    return path;
}
