#include "processes.h"
#include "testmain.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// kr44-sim as a user runs it: a separate process, reached through the device path it prints.
class TestSimProcess : public QObject
{
    Q_OBJECT

    QString simPath() const
    {
        return kr44test::buildPath("src/sim/kr44-sim");
    }

private Q_SLOTS:
    void servesUntilTerminated()
    {
        QVERIFY2(QFileInfo(simPath()).isExecutable(), qPrintable(simPath() + " is not built"));
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString link = dir.filePath(QStringLiteral("kr44"));

        QProcess sim;
        sim.start(simPath(), {"--time-scale", "20", "--inputs", "LHL", "--link", link});
        QVERIFY(sim.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine(), 10000);
        const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
        QVERIFY2(device.startsWith(QLatin1String("/dev/")), qPrintable(device));
        QCOMPARE(QFileInfo(link).symLinkTarget(), device);

        QSerialPort port(link);
        port.setBaudRate(19200);
        port.setDataBits(QSerialPort::Data7);
        port.setParity(QSerialPort::OddParity);
        port.setStopBits(QSerialPort::TwoStop);
        QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
        QByteArray received;
        connect(&port, &QSerialPort::readyRead, this, [&] { received += port.readAll(); });

        port.write("P\rX500,1000,20\rL0\r+200\rW1H\r-200\rL5\rJ2L,4\rK\rP\rE\r");
        // Input 1 starts low, so the program waits at W1H until it is set on the command line.
        sim.write("1H\n");
        QTRY_COMPARE_WITH_TIMEOUT(received, QByteArray("R\r"), 10000);
        port.write("V2\r");
        QTRY_COMPARE(received, QByteArray("R\rInputs HHL Outputs 000\r"));

        sim.terminate();
        QVERIFY(sim.waitForFinished(10000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
        QVERIFY(!QFileInfo(link).isSymLink());

        const QByteArray log = sim.readAllStandardError();
        QVERIFY2(log.contains("<- J2L,4\\r\n"), log.constData());
        QVERIFY2(log.contains("-> R\\r\n"), log.constData());
        QVERIFY2(log.contains("input 1 high\n"), log.constData());
    }

    void refusesBadOptions()
    {
        QProcess sim;
        sim.start(simPath(), {"--inputs", "LX"});
        QVERIFY(sim.waitForFinished(10000));
        QCOMPARE(sim.exitCode(), 2);
        QVERIFY(sim.readAllStandardError().contains("--inputs"));
        QVERIFY(sim.readAllStandardOutput().isEmpty());
    }
};

KR44_TEST(TestSimProcess)
#include "tst_simprocess.moc"
