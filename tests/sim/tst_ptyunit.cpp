#include "processes.h"
#include "sim/ptyunit.h"
#include "sim/simoptions.h"
#include "testmain.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

#include <limits>
#include <memory>

using namespace kr44;

// The virtual unit served on a pseudo-terminal and reached through a serial port, on a clock
// the test sets.
class TestPtyUnit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A command while the motor moves is answered busy, and an input set on the unit releases
    // a wait. Simulated time is the clock's time multiplied by the time scale: a 2 s delay at a
    // hundred times the speed ends when the clock has gone on 20 ms, not before. The
    // application closing its port leaves the unit serving the same device.
    void servesOnItsTerminal()
    {
        qint64 ns = 0;
        PtyUnit unit;
        unit.setClock([&ns] { return ns; });
        std::unique_ptr<QSerialPort> port;
        QByteArray received;
        const auto openPort = [&] {
            port = std::make_unique<QSerialPort>(unit.devicePath());
            connect(port.get(), &QIODevice::readyRead, this, [&] { received += port->readAll(); });
            return port->open(QIODevice::ReadWrite);
        };
        QVERIFY(unit.open() && unit.devicePath().startsWith("/dev/") && openPort());
        port->write("+300\rV1\r");
        QTRY_COMPARE(received, "B\r");
        ns += 1'000'000'000;
        QTRY_COMPARE(received, "B\rR\r");
        port->write("W2H\r");
        QTRY_COMPARE(unit.unit().activity(), VirtualUnit::Activity::Waiting);
        unit.setInput(2, true);
        QTRY_COMPARE(received, "B\rR\rR\r");
        unit.setTimeScale(100);
        unit.setTimeScale(0); // refused, as any scale not above 0
        const qint64 start = unit.unit().nowUs();
        port->write("D2000\r");
        QTRY_VERIFY(unit.unit().isBusy());
        ns += 19'999'999;
        QTRY_COMPARE(unit.unit().nowUs(), start + 1'999'999);
        QCOMPARE(received, "B\rR\rR\r");
        ns += 1;
        QTRY_COMPARE(received, "B\rR\rR\rR\r");
        QVERIFY(openPort());
        port->write("V1\r");
        QTRY_COMPARE(received, "B\rR\rR\rR\r300\r");
    }

    // While the program is paused the clock going on does not move simulated time, and after it
    // the run goes on from where it stood; as fast as possible ends a long run without the
    // clock moving at all.
    void pausesAndRunsFlatOut()
    {
        qint64 ns = 0;
        PtyUnit unit;
        unit.setClock([&ns] { return ns; });
        const qint64 start = unit.unit().nowUs(); // the real clock ran until setClock()
        unit.setBreakCheck([](int line) { return line == 2; });
        QVERIFY(unit.open());
        QSerialPort port(unit.devicePath());
        QVERIFY(port.open(QIODevice::ReadWrite));
        port.write("P\rL0\rD100\rL250\rP\rE\r");
        QTRY_VERIFY(unit.unit().isBusy());
        ns += 1'000'000;
        QTRY_VERIFY(unit.unit().isPaused());
        QCOMPARE(unit.unit().nowUs(), start + 100);
        ns += 5'000'000'000;
        unit.resume();
        QCOMPARE(unit.unit().nowUs(), start + 100);
        ns += 50'000'000;
        QTRY_COMPARE(unit.unit().nowUs(), start + 50'100);
        unit.pause();
        unit.setBreakCheck({});
        unit.setTimeScale(std::numeric_limits<double>::infinity());
        unit.resume();
        QTRY_VERIFY(!unit.unit().isBusy());
        QCOMPARE(unit.unit().runStats().executed, 501);
    }
};

// kr44-sim: its command line, the input levels typed to it, how it logs the traffic, and the
// program itself.
class TestSimProcess : public QObject
{
    Q_OBJECT

