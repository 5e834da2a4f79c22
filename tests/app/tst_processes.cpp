// The application and its parts as processes: one running instance per user, with the frames on
// its socket and real processes that start at once, crash, belong to another user or are the
// application itself; and the command-line modes as a script runs them, for --send against the
// virtual unit kr44-sim in another process.
#include "app/cli/commandline.h"
#include "app/desktop/shellrequest.h"
#include "app/desktop/singleinstance.h"
#include "processes.h"
#include "testmain.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace kr44;

namespace {

void say(const QString &line)
{
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

// What the program does at its start around the link, in a process of its own:
//   start [ARGS...]          hand the file of ARGS to the primary and say "accepted"; or be the
//                            primary: say "primary" and then each file it is handed
//   rawsend SOCKET MESSAGE   send one frame to SOCKET directly and say the answer, or "none"
int instanceHelper(const QStringList &args)
{
    if (args.value(0) == u"rawsend") {
        QLocalSocket socket;
        socket.connectToServer(args.value(1));
        if (socket.waitForConnected() && socket.write(SingleInstance::frame(args.at(2).toUtf8())))
            socket.waitForReadyRead();
        say(socket.bytesAvailable() ? QString::fromLatin1(socket.read(1)) : QStringLiteral("none"));
        return 0;
    }
    SingleInstance instance;
    const auto request = kr44::shellRequestFor(parseCommandLine(args.mid(1)), QDir::currentPath());
    if (!instance.isPrimaryInstance() && request) {
        const auto sent = instance.sendMessage(kr44::formatShellRequest(*request));
        if (!instance.isPrimaryInstance()) { // else the primary ended before it listened
            say(sent == SingleInstance::SendResult::Accepted ? "accepted" : "not accepted");
            return int(sent);
        }
    }
    say(QStringLiteral("primary"));
    QObject::connect(&instance, &SingleInstance::messageReceived, &instance,
                     [](const QByteArray &m) { say(kr44::parseShellRequest(m)->file); });
    if (request) // after the first answer: the election's winner serves while it works
        QMetaObject::invokeMethod(
                &instance, [=] { say(request->file); }, Qt::QueuedConnection);
    return QCoreApplication::exec();
}

KR44_TEST_HELPER("instance", instanceHelper)

const QString kKr44 = kr44test::buildPath("src/app/kr44");

kr44test::ProcessResult runKr44(const QStringList &args, const QStringList &environment = {})
{
    return kr44test::runProcess(kKr44, args, environment);
}

bool writeProgram(const QString &name, QByteArray text)
{
    return kr44test::writeAll(name, text.replace("\n", "\r\n"));
}

// The pages of a PDF file once it has been written to its end; 0 until then.
int pages(const QString &pdf)
{
    const QString bytes = QString::fromLatin1(kr44test::readAll(pdf));
    const QRegularExpression count(QStringLiteral("/Count (\\d+)"));
    return bytes.trimmed().endsWith(u"%%EOF") ? count.match(bytes).captured(1).toInt() : 0;
}

// The helper started beside the test, under an instance name.
struct Instance
{
    Instance(const QString &name, const QStringList &args)
    {
        kr44test::startProcess(process, kr44test::helperCommand("instance", args),
                               {"KR44_INSTANCE_NAME=" + name});
    }
    ~Instance() { kr44test::stopProcess(process); }
    QStringList lines() { return kr44test::outputLines(process, seen); }
    bool waitForLine(const QString &line)
    {
        return QTest::qWaitFor([&] { return lines().contains(line); }, kr44test::kProcessTimeoutMs);
    }

    QProcess process;
    QByteArray seen;
};

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

    QTemporaryDir m_runtime; // the runtime folder of the session: ours alone
    int m_names = 0;

    QString newName() { return QString::number(++m_names); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QFile::setPermissions(m_runtime.path(), QFileDevice::Permissions(0x7700)));
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    }

