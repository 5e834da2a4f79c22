#include "ptyunit.h"
#include "testmain.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace kr44;

namespace {

// Opens the unit's device the way the application opens a real unit: 7 data bits, odd parity,
// 2 stop bits.
std::unique_ptr<QSerialPort> openPort(const QString &path)
{
    auto port = std::make_unique<QSerialPort>(path);
    port->setBaudRate(19200);
    port->setDataBits(QSerialPort::Data7);
    port->setParity(QSerialPort::OddParity);
    port->setStopBits(QSerialPort::TwoStop);
    port->setFlowControl(QSerialPort::NoFlowControl);
    if (!port->open(QIODevice::ReadWrite))
        return nullptr;
    return port;
}

// Collects what the port receives.
class Receiver : public QObject
{
public:
    explicit Receiver(QSerialPort *port) : m_port(port)
    {
        connect(port, &QSerialPort::readyRead, this, [this] { bytes += m_port->readAll(); });
    }
    QByteArray bytes;

private:
    QSerialPort *m_port;
};

} // namespace

class TestPtyUnit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void publishesATerminalDevice()
    {
        PtyUnit unit;
        QVERIFY2(unit.open(), qPrintable(unit.errorString()));
        QVERIFY(unit.isOpen());
        const QFileInfo device(unit.devicePath());
        QVERIFY(device.exists());
        QVERIFY(unit.devicePath().startsWith(QLatin1String("/dev/")));
        unit.close();
        QVERIFY(!unit.isOpen());
        QVERIFY(unit.devicePath().isEmpty());
    }

    void exampleProgramOverASerialPort()
    {
        UnitConfig config;
        config.inputs = {true, true, false};
        PtyUnit unit(config);
        unit.setTimeScale(10);
        QVERIFY2(unit.open(), qPrintable(unit.errorString()));
        const auto port = openPort(unit.devicePath());
        QVERIFY2(port, "the serial port did not open the unit's device");
        Receiver receiver(port.get());

        // Written as the program transfer writes it: single characters for the frame, one write
        // per line with its CR, nothing waited for in between.
        port->write("P");
        port->write("\r");
        for (const char *line : {"X500,1000,20", "L0", "+200", "W1H", "-200", "L5", "J2L,4", "K"})
            port->write(QByteArray(line) + '\r');
        port->write("P");
        port->write("\r");
        port->write("E");
        port->write("\r");
        // 2.1 s of simulated time at ten times the speed.
        QTRY_VERIFY_WITH_TIMEOUT(receiver.bytes.contains("R\r"), 10000);
        QCOMPARE(receiver.bytes, QByteArray("R\r"));
        QCOMPARE(unit.unit().position(), 0);
        QCOMPARE(unit.unit().program().size(), 8);
    }

    void typedCommandAndBusyReply()
    {
        PtyUnit unit;
        QVERIFY(unit.open());
        const auto port = openPort(unit.devicePath());
        QVERIFY(port);
        Receiver receiver(port.get());

        // A byte at a time, as keys typed in the command window arrive.
        for (const char c : QByteArray("+300\r")) {
            port->write(&c, 1);
            QVERIFY(port->waitForBytesWritten(1000));
        }
        QTRY_VERIFY(unit.unit().activity() == VirtualUnit::Activity::Moving);
        port->write("V1\r");
        QTRY_COMPARE(receiver.bytes, QByteArray("B\r"));
        QTRY_COMPARE_WITH_TIMEOUT(receiver.bytes, QByteArray("B\rR\r"), 5000);
        port->write("V1\r");
        QTRY_COMPARE(receiver.bytes, QByteArray("B\rR\r300\r"));
    }

    void stopWhileRunning()
    {
        PtyUnit unit;
        QVERIFY(unit.open());
        const auto port = openPort(unit.devicePath());
        QVERIFY(port);
        Receiver receiver(port.get());
        port->write("P\r+50000\rP\rE\r");
        QTRY_VERIFY(unit.unit().position() > 0);
        port->write("K\r");
        QTRY_COMPARE(receiver.bytes, QByteArray("R\r"));
        QVERIFY(!unit.unit().isBusy());
        QVERIFY(unit.unit().position() < 50000);
    }

    void inputSetOnTheUnitReleasesAWait()
    {
        PtyUnit unit;
        QVERIFY(unit.open());
        const auto port = openPort(unit.devicePath());
        QVERIFY(port);
        Receiver receiver(port.get());
        QSignalSpy changed(&unit, &PtyUnit::stateChanged);
        port->write("W2H\r");
        QTRY_VERIFY(unit.unit().activity() == VirtualUnit::Activity::Waiting);
        QVERIFY(receiver.bytes.isEmpty());
        unit.setInput(2, true);
        QVERIFY(unit.unit().input(2));
        QTRY_COMPARE(receiver.bytes, QByteArray("R\r"));
        QVERIFY(changed.count() > 0);
    }

    // A 2-second delay at a hundred times the speed ends after 20 ms of real time; at the real
    // speed it would take 2 s, so anything under 1 s shows the scale at work, even on a loaded
    // machine. It cannot end before 20 ms, since simulated time is derived from the real clock.
    void timeScale()
    {
        PtyUnit unit;
        unit.setTimeScale(100);
        QCOMPARE(unit.timeScale(), 100.0);
        QVERIFY(unit.open());
        const auto port = openPort(unit.devicePath());
        QVERIFY(port);
        Receiver receiver(port.get());
        QSignalSpy sent(&unit, &PtyUnit::bytesSent);
        QElapsedTimer clock;
        clock.start();
        port->write("D2000\r");
        QTRY_COMPARE_WITH_TIMEOUT(receiver.bytes, QByteArray("R\r"), 5000);
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(elapsed >= 20 && elapsed < 1000, QByteArray::number(elapsed).constData());
        QCOMPARE(sent.count(), 1);
        QCOMPARE(sent.at(0).at(0).toByteArray(), QByteArray("R\r"));

        unit.setTimeScale(0); // refused
        unit.setTimeScale(-3);
        QCOMPARE(unit.timeScale(), 100.0);
    }

    void portCanCloseAndReopen()
    {
        PtyUnit unit;
        QVERIFY(unit.open());
        {
            const auto port = openPort(unit.devicePath());
            QVERIFY(port);
            port->write("A1\r");
            QVERIFY(port->waitForBytesWritten(1000));
            QTRY_VERIFY(unit.unit().output(1));
        }
        // The application closed its port; the unit keeps serving the same device.
        const auto port = openPort(unit.devicePath());
        QVERIFY(port);
        port->clear(QSerialPort::Input); // the "R" of A1 is still queued from the first session
        Receiver receiver(port.get());
        port->write("V2\r");
        QTRY_VERIFY(receiver.bytes.endsWith("Inputs LLL Outputs 100\r"));
    }
};

KR44_TEST(TestPtyUnit)
#include "tst_ptyunit.moc"
