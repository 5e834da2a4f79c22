#include "singleinstance.h"
#include "processes.h"
#include "testmain.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <unistd.h>

namespace {

QString helperPath()
{
    return kr44test::buildPath("tests/app/helper_singleinstance");
}

QString randomName()
{
    return QStringLiteral("kr44-test-%1").arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
}

// A helper process whose output lines the test waits for.
class Helper
{
public:
    Helper(const QString &instanceName, const QString &workingDir)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KR44_INSTANCE_NAME"), instanceName);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(env);
        m_process.setWorkingDirectory(workingDir);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
    }
    ~Helper()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    void start(const QStringList &args) { m_process.start(helperPath(), args); }
    QProcess &process() { return m_process; }

    QStringList lines()
    {
        m_output += m_process.readAllStandardOutput();
        return QString::fromUtf8(m_output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    bool waitForLine(const QString &line, int timeoutMs = 10000)
    {
        return QTest::qWaitFor([this, &line] { return lines().contains(line); }, timeoutMs);
    }
    bool waitForFinished(int timeoutMs = 10000)
    {
        return QTest::qWaitFor([this] { return m_process.state() == QProcess::NotRunning; }, timeoutMs);
    }

private:
    QProcess m_process;
    QByteArray m_output;
};

// Runs a helper to its end and returns its output lines.
QStringList runHelper(const QString &instanceName, const QString &workingDir, const QStringList &args,
                      int *exitCode = nullptr)
{
    Helper helper(instanceName, workingDir);
    helper.start(args);
    if (!helper.waitForFinished(15000))
        return {QStringLiteral("(still running)")};
    if (exitCode)
        *exitCode = helper.process().exitCode();
    return helper.lines();
}

QByteArray validRequest(const QString &file)
{
    return QStringLiteral("[open(\"%1\")]").arg(file).toUtf8();
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_runtime;
    QTemporaryDir m_work;

    // A client connected in this process to `instance`, which is served by this event loop.
    std::unique_ptr<QLocalSocket> connectTo(const SingleInstance &instance)
    {
        auto socket = std::make_unique<QLocalSocket>();
        socket->connectToServer(instance.socketPath());
        if (!QTest::qWaitFor([&socket] { return socket->state() == QLocalSocket::ConnectedState; }, 5000))
            return nullptr;
        return socket;
    }
    static QByteArray answerOf(QLocalSocket &socket)
    {
        if (!QTest::qWaitFor([&socket] { return socket.bytesAvailable() > 0 || socket.state() == QLocalSocket::UnconnectedState; },
                             8000))
            return "(timeout)";
        return socket.readAll();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        QVERIFY(m_work.isValid());
        // A runtime folder of our own, as the session's would be: owned by us, mode 0700.
        QVERIFY(QFile::setPermissions(m_runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
        qunsetenv("KR44_INSTANCE_NAME");
        QVERIFY2(QFileInfo::exists(helperPath()), qPrintable(helperPath()));
    }

    void namesInstanceAndPaths_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("fromEnvironment");
        QTest::addColumn<QString>("expected");
        QTest::newRow("default") << QString() << QString() << "kr44";
        QTest::newRow("environment") << QString() << "kr44-env" << "kr44-env";
        QTest::newRow("argument wins") << "kr44-arg" << "kr44-env" << "kr44-arg";
        QTest::newRow("no path separators") << "../../etc/x" << QString() << ".._.._etc_x";
        QTest::newRow("blanks") << "a b\tc" << QString() << "a_b_c";
    }
    void namesInstanceAndPaths()
    {
        QFETCH(QString, given);
        QFETCH(QString, fromEnvironment);
        QFETCH(QString, expected);
        if (fromEnvironment.isEmpty())
            qunsetenv("KR44_INSTANCE_NAME");
        else
            qputenv("KR44_INSTANCE_NAME", fromEnvironment.toUtf8());
        const SingleInstance instance(given);
        qunsetenv("KR44_INSTANCE_NAME");
        QCOMPARE(instance.instanceName(), expected);
        QCOMPARE(instance.socketPath(), m_runtime.filePath(expected + QStringLiteral(".socket")));
        QCOMPARE(instance.lockFilePath(), m_runtime.filePath(expected + QStringLiteral(".lock")));
    }

    // The first instance listens on a socket only its user can reach; the second in the same
    // process is not elected while the first holds the lock. Both files go with the primary.
    void firstInstanceIsPrimaryAndOwnerOnly()
    {
        const QString name = randomName();
        QString socket;
        QString lock;
        {
            SingleInstance first(name);
            QVERIFY(first.isPrimaryInstance());
            QVERIFY2(first.isListening(), qPrintable(first.errorString()));
            socket = first.socketPath();
            lock = first.lockFilePath();
            QVERIFY(QFileInfo::exists(lock));
            const QFileInfo info(socket);
            QVERIFY(info.exists());
            QCOMPARE(info.ownerId(), uint(geteuid()));
            QCOMPARE(info.permissions() & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
                                           | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther),
                     QFileDevice::Permissions());
            const SingleInstance second(name);
            QVERIFY(!second.isPrimaryInstance());
        }
        QVERIFY(!QFileInfo::exists(socket));
        QVERIFY(!QFileInfo::exists(lock));
        const SingleInstance third(name);
        QVERIFY(third.isPrimaryInstance());
    }

    // A frame that arrives in pieces is one message, signalled once and only when complete.
    void framesMayArriveInPieces()
    {
        SingleInstance primary(randomName());
        QSignalSpy received(&primary, &SingleInstance::messageReceived);
        const QByteArray message = QByteArray("[open(\"/tmp/") + QByteArray(3000, 'x') + "\")]";
        const QByteArray frame = SingleInstance::frame(message);
        std::unique_ptr<QLocalSocket> client = connectTo(primary);
        QVERIFY(client);
        const QList<qsizetype> cuts = {1, 3, 5, 9, 10, 700, 2000, frame.size() - 1};
        qsizetype from = 0;
        for (qsizetype cut : cuts) {
            client->write(frame.mid(from, cut - from));
            from = cut;
            QVERIFY(QTest::qWaitFor([&client] { return client->bytesToWrite() == 0; }, 5000));
            QCoreApplication::processEvents();
            QCOMPARE(received.count(), 0);
            QCOMPARE(client->bytesAvailable(), qint64(0));
        }
        client->write(frame.mid(from));
        QCOMPARE(answerOf(*client), QByteArray("A"));
        QTRY_COMPARE(received.count(), 1);
        QCOMPARE(received.at(0).at(0).toByteArray(), message);
    }

    // A connection that ends halfway through its frame delivers nothing.
    void cutShortFrameDeliversNothing()
    {
        SingleInstance primary(randomName());
        QSignalSpy received(&primary, &SingleInstance::messageReceived);
        std::unique_ptr<QLocalSocket> client = connectTo(primary);
        QVERIFY(client);
        QTRY_COMPARE(primary.pendingConnections(), 1);
        client->write(SingleInstance::frame("[open(\"/a\")]").chopped(3));
        client->flush();
        client->disconnectFromServer();
        QTRY_COMPARE(primary.pendingConnections(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(received.count(), 0);
    }

    void refusesBadFrames_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray wrongVersion = SingleInstance::frame("x");
        wrongVersion[4] = 2;
        QByteArray tooLong = SingleInstance::frame("x").left(5);
        tooLong.append("\x00\x01\x00\x01", 4); // 65537 bytes announced
        QTest::newRow("wrong magic") << QByteArray("HTTP/1.1 GET /");
        QTest::newRow("wrong magic, short") << QByteArray("KX");
        QTest::newRow("wrong version") << wrongVersion;
        QTest::newRow("announced length over the limit") << tooLong;
    }
    void refusesBadFrames()
    {
        QFETCH(QByteArray, bytes);
        SingleInstance primary(randomName());
        QSignalSpy received(&primary, &SingleInstance::messageReceived);
        std::unique_ptr<QLocalSocket> client = connectTo(primary);
        QVERIFY(client);
        client->write(bytes);
        QCOMPARE(answerOf(*client), QByteArray("R"));
        QTRY_COMPARE(primary.pendingConnections(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(received.count(), 0);
    }

    // The primary's filter decides; a refused message is answered and not signalled.
    void filterRefusesMessages()
    {
        SingleInstance primary(randomName());
        primary.setMessageFilter([](const QByteArray &m) { return m.startsWith("[open("); });
        QSignalSpy received(&primary, &SingleInstance::messageReceived);
        std::unique_ptr<QLocalSocket> refused = connectTo(primary);
        QVERIFY(refused);
        refused->write(SingleInstance::frame("[format(\"/\")]"));
        QCOMPARE(answerOf(*refused), QByteArray("R"));
        std::unique_ptr<QLocalSocket> accepted = connectTo(primary);
        QVERIFY(accepted);
        accepted->write(SingleInstance::frame("[open(\"/a\")]"));
        QCOMPARE(answerOf(*accepted), QByteArray("A"));
        QTRY_COMPARE(received.count(), 1);
        QCOMPARE(received.at(0).at(0).toByteArray(), QByteArray("[open(\"/a\")]"));
    }

    // A peer that connects and sends nothing is dropped instead of being held forever.
    void silentConnectionIsDropped()
    {
        SingleInstance primary(randomName());
        std::unique_ptr<QLocalSocket> client = connectTo(primary);
        QVERIFY(client);
        QTRY_COMPARE(primary.pendingConnections(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(primary.pendingConnections(), 0, SingleInstance::kConnectionTimeoutMs + 3000);
        QTRY_COMPARE(client->state(), QLocalSocket::UnconnectedState);
    }

    // A socket file left in place by a crash does not keep the next primary from listening.
    void leftOverSocketFileIsReplaced()
    {
        const QString name = randomName();
        const QString path = m_runtime.filePath(name + QStringLiteral(".socket"));
        QVERIFY(kr44test::writeAll(path, "left over"));
        SingleInstance primary(name);
        QVERIFY(primary.isPrimaryInstance());
        QVERIFY2(primary.isListening(), qPrintable(primary.errorString()));
    }

    // ---- two real processes ----------------------------------------------------------------

    // A second start hands its file, made absolute against its own folder, to the primary and
    // ends; the primary carries the request out.
    void secondStartHandsOverOpen()
    {
        const QString name = randomName();
        Helper primary(name, m_work.path());
        primary.start({QStringLiteral("serve"), m_work.path()});
        QVERIFY(primary.waitForLine(QStringLiteral("primary")));

        const QString elsewhere = m_work.filePath(QStringLiteral("sub dir"));
        QVERIFY(QDir().mkpath(elsewhere));
        int exitCode = -1;
        const QStringList second = runHelper(name, elsewhere, {QStringLiteral("start"), m_work.path(), QStringLiteral("it's \"mine\".krp")},
                                             &exitCode);
        QCOMPARE(second, QStringList{QStringLiteral("accepted")});
        QCOMPARE(exitCode, 0);
        QVERIFY(primary.waitForLine(QStringLiteral("open ") + elsewhere + QStringLiteral("/it's \"mine\".krp")));
    }

    // A print request prints the file (into a PDF here); the second start does not wait for it.
    void secondStartHandsOverPrint()
    {
        const QString name = randomName();
        const QString program = m_work.filePath(QStringLiteral("moves.krp"));
        QVERIFY(kr44test::writeAll(program, "+200\r\nW1H\r\n-200\r\n"));
        const QString pdfDir = m_work.filePath(QStringLiteral("pdf-") + name);
        QVERIFY(QDir().mkpath(pdfDir));
        Helper primary(name, m_work.path());
        primary.start({QStringLiteral("serve"), pdfDir});
        QVERIFY(primary.waitForLine(QStringLiteral("primary")));

        QCOMPARE(runHelper(name, m_work.path(), {QStringLiteral("start"), pdfDir, QStringLiteral("/p"), QStringLiteral("moves.krp")}),
                 QStringList{QStringLiteral("accepted")});
        const QString pdf = pdfDir + QStringLiteral("/moves.pdf");
        QVERIFY(primary.waitForLine(QStringLiteral("printed ") + pdf));
        QVERIFY(kr44test::readAll(pdf).startsWith("%PDF"));

        QCOMPARE(runHelper(name, m_work.path(),
                           {QStringLiteral("start"), pdfDir, QStringLiteral("/pt"), program, QStringLiteral("PDF printer"),
                            QStringLiteral("drv"), QStringLiteral("lp0")}),
                 QStringList{QStringLiteral("accepted")});
        QVERIFY(primary.waitForLine(QStringLiteral("printed ") + pdf + QStringLiteral(" on PDF printer")));
    }

    // Requests that are not one of the three are refused and change nothing; a request for a
    // file that cannot be read is reported by the primary, which goes on serving.
    void refusedAndFailingRequestsLeaveThePrimaryServing()
    {
        const QString name = randomName();
        Helper primary(name, m_work.path());
        primary.start({QStringLiteral("serve"), m_work.path()});
        QVERIFY(primary.waitForLine(QStringLiteral("primary")));

        for (const char *bad : {"[delete(\"/etc/passwd\")]", "[open(\"relative.krp\")]", "[open(\"/a\") ]", "open /a"}) {
            int exitCode = -1;
            QCOMPARE(runHelper(name, m_work.path(), {QStringLiteral("send"), QString::fromLatin1(bad)}, &exitCode),
                     QStringList{QStringLiteral("refused")});
            QCOMPARE(exitCode, 1);
        }
        const QString missing = m_work.filePath(QStringLiteral("missing.krp"));
        QCOMPARE(runHelper(name, m_work.path(), {QStringLiteral("start"), m_work.path(), QStringLiteral("/p"), missing}),
                 QStringList{QStringLiteral("accepted")});
        QVERIFY(primary.waitForLine(QStringLiteral("error ") + missing + QStringLiteral(" was not found.")));

        QCOMPARE(runHelper(name, m_work.path(), {QStringLiteral("send"), QString::fromUtf8(validRequest(QStringLiteral("/ok.krp")))}),
                 QStringList{QStringLiteral("accepted")});
        QVERIFY(primary.waitForLine(QStringLiteral("open /ok.krp")));
        // Only the valid request was carried out.
        QCOMPARE(primary.lines(), (QStringList{QStringLiteral("primary"), QStringLiteral("error ") + missing + QStringLiteral(" was not found."),
                                               QStringLiteral("open /ok.krp")}));
    }

    // A primary that crashed leaves its lock and socket behind; the next start takes over.
    void crashedPrimaryIsReplaced()
    {
        const QString name = randomName();
        {
            Helper crashed(name, m_work.path());
            crashed.start({QStringLiteral("serve"), m_work.path()});
            QVERIFY(crashed.waitForLine(QStringLiteral("primary")));
            ::kill(pid_t(crashed.process().processId()), SIGKILL);
            QVERIFY(crashed.waitForFinished());
        }
        QVERIFY(QFileInfo::exists(m_runtime.filePath(name + QStringLiteral(".socket"))));
        QVERIFY(QFileInfo::exists(m_runtime.filePath(name + QStringLiteral(".lock"))));

        Helper next(name, m_work.path());
        next.start({QStringLiteral("start"), m_work.path(), QStringLiteral("after.krp")});
        QVERIFY(next.waitForLine(QStringLiteral("primary")));
        QVERIFY(next.waitForLine(QStringLiteral("open ") + m_work.filePath(QStringLiteral("after.krp"))));
        QCOMPARE(runHelper(name, m_work.path(), {QStringLiteral("send"), QString::fromUtf8(validRequest(QStringLiteral("/x.krp")))}),
                 QStringList{QStringLiteral("accepted")});
        QVERIFY(next.waitForLine(QStringLiteral("open /x.krp")));
    }

    // Starts at the same moment end with one primary, which gets every file.
    void simultaneousStartsEndWithOne()
    {
        const QString name = randomName();
        constexpr int kStarts = 5;
        std::vector<std::unique_ptr<Helper>> helpers;
        for (int i = 0; i < kStarts; ++i) {
            helpers.push_back(std::make_unique<Helper>(name, m_work.path()));
            helpers.back()->start({QStringLiteral("start"), m_work.path(), QStringLiteral("f%1.krp").arg(i)});
        }
        Helper *primary = nullptr;
        QVERIFY(QTest::qWaitFor([&] {
            int finished = 0;
            for (auto &h : helpers) {
                if (h->process().state() == QProcess::NotRunning)
                    ++finished;
                else if (h->lines().contains(QStringLiteral("primary")))
                    primary = h.get();
            }
            return finished == kStarts - 1 && primary;
        }, 20000));
        for (auto &h : helpers) {
            if (h.get() != primary) {
                QCOMPARE(h->lines(), QStringList{QStringLiteral("accepted")});
                QCOMPARE(h->process().exitCode(), 0);
            }
        }
        for (int i = 0; i < kStarts; ++i)
            QVERIFY(primary->waitForLine(QStringLiteral("open ") + m_work.filePath(QStringLiteral("f%1.krp").arg(i))));
        QCOMPARE(primary->lines().count(QStringLiteral("primary")), 1);
    }

    // A primary that ends in order removes its socket and lock.
    void primaryEndingCleansUp()
    {
        const QString name = randomName();
        Helper primary(name, m_work.path());
        primary.start({QStringLiteral("serve"), m_work.path()});
        QVERIFY(primary.waitForLine(QStringLiteral("primary")));
        primary.process().write("quit\n");
        QVERIFY(primary.waitForFinished());
        QCOMPARE(primary.process().exitCode(), 0);
        QVERIFY(!QFileInfo::exists(m_runtime.filePath(name + QStringLiteral(".socket"))));
        QVERIFY(!QFileInfo::exists(m_runtime.filePath(name + QStringLiteral(".lock"))));
        Helper next(name, m_work.path());
        next.start({QStringLiteral("serve"), m_work.path()});
        QVERIFY(next.waitForLine(QStringLiteral("primary")));
    }

    // Another user is refused even when the socket file's mode would let it in.
    void otherUserIsRefused()
    {
        if (geteuid() != 0 || !QFileInfo::exists(QStringLiteral("/usr/bin/setpriv")))
            QSKIP("needs root and setpriv to connect as another user");
        const QString name = randomName();
        Helper primary(name, m_work.path());
        primary.start({QStringLiteral("serve"), m_work.path()});
        QVERIFY(primary.waitForLine(QStringLiteral("primary")));
        const QString socket = m_runtime.filePath(name + QStringLiteral(".socket"));
        const QStringList asNobody = {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                      QStringLiteral("--clear-groups"), helperPath(), QStringLiteral("rawsend"), socket,
                                      QString::fromUtf8(validRequest(QStringLiteral("/from-nobody.krp")))};
        const auto run = [](const QString &program, const QStringList &args) {
            QProcess p;
            p.start(program, args);
            p.waitForFinished(15000);
            return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        };

        // As made: the folder and the socket keep the other user out.
        const QString blocked = run(QStringLiteral("/usr/bin/setpriv"), asNobody);
        if (blocked.isEmpty())
            QSKIP("the unprivileged user cannot run the helper here");
        QCOMPARE(blocked, QStringLiteral("none"));

        // Loosened by hand: the primary's own check still refuses the connection.
        const auto all = QFileDevice::Permissions(0x7777);
        const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
        QVERIFY(QFile::setPermissions(m_runtime.path(), all));
        QVERIFY(QFile::setPermissions(socket, all));
        const QString loosened = run(QStringLiteral("/usr/bin/setpriv"), asNobody);
        QVERIFY(QFile::setPermissions(m_runtime.path(), ownerOnly));
        QCOMPARE(loosened, QStringLiteral("none"));

        // The owner gets through the same way.
        QCOMPARE(run(helperPath(), {QStringLiteral("rawsend"), socket, QString::fromUtf8(validRequest(QStringLiteral("/from-owner.krp")))}),
                 QStringLiteral("A"));
        QVERIFY(primary.waitForLine(QStringLiteral("open /from-owner.krp")));
        QVERIFY(!primary.lines().contains(QStringLiteral("open /from-nobody.krp")));
    }
};

KR44_TEST(TestSingleInstance)
#include "tst_singleinstance.moc"
