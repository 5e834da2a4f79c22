#include "ptypeer.h"
#include "seriallink.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

using kr44::LineArray;
using Result = CSerialLink::TransferResult;

namespace {

enum class Action { Send, SendAndRun, Stop, Typed };

LineArray program(int lines)
{
    QList<QByteArray> l;
    for (int i = 0; i < lines; ++i)
        l << QByteArray("+") + QByteArray::number(1000000 + i);
    return LineArray::fromList(l);
}

QByteArray downloadBytes(const LineArray &lines, qsizetype upTo)
{
    QByteArray all("P\r");
    for (qsizetype i = 0; i < upTo; ++i)
        all += lines.line(i) + '\r';
    return all;
}

} // namespace

Q_DECLARE_METATYPE(Action)

// The link over a real QSerialPort, with a pseudo-terminal standing in for the unit: the exact
// bytes on the line both ways, and a unit that goes away.
class TestSerialPty : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void openAppliesSettings();
    void refusedBaudRateIsNotConnected();
    void missingDevice();
    void bytesOnTheLine_data();
    void bytesOnTheLine();
    void receivedBytes();
    void discardingReadOnOpen();
    void hangUpIsNoticed();
    void longDownload();
    void downloadCutShort_data();
    void downloadCutShort();

private:
    bool open(qint32 baud = 19200);

    std::unique_ptr<PtyPeer> m_peer;
    kr44::QtSerialDevice *m_dev = nullptr;
    std::unique_ptr<CSerialLink> m_link;
};

void TestSerialPty::init()
{
    m_peer = std::make_unique<PtyPeer>();
    QVERIFY(m_peer->isValid());
    auto dev = std::make_unique<kr44::QtSerialDevice>();
    m_dev = dev.get();
    m_link = std::make_unique<CSerialLink>(std::move(dev));
}

void TestSerialPty::cleanup()
{
    m_link.reset();
    m_peer.reset();
}

bool TestSerialPty::open(qint32 baud)
{
    m_link->setPort(m_peer->path(), baud);
    QByteArray ignored;
    return m_link->PortIO(ignored, CSerialLink::PORT_OPEN);
}

void TestSerialPty::openAppliesSettings()
{
    QVERIFY(open(1200));
    QCOMPARE(m_link->statusText(), QStringLiteral("Using %1, 1200 baud").arg(m_peer->path()));
    // A pseudo-terminal carries neither 7 data bits nor modem lines; what it can carry is set.
    const kr44::LineSettings s = m_dev->currentSettings();
    QCOMPARE(s.baudRate, 1200);
    QCOMPARE(s.parity, QSerialPort::OddParity);
    QCOMPARE(s.stopBits, QSerialPort::TwoStop);
}

void TestSerialPty::refusedBaudRateIsNotConnected()
{
    QSignalSpy status(m_link.get(), &CSerialLink::statusTextChanged);
    QVERIFY(!open(0));
    QVERIFY(!m_link->isConnected());
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.first().first().toString(), QStringLiteral("Not connected"));
    // The device was let go: the next open with a usable rate works.
    QVERIFY(open(19200));
}

void TestSerialPty::missingDevice()
{
    m_link->setPort(QStringLiteral("/dev/kr44-no-such-port"), 19200);
    QByteArray text;
    QVERIFY(!m_link->PortIO(text, CSerialLink::PORT_OPEN));
    QCOMPARE(m_link->statusText(), QStringLiteral("Not connected"));
    text = "+1\r";
    QVERIFY(!m_link->PortIO(text, CSerialLink::PORT_WRITE));
}

void TestSerialPty::bytesOnTheLine_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<QByteArray>("wire");

    const QList<QByteArray> prog = {"+200", "* note", "G0"};
    QTest::newRow("send program") << Action::Send << prog << QByteArray("P\r+200\rG0\rP\r");
    QTest::newRow("send and run") << Action::SendAndRun << prog << QByteArray("P\r+200\rG0\rP\rE\r");
    QTest::newRow("send and run, empty program")
        << Action::SendAndRun << QList<QByteArray>{} << QByteArray("P\rP\rE\r");
    QTest::newRow("comments only") << Action::SendAndRun << QList<QByteArray>{"* a", "*b"}
                                   << QByteArray("P\rP\rE\r");
    QTest::newRow("stop") << Action::Stop << QList<QByteArray>{} << QByteArray("K\r");
    QTest::newRow("typed A, B, Enter, Backspace, NUL")
        << Action::Typed << QList<QByteArray>{"A", "B", "\r", "\b", QByteArray(1, '\0')}
        << QByteArray("AB\r\b ");
    QTest::newRow("8-bit and line text as stored")
        << Action::Send << QList<QByteArray>{" *x", "", "O1\xB0"} << QByteArray("P\r *x\r\rO1\xB0\rP\r");
}

