#include "platform/instance_handover.h"

#include "platform/path_text.h"
#include "platform/single_instance.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QWidget>

#include <limits>

namespace platform {
namespace {

// What the late copy says and what the running copy answers. Anything else on the socket is
// dropped without effect.
constexpr char kHello[] = "turnwise activate 1\n";
constexpr char kAcknowledgement[] = "ok\n";
constexpr qint64 kHelloSize = sizeof(kHello) - 1;
constexpr qint64 kAcknowledgementSize = sizeof(kAcknowledgement) - 1;

const QString kSocketPrefix = QStringLiteral("handover-");
const QString kSocketSuffix = QStringLiteral(".socket");

// 128 bits of the title's hash: names of a fixed, short length whatever the title, which
// matters because a socket path may hold only 107 bytes.
constexpr int kHashDigits = 32;

// A connection that has not said its hello by then is dropped, so a stuck client never
// keeps a connection open for the life of the program.
constexpr std::chrono::milliseconds kHelloLimit(5000);

// How long Listen waits for an answer on an existing socket before it counts as stale. A
// copy that is alive answers the connection from the kernel, even while it is busy.
constexpr std::chrono::milliseconds kProbeLimit(1000);

int RemainingMilliseconds(const QDeadlineTimer& deadline)
{
    return static_cast<int>(qMin<qint64>(deadline.remainingTime(), std::numeric_limits<int>::max()));
}

// True when something accepts connections at `path`.
bool SomeoneListens(const QString& path)
{
    QLocalSocket probe;
    probe.connectToServer(path);
    const bool answered = probe.waitForConnected(static_cast<int>(kProbeLimit.count()));
    probe.abort();
    return answered;
}

} // namespace

QString HandoverSocketPath(const QString& title, const QString& folder)
{
    if (folder.isEmpty())
        return {};
    QString path = folder;
    if (!path.endsWith(kPathSeparator))
        path += kPathSeparator;
    const QByteArray hash = QCryptographicHash::hash(title.toUtf8(), QCryptographicHash::Sha256).toHex();
    return path + kSocketPrefix + QString::fromLatin1(hash.left(kHashDigits)) + kSocketSuffix;
}

InstanceHandoverServer::InstanceHandoverServer(QObject* parent) : QObject(parent), m_server(new QLocalServer(this))
{
    connect(m_server, &QLocalServer::newConnection, this, &InstanceHandoverServer::AcceptPending);
}

InstanceHandoverServer::~InstanceHandoverServer() = default;

bool InstanceHandoverServer::Listen(const QString& title)
{
    return Listen(title, SingleInstanceFolder());
}

bool InstanceHandoverServer::Listen(const QString& title, const QString& folder)
{
    m_server->close();
    const QString path = HandoverSocketPath(title, folder);
    if (path.isEmpty())
        return false;
    if (m_server->listen(path))
        return true;
    if (m_server->serverError() != QAbstractSocket::AddressInUseError || SomeoneListens(path))
        return false;
    // The socket file outlived its copy: nothing answers on it.
    QLocalServer::removeServer(path);
    return m_server->listen(path);
}

bool InstanceHandoverServer::IsListening() const
{
    return m_server->isListening();
}

QString InstanceHandoverServer::SocketPath() const
{
    return m_server->isListening() ? m_server->fullServerName() : QString();
}

void InstanceHandoverServer::AcceptPending()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadHello(socket); });
        QTimer::singleShot(kHelloLimit, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        ReadHello(socket);
    }
}

void InstanceHandoverServer::ReadHello(QLocalSocket* socket)
{
    const qint64 available = socket->bytesAvailable();
    const QByteArray seen = socket->peek(qMin(available, kHelloSize));
    if (!QByteArray::fromRawData(kHello, kHelloSize).startsWith(seen)) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    if (seen.size() < kHelloSize)
        return; // the rest is still on its way
    socket->read(kHelloSize);
    // The socket is finished with before anyone is told, so whatever the receivers do with
    // this object, nothing here touches the socket afterwards.
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    socket->write(kAcknowledgement, kAcknowledgementSize);
    socket->disconnectFromServer(); // closes once the acknowledgement is sent
    Q_EMIT ActivationRequested();
}

bool AskRunningInstanceToActivate(const QString& title, std::chrono::milliseconds timeout)
{
    return AskRunningInstanceToActivate(title, SingleInstanceFolder(), timeout);
}

bool AskRunningInstanceToActivate(const QString& title, const QString& folder, std::chrono::milliseconds timeout)
{
    const QString path = HandoverSocketPath(title, folder);
    if (path.isEmpty())
        return false;
    const QDeadlineTimer deadline(timeout);
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(RemainingMilliseconds(deadline)))
        return false;
    socket.write(kHello, kHelloSize);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(RemainingMilliseconds(deadline)))
            return false;
    }
    QByteArray answer;
    while (answer.size() < kAcknowledgementSize) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(RemainingMilliseconds(deadline)))
            return false;
        answer += socket.read(kAcknowledgementSize - answer.size());
    }
    return answer == QByteArray::fromRawData(kAcknowledgement, kAcknowledgementSize);
}

void RaiseAndActivate(QWidget* window)
{
    if (!window)
        return;
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace platform
