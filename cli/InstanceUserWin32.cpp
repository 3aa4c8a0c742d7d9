#include <QString>

#include "InstanceChannel.h"

namespace cli {

namespace {
const char UserVariable[] = "USERNAME";
const char NamePattern[] = "quillpress-%1";
}  // namespace

// Named pipes live per machine; the user's name keeps one window per user.
QString instanceName() { return QString::fromLatin1(NamePattern).arg(QString::fromLocal8Bit(qgetenv(UserVariable))); }

// The pipe is made with QLocalServer::UserAccessOption, whose access list
// admits this user alone: the system has refused everyone else already.
bool peerIsThisUser(qintptr) { return true; }

}  // namespace cli
