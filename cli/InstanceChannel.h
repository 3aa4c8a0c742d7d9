#pragma once
// The channel through which a second start of the program reaches the
// window already running for the same user on the same display: a local
// socket of that user's alone, one request line and one answer line per
// connection.

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;
class QLocalSocket;

namespace cli {

// The requests, each the first word of its line; open takes an absolute path.
constexpr char OpenRequest[] = "open";
constexpr char ShowRequest[] = "show";
constexpr char ToggleRunRequest[] = "toggle-run";
constexpr char ToggleRecordRequest[] = "toggle-record";

// The socket's name for this user and display (per OS).
QString instanceName();
// Whether the process at the other end of the connected local socket
// descriptor belongs to this user (per OS).
bool peerIsThisUser(qintptr descriptor);

// The running window's end.
class InstanceServer : public QObject {
public:
    // What the window does about one request: refusal (empty when it
    // accepts) and the action, run once the answer is on its way.
    struct Answer {
        QString refusal;
        std::function<void()> action;
    };
    using Handler = std::function<Answer(const QString& request, const QString& argument)>;

    InstanceServer(Handler handler, QObject* parent);

    // Starts serving under instanceName(), taking over the socket a crashed
    // window left behind. False with the reason when another window serves
    // it or the socket cannot be made.
    bool listen(QString* error);

private:
    void accept();
    void serve(QLocalSocket* socket);

    Handler handler_;
    QLocalServer* server_;
};

// A start's end of the channel.
enum class Delivery { Done, NoWindow, Refused };
struct DeliveryResult {
    Delivery delivery = Delivery::NoWindow;
    QString reason;  // Refused: the window's reason; NoWindow: what failed, when not plain absence
};
// Sends one request (and its argument, when not empty) to the running window.
DeliveryResult sendToWindow(const QString& request, const QString& argument = QString());

}  // namespace cli
