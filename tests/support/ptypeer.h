#pragma once

#include <QByteArray>
#include <QString>
#include <QTest>

#include <fcntl.h>
#include <functional>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

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
        termios t = settings();
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
    // The line settings of the port side as whoever opened it last left them.
    [[nodiscard]] termios settings() const
    {
        termios t {};
        ::tcgetattr(m_slave, &t);
        return t;
    }

    bool send(const QByteArray &bytes)
    {
        return ::write(m_master, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

    // What has arrived so far, without waiting.
    QByteArray readAvailable()
    {
        QByteArray out;
        char buf[4096];
        ssize_t n;
        while ((n = ::read(m_master, buf, sizeof buf)) > 0)
            out.append(buf, n);
        return out;
    }

    // Everything the link writes until `done` holds for it (or 10 s have passed).
    QByteArray readUntil(const std::function<bool(const QByteArray &)> &done)
    {
        QByteArray got;
        (void)QTest::qWaitFor([&] { return done(got += readAvailable()) || m_master < 0; }, 10000);
        return got;
    }
    QByteArray read(qsizetype count)
    {
        return readUntil([count](const QByteArray &got) { return got.size() >= count; });
    }
    QByteArray readUntilEndsWith(const QByteArray &tail)
    {
        return readUntil([&tail](const QByteArray &got) { return got.endsWith(tail); });
    }

    void closeMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};
