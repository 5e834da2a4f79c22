// The command-line modes as a script runs them: the kr44 program as a separate process, and for
// --send the virtual unit kr44-sim as another, reached through the pseudo-terminal it prints.
#include "download.h"
#include "programfile.h"
#include "processes.h"
#include "testmain.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using kr44test::buildPath;

namespace {

constexpr int kProcessTimeoutMs = 30000;

struct Result
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Waits on the process's state with the event loop running, not on a blocking call.
bool finished(QProcess &process, int timeoutMs = kProcessTimeoutMs)
{
    return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, timeoutMs);
}

// A CR-terminated line of the unit's log, as kr44-sim writes it.
QByteArray logged(QByteArray bytes)
{
    bytes.replace("\r", "\\r");
    return "<- " + bytes;
}

} // namespace

// kr44-sim in a process of its own, for one test.
class HeadlessSim
{
public:
    bool start(const QStringList &args)
    {
        m_process.start(buildPath("src/sim/kr44-sim"), args);
        if (!m_process.waitForStarted())
            return false;
        if (!QTest::qWaitFor([&] { return m_process.canReadLine(); }, 10000))
            return false;
        m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
        return m_device.startsWith(QLatin1String("/dev/"));
    }
    ~HeadlessSim()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            finished(m_process, 10000);
        }
    }
    [[nodiscard]] QString device() const { return m_device; }
    // Everything the unit logged so far: "<- " received lines, "-> " replies.
    QByteArrayList log()
    {
        m_log += m_process.readAllStandardError();
        return m_log.split('\n');
    }
    // Lines the unit received, in order.
    QByteArrayList received()
    {
        QByteArrayList out;
        for (const QByteArray &line : log()) {
            if (line.startsWith("<- "))
                out.append(line);
        }
        return out;
    }
    void stop() { m_process.terminate(); }
    QProcess &process() { return m_process; }

private:
    QProcess m_process;
    QString m_device;
    QByteArray m_log;
};

