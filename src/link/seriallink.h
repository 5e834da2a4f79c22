#pragma once

#include "link/download.h"
#include "link/serialdevice.h"
#include "model/linearray.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>

namespace kr44 {

// Bits one character takes on the line: start, 7 data, parity, 2 stop.
inline constexpr int kBitsPerCharacter = 11;

// How long `bytes` take on the line at `baud`, in milliseconds; 0 for a baud rate of 0 or less.
[[nodiscard]] qint64 wireMilliseconds(qint64 bytes, qint32 baud);

// The one serial link to the KR44 units, owned by the main window for the whole run.
//
// write(), sendChar() and the downloads are the only ways bytes reach the port. Nothing here
// ever waits on the wire: writes are queued and drained as the driver takes them, received bytes
// are buffered until the reply monitor collects them with read().
//
// Order on the wire is kept strictly. While a download is under way nothing else goes out:
// characters written meanwhile wait and follow the download, in the order they were written.
//
// A port that stops working while open (adapter pulled out, other end hung up) is closed at
// once; the link then counts as not connected until the next openPort().
//
// The link must outlive the ReplyMonitor that reads from it. A download under way when the port
// is closed fails.
class SerialLink : public QObject
{
    Q_OBJECT

public:
    enum class TransferResult {
        Completed,
        // A line could not be written (no port, write refused, port lost). communicationError()
        // came first, once.
        Failed,
        Cancelled,
        Stopped,
    };
    Q_ENUM(TransferResult)

    // Downloads keep at most this many bytes with the driver, so that cancelling or stopping
    // drops the lines not yet handed over and the wire goes quiet soon after.
    static constexpr qint64 kDownloadLowWater = 64;
    // The discarding read on open: what the unit sent while the port was closed.
    static constexpr qint64 kDiscardOnOpen = 20;

    explicit SerialLink(QObject *parent = nullptr);
    // Uses `device` instead of a real serial port (tests).
    explicit SerialLink(std::unique_ptr<kr44::SerialDevice> device, QObject *parent = nullptr);
    // Closes the port without reporting anything.
    ~SerialLink() override;

    // The port and baud rate that the next openPort() uses. The name is passed to the device
    // unchanged (a device path such as /dev/ttyUSB0).
    void setPort(const QString &name, qint32 baud);
    [[nodiscard]] QString portName() const { return m_portName; }
    [[nodiscard]] qint32 baudRate() const { return m_baudRate; }

    // (Re)opens the port with 7 data bits, odd parity, 2 stop bits, DTR and RTS on, throws away
    // up to 20 bytes already received and announces the status text; true if open. A port whose
    // baud rate is refused is closed again and counts as not connected.
    bool openPort();
    // Closes the port; a download under way fails.
    void closePort();
    // `text` becomes everything received since the last read, NUL bytes left out; true if
    // anything was received. False with `text` unchanged when no port is open.
    bool read(QByteArray &text);
    // Queues `bytes` (behind a download under way); false if no port is open or the port
    // refused them.
    bool write(const QByteArray &bytes);
    // Writes one byte (NUL goes out as a space). Returns true even when nothing could be sent.
    bool sendChar(char ch);

    [[nodiscard]] bool isConnected() const;
    // "Not connected" or "Using <port>, <baud> baud".
    [[nodiscard]] QString statusText() const;

    // Received bytes are waiting for read().
    [[nodiscard]] bool hasReceived() const { return !m_rx.isEmpty(); }
    // Milliseconds since bytes last arrived (large when nothing ever did).
    [[nodiscard]] qint64 msSinceLastReceive() const;

    // Downloads `lines` ("P" CR, each non-comment line with CR, "P" CR), then "E" CR for
    // sendAndRun. Returns false, doing nothing, while another download is under way. With no
    // port open the download fails at once, inside this call.
    bool sendProgram(const kr44::LineArray &lines);
    bool sendAndRun(const kr44::LineArray &lines);
    // "K" CR. During a download the lines not yet handed to the driver are dropped, the
    // closing "P" CR follows the line being written and "K" CR comes straight after it.
    void stopProgram();
    // Drops the lines not yet handed to the driver and the run command; the closing "P" CR
    // still goes out.
    void cancelTransfer();
    [[nodiscard]] bool isTransferring() const { return m_download.has_value(); }

Q_SIGNALS:
    // After every openPort(), and when an open port is lost.
    void statusTextChanged(const QString &text);
    void linkStateChanged(bool connected);
    // The open port stopped working and has been closed.
    void portLost(const QString &reason);
    // New bytes are waiting for read().
    void received();
    // The bytes of each write the driver took, and of each read from it (NULs included), in
    // the order they went over the line.
    void bytesWritten(const QByteArray &bytes);
    void bytesRead(const QByteArray &bytes);

    // A download began; `estimatedMs` is how long its bytes take on the wire.
    void transferStarted(qsizetype linesToSend, qint64 estimatedMs);
    // Lines handed to the driver so far.
    void transferProgress(qsizetype linesSent, qsizetype linesToSend);
    // A line of the download could not be written. Emitted once per download, at the moment
    // the failure is known; the download then closes with "P" CR and ends Failed.
    void communicationError();
    // The download's bytes have all been written (or it ended early). Characters that waited
    // for it have been handed to the driver.
    void transferFinished(SerialLink::TransferResult result);

private:
    bool writeBytes(const QByteArray &bytes);
    bool startTransfer(const kr44::LineArray &lines, kr44::Download::Kind kind);
    void pump();
    void failTransfer();
    void finishTransfer();
    void onReadyRead();
    void onDeviceFailed(const QString &reason);
    void announceState();

    std::unique_ptr<kr44::SerialDevice> m_device;
    QString m_portName;
    qint32 m_baudRate = 19200;
    bool m_reportedConnected = false;

    QByteArray m_rx;
    QElapsedTimer m_lastRx;

    std::optional<kr44::Download> m_download;
    // Bytes written during a download; they follow it.
    QByteArray m_waiting;
    QTimer m_drainTimer;
    bool m_pumping = false;
    bool m_transferFailed = false;
    bool m_transferCancelled = false;
    bool m_transferStopped = false;
};

} // namespace kr44
