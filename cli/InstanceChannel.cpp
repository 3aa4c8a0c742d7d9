#include "InstanceChannel.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <cstdio>

namespace cli {

namespace {

// A window that is there answers at once; these only bound a hung one.
constexpr int ConnectTimeoutMs = 1000;
constexpr int AnswerTimeoutMs = 5000;
// No request is longer than a path; a longer line is dropped with its connection.
constexpr qint64 MaxRequestBytes = 64 * 1024;
const char Separator = '\t';
const char AcceptedAnswer[] = "ok";
const char RefusedAnswer[] = "refused";

QByteArray line(const QString& first, const QString& second) {
    QByteArray text = first.toUtf8();
    if (!second.isEmpty()) text += Separator + second.toUtf8();
    return text + '\n';
}

}  // namespace

InstanceServer::InstanceServer(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), server_(new QLocalServer(this)) {
    // Owner-only, on top of the peer check and the private folder.
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &InstanceServer::accept);
}

bool InstanceServer::listen(QString* error) {
    const QString name = instanceName();
    if (server_->listen(name)) return true;
    if (server_->serverError() == QAbstractSocket::AddressInUseError) {
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(ConnectTimeoutMs)) {
            *error = QStringLiteral("another window already answers at %1").arg(name);
            return false;
        }
        // Nobody answers: a window that crashed left its socket behind.
        QLocalServer::removeServer(name);
        if (server_->listen(name)) return true;
    }
    *error = QStringLiteral("cannot listen at %1: %2").arg(name, server_->errorString());
    return false;
}

void InstanceServer::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!peerIsThisUser(socket->socketDescriptor())) {
            std::fprintf(stderr, "quillpress: refused a connection from another user\n");
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { serve(socket); });
        if (socket->bytesAvailable() > 0) serve(socket);
    }
}

void InstanceServer::serve(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > MaxRequestBytes) socket->abort();
        return;
    }
    const QString request = QString::fromUtf8(socket->readLine()).chopped(1);
    const int separator = request.indexOf(QLatin1Char(Separator));
    const Answer answer = handler_(request.left(separator), separator < 0 ? QString() : request.mid(separator + 1));
    socket->write(answer.refusal.isEmpty() ? line(QLatin1String(AcceptedAnswer), QString())
                                           : line(QLatin1String(RefusedAnswer), answer.refusal));
    socket->disconnectFromServer();
    // After the answer: the action may open a message box and its own event loop.
    if (answer.refusal.isEmpty() && answer.action) QTimer::singleShot(0, this, answer.action);
}

DeliveryResult sendToWindow(const QString& request, const QString& argument) {
    DeliveryResult result;
    QLocalSocket socket;
    socket.connectToServer(instanceName());
    if (!socket.waitForConnected(ConnectTimeoutMs)) return result;
    socket.write(line(request, argument));
    if (!socket.waitForBytesWritten(AnswerTimeoutMs)) {
        result.reason = QStringLiteral("the window took no request: %1").arg(socket.errorString());
        return result;
    }
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(AnswerTimeoutMs)) {
            result.reason = QStringLiteral("the window gave no answer: %1").arg(socket.errorString());
            return result;
        }
    }
    const QString answer = QString::fromUtf8(socket.readLine()).chopped(1);
    if (answer == QLatin1String(AcceptedAnswer)) {
        result.delivery = Delivery::Done;
    } else {
        result.delivery = Delivery::Refused;
        result.reason = answer.mid(answer.indexOf(QLatin1Char(Separator)) + 1);
    }
    return result;
}

}  // namespace cli
