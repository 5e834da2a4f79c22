#include "fakedevice.h"
#include "seriallink.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTest>

#include <limits>

// PortIO and SendChar at the device boundary: what the link asks of the port and what it
// reports back.
class TestSerialLink : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void openRequestsTheUnitsLineSettings();
    void openFailures_data();
    void openFailures();
    void statusText_data();
    void statusText();
    void reopenClosesTheOldPortFirst();
    void closeWithNoPort();
    void discardingReadOnOpen();
    void readWithNoPort();
    void read_data();
    void read();
    void readTakesEverythingSinceTheLastRead();
    void write_data();
    void write();
    void emptyWrite();
    void sendCharAlwaysTrue();
    void portLostIsNoticed();
    void linkStateFollowsTransitions();
    void baudFromText_data();
    void baudFromText();
    void wireMilliseconds();

private:
    FakeDevice *m_dev = nullptr;
    CSerialLink *m_link = nullptr;
};

void TestSerialLink::init()
{
    auto dev = std::make_unique<FakeDevice>();
    m_dev = dev.get();
    m_link = new CSerialLink(std::move(dev));
    m_link->setPort(QStringLiteral("/dev/ttyUSB0"), 19200);
}

void TestSerialLink::cleanup()
{
    delete m_link;
    m_link = nullptr;
    m_dev = nullptr;
}

void TestSerialLink::openRequestsTheUnitsLineSettings()
{
    QSignalSpy status(m_link, &CSerialLink::statusTextChanged);
    m_link->setPort(QStringLiteral("/dev/ttyUSB3"), 9600);
    QByteArray ignored;
    QVERIFY(m_link->PortIO(ignored, CSerialLink::PORT_OPEN));

    QCOMPARE(m_dev->openedNames, QStringList{QStringLiteral("/dev/ttyUSB3")});
    QCOMPARE(m_dev->requested.size(), 1);
    const kr44::LineSettings s = m_dev->requested.first();
    QCOMPARE(s.baudRate, 9600);
    QCOMPARE(s.dataBits, QSerialPort::Data7);
    QCOMPARE(s.parity, QSerialPort::OddParity);
    QCOMPARE(s.stopBits, QSerialPort::TwoStop);
    QVERIFY(s.dataTerminalReady);
    QVERIFY(s.requestToSend);
    QCOMPARE(m_dev->discardRequests, QList<qint64>{20});

    QVERIFY(m_link->isConnected());
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.first().first().toString(), QStringLiteral("Using /dev/ttyUSB3, 9600 baud"));
}

void TestSerialLink::openFailures_data()
{
    QTest::addColumn<kr44::SerialDevice::OpenResult>("result");
    QTest::newRow("device cannot be opened") << kr44::SerialDevice::OpenResult::NotOpened;
    QTest::newRow("baud rate refused") << kr44::SerialDevice::OpenResult::BaudRefused;
}

void TestSerialLink::openFailures()
{
    QFETCH(kr44::SerialDevice::OpenResult, result);
    m_dev->openResult = result;
    QSignalSpy status(m_link, &CSerialLink::statusTextChanged);
    QByteArray text;
    QVERIFY(!m_link->PortIO(text, CSerialLink::PORT_OPEN));
    QVERIFY(!m_link->isConnected());
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.first().first().toString(), QStringLiteral("Not connected"));
    QVERIFY(m_dev->discardRequests.isEmpty());

    QByteArray line("+200\r");
    QVERIFY(!m_link->PortIO(line, CSerialLink::PORT_WRITE));
    QVERIFY(m_link->SendChar('A'));
    QVERIFY(m_dev->wire.isEmpty());
}

void TestSerialLink::statusText_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<qint32>("baud");
    QTest::addColumn<QString>("text");
    QTest::newRow("COM1 at 19200") << QStringLiteral("COM1") << 19200 << QStringLiteral("Using COM1, 19200 baud");
    QTest::newRow("device path at 1200") << QStringLiteral("/dev/ttyS0") << 1200 << QStringLiteral("Using /dev/ttyS0, 1200 baud");
    QTest::newRow("rate the device accepts, unlisted") << QStringLiteral("COM1") << 38400 << QStringLiteral("Using COM1, 38400 baud");
}

void TestSerialLink::statusText()
{
    QFETCH(QString, port);
    QFETCH(qint32, baud);
    QFETCH(QString, text);
    QCOMPARE(m_link->statusText(), QStringLiteral("Not connected"));
    m_link->setPort(port, baud);
    QByteArray ignored;
    QVERIFY(m_link->PortIO(ignored, CSerialLink::PORT_OPEN));
    QCOMPARE(m_link->statusText(), text);
    // The name reaches the device exactly as given.
    QCOMPARE(m_dev->openedNames.last(), port);
}

void TestSerialLink::reopenClosesTheOldPortFirst()
{
    QByteArray ignored;
    QVERIFY(m_link->PortIO(ignored, CSerialLink::PORT_OPEN));
    const int closesBefore = m_dev->closeCount;
    QVERIFY(m_link->PortIO(ignored, CSerialLink::PORT_OPEN));
    QCOMPARE(m_dev->closeCount, closesBefore + 1);
    QCOMPARE(m_dev->openedNames.size(), 2);
    QVERIFY(m_link->isConnected());
}

