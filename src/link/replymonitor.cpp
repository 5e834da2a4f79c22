#include "link/replymonitor.h"

#include "link/seriallink.h"

namespace kr44 {

ReplyMonitor::ReplyMonitor(SerialLink *link, QObject *parent) : QObject(parent), m_link(link)
{
    m_timer.setInterval(kPeriodMs);
    connect(&m_timer, &QTimer::timeout, this, &ReplyMonitor::tick);
    m_settle.setSingleShot(true);
    connect(&m_settle, &QTimer::timeout, this, &ReplyMonitor::collect);
}

void ReplyMonitor::start()
{
    m_timer.start();
    m_pollPaused = false;
}

void ReplyMonitor::stop()
{
    m_timer.stop();
    m_settle.stop();
    m_settling = false;
}

void ReplyMonitor::pause() { m_pollPaused = true; }

void ReplyMonitor::resume() { m_pollPaused = false; }

void ReplyMonitor::setQuietGap(int ms)
{
    m_quietGapMs = ms;
    if (m_settle.isActive())
        m_settle.start(0);
}

void ReplyMonitor::tick()
{
    if (!m_settling) {
        m_settling = true;
        m_settleStarted.start();
        collect();
    }
    if (!m_statusShown) {
        m_statusShown = true;
        Q_EMIT statusMessage(m_link->statusText());
    }
}

void ReplyMonitor::collect()
{
    if (m_pollPaused || !m_link->isConnected() || !m_link->hasReceived()) {
        m_settling = false;
        if (!m_pollPaused && m_stream.isHolding())
            Q_EMIT replyText(m_stream.idle());
        return;
    }
    const qint64 quietFor = m_link->msSinceLastReceive();
    const qint64 waited = m_settleStarted.elapsed();
    const qint64 patience = m_quietGapMs + kPeriodMs;
    if (quietFor < m_quietGapMs && waited < patience) {
        m_settle.start(int(qMin<qint64>(m_quietGapMs - quietFor, patience - waited)));
        return;
    }
    m_settling = false;
    QByteArray text;
    if (!m_link->read(text))
        return;
    const QByteArray shown = m_stream.take(text);
    if (!shown.isEmpty())
        Q_EMIT replyText(shown);
}

} // namespace kr44
