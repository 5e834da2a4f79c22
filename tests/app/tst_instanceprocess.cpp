// The running application serves file requests from a second `kr44` started by the user or the
// desktop: both are real processes here, with their own settings, data and runtime folders.
#include "processes.h"
#include "testmain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

class TestInstanceProcess : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QProcessEnvironment m_env;
    QProcess m_primary;

    QString kr44() const { return kr44test::buildPath("src/app/kr44"); }

    // Runs a second instance to its end; returns its exit code (-1 when it did not end).
    int second(const QStringList &args, QByteArray *err = nullptr)
    {
        QProcess p;
        p.setProcessEnvironment(m_env);
        p.setWorkingDirectory(m_dir.path());
        p.start(kr44(), args);
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            return -1;
        }
        if (err)
            *err = p.readAllStandardError();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!QFile::exists(kr44()))
            QSKIP("the kr44 executable is not built");
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_env.insert(QStringLiteral("KR44_INSTANCE_NAME"),
                     QStringLiteral("tst-%1").arg(QRandomGenerator::global()->generate()));
        for (const char *var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR", "HOME"}) {
            const QString dir = m_dir.filePath(QString::fromLatin1(var));
            QVERIFY(QDir().mkpath(dir));
            QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            m_env.insert(QString::fromLatin1(var), dir);
        }
        QVERIFY(kr44test::writeAll(m_dir.filePath(QStringLiteral("one.krp")), "+200\r\n* note\r\nK\r\n"));
        QVERIFY(kr44test::writeAll(m_dir.filePath(QStringLiteral("two.krp")), "G25000\r\n"));

        m_primary.setProcessEnvironment(m_env);
        m_primary.setWorkingDirectory(m_dir.path());
        m_primary.start(kr44(), {QStringLiteral("--virtual-unit")});
        QVERIFY(m_primary.waitForStarted());
        // A second instance started before the primary holds its lock would become the primary
        // itself: wait for the primary's socket to appear in the runtime folder first.
        const QString socket = m_env.value(QStringLiteral("XDG_RUNTIME_DIR")) + QLatin1Char('/')
            + m_env.value(QStringLiteral("KR44_INSTANCE_NAME")) + QStringLiteral(".socket");
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo::exists(socket); }, 60000));
        QCOMPARE(second({QStringLiteral("/pt"), QStringLiteral("one.krp"), QStringLiteral("first.pdf")}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFile(m_dir.filePath(QStringLiteral("first.pdf"))).size() > 0, 30000);
    }

    void cleanupTestCase()
    {
        if (m_primary.state() != QProcess::NotRunning) {
            m_primary.terminate();
            if (!m_primary.waitForFinished(10000))
                m_primary.kill();
            m_primary.waitForFinished();
        }
    }

    // A print request names the printer as a PDF file relative to the second instance's folder.
    void printToPdfThroughTheRunningInstance()
    {
        const QString pdf = m_dir.filePath(QStringLiteral("printed.pdf"));
        QCOMPARE(second({QStringLiteral("-pt"), QStringLiteral("two.krp"), QStringLiteral("printed.pdf")}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFile(pdf).size() > 0, 30000);
        QCOMPARE(kr44test::readAll(pdf).left(5), QByteArray("%PDF-"));
        QCOMPARE(m_primary.state(), QProcess::Running);
    }

    void openHandsOverAndExits()
    {
        QCOMPARE(second({QStringLiteral("two.krp")}), 0);
        QCOMPARE(m_primary.state(), QProcess::Running);
    }

    // The file error is the running instance's to show; the request itself was taken.
    void printOfAMissingFileLeavesThePrimaryRunning()
    {
        QCOMPARE(second({QStringLiteral("/pt"), QStringLiteral("missing.krp"), QStringLiteral("never.pdf")}), 0);
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("never.pdf"))));
        QCOMPARE(m_primary.state(), QProcess::Running);
        // It still serves.
        QCOMPARE(second({QStringLiteral("/pt"), QStringLiteral("one.krp"), QStringLiteral("after.pdf")}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFile(m_dir.filePath(QStringLiteral("after.pdf"))).size() > 0, 30000);
    }
};

KR44_TEST(TestInstanceProcess)
#include "tst_instanceprocess.moc"
