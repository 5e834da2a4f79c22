#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace kr44 {

// One running instance per user and instance name. The first program to take the lock file in the
// user's runtime folder is the primary: it listens on a local socket beside the lock that only
// the same user may connect to. Any later program is a secondary: it hands its message to the
// primary and ends.
//
// On the socket a secondary sends one frame: "KR44", protocol version 1, the message length as
// four bytes big-endian and the message. The primary answers one byte, 'A' when it accepted the
// message or 'R' when it refused it, and closes the connection.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    enum class SendResult {
        Accepted,
        Refused,
        // No primary took the message in time, or it vanished. If it had ended before listening,
        // this instance has become the primary (see isPrimaryInstance()).
        NoAnswer,
    };

    static constexpr qsizetype kMaxMessageSize = 64 * 1024;
    static constexpr int kDefaultTimeoutMs = 5000;
    // A connection that has not sent its whole frame by then is dropped.
    static constexpr int kConnectionTimeoutMs = 5000;

    // An empty `name` takes the environment variable KR44_INSTANCE_NAME, else "kr44". Characters
    // other than letters, digits, '.', '_' and '-' are replaced by '_'.
    explicit SingleInstance(const QString &name = {}, QObject *parent = nullptr);
    ~SingleInstance() override;

    [[nodiscard]] bool isPrimaryInstance() const { return m_primary; }
    [[nodiscard]] QString instanceName() const { return m_name; }
    [[nodiscard]] QString socketPath() const { return m_socketPath; }
    [[nodiscard]] QString lockFilePath() const { return m_lockPath; }
    // Why the primary does not listen (or why there is no runtime folder); empty when it does.
    [[nodiscard]] QString errorString() const { return m_error; }
    [[nodiscard]] bool isListening() const;
    // Connections whose frame has not fully arrived yet.
    [[nodiscard]] int pendingConnections() const { return int(m_pending.size()); }

    // Primary: decides which messages are accepted; refused ones are answered 'R' and not
    // signalled. Without a filter every message is accepted.
    void setMessageFilter(std::function<bool(const QByteArray &)> filter)
    {
        m_filter = std::move(filter);
    }
    // Primary: how long a connection may take to send its frame; kConnectionTimeoutMs unless set.
    void setConnectionTimeout(int timeoutMs) { m_connectionTimeoutMs = timeoutMs; }

    // Secondary: hands `message` to the primary and waits for its answer. This blocks for up to
    // `timeoutMs`, so call it before any window exists.
    SendResult sendMessage(const QByteArray &message, int timeoutMs = kDefaultTimeoutMs);

    // The frame a secondary sends for `message`.
    [[nodiscard]] static QByteArray frame(const QByteArray &message);

Q_SIGNALS:
    // Primary: an accepted message, delivered from the event loop after it was acknowledged.
    void messageReceived(const QByteArray &message);

private:
    void becomePrimary();
    void acceptConnections();
    void readFrom(QLocalSocket *socket);
    void answer(QLocalSocket *socket, char verdict);

    QString m_name;
    QString m_socketPath;
    QString m_lockPath;
    QString m_error;
    bool m_primary = false;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    QHash<QLocalSocket *, QByteArray> m_pending; // bytes read so far per connection
    std::function<bool(const QByteArray &)> m_filter;
    int m_connectionTimeoutMs = kConnectionTimeoutMs;
};

} // namespace kr44