class TestHeadless : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString writeProgram(const QString &name, const QByteArray &text)
    {
        QByteArray bytes = text;
        bytes.replace("\n", "\r\n");
        const QString path = m_dir.filePath(name);
        if (!kr44test::writeAll(path, bytes))
            return {};
        return path;
    }

    static Result run(const QStringList &args)
    {
        QProcess process;
        process.start(buildPath("src/app/kr44"), args);
        Result r;
        if (!process.waitForStarted() || !finished(process))
            return r;
        r.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
        r.out = process.readAllStandardOutput();
        r.err = process.readAllStandardError();
        return r;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const char *program : {"src/app/kr44", "src/sim/kr44-sim"})
            QVERIFY2(QFileInfo(buildPath(program)).isExecutable(), program);
    }

    // ---- --check ------------------------------------------------------------------------------

    void check_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("output"); // %1 stands for the file name
        QTest::addColumn<int>("exitCode");
        QTest::newRow("clean") << QByteArray("X500,1000,20\nL0\n+200\nW1H\n-200\nL5\nK\n* end\n")
                               << QByteArray() << 0;
        QTest::newRow("warnings only")
            << QByteArray("* set up\nX500,1000,20\nL0\n+200\nW1H\n-200\nL5\nJ2L,4\nK\n")
            << QByteArray(
                   "%1:8: warning: Jumps to line 4 as the editor counts, but the unit does not "
                   "count the comment line above it and lands on line 5 (\"W1H\").\n"
                   "%1:8: warning: Jumps into the loop of lines 3 to 7 past its start, so its "
                   "loop end finds no loop open (a loop error on the unit).\n")
            << 0;
        QTest::newRow("errors")
            << QByteArray("+0200\nL5\nK\nQ\n")
            << QByteArray(
                   "%1:1: error: The parameters \"0200\" are not written as the instruction "
                   "dialogs write them (\"200\"), so the unit refuses the line.\n"
                   "%1:2: error: This loop end has no loop start (L0) before it, so the unit "
                   "refuses the download.\n"
                   "%1:4: error: \"Q\" is not an instruction code, so the unit refuses this line.\n"
                   "%1:4: warning: This line never runs: no jump leads here and the line before "
                   "it never goes on to it.\n")
            << 1;
        QTest::newRow("empty file") << QByteArray() << QByteArray() << 0;
    }
    void check()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, output);
        QFETCH(int, exitCode);
        const QString path = writeProgram(QStringLiteral("check.krp"), text);
        QVERIFY(!path.isEmpty());
        const Result r = run({"--check", path});
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(r.out, QString::fromLatin1(output).arg(path).toLocal8Bit());
        QCOMPARE(r.err, QByteArray());
    }

    void checkSeveralFiles()
    {
        const QString clean = writeProgram(QStringLiteral("clean.krp"), "+1\nK\n");
        const QString bad = writeProgram(QStringLiteral("bad.krp"), "+0\n");
        const QString missing = m_dir.filePath(QStringLiteral("missing.krp"));

        Result r = run({"--check", clean, bad});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out,
                 (bad
                  + QStringLiteral(":1: error: The step count 0 is outside 1 to 8388607, so "
                                   "the unit refuses the line.\n"))
                     .toLocal8Bit());

        // A file that cannot be read outranks findings in the others, which are still reported.
        r = run({"--check", missing, bad, clean});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.out.startsWith(bad.toLocal8Bit() + ":1: error:"));
        QCOMPARE(r.err,
                 "kr44: "
                     + kr44::fileErrorText(kr44::FileErrorCause::NotFound, missing).toLocal8Bit()
                     + '\n');

        r = run({"--check", m_dir.path()});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.startsWith("kr44: ") && r.err.contains(m_dir.path().toLocal8Bit()),
                 r.err.constData());
        QCOMPARE(r.out, QByteArray());
    }

    // ---- --send -------------------------------------------------------------------------------

    // The bytes the unit receives are the ones the "Send program and run it" command writes:
    // both come from the link's download.
    void sendAndRunWaitsForReady()
    {
        HeadlessSim sim;
        QVERIFY(sim.start({"--time-scale", "100", "--inputs", "HLL"}));
        const QByteArray text = "* set up\nX500,1000,20\nL0\n+200\nW1H\n-200\nL5\n* done\nK\n";
        const QString path = writeProgram(QStringLiteral("run.krp"), text);

        const Result r
            = run({"--send", path, "--port", sim.device(), "--baud", "9600", "--run", "--wait"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("Ready\n"));
        QCOMPARE(r.err, (QStringLiteral("kr44: sent 7 lines of %1 to %2 and started it\n")
                             .arg(path, sim.device()))
                            .toLocal8Bit());

        kr44::Download download(kr44::parseProgram(text), kr44::Download::Kind::SendAndRun);
        QByteArray wire;
        while (!download.atEnd())
            wire += download.next().bytes;
        QByteArrayList expected;
        for (const QByteArray &line : wire.split('\r').mid(0, wire.count('\r')))
            expected.append(logged(line + '\r'));
        QCOMPARE(sim.received(), expected);
    }

    void sendWithoutRunListens()
    {
        HeadlessSim sim;
        QVERIFY(sim.start({"--time-scale", "100"}));
        const QString path = writeProgram(QStringLiteral("plain.krp"), "+1\nK\n");
        const Result r = run({"--send", path, "--port", sim.device()});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray());
        QCOMPARE(sim.received(), QByteArrayList({"<- P\\r", "<- +1\\r", "<- K\\r", "<- P\\r"}));
    }

    void unitAnswers_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QByteArray>("note"); // in the error output, %1 standing for the file
        QTest::newRow("refused lines")
            << QByteArray("+0200\nQ\nK\n") << QStringList({"--run", "--wait"})
            << QByteArray("Error - bad parameter\nError - bad command\nReady\n") << QByteArray();
        QTest::newRow("line numbers differ")
            << QByteArray("* first\nW1H\nJ1H,4\n+1\n") << QStringList({"--run", "--wait"})
            << QByteArray("Error - program error in line 2\nReady\n")
            << QByteArray("kr44: the unit's line 2 is line 3 of %1 (comment lines are not sent)\n");
        QTest::newRow("run ends with an error")
            << QByteArray("+1\n-500\nK\n") << QStringList({"--run", "--wait"})
            << QByteArray("Error - end of travel\n") << QByteArray();
        QTest::newRow("refused, without a run")
            << QByteArray("D0\n") << QStringList() << QByteArray("Error - bad parameter\n")
            << QByteArray();
    }
    void unitAnswers()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, options);
        QFETCH(QByteArray, output);
        QFETCH(QByteArray, note);
        HeadlessSim sim;
        QVERIFY(sim.start({"--time-scale", "100", "--eot-minus", "-100"}));
        const QString path = writeProgram(QStringLiteral("answers.krp"), text);
        const Result r = run(QStringList({"--send", path, "--port", sim.device()}) + options);
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out, output);
        if (!note.isEmpty())
            QVERIFY2(r.err.contains(QString::fromLatin1(note).arg(path).toLocal8Bit()),
                     r.err.constData());
    }

    // A unit that runs a program answers "Busy" to a download; --stop stops it first.
    void busyUnitAndStop()
    {
        HeadlessSim sim;
        QVERIFY(sim.start({"--time-scale", "100", "--inputs", "LLL"}));
        const QString waits = writeProgram(QStringLiteral("waits.krp"), "W3H\nK\n");
        const QString moves = writeProgram(QStringLiteral("moves.krp"), "+10\n-10\n");

        Result r = run({"--send", waits, "--port", sim.device(), "--run"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray());

        r = run({"--send", moves, "--port", sim.device()});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out, QByteArray("Busy\nBusy\nBusy\nBusy\n"));
        QVERIFY2(r.err.contains("--stop stops it first"), r.err.constData());

        const qsizetype before = sim.received().size();
        r = run({"--send", moves, "--port", sim.device(), "--stop", "--run", "--wait"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("Ready\nReady\n"));
        QCOMPARE(sim.received().mid(before),
                 QByteArrayList(
                     {"<- K\\r", "<- P\\r", "<- +10\\r", "<- -10\\r", "<- P\\r", "<- E\\r"}));
    }

    void stopOnly()
    {
        HeadlessSim sim;
        QVERIFY(sim.start({"--time-scale", "100", "--inputs", "LLL"}));
        const QString waits = writeProgram(QStringLiteral("waits.krp"), "W3H\nK\n");
        QCOMPARE(run({"--send", waits, "--port", sim.device(), "--run"}).exitCode, 0);

        const Result r = run({"--send", "--port", sim.device(), "--stop", "--wait"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("Ready\n"));
        QCOMPARE(sim.received().last(), QByteArray("<- K\\r"));
    }

    void portAndFileFailures()
    {
        const QString path = writeProgram(QStringLiteral("ok.krp"), "+1\n");
        Result r = run({"--send", path, "--port", "/nonexistent/tty"});
        QCOMPARE(r.exitCode, 3);
        QCOMPARE(r.out, QByteArray());
        QCOMPARE(r.err, QByteArray("kr44: /nonexistent/tty: no such device\n"));

        r = run({"--send", path, "--port", "kr44-no-such-tty"});
        QCOMPARE(r.exitCode, 3);
        QCOMPARE(r.err, QByteArray("kr44: /dev/kr44-no-such-tty: no such device\n"));

        // A file that is no serial port.
        r = run({"--send", path, "--port", path});
        QCOMPARE(r.exitCode, 3);
        QVERIFY2(r.err.startsWith("kr44: cannot open " + path.toLocal8Bit()), r.err.constData());

        // The file is read before the port is touched.
        HeadlessSim sim;
        QVERIFY(sim.start({"--time-scale", "100"}));
        const QString missing = m_dir.filePath(QStringLiteral("gone.krp"));
        r = run({"--send", missing, "--port", sim.device()});
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(r.err,
                 "kr44: "
                     + kr44::fileErrorText(kr44::FileErrorCause::NotFound, missing).toLocal8Bit()
                     + '\n');
        QCOMPARE(sim.received(), QByteArrayList());
    }

    // The unit going away while a run is waited for ends the wait with the link's status.
    void portLostWhileWaiting()
    {
        HeadlessSim sim;
        QVERIFY(sim.start({"--time-scale", "100", "--inputs", "LLL"}));
        const QString waits = writeProgram(QStringLiteral("waits.krp"), "W3H\nK\n");
        QProcess kr44;
        kr44.start(buildPath("src/app/kr44"),
                   {"--send", waits, "--port", sim.device(), "--run", "--wait"});
        QVERIFY(kr44.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(sim.received().contains("<- E\\r"), 10000);
        QVERIFY(kr44.state() == QProcess::Running);
        sim.stop();
        QVERIFY(finished(kr44));
        QCOMPARE(kr44.exitStatus(), QProcess::NormalExit);
        QCOMPARE(kr44.exitCode(), 4);
        const QByteArray err = kr44.readAllStandardError();
        QVERIFY2(err.contains("kr44: " + sim.device().toLocal8Bit() + ": "), err.constData());
        QCOMPARE(kr44.readAllStandardOutput(), QByteArray());
    }
};

KR44_TEST(TestHeadless)
#include "tst_headless.moc"