void TestSerialPty::bytesOnTheLine()
{
    QFETCH(Action, action);
    QFETCH(QList<QByteArray>, lines);
    QFETCH(QByteArray, wire);

    QVERIFY(open());
    QSignalSpy error(m_link.get(), &CSerialLink::communicationError);
    switch (action) {
    case Action::Send:
        QVERIFY(m_link->SendProgram(LineArray::fromList(lines)));
        break;
    case Action::SendAndRun:
        QVERIFY(m_link->SendAndRun(LineArray::fromList(lines)));
        break;
    case Action::Stop:
        m_link->StopProgram();
        break;
    case Action::Typed:
        for (const QByteArray &c : lines)
            QVERIFY(m_link->SendChar(c.at(0)));
        break;
    }
    QCOMPARE(m_peer->read(wire.size()), wire);
    QCOMPARE(error.size(), 0);
}

void TestSerialPty::receivedBytes()
{
    QVERIFY(open());
    QVERIFY(m_peer->send(QByteArray("E3 12\r\0R\r", 9)));
    QByteArray all;
    QVERIFY(QTest::qWaitFor([&] {
        QByteArray text;
        if (m_link->PortIO(text, CSerialLink::PORT_READ))
            all += text;
        return all.size() >= 8;
    }));
    // The NUL alone is dropped.
    QCOMPARE(all, QByteArray("E3 12\rR\r"));
}

void TestSerialPty::discardingReadOnOpen()
{
    // Sent while the port was closed: the open throws the first 20 bytes away.
    QVERIFY(m_peer->send("0123456789abcdefghijKLMNO"));
    QVERIFY(open());
    QByteArray all;
    QVERIFY(QTest::qWaitFor([&] {
        QByteArray text;
        if (m_link->PortIO(text, CSerialLink::PORT_READ))
            all += text;
        return all.size() >= 5;
    }));
    QCOMPARE(all, QByteArray("KLMNO"));
}

void TestSerialPty::hangUpIsNoticed()
{
    QVERIFY(open());
    QSignalSpy lost(m_link.get(), &CSerialLink::portLost);
    QSignalSpy status(m_link.get(), &CSerialLink::statusTextChanged);
    m_peer->closeMaster();
    QTRY_VERIFY(!m_link->isConnected());
    QCOMPARE(lost.size(), 1);
    QCOMPARE(status.last().first().toString(), QStringLiteral("Not connected"));
    // The link keeps working without a port.
    QVERIFY(m_link->SendChar('A'));
    QByteArray text("x");
    QVERIFY(!m_link->PortIO(text, CSerialLink::PORT_READ));
    QCOMPARE(lost.size(), 1);
}

void TestSerialPty::longDownload()
{
    QVERIFY(open());
    const LineArray lines = program(5000);
    QSignalSpy finished(m_link.get(), &CSerialLink::transferFinished);
    QSignalSpy progress(m_link.get(), &CSerialLink::transferProgress);
    QVERIFY(m_link->SendAndRun(lines));
    m_link->SendChar('z');
    const QByteArray expected = downloadBytes(lines, 5000) + "P\rE\rz";
    QCOMPARE(m_peer->read(expected.size()), expected);
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().value<Result>(), Result::Completed);
    QCOMPARE(progress.size(), 5000);
}

void TestSerialPty::downloadCutShort_data()
{
    QTest::addColumn<bool>("stop");
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<Result>("result");
    QTest::newRow("cancelled") << false << QByteArray("P\r") << Result::Cancelled;
    QTest::newRow("stopped") << true << QByteArray("P\rK\r") << Result::Stopped;
}

void TestSerialPty::downloadCutShort()
{
    QFETCH(bool, stop);
    QFETCH(QByteArray, tail);
    QFETCH(Result, result);

    QVERIFY(open());
    // More than the pseudo-terminal holds while nobody reads it.
    const LineArray lines = program(40000);
    QSignalSpy finished(m_link.get(), &CSerialLink::transferFinished);
    QSignalSpy progress(m_link.get(), &CSerialLink::transferProgress);
    QVERIFY(m_link->SendAndRun(lines));
    QTRY_VERIFY(!progress.isEmpty() && progress.last().first().value<qsizetype>() >= 100);
    m_link->SendChar('t');
    if (stop)
        m_link->StopProgram();
    else
        m_link->cancelTransfer();

    const QByteArray got = m_peer->readUntilEndsWith(tail + "t");
    QVERIFY(got.endsWith(tail + "t"));
    const QByteArray body = got.chopped(tail.size() + 1);
    const qsizetype sent = body.count('\r') - 1;
    QVERIFY2(sent >= 100 && sent < 40000, qPrintable(QString::number(sent)));
    QCOMPARE(body, downloadBytes(lines, sent));
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().value<Result>(), result);
}

KR44_TEST(TestSerialPty)
#include "tst_serialpty.moc"
