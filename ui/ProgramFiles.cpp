#include "ProgramFiles.h"

#include <QDir>
#include <QFileInfo>

// The build passes where it installs these files (relative to the program's
// folder) and where they lie in the source tree, so that both stay in one place.
namespace {

const char ReferenceFileName[] = "ReadMe.txt";

QStringList folders(const QString& programFolder, const char* fromProgram, const char* inSources) {
    return {QDir::cleanPath(programFolder + QLatin1Char('/') + QLatin1String(fromProgram)),
            QLatin1String(inSources)};
}

QString firstExisting(const QStringList& searched, const QString& fileName) {
    for (const QString& folder : searched) {
        const QString path = folder + QLatin1Char('/') + fileName;
        if (QFileInfo(path).isFile()) return path;
    }
    return QString();
}

}  // namespace

namespace programFiles {

QString applicationId() { return QStringLiteral(QP_APPLICATION_ID); }

QStringList referenceFolders(const QString& programFolder) {
    return folders(programFolder, QP_DOC_FROM_PROGRAM, QP_DOC_IN_SOURCES);
}

QString findReference(const QString& programFolder) {
    return firstExisting(referenceFolders(programFolder), QLatin1String(ReferenceFileName));
}

QString findIcon(const QString& programFolder) {
    return firstExisting(folders(programFolder, QP_ICON_FROM_PROGRAM, QP_ICON_IN_SOURCES),
                         applicationId() + QLatin1String(".png"));
}

}  // namespace programFiles
