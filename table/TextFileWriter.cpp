#include "TextFileWriter.h"

#include <QSaveFile>

namespace table {

bool writeTextFile(const QString& path, const QByteArray& text) {
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace table
