#include "app/desktop/singleinstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>

#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

namespace kr44 {

namespace {

constexpr char kMagic[4] = {'K', 'R', '4', '4'};
constexpr char kVersion = 1;
constexpr qsizetype kHeaderSize = 4 + 1 + 4;
constexpr char kAccepted = 'A';
constexpr char kRefused = 'R';
constexpr int kMaxConnections = 32;

QString cleanName(const QString &name)
{
    QString out = name.left(64);
    for (QChar &c : out) {
        const bool allowed = (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
                || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
                || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.')
                || c == QLatin1Char('_') || c == QLatin1Char('-');
        if (!allowed)
            c = QLatin1Char('_');
    }
    return out;
}

// The socket file is the owner's alone already; this also refuses a peer that got a descriptor
// some other way, or a socket whose file mode was loosened.
bool peerIsOwnUser(const QLocalSocket *socket)
{
    const qintptr fd = socket->socketDescriptor();
    if (fd < 0)
        return false;
    ucred credentials {};
    socklen_t size = sizeof credentials;
    if (getsockopt(int(fd), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0
        || size != sizeof credentials)
        return false;
    return credentials.uid == geteuid();
}

} // namespace

SingleInstance::SingleInstance(const QString &name, QObject *parent) : QObject(parent)
{
    QString wanted = name;
    if (wanted.isEmpty())
        wanted = qEnvironmentVariable("KR44_INSTANCE_NAME");
    if (wanted.isEmpty())
        wanted = QStringLiteral("kr44");
    m_name = cleanName(wanted);

    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty()) {
        // Nowhere private to meet: run alone rather than in a shared folder.
        m_error = tr("no runtime folder for this user");
        m_primary = true;
        return;
    }
    m_socketPath = runtime + QLatin1Char('/') + m_name + QStringLiteral(".socket");
    m_lockPath = runtime + QLatin1Char('/') + m_name + QStringLiteral(".lock");

    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // A lock is stale only when its process is gone, however long a primary has been running.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        becomePrimary();
}

SingleInstance::~SingleInstance()
{
    // Close the server before the lock goes, so that the next primary never finds a live socket.
    if (m_server) {
        for (QLocalSocket *socket : m_server->findChildren<QLocalSocket *>())
            socket->disconnect(this);
    }
    delete m_server;
    m_server = nullptr;
    if (m_lock && m_primary)
        m_lock->unlock();
}

bool SingleInstance::isListening() const { return m_server && m_server->isListening(); }

void SingleInstance::becomePrimary()
{
    m_primary = true;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->setMaxPendingConnections(kMaxConnections);
    // Holding the lock means no other primary lives: a socket file left here is a crashed run's.
    QLocalServer::removeServer(m_socketPath);
    if (!m_server->listen(m_socketPath)) {
        m_error = m_server->errorString();
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        if (!peerIsOwnUser(socket) || m_pending.size() >= kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_pending.insert(socket, {});
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            m_pending.remove(socket);
            socket->deleteLater();
        });
        auto *timer = new QTimer(socket);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, [this, socket] {
            m_pending.remove(socket);
            socket->abort();
            socket->deleteLater();
        });
        timer->start(m_connectionTimeoutMs);
        // Bytes may have arrived before the readyRead connection existed.
        if (socket->bytesAvailable() > 0)
            readFrom(socket);
    }
}

void SingleInstance::readFrom(QLocalSocket *socket)
{
    auto it = m_pending.find(socket);
    if (it == m_pending.end())
        return;
    QByteArray &buffer = it.value();
    // Never read beyond one frame: a peer cannot make the buffer grow past the limit.
    const qsizetype room = kHeaderSize + kMaxMessageSize - buffer.size();
    buffer.append(socket->read(room));
    if (buffer.size() < kHeaderSize) {
        // The magic can be judged before the rest has come.
        if (!QByteArrayView(kMagic, 4).startsWith(
                    QByteArrayView(buffer).first(qMin<qsizetype>(buffer.size(), 4))))
            answer(socket, kRefused);
        return;
    }
    if (QByteArrayView(buffer).first(4) != QByteArrayView(kMagic, 4) || buffer.at(4) != kVersion) {
        answer(socket, kRefused);
        return;
    }
    const quint32 length = qFromBigEndian<quint32>(buffer.constData() + 5);
    if (length > quint32(kMaxMessageSize)) {
        answer(socket, kRefused);
        return;
    }
    if (buffer.size() < kHeaderSize + qsizetype(length))
        return;
    const QByteArray message = buffer.mid(kHeaderSize, length);
    const bool accepted = !m_filter || m_filter(message);
    answer(socket, accepted ? kAccepted : kRefused);
    if (accepted) {
        // From the event loop: the handler may open windows or run a modal loop, and the
        // secondary should have its answer before that.
        QMetaObject::invokeMethod(
                this, [this, message] { Q_EMIT messageReceived(message); }, Qt::QueuedConnection);
    }
}

void SingleInstance::answer(QLocalSocket *socket, char verdict)
{
    m_pending.remove(socket);
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    socket->write(&verdict, 1);
    socket->disconnectFromServer();
}

QByteArray SingleInstance::frame(const QByteArray &message)
{
    QByteArray out(kMagic, 4);
    out.append(kVersion);
    char length[4];
    qToBigEndian<quint32>(quint32(message.size()), length);
    out.append(length, 4);
    out.append(message);
    return out;
}

SingleInstance::SendResult SingleInstance::sendMessage(const QByteArray &message, int timeoutMs)
{
    if (m_primary || m_socketPath.isEmpty() || message.size() > kMaxMessageSize)
        return SendResult::NoAnswer;
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(int(deadline.remainingTime())))
            break;
        socket.abort();
        if (deadline.hasExpired())
            return SendResult::NoAnswer;
        // The primary holds the lock but may not listen yet. Waiting on the lock rather than
        // sleeping also notices a primary that ended before it ever listened.
        if (m_lock->tryLock(int(qMin<qint64>(50, deadline.remainingTime())))) {
            becomePrimary();
            return SendResult::NoAnswer;
        }
    }
    socket.write(frame(message));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
            return SendResult::NoAnswer;
    }
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            return SendResult::NoAnswer;
    }
    char verdict = 0;
    socket.getChar(&verdict);
    return verdict == kAccepted ? SendResult::Accepted : SendResult::Refused;
}

} // namespace kr44
