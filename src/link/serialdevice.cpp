#include "link/serialdevice.h"

#include <cerrno>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace kr44 {

QtSerialDevice::QtSerialDevice(QObject *parent) : SerialDevice(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &SerialDevice::readyRead);
    connect(&m_port, &QSerialPort::bytesWritten, this, &SerialDevice::bytesWritten);
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialDevice::onError);
}

QtSerialDevice::~QtSerialDevice() { close(); }

SerialDevice::OpenResult QtSerialDevice::open(const QString &name, const LineSettings &settings)
{
    close();
    m_failed = false;
    m_port.setPortName(name);
    if (!m_port.open(QIODevice::ReadWrite))
        return OpenResult::NotOpened;

    // Each setting is applied on its own so that one the device cannot carry does not take the
    // others with it. A pseudo-terminal refuses 7 data bits and has no modem lines; only a
    // refused baud rate makes the port useless.
    if (!m_port.setBaudRate(settings.baudRate)) {
        m_port.close();
        return OpenResult::BaudRefused;
    }
    m_port.setDataBits(settings.dataBits);
    m_port.setParity(settings.parity);
    m_port.setStopBits(settings.stopBits);
    m_port.setDataTerminalReady(settings.dataTerminalReady);
    m_port.setRequestToSend(settings.requestToSend);
    m_port.clearError();
    return OpenResult::Opened;
}

void QtSerialDevice::close()
{
    if (!m_port.isOpen())
        return;
    m_port.flush();
    m_port.close();
}

bool QtSerialDevice::isOpen() const { return m_port.isOpen(); }

qint64 QtSerialDevice::write(QByteArrayView bytes)
{
    if (!m_port.isOpen() || m_failed)
        return -1;
    if (bytes.isEmpty())
        return 0;
    return m_port.write(bytes.data(), bytes.size());
}

qint64 QtSerialDevice::pendingOutput() const
{
    if (!m_port.isOpen())
        return 0;
    qint64 pending = m_port.bytesToWrite();
    int queued = 0;
    // What the driver holds has not reached the line yet either; on a UART that can be
    // seconds of data at low rates.
    if (::ioctl(m_port.handle(), TIOCOUTQ, &queued) == 0 && queued > 0)
        pending += queued;
    return pending;
}

qint64 QtSerialDevice::bytesAvailable() const { return m_port.bytesAvailable(); }

QByteArray QtSerialDevice::readAll() { return m_port.readAll(); }

void QtSerialDevice::discardInput(qint64 maxBytes)
{
    if (!m_port.isOpen() || maxBytes <= 0)
        return;
    // QSerialPort reads only from its notifier, so bytes the driver holds right after open are
    // not in its buffer yet. The descriptor is non-blocking: this returns at once.
    const qint64 buffered = qMin(maxBytes, m_port.bytesAvailable());
    if (buffered > 0)
        m_port.read(buffered);
    qint64 left = maxBytes - buffered;
    char scratch[64];
    while (left > 0) {
        const ssize_t n
                = ::read(m_port.handle(), scratch, size_t(qMin<qint64>(left, sizeof scratch)));
        if (n > 0) {
            left -= n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
}

LineSettings QtSerialDevice::currentSettings()
{
    LineSettings s;
    s.baudRate = m_port.baudRate();
    s.dataBits = m_port.dataBits();
    s.parity = m_port.parity();
    s.stopBits = m_port.stopBits();
    s.dataTerminalReady = m_port.isDataTerminalReady();
    s.requestToSend = m_port.isRequestToSend();
    return s;
}

void QtSerialDevice::onError(QSerialPort::SerialPortError error)
{
    // Qt 6.4 repeats ReadError in a busy loop once the other end hangs up, so the first of
    // these counts and the rest are ignored until the port is opened again.
    if (error != QSerialPort::ReadError && error != QSerialPort::WriteError
        && error != QSerialPort::ResourceError)
        return;
    if (m_failed || !m_port.isOpen())
        return;
    m_failed = true;
    Q_EMIT failed(m_port.errorString());
}

} // namespace kr44