    // A frame that arrives in pieces is one message, judged only when it is complete. A peer
    // that stops halfway through its frame is dropped once its time is up, and nothing of it is
    // delivered.
    void framesMayArriveInPieces()
    {
        SingleInstance primary(newName());
        QSignalSpy received(&primary, &SingleInstance::messageReceived);
        const QByteArray message = "[open(\"/" + QByteArray(3000, 'x') + "\")]";
        const QByteArray frame = SingleInstance::frame(message);
        QLocalSocket client;
        client.connectToServer(primary.socketPath());
        qsizetype sent = 0;
        for (const qsizetype cut : {1, 5, 9, 700, int(frame.size()) - 1}) {
            client.write(frame.mid(sent, cut - sent));
            sent = cut;
            QVERIFY(QTest::qWaitFor([&] { return client.bytesToWrite() == 0; }));
            QCoreApplication::processEvents();
            QCOMPARE(client.bytesAvailable(), qint64(0));
        }
        client.write(frame.mid(sent));
        QTRY_VERIFY(client.bytesAvailable() > 0);
        QCOMPARE(client.readAll(), QByteArray("A"));
        QTRY_COMPARE(received.count(), 1);
        QCOMPARE(received.at(0).at(0).toByteArray(), message);

        primary.setConnectionTimeout(20);
        QLocalSocket stalled;
        stalled.connectToServer(primary.socketPath());
        stalled.write(frame.chopped(3));
        QTRY_COMPARE(stalled.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(primary.pendingConnections(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(received.count(), 1);
    }

    // Programs started at the same moment end with one primary, which gets every file. When it
    // crashes, leaving its lock and socket behind, the next start takes over.
    void simultaneousStartsElectOnePrimary_data()
    {
        QTest::addColumn<int>("starts");
        QTest::newRow("two") << 2;
        QTest::newRow("five") << 5;
    }
    void simultaneousStartsElectOnePrimary()
    {
        QFETCH(int, starts);
        const QString name = newName();
        std::vector<std::unique_ptr<Instance>> all;
        for (int i = 0; i < starts; ++i)
            all.emplace_back(new Instance(name, {"start", u'/' + QString::number(i)}));
        Instance *primary = nullptr;
        QVERIFY(QTest::qWaitFor(
                [&] {
                    int ended = 0;
                    for (const auto &instance : all) {
                        ended += instance->process.state() == QProcess::NotRunning;
                        if (instance->lines().contains(QStringLiteral("primary")))
                            primary = instance.get();
                    }
                    return primary && ended == starts - 1;
                },
                kr44test::kProcessTimeoutMs));
        for (const auto &instance : all)
            QVERIFY(instance.get() == primary || instance->lines() == QStringList {"accepted"});
        for (int i = 0; i < starts; ++i)
            QVERIFY(primary->waitForLine(u'/' + QString::number(i)));

        ::kill(pid_t(primary->process.processId()), SIGKILL);
        QVERIFY(kr44test::waitFinished(primary->process));
        QVERIFY(QFileInfo::exists(m_runtime.filePath(name + ".socket")));
        Instance next(name, {"start", "/a"});
        QVERIFY(next.waitForLine(QStringLiteral("primary")));
        QVERIFY(Instance(name, {"start", "/b"}).waitForLine(QStringLiteral("accepted")));
        QVERIFY(next.waitForLine(QStringLiteral("/b")));
    }

    // Another user is refused, also when the folder and socket modes would let it in.
    void otherUserIsRefused()
    {
        if (geteuid() != 0 || !QFileInfo::exists(QStringLiteral("/usr/bin/setpriv")))
            QSKIP("needs root and setpriv to connect as another user");
        const QString name = newName();
        Instance primary(name, {QStringLiteral("start")});
        QVERIFY(primary.waitForLine(QStringLiteral("primary")));
        const QString socket = m_runtime.filePath(name + ".socket");
        const auto send = [&socket](const QStringList &as, const QString &file) {
            const QStringList args {"rawsend", socket, QStringLiteral("[open(\"%1\")]").arg(file)};
            return kr44test::runCommand(as + kr44test::helperCommand("instance", args)).out;
        };
        const QStringList nobody {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534",
                                  "--clear-groups"};
        QCOMPARE(send(nobody, QStringLiteral("/nobody")), QByteArray("none\n"));
        const auto everyone = QFileDevice::Permissions(0x7777);
        QVERIFY(QFile::setPermissions(m_runtime.path(), everyone));
        QVERIFY(QFile::setPermissions(socket, everyone));
        QCOMPARE(send(nobody, QStringLiteral("/nobody")), QByteArray("none\n"));
        QCOMPARE(send({}, QStringLiteral("/owner")), QByteArray("A\n"));
        QVERIFY(primary.waitForLine(QStringLiteral("/owner")));
        QCOMPARE(primary.lines(), (QStringList {"primary", "/owner"}));
    }
};

class TestHeadless : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QVERIFY(writeProgram("clean.krp", "X500,1000,20\nL0\n+2\nW1H\n-2\nL5\n"));
        QVERIFY(writeProgram("warns.krp", "* a\nX500,1000,20\nL0\n+2\nW1H\nL5\nJ2L,4\n"));
        QVERIFY(writeProgram("errs.krp", "+0\n"));
    }

    // --check prints each finding on a line of its own and exits with 0 when no file has errors,
    // 1 when one has, 2 when one cannot be read (each named on the error output), reporting the
    // other files all the same.
    void check_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("findings");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("clean") << QStringList {"clean.krp"} << "" << 0;
        QTest::newRow("warnings") << QStringList {"warns.krp"}
                                  << "warns.krp:7: warning|warns.krp:7: warning" << 0;
        QTest::newRow("errors") << QStringList {"clean.krp", "errs.krp"} << "errs.krp:1: error"
                                << 1;
        QTest::newRow("unreadable")
                << QStringList {"gone.krp", "errs.krp", "."} << "errs.krp:1: error" << 2;
    }
    void check()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, findings);
        QFETCH(int, exitCode);
        const kr44test::ProcessResult r = runKr44(QStringList {"--check"} + files);
        QCOMPARE(r.exitCode, exitCode);
        QStringList heads;
        for (const QString &line : QString::fromLocal8Bit(r.out).split(u'\n', Qt::SkipEmptyParts))
            heads.append(line.section(QStringLiteral(": "), 0, 1));
        QCOMPARE(heads.join(u'|'), findings);
        QCOMPARE(r.err.count("kr44: "), exitCode == 2 ? 2 : 0);
    }

    // --simulate runs the program in simulated time and exits with how it ended: 0 Ready, 1 an
    // error reply, 2 a file problem, 3 still running at the time limit.
    void simulate_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("ending");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("ready") << QStringList {"clean.krp", "--inputs", "HLL"} << "Ready" << 0;
        QTest::newRow("error") << QStringList {"errs.krp"} << "error E2 on line 1 (unit line 1)"
                               << 1;
        QTest::newRow("time limit")
                << QStringList {"clean.krp", "--max-time", "0.5"} << "still running" << 3;
        QTest::newRow("no file") << QStringList {"gone.krp"} << "" << 2;
    }
    void simulate()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, ending);
        QFETCH(int, exitCode);
        const kr44test::ProcessResult r = runKr44(QStringList {"--simulate"} + args);
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(("\n" + r.out).contains("\nEnded: " + ending.toUtf8()), !ending.isEmpty());
        QCOMPARE(r.err.startsWith("kr44: "), ending.isEmpty());
    }

    // The trace of the example: the first pass waits on its W1H until input 1 rises at 0.3 s,
    // the passes after it find the input high, and input 2 falls at 0.5 s, during a move; each row
    // holds the unit as the instruction left it.
    void simulateTrace()
    {
        const kr44test::ProcessResult r
                = runKr44({"--simulate", QFINDTESTDATA("../../examples/axis-demo.krp"), "--trace",
                           "t.csv", "--inputs", "LHL", "--set", "2L@0.5", "--set", "1H@0.3"});
        QCOMPARE(r.exitCode, 0);
        QFile trace(QStringLiteral("t.csv"));
        QVERIFY(trace.open(QIODevice::ReadOnly));
        const QByteArrayList rows = trace.readAll().split('\n');
        QCOMPARE(rows.mid(0, 7),
                 QByteArrayList({"time_s,unit_line,editor_line,instruction,position,speed,outputs,"
                                 "inputs",
                                 "0.000000,1,1,\"X500,1000,20\",0,0.0,000,LHL",
                                 "0.000100,2,2,\"L0\",0,0.0,000,LHL",
                                 "0.000200,3,3,\"+200\",200,1000.0,000,LHL",
                                 "0.213633,4,4,\"W1H\",200,0.0,000,HHL",
                                 "0.300100,5,5,\"-200\",0,1000.0,000,HLL",
                                 "0.513533,6,6,\"L5\",0,0.0,000,HLL"}));
        QCOMPARE(rows.at(23), "2.221897,7,7,\"J2H,2\",0,0.0,000,HLL"); // input 2 fell: no jump
        QCOMPARE(rows.size(), 26); // header, 24 instructions, the empty end
    }

    // A mistyped long option ends the run with the usage, never with a window that a script would
    // wait on for ever.
    void unknownLongOption()
    {
        const kr44test::ProcessResult r = runKr44({"--chek", "clean.krp"});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.startsWith("kr44: unknown option --chek\n\nUsage: kr44 "));
        QVERIFY(r.err.endsWith("instead of '/'.\n"));
    }

    // --send downloads the program's lines but its comments, runs it when asked and shows the
    // unit's replies, with the editor's number of a line the unit names; it exits with 1 when
    // the unit answered an error.
    void send_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<QByteArray>("replies");
        QTest::addColumn<QByteArray>("note");
        const QStringList wait {"--run", "--wait"};
        QTest::newRow("run and wait") << QByteArray("* up\n+2\nW1H\n-2\n* done\nK\n") << wait
                                      << QByteArray("P +2 W1H -2 K P E") << QByteArray("Ready\n")
                                      << QByteArray("4 lines");
        QTest::newRow("no run") << QByteArray("+1\nK\n") << QStringList {} << QByteArray("P +1 K P")
                                << QByteArray() << QByteArray("2 lines");
        QTest::newRow("unit counts no comments")
                << QByteArray("* first\nW1H\nJ1H,4\n+1\n") << wait
                << QByteArray("P W1H J1H,4 +1 P E")
                << QByteArray("Error - program error in line 2\nReady\n")
                << QByteArray("the unit's line 2 is line 3 of send.krp");
    }
    void send()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, options);
        QFETCH(QByteArray, received);
        QFETCH(QByteArray, replies);
        QFETCH(QByteArray, note);
        kr44test::SimProcess sim;
        QVERIFY(sim.start({"--time-scale", "100", "--inputs", "HLL"}));
        QVERIFY(writeProgram(QStringLiteral("send.krp"), text));
        const auto r
                = runKr44(QStringList {"--send", "send.krp", "--port", sim.device()} + options);
        QCOMPARE(r.exitCode, replies.contains("Error") ? 1 : 0);
        QCOMPARE(r.out, replies);
        QVERIFY2(r.err.contains(note), r.err.constData());
        QCOMPARE(sim.received(), ("<- " + received.replace(' ', "\\r\n<- ") + "\\r").split('\n'));
    }

    // --log: without their times, the chunks to the unit are byte for byte what the unit received,
    // those from it what it sent. A log on a full disk is reported once; the download goes on.
    void sendLogsTheLine()
    {
        kr44test::SimProcess sim;
        QVERIFY(sim.start({"--time-scale", "100", "--inputs", "HLL"}));
        const QString example = QFINDTESTDATA("../../examples/axis-demo.krp");
        const QStringList send {"--send", example,  "--port", sim.device(),
                                "--run",  "--wait", "--log"};
        QCOMPARE(runKr44(send + QStringList {"line.log"}).exitCode, 0);
        static const QRegularExpression entry(QStringLiteral(
                "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} (->|<-) (.+)$"));
        // To the unit and from it, in kr44-sim's notation (which differs only in showing '<').
        QString log[2];
        for (const QByteArray &line : kr44test::readAll(QStringLiteral("line.log")).split('\n')) {
            const QRegularExpressionMatch m = entry.match(QString::fromLatin1(line));
            QVERIFY2(m.hasMatch() || line.isEmpty(), line.constData());
            log[m.captured(1) == u"<-"]
                    += m.captured(2)
                               .replace("<CR>", "\\r")
                               .replace("<LF>", "\\n")
                               .replace(QRegularExpression("<0x(..)>"), "\\x\\1");
        }
        QByteArray unit[2]; // received, sent
        QTRY_VERIFY(sim.log().contains("-> R\\r"));
        for (const QByteArray &line : sim.log()) // "<- " what it received, "-> " what it sent
            unit[line.startsWith("-> ")] += line.mid(3);
        QCOMPARE(log[0].toLatin1(), unit[0]);
        QCOMPARE(log[1].toLatin1(), unit[1]);

        const kr44test::ProcessResult full = runKr44(send + QStringList {"/dev/full"});
        QCOMPARE(full.exitCode, 0);
        QCOMPARE(full.err.count("line log"), 1);
        QTRY_COMPARE(sim.received().count("<- E\\r"), 2);
    }

    // A file that cannot be read, a port that is not there and a port lost while a run is
    // waited for each have their exit status.
    void portFailures()
    {
        QCOMPARE(runKr44({"--send", "clean.krp", "--port", "kr44-no-such-tty"}).exitCode, 3);
        QCOMPARE(runKr44({"--send", "no-such.krp", "--port", "kr44-no-such-tty"}).exitCode, 2);
        kr44test::SimProcess sim;
        QVERIFY(sim.start({"--time-scale", "100", "--inputs", "LLL"}));
        QVERIFY(writeProgram(QStringLiteral("waits.krp"), "W3H\n"));
        QProcess send;
        QVERIFY(kr44test::startProcess(
                send, {kKr44, "--send", "waits.krp", "--port", sim.device(), "--run", "--wait"}));
        QTRY_VERIFY_WITH_TIMEOUT(sim.received().contains("<- E\\r"), kr44test::kProcessTimeoutMs);
        kr44test::stopProcess(sim.process());
        QVERIFY(kr44test::waitFinished(send));
        QCOMPARE(send.exitStatus(), QProcess::NormalExit);
        QCOMPARE(send.exitCode(), 4);
        QVERIFY(send.readAllStandardError().contains(sim.device().toLocal8Bit()));
    }

    // A second start hands its file to the running application: a print request for a file it
    // opened prints what the window holds, not what has been written to the file since. Both are
    // real processes, with settings, data and runtime folders of their own.
    void secondStartHandsItsFileToTheRunningApplication()
    {
        QStringList env;
        for (const QString dir : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR", "HOME"}) {
            QVERIFY(QDir().mkpath(dir));
            QVERIFY(QFile::setPermissions(dir, QFileDevice::Permissions(0x7700)));
            env.append(dir + u'=' + m_dir.filePath(dir));
        }
        QProcess primary;
        QVERIFY(kr44test::startProcess(primary, {kKr44, "--virtual-unit"}, env));
        // A second start before the primary holds its lock would be the primary itself.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(QStringLiteral("XDG_RUNTIME_DIR/kr44.socket")),
                                 kr44test::kProcessTimeoutMs);
        QVERIFY(writeProgram("long.krp", QByteArray(300, '\n').replace("\n", "+1\n")));
        QCOMPARE(runKr44({"long.krp"}, env).exitCode, 0);
        QCOMPARE(runKr44({"/pt", "errs.krp", "first.pdf"}, env).exitCode, 0);
        // Requests are carried out in order: once this one is printed the file is open.
        QTRY_COMPARE_WITH_TIMEOUT(pages("first.pdf"), 1, kr44test::kProcessTimeoutMs);
        QVERIFY(writeProgram(QStringLiteral("long.krp"), "+1\n"));
        QCOMPARE(runKr44({"-pt", "long.krp", "long.pdf"}, env).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(pages("long.pdf") > 1, kr44test::kProcessTimeoutMs);
        kr44test::stopProcess(primary);
    }
};

KR44_TEST(TestSingleInstance)
KR44_TEST(TestHeadless)
#include "tst_processes.moc"
