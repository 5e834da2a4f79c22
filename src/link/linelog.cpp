#include "link/linelog.h"

#include "link/seriallink.h"

#include <QFileInfo>
#include <QSignalBlocker>

#include <utility>

namespace kr44 {

QByteArray lineLogBytes(QByteArrayView bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto u = uchar(c);
        if (c == '\r') {
            out += "<CR>";
        } else if (c == '\n') {
            out += "<LF>";
        } else if (u >= 0x20 && u < 0x7f && c != '<') {
            out += c;
        } else {
            out += "<0x";
            out += hex[u >> 4];
            out += hex[u & 0xf];
            out += '>';
        }
    }
    return out;
}

QByteArray lineLogEntry(const QDateTime &when, LineDirection direction, QByteArrayView bytes)
{
    return when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")).toLatin1()
            + (direction == LineDirection::ToUnit ? " -> " : " <- ") + lineLogBytes(bytes) + '\n';
}

LineLog::LineLog(QObject *parent) : QObject(parent), m_clock(&QDateTime::currentDateTime)
{
    m_flushTimer.setSingleShot(true);
    connect(&m_flushTimer, &QTimer::timeout, this, &LineLog::flush);
}

LineLog::~LineLog()
{
    const QSignalBlocker blocker(this);
    flush();
}

bool LineLog::setFile(const QString &path)
{
    flush();
    m_file.close();
    m_collected.clear();
    m_error.clear();
    m_file.setFileName(path);
    if (path.isEmpty())
        return true;
    // Unbuffered, so that a full disk shows at the write that meets it, not at some later one.
    // A device such as /dev/null has no end to seek to.
    const QFileInfo info(path);
    const auto append = info.exists() && !info.isFile() ? QIODevice::NotOpen : QIODevice::Append;
    if (m_file.open(QIODevice::WriteOnly | append | QIODevice::Unbuffered))
        return true;
    m_error = m_file.errorString();
    return false;
}

void LineLog::follow(const SerialLink *link)
{
    connect(link, &SerialLink::bytesWritten, this, &LineLog::sent);
    connect(link, &SerialLink::bytesRead, this, &LineLog::received);
}

void LineLog::add(LineDirection direction, QByteArrayView bytes)
{
    if (!m_file.isOpen() || bytes.isEmpty())
        return;
    m_collected += lineLogEntry(m_clock(), direction, bytes);
    // Written from the event loop, never inside the link's own call: whoever hears of a failure
    // may open a message box there.
    if (m_collected.size() > kMaxCollected)
        m_flushTimer.start(0);
    else if (!m_flushTimer.isActive())
        m_flushTimer.start(kFlushIntervalMs);
}

bool LineLog::flush()
{
    m_flushTimer.stop();
    if (!m_file.isOpen())
        return m_error.isEmpty();
    const QByteArray bytes = std::exchange(m_collected, QByteArray());
    if (bytes.isEmpty() || m_file.write(bytes) == bytes.size())
        return true;
    m_error = m_file.errorString();
    const QString name = m_file.fileName();
    m_file.close();
    Q_EMIT failed(tr("The line log %1 cannot be written (%2). Logging is switched off.")
                          .arg(name, m_error));
    return false;
}

} // namespace kr44
