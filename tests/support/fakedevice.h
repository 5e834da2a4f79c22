#pragma once

#include "link/serialdevice.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <utility>

// A serial device under the test's control: it records what the link asks of it, and the test
// decides what opens, what is accepted, when the driver drains and what arrives.
class FakeDevice final : public kr44::SerialDevice
{
public:
    // What the link asked for: names and settings of every open, discarding reads, and all
    // written bytes in order.
    QStringList openedNames;
    QList<kr44::LineSettings> requested;
    QList<qint64> discardRequests;
    QByteArray wire;

    // What the device does.
    OpenResult openResult = OpenResult::Opened;
    bool refuseWrites = false;
    qint64 acceptAtMost = -1; // take at most this many bytes of a write (-1: all)
    bool holdOutput = false;  // written bytes stay pending until drain()

    OpenResult open(const QString &name, const kr44::LineSettings &settings) override
    {
        openedNames << name;
        requested << settings;
        m_open = openResult == OpenResult::Opened;
        return openResult;
    }
    void close() override { m_open = false, m_pending = 0; }
    [[nodiscard]] bool isOpen() const override { return m_open; }

    qint64 write(QByteArrayView bytes) override
    {
        if (!m_open || refuseWrites)
            return -1;
        const qint64 n = acceptAtMost >= 0 ? qMin(acceptAtMost, bytes.size()) : bytes.size();
        wire += bytes.first(n);
        m_pending += holdOutput ? n : 0;
        return n;
    }
    [[nodiscard]] qint64 pendingOutput() const override { return m_pending; }

    [[nodiscard]] qint64 bytesAvailable() const override { return m_input.size(); }
    QByteArray readAll() override { return std::exchange(m_input, QByteArray()); }
    void discardInput(qint64 maxBytes) override
    {
        discardRequests << maxBytes;
        m_input.remove(0, qMin(maxBytes, m_input.size()));
    }

    // The driver puts up to `bytes` pending bytes on the wire (all of them by default).
    void drain(qint64 bytes = -1)
    {
        const qint64 n = bytes < 0 ? m_pending : qMin(bytes, m_pending);
        m_pending -= n;
        Q_EMIT bytesWritten(n);
    }
    // Drains until the link leaves nothing pending: a download's end, or its stall.
    void drainAll()
    {
        for (drain(); m_pending > 0;)
            drain();
    }
    void receive(const QByteArray &bytes)
    {
        m_input += bytes;
        Q_EMIT readyRead();
    }
    void fail(const QString &reason) { Q_EMIT failed(reason); }

private:
    bool m_open = false;
    qint64 m_pending = 0;
    QByteArray m_input;
};
