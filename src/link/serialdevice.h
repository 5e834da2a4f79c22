#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QSerialPort>
#include <QString>

// The line settings the link asks for at every open. KR44 units talk 7 data bits, odd parity,
// 2 stop bits, and expect DTR and RTS raised while the port is open.

namespace kr44 {

struct LineSettings
{
    qint32 baudRate = 19200;
    QSerialPort::DataBits dataBits = QSerialPort::Data7;
    QSerialPort::Parity parity = QSerialPort::OddParity;
    QSerialPort::StopBits stopBits = QSerialPort::TwoStop;
    bool dataTerminalReady = true;
    bool requestToSend = true;

    friend bool operator==(const LineSettings &a, const LineSettings &b)
    {
        return a.baudRate == b.baudRate && a.dataBits == b.dataBits && a.parity == b.parity
                && a.stopBits == b.stopBits && a.dataTerminalReady == b.dataTerminalReady
                && a.requestToSend == b.requestToSend;
    }
};

// The serial port as the link sees it. Every call returns at once: writes are buffered and go
// out as the driver takes them, received bytes are announced by readyRead().
//
// Once a device has failed (failed() emitted) it stays useless until it is closed and opened
// again; the link closes it on the first failure.
class SerialDevice : public QObject
{
    Q_OBJECT

public:
    enum class OpenResult {
        Opened,
        // The device could not be opened (missing, held by another program, no access).
        NotOpened,
        // The device opened but refused the baud rate; it has been closed again.
        BaudRefused,
    };

    using QObject::QObject;

    // Opens `name` (a device path, or a name the platform resolves) for reading and writing and
    // applies `settings`. Settings other than the baud rate that the device cannot carry (data
    // bits and modem lines on a pseudo-terminal) are ignored.
    virtual OpenResult open(const QString &name, const LineSettings &settings) = 0;
    // Closes the device, first handing the driver what it takes without waiting; what it does
    // not take is lost.
    virtual void close() = 0;
    [[nodiscard]] virtual bool isOpen() const = 0;

    // Queues `bytes` for sending. Returns how many bytes were taken, -1 on error.
    virtual qint64 write(QByteArrayView bytes) = 0;
    // Bytes written but not yet sent on the line (buffered by us or still queued in the driver).
    [[nodiscard]] virtual qint64 pendingOutput() const = 0;

    [[nodiscard]] virtual qint64 bytesAvailable() const = 0;
    virtual QByteArray readAll() = 0;
    // Reads and throws away up to `maxBytes` bytes that are already waiting, without waiting
    // for more.
    virtual void discardInput(qint64 maxBytes) = 0;

Q_SIGNALS:
    void readyRead();
    // Some written bytes have been handed on to the driver.
    void bytesWritten(qint64 bytes);
    // The device stopped working (unplugged, hung up, read or write failed).
    void failed(const QString &reason);
};

// SerialDevice over QSerialPort.
class QtSerialDevice final : public SerialDevice
{
    Q_OBJECT

public:
    explicit QtSerialDevice(QObject *parent = nullptr);
    ~QtSerialDevice() override;

    OpenResult open(const QString &name, const LineSettings &settings) override;
    void close() override;
    [[nodiscard]] bool isOpen() const override;
    qint64 write(QByteArrayView bytes) override;
    [[nodiscard]] qint64 pendingOutput() const override;
    [[nodiscard]] qint64 bytesAvailable() const override;
    QByteArray readAll() override;
    void discardInput(qint64 maxBytes) override;

    // The settings as the port reports them after open().
    [[nodiscard]] LineSettings currentSettings();

private:
    void onError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
    bool m_failed = false;
};

} // namespace kr44
