#include "sim/ptyunit.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <pty.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace kr44 {

PtyUnit::PtyUnit(const UnitConfig &config, QObject *parent) : QObject(parent), m_unit(config)
{
    m_tick.setInterval(kTickMs);
    connect(&m_tick, &QTimer::timeout, this, &PtyUnit::catchUp);
    m_clock.monotonic.start();
}

PtyUnit::~PtyUnit() { close(); }

bool PtyUnit::open()
{
    if (isOpen())
        return true;
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        m_errorString = tr("Cannot create a pseudo-terminal: %1").arg(qt_error_string(errno));
        return false;
    }
    char name[128] = {};
    if (::ptsname_r(master, name, sizeof name) != 0) {
        m_errorString = tr("Cannot name the pseudo-terminal: %1").arg(qt_error_string(errno));
        ::close(master);
        ::close(slave);
        return false;
    }
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    // Raw from the start: a cooked terminal would turn the unit's CR into LF on the way to the
    // reader and echo what the application sends back to it.
    termios tio {};
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    // The terminal side stays open here as well: with no terminal side open at all, reads on the
    // master fail with EIO until someone opens it again, which would spin the notifier.
    m_master = master;
    m_slave = slave;
    m_devicePath = QString::fromLocal8Bit(name);
    m_errorString.clear();

    m_readNotifier = new QSocketNotifier(qintptr(master), QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyUnit::readMaster);
    m_writeNotifier = new QSocketNotifier(qintptr(master), QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyUnit::flushOutput);
    return true;
}

void PtyUnit::close()
{
    m_tick.stop();
    delete m_readNotifier;
    m_readNotifier = nullptr;
    delete m_writeNotifier;
    m_writeNotifier = nullptr;
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = m_slave = -1;
    m_devicePath.clear();
    m_pending.clear();
}

void PtyUnit::setTimeScale(double scale)
{
    if (!(scale > 0))
        return;
    catchUp();
    markNow();
    m_timeScale = scale;
    m_tick.setInterval(std::isinf(scale) ? 0 : kTickMs);
}

void PtyUnit::setClock(std::function<qint64()> nanoseconds)
{
    catchUp();
    m_clock.nanoseconds = std::move(nanoseconds);
    markNow();
}

void PtyUnit::markNow()
{
    m_simAtMarkUs = m_unit.nowUs();
    m_markNs = m_clock.nsecsElapsed();
}

void PtyUnit::pause()
{
    catchUp();
    m_unit.pause();
    updateTimer();
    Q_EMIT stateChanged();
}

void PtyUnit::resume()
{
    // Time stood still while the program was paused: it goes on from here.
    markNow();
    m_unit.resume();
    catchUp();
}

void PtyUnit::step()
{
    markNow();
    m_unit.step();
    catchUp();
}

void PtyUnit::setBreakCheck(std::function<bool(int line)> check)
{
    m_unit.setBreakCheck(std::move(check));
}

void PtyUnit::setInstructionHook(std::function<void(int line)> hook)
{
    m_unit.setInstructionHook(std::move(hook));
}

void PtyUnit::setInput(int input, bool high)
{
    catchUp();
    send(m_unit.setInput(input, high));
    updateTimer();
    Q_EMIT stateChanged();
}

qint64 PtyUnit::simulatedNowUs() const
{
    const double realUs = double(m_clock.nsecsElapsed() - m_markNs) / 1000.0;
    return m_simAtMarkUs + qint64(realUs * m_timeScale);
}

void PtyUnit::catchUp()
{
    if (std::isinf(m_timeScale)) {
        runFlatOut();
    } else if (!m_unit.isPaused()) {
        const qint64 dt = simulatedNowUs() - m_unit.nowUs();
        if (dt > 0)
            send(m_unit.advance(dt));
    }
    updateTimer();
    Q_EMIT stateChanged();
}

void PtyUnit::runFlatOut()
{
    // Each tick runs as much simulated time as fits in a few milliseconds of work, so that the
    // event loop still turns between ticks: the chunk halves after a slow tick and doubles
    // after a quick one.
    constexpr qint64 kBudgetNs = 8'000'000;
    const qint64 startNs = m_clock.nsecsElapsed();
    if (m_unit.isBusy() && !m_unit.isPaused())
        send(m_unit.advance(m_flatOutChunkUs));
    const qint64 spentNs = m_clock.nsecsElapsed() - startNs;
    if (spentNs > kBudgetNs)
        m_flatOutChunkUs = std::max<qint64>(1000, m_flatOutChunkUs / 2);
    else if (spentNs < kBudgetNs / 4)
        m_flatOutChunkUs = std::min<qint64>(3'600'000'000, m_flatOutChunkUs * 2);
}

void PtyUnit::readMaster()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            const QByteArray bytes(buffer, qsizetype(n));
            // Time passes up to the arrival before the unit looks at the bytes.
            catchUp();
            Q_EMIT bytesReceived(bytes);
            send(m_unit.receive(bytes));
            updateTimer();
            Q_EMIT stateChanged();
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        m_errorString = tr("Reading the pseudo-terminal failed: %1").arg(qt_error_string(errno));
        m_readNotifier->setEnabled(false);
        return;
    }
}

void PtyUnit::send(const QByteArray &bytes)
{
    if (bytes.isEmpty() || !isOpen())
        return;
    Q_EMIT bytesSent(bytes);
    const qsizetype room = kMaxPendingOutput - m_pending.size();
    m_pending.append(bytes.first(std::min(room, bytes.size())));
    flushOutput();
}

void PtyUnit::flushOutput()
{
    while (!m_pending.isEmpty() && m_master >= 0) {
        const ssize_t n = ::write(m_master, m_pending.constData(), size_t(m_pending.size()));
        if (n > 0) {
            m_pending.remove(0, qsizetype(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // The terminal side's input queue is full: wait until its reader drains it.
            m_writeNotifier->setEnabled(true);
            return;
        }
        m_pending.clear();
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(false);
}

void PtyUnit::updateTimer()
{
    if (m_unit.isBusy() && !m_unit.isPaused() && isOpen()) {
        if (!m_tick.isActive())
            m_tick.start();
    } else {
        m_tick.stop();
    }
}

} // namespace kr44