void TestSerialLink::closeWithNoPort()
{
    QSignalSpy status(m_link, &CSerialLink::statusTextChanged);
    QSignalSpy state(m_link, &CSerialLink::linkStateChanged);
    QByteArray text("keep");
    QVERIFY(m_link->PortIO(text, CSerialLink::PORT_CLOSE));
    QCOMPARE(text, QByteArray("keep"));
    QVERIFY(!m_link->isConnected());
    QCOMPARE(status.size(), 0);
    QCOMPARE(state.size(), 0);
}

void TestSerialLink::discardingReadOnOpen()
{
    // What the unit sent while the port was closed: 25 bytes, of which the open throws away 20.
    m_dev->receive("0123456789abcdefghijKLMNO", false);
    QByteArray text;
    QVERIFY(m_link->PortIO(text, CSerialLink::PORT_OPEN));
    QVERIFY(m_link->PortIO(text, CSerialLink::PORT_READ));
    QCOMPARE(text, QByteArray("KLMNO"));
}

void TestSerialLink::readWithNoPort()
{
    QByteArray text("unchanged");
    QVERIFY(!m_link->PortIO(text, CSerialLink::PORT_READ));
    QCOMPARE(text, QByteArray("unchanged"));
}

void TestSerialLink::read_data()
{
    QTest::addColumn<QByteArray>("arrived");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("nothing") << QByteArray() << false << QByteArray();
    QTest::newRow("a reply") << QByteArray("R\r") << true << QByteArray("R\r");
    QTest::newRow("25 bytes in one text")
        << QByteArray("0123456789012345678901234") << true << QByteArray("0123456789012345678901234");
    QTest::newRow("NUL dropped, rest kept")
        << QByteArray("R\0X\rYZ", 6) << true << QByteArray("RX\rYZ");
    QTest::newRow("only NULs") << QByteArray("\0\0", 2) << true << QByteArray();
    QTest::newRow("8-bit bytes kept") << QByteArray("\xB0\xA7") << true << QByteArray("\xB0\xA7");
}

void TestSerialLink::read()
{
    QFETCH(QByteArray, arrived);
    QFETCH(bool, result);
    QFETCH(QByteArray, text);

    QByteArray got("stale");
    QVERIFY(m_link->PortIO(got, CSerialLink::PORT_OPEN));
    QSignalSpy received(m_link, &CSerialLink::received);
    if (!arrived.isEmpty())
        m_dev->receive(arrived);
    QCOMPARE(m_link->hasReceived(), !arrived.isEmpty());
    QCOMPARE(received.size(), arrived.isEmpty() ? 0 : 1);
    got = "stale";
    QCOMPARE(m_link->PortIO(got, CSerialLink::PORT_READ), result);
    QCOMPARE(got, text);
    QVERIFY(!m_link->hasReceived());
}

void TestSerialLink::readTakesEverythingSinceTheLastRead()
{
    QByteArray text;
    QVERIFY(m_link->PortIO(text, CSerialLink::PORT_OPEN));
    m_dev->receive("R");
    m_dev->receive("\rB");
    QVERIFY(m_link->msSinceLastReceive() < 10000);
    QVERIFY(m_link->PortIO(text, CSerialLink::PORT_READ));
    QCOMPARE(text, QByteArray("R\rB"));
    m_dev->receive("\r");
    QVERIFY(m_link->PortIO(text, CSerialLink::PORT_READ));
    QCOMPARE(text, QByteArray("\r"));
    QVERIFY(!m_link->PortIO(text, CSerialLink::PORT_READ));
    QCOMPARE(text, QByteArray());
}

void TestSerialLink::write_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<bool>("refuse");
    QTest::addColumn<qint64>("acceptAtMost");
    QTest::addColumn<bool>("result");

    QTest::newRow("written") << int(CSerialLink::PORT_WRITE) << false << qint64(-1) << true;
    QTest::newRow("any other code writes") << 9 << false << qint64(-1) << true;
    QTest::newRow("refused write fails") << int(CSerialLink::PORT_WRITE) << true << qint64(-1) << false;
    QTest::newRow("partly taken write fails") << int(CSerialLink::PORT_WRITE) << false << qint64(2) << false;
}

void TestSerialLink::write()
{
    QFETCH(int, operation);
    QFETCH(bool, refuse);
    QFETCH(qint64, acceptAtMost);
    QFETCH(bool, result);

    QByteArray text;
    QVERIFY(m_link->PortIO(text, CSerialLink::PORT_OPEN));
    m_dev->refuseWrites = refuse;
    m_dev->acceptAtMost = acceptAtMost;
    text = "+200\r";
    QCOMPARE(m_link->PortIO(text, operation), result);
    QCOMPARE(text, QByteArray("+200\r"));
    if (result)
        QCOMPARE(m_dev->writes, QList<QByteArray>{"+200\r"});
}

