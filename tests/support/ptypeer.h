#pragma once

#include <QByteArray>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <QString>
#include <QTest>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

// The unit's end of a pseudo-terminal. The link opens path(); the test writes the unit's
// replies with send() and reads what the link wrote with the read functions, which run the
// event loop while they wait.
//
// The peer keeps a descriptor of the port side open itself, so the link closing its port does
// not hang the line up; closeMaster() does, as a unit's cable being pulled would.
class PtyPeer
{
public:
    PtyPeer()
    {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            return;
        m_path = QString::fromLocal8Bit(name);
        termios t{};
        ::tcgetattr(m_slave, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(m_slave, TCSANOW, &t);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPeer()
    {
        closeMaster();
        if (m_slave >= 0)
            ::close(m_slave);
    }
    PtyPeer(const PtyPeer &) = delete;
    PtyPeer &operator=(const PtyPeer &) = delete;

    [[nodiscard]] bool isValid() const { return m_master >= 0 && !m_path.isEmpty(); }
    [[nodiscard]] QString path() const { return m_path; }

    bool send(const QByteArray &bytes)
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            done += n;
        }
        return true;
    }

    // What has arrived so far, without waiting.
    QByteArray readAvailable()
    {
        QByteArray out;
        char buf[4096];
        for (;;) {
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n > 0) {
                out.append(buf, n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            break;
        }
        return out;
    }

    // Everything the link writes until `count` bytes have come (or the time is up).
    QByteArray read(qsizetype count, int timeoutMs = 10000)
    {
        return collect([count](const QByteArray &got) { return got.size() >= count; }, timeoutMs);
    }

    // Everything the link writes until the bytes end with `tail` (or the time is up).
    QByteArray readUntilEndsWith(const QByteArray &tail, int timeoutMs = 10000)
    {
        return collect([&tail](const QByteArray &got) { return got.endsWith(tail); }, timeoutMs);
    }

    void closeMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    // Runs the event loop until `done` holds for what has been read. It wakes on the master's
    // readability rather than polling, so the link under test runs at full speed meanwhile.
    template<typename Done>
    QByteArray collect(Done done, int timeoutMs)
    {
        QByteArray got = readAvailable();
        if (done(got) || m_master < 0)
            return got;
        QEventLoop loop;
        QSocketNotifier notifier(qintptr(m_master), QSocketNotifier::Read);
        QObject::connect(&notifier, &QSocketNotifier::activated, &loop, [&] {
            got += readAvailable();
            if (done(got))
                loop.quit();
        });
        QTimer timeout;
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
        timeout.start(timeoutMs);
        loop.exec();
        return got;
    }

    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};
