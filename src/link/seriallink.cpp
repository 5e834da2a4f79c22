#include "link/seriallink.h"

#include <QScopedValueRollback>
#include <QSignalBlocker>

#include <limits>
#include <utility>

namespace kr44 {

qint64 wireMilliseconds(qint64 bytes, qint32 baud)
{
    if (baud <= 0)
        return 0;
    return bytes * kBitsPerCharacter * 1000 / baud;
}

namespace {
// How often a download looks again at a driver that holds too much to take another line. The
// driver announces when it takes bytes from us but not when it puts them on the wire.
constexpr int kDrainPollMs = 5;
// Received bytes kept for the reply monitor while it does not collect (polling paused).
constexpr qsizetype kMaxReceived = 1 << 20;
} // namespace

SerialLink::SerialLink(QObject *parent)
    : SerialLink(std::make_unique<kr44::QtSerialDevice>(), parent)
{}

SerialLink::SerialLink(std::unique_ptr<kr44::SerialDevice> device, QObject *parent)
    : QObject(parent), m_device(std::move(device))
{
    Q_ASSERT(m_device && !m_device->parent());
    connect(m_device.get(), &kr44::SerialDevice::readyRead, this, &SerialLink::onReadyRead);
    connect(m_device.get(), &kr44::SerialDevice::bytesWritten, this, &SerialLink::pump);
    connect(m_device.get(), &kr44::SerialDevice::failed, this, &SerialLink::onDeviceFailed);
    m_drainTimer.setInterval(kDrainPollMs);
    connect(&m_drainTimer, &QTimer::timeout, this, &SerialLink::pump);
}

SerialLink::~SerialLink()
{
    // Nothing may reach back into a half-destroyed link: the device can still report while it
    // closes.
    const QSignalBlocker blocker(this);
    m_device->disconnect(this);
    m_drainTimer.stop();
    m_download.reset();
    m_device->close();
    m_device.reset();
}

void SerialLink::setPort(const QString &name, qint32 baud)
{
    m_portName = name;
    m_baudRate = baud;
}

bool SerialLink::isConnected() const { return m_device->isOpen(); }

QString SerialLink::statusText() const
{
    if (!isConnected())
        return tr("Not connected");
    return tr("Using %1, %2 baud").arg(m_portName).arg(m_baudRate);
}

qint64 SerialLink::msSinceLastReceive() const
{
    return m_lastRx.isValid() ? m_lastRx.elapsed() : std::numeric_limits<qint64>::max();
}

bool SerialLink::write(const QByteArray &bytes)
{
    if (!isConnected())
        return false;
    if (bytes.isEmpty())
        return true;
    if (m_download) {
        m_waiting += bytes;
        return true;
    }
    return writeBytes(bytes);
}

bool SerialLink::sendChar(char ch)
{
    write(QByteArray(1, ch == '\0' ? ' ' : ch));
    return true;
}

bool SerialLink::openPort()
{
    if (m_device->isOpen())
        closePort();
    kr44::LineSettings settings;
    settings.baudRate = m_baudRate;
    if (m_device->open(m_portName, settings) == kr44::SerialDevice::OpenResult::Opened)
        m_device->discardInput(kDiscardOnOpen);
    m_rx.clear();
    m_lastRx.invalidate();
    Q_EMIT statusTextChanged(statusText());
    announceState();
    return isConnected();
}

void SerialLink::closePort()
{
    if (m_download)
        failTransfer();
    m_device->close();
    m_rx.clear();
    m_lastRx.invalidate();
    announceState();
    pump();
}

bool SerialLink::read(QByteArray &text)
{
    if (!isConnected())
        return false;
    if (m_device->bytesAvailable() > 0) {
        const QByteArray bytes = m_device->readAll();
        Q_EMIT bytesRead(bytes);
        m_rx += bytes;
        m_lastRx.start();
    }
    text.clear();
    if (m_rx.isEmpty())
        return false;
    // A NUL from the line is dropped on its own; the bytes after it are kept.
    text = std::exchange(m_rx, QByteArray());
    text.removeIf([](char c) { return c == '\0'; });
    return true;
}

bool SerialLink::writeBytes(const QByteArray &bytes)
{
    const qint64 taken = m_device->write(bytes);
    if (taken > 0)
        Q_EMIT bytesWritten(bytes.first(taken));
    return taken == bytes.size();
}

bool SerialLink::sendProgram(const kr44::LineArray &lines)
{
    return startTransfer(lines, kr44::Download::Kind::Send);
}

bool SerialLink::sendAndRun(const kr44::LineArray &lines)
{
    return startTransfer(lines, kr44::Download::Kind::SendAndRun);
}

bool SerialLink::startTransfer(const kr44::LineArray &lines, kr44::Download::Kind kind)
{
    if (m_download)
        return false;
    m_download.emplace(lines, kind);
    m_transferFailed = false;
    m_transferCancelled = false;
    m_transferStopped = false;
    Q_EMIT transferStarted(m_download->linesToSend(),
                           kr44::wireMilliseconds(m_download->totalBytes(), m_baudRate));
    pump();
    return true;
}

void SerialLink::stopProgram()
{
    if (m_download && !m_download->atEnd()) {
        m_transferStopped = true;
        m_download->stop();
        pump();
        return;
    }
    sendChar('K');
    sendChar('\r');
}

void SerialLink::cancelTransfer()
{
    if (!m_download || m_download->atEnd())
        return;
    m_transferCancelled = true;
    m_download->cancel();
    pump();
}

void SerialLink::pump()
{
    if (m_pumping || !m_download)
        return;
    {
        // A slot of ours may open a modal box (communicationError) and so run the event loop;
        // the writes it would trigger wait until the box has closed.
        const QScopedValueRollback<bool> guard(m_pumping, true);
        while (!m_download->atEnd()) {
            if (!isConnected()) {
                // Transfer marks and commands go nowhere without a port, as sendChar's do; a
                // program line that cannot be written fails the download.
                if (m_download->nextIsLine())
                    failTransfer();
                else
                    (void)m_download->next();
                continue;
            }
            if (m_device->pendingOutput() >= kDownloadLowWater)
                break;
            const kr44::Download::Write w = m_download->next();
            const bool written = writeBytes(w.bytes);
            if (w.type == kr44::Download::Write::Type::Line) {
                if (!written) {
                    failTransfer();
                    continue;
                }
                Q_EMIT transferProgress(m_download->linesSent(), m_download->linesToSend());
            }
        }
    }
    if (!m_download->atEnd() || (isConnected() && m_device->pendingOutput() > 0)) {
        if (!m_drainTimer.isActive())
            m_drainTimer.start();
        return;
    }
    finishTransfer();
}

void SerialLink::failTransfer()
{
    if (!m_download || m_transferFailed)
        return;
    m_transferFailed = true;
    m_download->cancel();
    Q_EMIT communicationError();
}

void SerialLink::finishTransfer()
{
    TransferResult result = TransferResult::Completed;
    if (m_transferFailed)
        result = TransferResult::Failed;
    else if (m_transferStopped)
        result = TransferResult::Stopped;
    else if (m_transferCancelled)
        result = TransferResult::Cancelled;
    m_download.reset();
    m_drainTimer.stop();
    const QByteArray waiting = std::exchange(m_waiting, QByteArray());
    if (!waiting.isEmpty() && isConnected())
        writeBytes(waiting);
    Q_EMIT transferFinished(result);
}

void SerialLink::onReadyRead()
{
    const QByteArray bytes = m_device->readAll();
    Q_EMIT bytesRead(bytes);
    m_rx += bytes;
    if (m_rx.size() > kMaxReceived)
        m_rx.remove(0, m_rx.size() - kMaxReceived);
    m_lastRx.start();
    Q_EMIT received();
}

void SerialLink::onDeviceFailed(const QString &reason)
{
    m_device->close();
    m_rx.clear();
    m_lastRx.invalidate();
    Q_EMIT statusTextChanged(statusText());
    announceState();
    Q_EMIT portLost(reason);
    if (m_download) {
        failTransfer();
        pump();
    }
}

void SerialLink::announceState()
{
    const bool connected = isConnected();
    if (connected == m_reportedConnected)
        return;
    m_reportedConnected = connected;
    Q_EMIT linkStateChanged(connected);
}

} // namespace kr44
