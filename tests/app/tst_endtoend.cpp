// The whole application against kr44-sim in another process, over a real pseudo-terminal: what a
// user does from the menus and the Direct Command Window, and what the unit answers.
#include "appprompt.h"
#include "commands.h"
#include "commandwnd.h"
#include "framelink.h"
#include "kr44app.h"
#include "mainframe.h"
#include "replytext.h"
#include "seriallink.h"
#include "processes.h"
#include "testmain.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Long enough for two busy cores shared with other builds.
constexpr int kTimeoutMs = 30000;

// The example program. Its first line is a comment, which is never sent, so the unit numbers
// "X500,1000,20" as its line 1 and "J2L,4" jumps to "W1H", inside the finished loop. With input 2
// high the jump is not taken and the program ends; with input 2 low the unit answers a loop error.
const QByteArray kExample = "* set up\r\nX500,1000,20\r\nL0\r\n+200\r\nW1H\r\n-200\r\nL5\r\nJ2L,4\r\nK\r\n";

class ScriptedPrompt : public AppPrompt
{
public:
    QStringList messages;

    QMessageBox::StandardButton message(QWidget *, QMessageBox::Icon, const QString &text,
                                        QMessageBox::StandardButtons) override
    {
        messages.append(text);
        return QMessageBox::Ok;
    }
    QString saveFileName(QWidget *, const QString &) override { return {}; }
    QString openFileName(QWidget *) override { return {}; }
};

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_sim;
    QString m_device;
    QByteArray m_simLog;
    std::unique_ptr<QSettings> m_settings;
    ScriptedPrompt m_prompt;
    std::unique_ptr<CKR44App> m_app;
    int m_portDialogs = 0;

    static QString simPath()
    {
        return kr44test::buildPath("src/sim/kr44-sim");
    }

    // Starts kr44-sim with `inputs` and reads the device it serves from its first line.
    bool startSim(const QString &inputs)
    {
        if (!QFileInfo(simPath()).isExecutable()) {
            qWarning("%s is not built", qPrintable(simPath()));
            return false;
        }
        m_sim = std::make_unique<QProcess>();
        connect(m_sim.get(), &QProcess::readyReadStandardError, this,
                [this] { m_simLog += m_sim->readAllStandardError(); });
        // Simulated time runs 20 times faster: the example's 2.1 s of motion take about 0.1 s.
        m_sim->start(simPath(), {"--inputs", inputs, "--time-scale", "20"});
        if (!m_sim->waitForStarted())
            return false;
        if (!QTest::qWaitFor([this] { return m_sim->canReadLine(); }, kTimeoutMs))
            return false;
        m_device = QString::fromLocal8Bit(m_sim->readLine()).trimmed();
        return m_device.startsWith(QLatin1String("/dev/"));
    }

    CKR44App *startApp()
    {
        m_settings->setValue(QStringLiteral("Communication/COMPort"), m_device);
        m_settings->setValue(QStringLiteral("Communication/BaudRate"), QStringLiteral("19200"));
        m_app = std::make_unique<CKR44App>(*m_settings, m_prompt);
        m_app->setPortDialogRunner([this](QWidget *, QString &, qint32 &) {
            ++m_portDialogs;
            return false;
        });
        if (!m_app->InitInstance({}, false))
            return nullptr;
        return m_app.get();
    }

    QString status() const { return m_app->mainFrame()->messageText(); }
    CCommandWnd *commandWindow() const { return m_app->frameLink()->commandWindow(); }
    QString usingText() const { return QStringLiteral("Using %1, 19200 baud").arg(m_device); }

    bool openExample()
    {
        const QString path = m_dir.filePath(QStringLiteral("example.krp"));
        return kr44test::writeAll(path, kExample) && m_app->OpenDocumentFile(path);
    }

    void trigger(int id) { m_app->mainFrame()->action(id)->trigger(); }

    // Types `text` into the command window and presses Enter.
    void typeCommand(const QString &text)
    {
        QPlainTextEdit *edit = commandWindow()->editField();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    // What the command window shows after the first `from` characters.
    QString shownSince(qsizetype from) const { return commandWindow()->text().mid(from); }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_settings = std::make_unique<QSettings>(
            m_dir.filePath(QStringLiteral("settings-%1.ini").arg(QTest::currentTestFunction())), QSettings::IniFormat);
        m_settings->clear();
        m_prompt = ScriptedPrompt();
        m_portDialogs = 0;
        m_simLog.clear();
    }

    void cleanup()
    {
        m_app.reset();
        if (m_sim && m_sim->state() != QProcess::NotRunning) {
            m_sim->terminate();
            if (!m_sim->waitForFinished(kTimeoutMs))
                m_sim->kill();
        }
        m_sim.reset();
    }

    void exampleRunsToReady()
    {
        QVERIFY(startSim(QStringLiteral("HHL")));
        QVERIFY(startApp());
        QCOMPARE(m_portDialogs, 0);
        QTRY_COMPARE_WITH_TIMEOUT(status(), usingText(), kTimeoutMs);
        QVERIFY(openExample());

        trigger(cmd::ID_SEND_AND_RUN);
        // The window comes up once the download has been written, then the unit's answer arrives.
        QTRY_VERIFY_WITH_TIMEOUT(commandWindow()->isVisible(), kTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(commandWindow()->text().contains(QLatin1String("Ready")), kTimeoutMs);
        QVERIFY2(!commandWindow()->text().contains(QLatin1String("Error")), qPrintable(commandWindow()->text()));
        QVERIFY(m_prompt.messages.isEmpty());

        // The unit got every line but the comment, between the transfer marks, then the run.
        const QByteArray expected = "<- P\\r\n<- X500,1000,20\\r\n<- L0\\r\n<- +200\\r\n<- W1H\\r\n<- -200\\r\n"
                                    "<- L5\\r\n<- J2L,4\\r\n<- K\\r\n<- P\\r\n<- E\\r\n";
        QTRY_VERIFY_WITH_TIMEOUT(m_simLog.contains("-> R\\r\n"), kTimeoutMs);
        QVERIFY2(m_simLog.contains(expected), m_simLog.constData());
        QVERIFY(!m_simLog.contains("set up"));
    }

    void exampleWithInput2LowEndsInALoopError()
    {
        QVERIFY(startSim(QStringLiteral("HLL")));
        QVERIFY(startApp());
        QTRY_COMPARE_WITH_TIMEOUT(status(), usingText(), kTimeoutMs);
        QVERIFY(openExample());
        trigger(cmd::ID_SEND_AND_RUN);
        const QString loopError = QStringLiteral("Error - ") + QString::fromLatin1(kr44::errorDescription('8'));
        QTRY_VERIFY_WITH_TIMEOUT(commandWindow()->text().contains(loopError), kTimeoutMs);
        // A program that ends with an error answers the error only.
        QVERIFY(!commandWindow()->text().contains(QLatin1String("Ready")));
    }

    void stopProgramStopsARunningProgram()
    {
        // Input 1 low: the program waits at W1H until it is stopped.
        QVERIFY(startSim(QStringLiteral("LHL")));
        QVERIFY(startApp());
        QTRY_COMPARE_WITH_TIMEOUT(status(), usingText(), kTimeoutMs);
        QVERIFY(openExample());
        trigger(cmd::ID_SEND_AND_RUN);
        QTRY_VERIFY_WITH_TIMEOUT(commandWindow()->isVisible(), kTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(m_simLog.contains("<- E\\r\n"), kTimeoutMs);

        // While the program runs, a direct command is refused as busy.
        qsizetype mark = commandWindow()->text().size();
        typeCommand(QStringLiteral("V1"));
        QTRY_VERIFY_WITH_TIMEOUT(shownSince(mark).contains(QLatin1String("Busy")), kTimeoutMs);
        QVERIFY(!commandWindow()->text().contains(QLatin1String("Ready")));

        QCOMPARE(m_app->mainFrame()->action(cmd::ID_STOP_PROGRAM)->text(), QStringLiteral("Sto&p program"));
        mark = commandWindow()->text().size();
        trigger(cmd::ID_STOP_PROGRAM);
        QTRY_VERIFY_WITH_TIMEOUT(shownSince(mark).contains(QLatin1String("Ready")), kTimeoutMs);
        QVERIFY(m_simLog.contains("<- K\\r\n"));

        // Stopped on the wait after the first move out: the unit answers again, at 200.
        mark = commandWindow()->text().size();
        typeCommand(QStringLiteral("V1"));
        QTRY_VERIFY_WITH_TIMEOUT(shownSince(mark).contains(QLatin1String("\n200\n")), kTimeoutMs);
        QVERIFY(!shownSince(mark).contains(QLatin1String("Busy")));
    }

    void directCommandsAnswer()
    {
        QVERIFY(startSim(QStringLiteral("LLL")));
        QVERIFY(startApp());
        QTRY_COMPARE_WITH_TIMEOUT(status(), usingText(), kTimeoutMs);
        trigger(cmd::ID_COMMAND_WINDOW);
        QVERIFY(commandWindow()->isVisible());

        typeCommand(QStringLiteral("V4"));
        QTRY_VERIFY_WITH_TIMEOUT(commandWindow()->text().contains(QLatin1String("KR44 virtual unit 1.0")), kTimeoutMs);
        // The Enter went out as CR: the unit saw one line.
        QVERIFY2(m_simLog.contains("<- V4\\r\n"), m_simLog.constData());

        qsizetype mark = commandWindow()->text().size();
        typeCommand(QStringLiteral("-150"));
        QTRY_VERIFY_WITH_TIMEOUT(shownSince(mark).contains(QLatin1String("Ready")), kTimeoutMs);
        mark = commandWindow()->text().size();
        typeCommand(QStringLiteral("V1"));
        QTRY_VERIFY_WITH_TIMEOUT(shownSince(mark).contains(QLatin1String("\n-150\n")), kTimeoutMs);

        mark = commandWindow()->text().size();
        typeCommand(QStringLiteral("Q1"));
        const QString badCommand = QStringLiteral("Error - ") + QString::fromLatin1(kr44::errorDescription('4'));
        QTRY_VERIFY_WITH_TIMEOUT(shownSince(mark).contains(badCommand), kTimeoutMs);
    }

    void pullingThePseudoTerminalAwayShowsNotConnected()
    {
        QVERIFY(startSim(QStringLiteral("LLL")));
        QVERIFY(startApp());
        QTRY_COMPARE_WITH_TIMEOUT(status(), usingText(), kTimeoutMs);
        QVERIFY(m_app->frameLink()->link()->isConnected());

        m_sim->kill();
        QVERIFY(m_sim->waitForFinished(kTimeoutMs));
        QTRY_COMPARE_WITH_TIMEOUT(status(), QStringLiteral("Not connected"), kTimeoutMs);
        QVERIFY(!m_app->frameLink()->link()->isConnected());

        // The application carries on: a download now fails with one message, the window opens.
        QVERIFY(openExample());
        trigger(cmd::ID_SEND_PROGRAM);
        QTRY_VERIFY_WITH_TIMEOUT(commandWindow()->isVisible(), kTimeoutMs);
        QCOMPARE(m_prompt.messages, QStringList{QStringLiteral("Communication error")});
        QCOMPARE(status(), QStringLiteral("Not connected"));
        QCOMPARE(m_portDialogs, 0);
    }
};

KR44_TEST(TestEndToEnd)
#include "tst_endtoend.moc"