void TestSerialLink::emptyWrite()
{
    QByteArray text;
    QVERIFY(m_link->PortIO(text, CSerialLink::PORT_OPEN));
    QVERIFY(m_link->PortIO(text, CSerialLink::PORT_WRITE));
    QVERIFY(m_dev->writes.isEmpty());
}

void TestSerialLink::sendCharAlwaysTrue()
{
    QVERIFY(m_link->SendChar('K'));
    QVERIFY(m_dev->wire.isEmpty());

    QByteArray text;
    QVERIFY(m_link->PortIO(text, CSerialLink::PORT_OPEN));
    QVERIFY(m_link->SendChar('K'));
    QVERIFY(m_link->SendChar('\r'));
    QVERIFY(m_link->SendChar('\0'));
    m_dev->refuseWrites = true;
    QVERIFY(m_link->SendChar('X'));
    QCOMPARE(m_dev->writes, (QList<QByteArray>{"K", "\r", " "}));
}

void TestSerialLink::portLostIsNoticed()
{
    QByteArray text;
    QVERIFY(m_link->PortIO(text, CSerialLink::PORT_OPEN));
    m_dev->receive("half a rep");
    QSignalSpy status(m_link, &CSerialLink::statusTextChanged);
    QSignalSpy state(m_link, &CSerialLink::linkStateChanged);
    QSignalSpy lost(m_link, &CSerialLink::portLost);

    m_dev->fail(QStringLiteral("Input/output error"));

    QVERIFY(!m_link->isConnected());
    QVERIFY(!m_dev->isOpen());
    QCOMPARE(lost.size(), 1);
    QCOMPARE(lost.first().first().toString(), QStringLiteral("Input/output error"));
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.first().first().toString(), QStringLiteral("Not connected"));
    QCOMPARE(state.size(), 1);
    QCOMPARE(state.first().first().toBool(), false);
    text = "unchanged";
    QVERIFY(!m_link->PortIO(text, CSerialLink::PORT_READ));
    QCOMPARE(text, QByteArray("unchanged"));
    text = "x";
    QVERIFY(!m_link->PortIO(text, CSerialLink::PORT_WRITE));

    // Reopening is the user's choice, and it works.
    QVERIFY(m_link->PortIO(text, CSerialLink::PORT_OPEN));
    QVERIFY(m_link->isConnected());
}

void TestSerialLink::linkStateFollowsTransitions()
{
    QSignalSpy state(m_link, &CSerialLink::linkStateChanged);
    QByteArray text;
    m_link->PortIO(text, CSerialLink::PORT_OPEN);
    m_link->PortIO(text, CSerialLink::PORT_OPEN);
    m_link->PortIO(text, CSerialLink::PORT_CLOSE);
    m_link->PortIO(text, CSerialLink::PORT_CLOSE);
    m_dev->openResult = kr44::SerialDevice::OpenResult::NotOpened;
    m_link->PortIO(text, CSerialLink::PORT_OPEN);
    QList<bool> seen;
    for (const QList<QVariant> &args : state)
        seen << args.first().toBool();
    // The reopen passes through closed for a moment.
    QCOMPARE(seen, (QList<bool>{true, false, true, false}));
}

void TestSerialLink::baudFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("baud");

    QTest::newRow("plain") << QStringLiteral("19200") << 19200;
    QTest::newRow("leading spaces") << QStringLiteral("  9600") << 9600;
    QTest::newRow("leading tab and newline") << QStringLiteral("\t\n1200") << 1200;
    QTest::newRow("plus sign") << QStringLiteral("+4800") << 4800;
    QTest::newRow("minus sign") << QStringLiteral("-5") << -5;
    QTest::newRow("stops at other character") << QStringLiteral("2400 baud") << 2400;
    QTest::newRow("no digits") << QStringLiteral("fast") << 0;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("sign then space") << QStringLiteral("- 5") << 0;
    QTest::newRow("trailing digits ignored after letter") << QStringLiteral("x9600") << 0;
    QTest::newRow("too large clamps") << QStringLiteral("99999999999") << std::numeric_limits<qint32>::max();
    QTest::newRow("too small clamps") << QStringLiteral("-99999999999") << std::numeric_limits<qint32>::min();
}

void TestSerialLink::baudFromText()
{
    QFETCH(QString, text);
    QFETCH(qint32, baud);
    QCOMPARE(kr44::baudFromText(text), baud);
}

void TestSerialLink::wireMilliseconds()
{
    // 11 bits a character: 1745 characters are a little under a second at 19200 baud.
    QCOMPARE(kr44::wireMilliseconds(1745, 19200), 999);
    QCOMPARE(kr44::wireMilliseconds(10000, 1200), 91666);
    QCOMPARE(kr44::wireMilliseconds(100, 0), 0);
    QCOMPARE(kr44::wireMilliseconds(100, -1), 0);
}

KR44_TEST(TestSerialLink)
#include "tst_seriallink.moc"
