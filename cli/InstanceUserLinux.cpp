#include <QDir>
#include <QFileInfo>
#include <sys/socket.h>
#include <unistd.h>

#include "InstanceChannel.h"

namespace cli {

namespace {
const char RuntimeFolderVariable[] = "XDG_RUNTIME_DIR";
const char DisplayVariable[] = "DISPLAY";
const char NamePattern[] = "%1/quillpress-%2-%3.socket";
}  // namespace

// One window per user and X display: a program on another display (a test's
// own server) never reaches this one's window.
QString instanceName() {
    QString folder = QString::fromLocal8Bit(qgetenv(RuntimeFolderVariable));
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::tempPath();
    QString display = QString::fromLocal8Bit(qgetenv(DisplayVariable));
    for (QChar& c : display)
        if (!c.isLetterOrNumber() && c != QLatin1Char('.')) c = QLatin1Char('_');
    return QString::fromLatin1(NamePattern).arg(folder).arg(getuid()).arg(display);
}

bool peerIsThisUser(qintptr descriptor) {
    ucred peer{};
    socklen_t size = sizeof peer;
    if (getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) return false;
    return peer.uid == getuid();
}

}  // namespace cli