    static bool parse(const QStringList &args, SimOptions &out, QString &error)
    {
        QCommandLineParser parser;
        addSimOptions(parser);
        return parser.parse(QStringList {"kr44-sim"} + args) && readSimOptions(parser, out, error);
    }

private Q_SLOTS:
    // As a user runs it: a process of its own, reached through the link it makes to its
    // device, with inputs typed on its standard input; the link goes when it ends.
    void servesUntilTerminated()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("kr44"));
        kr44test::SimProcess sim;
        QVERIFY(sim.start({"--time-scale", "20", "--inputs", "LHL", "--link", link}));
        QSerialPort port(link);
        QVERIFY(QFileInfo(link).symLinkTarget() == sim.device() && port.open(QIODevice::ReadWrite));
        QByteArray received;
        connect(&port, &QSerialPort::readyRead, this, [&] { received += port.readAll(); });
        port.write("P\rW1H\rA2\rP\rE\r");
        QTRY_VERIFY(sim.received().contains("<- E\\r"));
        sim.process().write("1H\n");
        QTRY_COMPARE(received, "R\r");
        port.write("V2\r");
        QTRY_COMPARE(received, "R\rInputs HHL Outputs 010\r");
        sim.process().terminate();
        QVERIFY(kr44test::waitFinished(sim.process()) && sim.process().exitCode() == 0);
        QVERIFY(!QFileInfo(link).isSymLink() && sim.log().contains("input 1 high"));
        const auto refused
                = kr44test::runProcess(kr44test::buildPath("src/sim/kr44-sim"), {"--inputs", "LX"});
        QVERIFY(refused.exitCode == 2 && refused.err.contains("--inputs") && refused.out.isEmpty());
    }

private Q_SLOTS:
    // Without options the unit is the default one; a refused value is named in the error and
    // leaves the options as they were.
    void options()
    {
        SimOptions options;
        QString error;
        QVERIFY(parse({}, options, error) && options.timeScale == 1.0 && !options.quiet);
        QVERIFY(options.unit.capacity == 2000 && options.unit.endOfTravelPlus == 100000);
        QVERIFY(parse({"--inputs", "hLH", "--eot-minus", "-500", "--eot-plus=2500", "--quiet",
                       "--time-scale", "12.5", "--capacity", "1", "--link", "/x"},
                      options, error));
        QVERIFY(options.unit.inputs == (std::array<bool, 3> {true, false, true}) && options.quiet);
        QVERIFY(options.unit.endOfTravelMinus == -500 && options.unit.endOfTravelPlus == 2500);
        QVERIFY(options.timeScale == 12.5 && options.unit.capacity == 1);
        QCOMPARE(options.linkPath, "/x");
        for (const auto &[name, value] : {std::pair {"inputs", "LH"},
                                          {"inputs", "LHX"},
                                          {"eot-minus", "0"},
                                          {"eot-minus", "x"},
                                          {"eot-plus", "-1"},
                                          {"eot-plus", "1000000001"},
                                          {"time-scale", "0"},
                                          {"time-scale", "inf"},
                                          {"capacity", "0"},
                                          {"capacity", "lots"}}) {
            const QString option = QStringLiteral("--") + QLatin1String(name);
            QVERIFY2(!parse({option, value}, options, error) && error.contains(option), value);
            QCOMPARE(options.unit.capacity, 1);
        }
    }

    void inputCommandsAndLog()
    {
        for (const auto &[line, input, high] :
             {std::tuple {"1H", 1, true}, {" 3l\r", 3, false}, {"4H", 0, false}, {"2X", 0, false}}) {
            const auto command = parseInputCommand(line);
            QVERIFY(command ? command->input == input && command->high == high : input == 0);
        }
        QCOMPARE(printableBytes(QByteArray("E3 12\ra\nb\\c\0\x7f\xb0", 14)),
                 "E3 12\\ra\\nb\\\\c\\x00\\x7F\\xB0");
    }
};

KR44_TEST(TestPtyUnit)
KR44_TEST(TestSimProcess)
#include "tst_ptyunit.moc"
