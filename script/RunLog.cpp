#include "RunLog.h"

#include <QIODevice>
#include <algorithm>

namespace {
const char SpillFailedText[] = "-- The log could not be moved to a temporary file (%1); it is kept in memory.\n";
const char SpillLostText[] = "-- Part of the log was lost reading its temporary file (%1).\n";
constexpr qint64 CharBytes = sizeof(QChar);
}  // namespace

RunLog::~RunLog() { std::lock_guard<std::mutex> lock(mutex); }

void RunLog::append(const QString& text) {
    std::lock_guard<std::mutex> lock(mutex);
    if (sealed_) return;
    // Copied, not shared: the caller's string is released on its own thread
    // without the lock, and sharing it would race with the window's changes.
    memory.append(text.constData(), text.size());
    if (memory.size() > PendingLogLimit && !spillFailed) spill();
}

void RunLog::spill() {
    // Writing under the lock keeps the file's text ahead of memory's; the
    // window waits at most for one write of PendingLogLimit characters.
    const bool ready = spillFile.isOpen() || spillFile.open();
    const qint64 bytes = memory.size() * CharBytes;
    if (ready && spillFile.seek(spillEnd) &&
        spillFile.write(reinterpret_cast<const char*>(memory.constData()), bytes) == bytes) {
        spillEnd += bytes;
        memory.clear();
        return;
    }
    spillFailed = true;
    memory += QString::fromLatin1(SpillFailedText).arg(spillFile.errorString());
}

QString RunLog::take(int maxChars) {
    std::lock_guard<std::mutex> lock(mutex);
    if (spillRead == spillEnd) {
        if (memory.size() <= maxChars) {
            QString all;
            all.swap(memory);
            return all;
        }
        QString part = memory.left(maxChars);
        // A surrogate pair stays in one piece.
        if (part.size() > 1 && part.at(part.size() - 1).isHighSurrogate()) part.chop(1);
        memory.remove(0, part.size());
        return part;
    }
    qint64 chars = std::min<qint64>(maxChars, (spillEnd - spillRead) / CharBytes);
    QString part(static_cast<int>(chars), Qt::Uninitialized);
    if (!spillFile.seek(spillRead) ||
        spillFile.read(reinterpret_cast<char*>(part.data()), chars * CharBytes) != chars * CharBytes) {
        // The file's text is lost; what follows is still shown.
        spillRead = spillEnd = 0;
        return QString::fromLatin1(SpillLostText).arg(spillFile.errorString());
    }
    if (chars > 1 && part.at(part.size() - 1).isHighSurrogate() && spillRead + chars * CharBytes < spillEnd) {
        part.chop(1);
        --chars;
    }
    spillRead += chars * CharBytes;
    // Emptied: the file is written from its start again.
    if (spillRead == spillEnd) spillRead = spillEnd = 0;
    return part;
}

bool RunLog::pending() const {
    std::lock_guard<std::mutex> lock(mutex);
    return spillRead != spillEnd || !memory.isEmpty();
}

void RunLog::seal(const QString& lastText) {
    std::lock_guard<std::mutex> lock(mutex);
    if (sealed_) return;
    memory.append(lastText.constData(), lastText.size());
    sealed_ = true;
}

bool RunLog::sealed() const {
    std::lock_guard<std::mutex> lock(mutex);
    return sealed_;
}
