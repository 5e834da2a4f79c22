// What a start asks for: the command line, and the request text a second start or the desktop
// hands to the running instance.
#include "app/cli/commandline.h"
#include "app/cli/simulation.h"
#include "app/desktop/shellrequest.h"
#include "app/shell/linelogcommands.h"
#include "fakedevice.h"
#include "link/linelog.h"
#include "link/seriallink.h"
#include "processes.h"
#include "testmain.h"

#include <QAction>
#include <QFile>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace kr44;

using kr44::ShellRequest;

namespace {

QString describe(const CommandLineRequest &r)
{
    static const char *const actions[] = {"new", "open",  "print", "printto",  "dde",  "unregister",
                                          "pdf", "check", "send",  "simulate", "help", "version"};
    QStringList out {actions[int(r.action)], r.fileName, r.printer, r.driver, r.port, r.sendPort};
    out << (r.sendPort.isEmpty() ? QString() : QString::number(r.sendBaud)) << r.checkFiles;
    out << (r.sendRun ? "run" : "") << (r.sendStop ? "stop" : "") << (r.sendWait ? "wait" : "");
    out << r.sendLog;
    out << (r.startedByUser ? "" : "desktop");
    if (r.action == CommandLineRequest::Action::Simulate) {
        const SimulationSetup &s = r.simulateSetup;
        out << QString::number(s.maxTimeUs) << r.simulateTrace << QString();
        for (const bool high : s.inputs)
            out.last() += high ? u'H' : u'L';
        for (const InputChange &c : s.changes)
            out << QStringLiteral("%1%2@%3").arg(c.input).arg(c.high ? 'H' : 'L').arg(c.atUs);
    }
    out.removeAll(QString());
    return out.join(u' ');
}

QString describe(const std::optional<ShellRequest> &r)
{
    static const char *const kinds[] = {"open", "print", "printto"};
    return r ? QStringList {kinds[int(r->kind)], r->file, r->printer, r->driver, r->port}.join(u'|')
             : QStringLiteral("none");
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What the command line asks for, and the request a second start hands over for it, its
    // file made absolute against the folder the second start was started in (here /w).
    void parsesTheCommandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("request");
        QTest::newRow("plain start") << QStringList {} << "new => none";
        QTest::newRow("slash file") << QStringList {"/a.krp"} << "open /a.krp => open|/a.krp|||";
        QTest::newRow("quoted") << QStringList {"\"b c\""} << "open \"b c\" => open|/w/b c|||";
        QTest::newRow("P is not p") << QStringList {"/P", "a", "/p"} << "print /P => print|/P|||";
        QTest::newRow("print to, options between")
                << QStringList {"-pt", "a", "-Embedding", "x.pdf", "drv", "lp0", "x"}
                << "printto a x.pdf drv lp0 desktop => printto|/w/a|/w/x.pdf|drv|lp0";
        QTest::newRow("no printer") << QStringList {"/pt", "a"} << "printto a => print|/w/a|||";
        QTest::newRow("dde") << QStringList {"/dde"} << "dde desktop => none";
        QTest::newRow("send and wait") << QStringList {"--send", "a", "--port", "S0", "--wait"}
                                       << "send a S0 19200 wait => none";
        QTest::newRow("send, stop and run")
                << QStringList {"--send", "a", "--port", "p", "--baud", "9600", "--run", "--stop"}
                << "send a p 9600 run stop => none";
        QTest::newRow("no port") << QStringList {"--send", "a.krp"} << "help a.krp => none";
        QTest::newRow("log without send") << QStringList {"a", "--log", "l"} << "help a l => none";
        QTest::newRow("unknown long option") << QStringList {"--chek", "a"} << "help a => none";
        QTest::newRow("simulate") << QStringList {"--simulate", "a",    "--set",    "1H@2.5",
                                                  "--set",      "3L@0", "--inputs", "LHL",
                                                  "--max-time", "9"}
                                  << "simulate a 9000000 LHL 1H@2500000 3L@0 => none";
        for (const char *bad : {"--inputs hll", "--set 4H@1", "--set 1H@nan", "--max-time x"})
            QTest::newRow(bad) << QStringList {"--simulate", "a"}
                            + QString::fromLatin1(bad).split(u' ')
                               << "help a => none";
        QTest::newRow("simulate no file") << QStringList {"--simulate"} << "help => none";
        QTest::newRow("unknown short flag")
                << QStringList {"-chek", "a"} << "open a => open|/w/a|||";
    }
    void parsesTheCommandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, request);
        const CommandLineRequest parsed = parseCommandLine(args);
        const auto handedOver = kr44::shellRequestFor(parsed, QStringLiteral("/w"));
        QCOMPARE(describe(parsed) + " => " + describe(handedOver), request);
    }

    // Only the three requests are carried out, each in its one spelling.
    void refusesOtherRequestTexts_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("relative path") << QByteArray("[open(\"a.krp\")]");
        QTest::newRow("no printer") << QByteArray("[printto(\"/a\",\"\",\"\",\"\")]");
        QTest::newRow("text outside") << QByteArray("[open(\"/a\")]\n");
        QTest::newRow("NUL") << QByteArray("[open(\"/a\0b\")]", 14);
        QTest::newRow("invalid UTF-8") << QByteArray("[open(\"/a\xff\")]");
        QTest::newRow("too long") << "[open(\"/" + QByteArray(kr44::kMaxShellRequestSize, 'a')
                        + "\")]";
    }
    void refusesOtherRequestTexts()
    {
        QFETCH(QByteArray, text);
        QCOMPARE(describe(kr44::parseShellRequest(text)), QStringLiteral("none"));
    }

    // A simulated run executes the lines the unit was sent and names each by its editor line,
    // comment lines above, between and below the jump targets and loops left out of the unit's
    // count; an error names the line it concerns both ways.
    void simulation_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("inputs");
        QTest::addColumn<QByteArray>("change"); // input, level, simulated ms
        QTest::addColumn<QString>("executed");
        QTest::addColumn<QString>("ending");
        const QByteArray jumps = "* a\nL0\n* b\n+10\nL2\n\n* c\nJ1H,1\nA1\n* d\n";
        QTest::newRow("ready") << jumps << QByteArray("LLL") << QByteArray() << "2 4 5 4 5 8 9"
                               << "Ready";
        QTest::newRow("jump taken until the input falls")
                << jumps << QByteArray("HLL") << QByteArray("1L60") << "2 4 5 4 5 8 2 4 5 4 5 8 9"
                << "Ready";
        QTest::newRow("run error") << QByteArray("* a\nL0\n* b\n+1\nL3\n* c\n+200000\n")
                                   << QByteArray("LLL") << QByteArray() << "2 4 5 4 5 4 5 7"
                                   << "error E7 on line 7 (unit line 4)";
        QTest::newRow("refused line")
                << QByteArray("* a\n+1\n* b\nQ9\n") << QByteArray("LLL") << QByteArray() << ""
                << "error E4 on line 4 (unit line 2)";
        QTest::newRow("bad target")
                << QByteArray("+1\n* a\nj9\n") << QByteArray("LLL") << QByteArray() << ""
                << "error E3 on line 3 (unit line 2)";
    }
    void simulation()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, inputs);
        QFETCH(QByteArray, change);
        QFETCH(QString, executed);
        QFETCH(QString, ending);
        SimulationSetup setup;
        setup.maxTimeUs = 200'000'000;
        for (int i = 0; i < 3; ++i)
            setup.inputs[size_t(i)] = inputs.at(i) == 'H';
        if (!change.isEmpty())
            setup.changes.append(
                    {change.mid(2).toLongLong() * 1000, change.at(0) - '0', change.at(1) == 'H'});
        QByteArrayList programLines = text.split('\n');
        programLines.removeLast();
        Simulation simulation(LineArray::fromList(programLines), setup);
        QStringList lines;
        simulation.setStepHandler(
                [&](const SimulationStep &step) { lines << QString::number(step.editorLine); });
        const Simulation::Outcome outcome = simulation.run();
        QCOMPARE(lines.join(u' '), executed);
        QCOMPARE(simulation.summary(outcome).first(), "Ended: " + ending);
    }

    // The example under each of the eight input levels, its editor lines as executed: input 1
    // low holds it at W1H, input 2 high sends it back to line 2, input 3 is not read.
    void exampleUnderEveryInputLevel()
    {
        QFile file(QFINDTESTDATA("../../examples/axis-demo.krp"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArrayList text = file.readAll().replace('\r', "").split('\n');
        text.removeLast();
        const LineArray program = LineArray::fromList(text);
        const QString pass = " 3 4 5 6", passes = pass.repeated(5);
        const QString waits = "1 2 3 4", ready = "1 2" + passes + " 7 8";
        const QString again
                = "1 2" + passes + " 7 2" + passes + " 7 2" + pass.repeated(2).chopped(2);
        for (int levels = 0; levels < 8; ++levels) {
            SimulationSetup setup;
            setup.maxTimeUs = 5'000'000;
            setup.inputs = {bool(levels & 1), bool(levels & 2), bool(levels & 4)};
            Simulation simulation(program, setup);
            QStringList lines;
            simulation.setStepHandler(
                    [&](const SimulationStep &step) { lines << QString::number(step.editorLine); });
            const Simulation::Outcome outcome = simulation.run();
            QCOMPARE(lines.join(u' '), !(levels & 1) ? waits : (levels & 2) ? again : ready);
            if ((levels & 3) == 1) // the loop's start line is no loop of its own
                QCOMPARE(simulation.summary(outcome).filter("Loop"),
                         QStringList {"Loop ending on line 6: 5 passes"});
        }
    }

    // Options > "Log the line to a file...", checked while it logs, is kept in the settings: a
    // start goes on logging to the same file until the command is chosen again or the file fails,
    // which is reported once.
    void lineLogCommandLastsUntilSwitchedOff()
    {
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        SerialLink link {std::make_unique<FakeDevice>()};
        QVERIFY(link.openPort());
        QAction action;
        QString file = dir.filePath(QStringLiteral("line.log"));
        QStringList reports;
        const auto start = [&] {
            auto commands = std::make_unique<LineLogCommands>(
                    &action, &link, settings, nullptr,
                    [&](QWidget *, const QString &text) { reports << text; });
            commands->setFileChooser([&](QWidget *) { return file; });
            commands->restore();
            return commands;
        };
        start()->toggle();
        auto commands = start();
        QVERIFY(action.isChecked());
        link.sendChar('K');
        action.trigger();
        QVERIFY(!action.isChecked() && kr44test::readAll(file).endsWith(" -> K\n"));
        file = QStringLiteral("/dev/full");
        action.trigger();
        link.sendChar('K');
        QVERIFY(!commands->log()->flush() && !action.isChecked() && reports.size() == 1);
        QVERIFY(!start()->log()->isActive() && reports.size() == 1);
    }

    // Whatever the names hold, the text written is read back as the request that was written.

    void shellRequestsRoundTrip()
    {
        QRandomGenerator random(4711);
        const QString alphabet = QStringLiteral("ab /\"\\,()[]'%$\t\n\u00e9\u20ac");
        for (int n = 0; n < 2000; ++n) {
            QString parts[4];
            for (QString &part : parts) {
                for (int i = int(random.bounded(12)); i > 0; --i)
                    part += alphabet.at(int(random.bounded(alphabet.size())));
            }
            const auto kind = ShellRequest::Kind(random.bounded(3));
            ShellRequest request {kind, u'/' + parts[0], {}, {}, {}};
            if (kind == ShellRequest::Kind::PrintTo)
                request = {kind, request.file, u'P' + parts[1], parts[2], parts[3]};
            const QByteArray text = kr44::formatShellRequest(request);
            QCOMPARE(describe(kr44::parseShellRequest(text)), describe(request));
        }
    }
};

KR44_TEST(TestCommandLine)
#include "tst_commandline.moc"
