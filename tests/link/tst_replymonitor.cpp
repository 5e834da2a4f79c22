#include "commandwnd.h"
#include "ptypeer.h"
#include "replymonitor.h"
#include "replytext.h"
#include "seriallink.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

// The reply monitor over a pseudo-terminal: what one tick collects, how it is translated, and
// when ticks do not read.
class TestReplyMonitor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void repliesPerTick_data();
    void repliesPerTick();
    void splitReplyIsShownInPieces();
    void replyStillArrivingIsWaitedFor();
    void pauseAndResume();
    void pausesDoNotNest();
    void statusOnFirstTickOnly();
    void noPortNoReading();
    void runningTimer();
    void intoTheCommandWindow();

private:
    bool open();
    // Waits until the unit's bytes are with the link, then ticks.
    bool tickAfterArrival();

    std::unique_ptr<PtyPeer> m_peer;
    std::unique_ptr<CSerialLink> m_link;
    std::unique_ptr<CReplyMonitor> m_monitor;
};

void TestReplyMonitor::init()
{
    m_peer = std::make_unique<PtyPeer>();
    QVERIFY(m_peer->isValid());
    m_link = std::make_unique<CSerialLink>();
    m_monitor = std::make_unique<CReplyMonitor>(m_link.get());
}

void TestReplyMonitor::cleanup()
{
    m_monitor.reset();
    m_link.reset();
    m_peer.reset();
}

bool TestReplyMonitor::open()
{
    m_link->setPort(m_peer->path(), 19200);
    QByteArray ignored;
    return m_link->PortIO(ignored, CSerialLink::PORT_OPEN);
}

bool TestReplyMonitor::tickAfterArrival()
{
    if (!QTest::qWaitFor([this] { return m_link->hasReceived(); }))
        return false;
    m_monitor->OnTimer();
    return true;
}

void TestReplyMonitor::repliesPerTick_data()
{
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<QByteArray>("shown");

    QTest::newRow("busy") << QByteArray("B\r") << QByteArray("Busy\r");
    QTest::newRow("ready") << QByteArray("R\r") << QByteArray("Ready\n");
    QTest::newRow("yes") << QByteArray("Y\r") << QByteArray("Yes\r");
    QTest::newRow("E1") << QByteArray("E1\r") << QByteArray("Error - checksum\r");
    QTest::newRow("E2") << QByteArray("E2\r") << QByteArray("Error - bad parameter\r");
    QTest::newRow("E3 12") << QByteArray("E3 12\r") << QByteArray("Error - program error in line 12\r\r");
    QTest::newRow("E3 alone") << QByteArray("E3\r") << QByteArray("Error - program error in line \r");
    QTest::newRow("E4") << QByteArray("E4\r") << QByteArray("Error - bad command\r");
    QTest::newRow("E5") << QByteArray("E5\r") << QByteArray("Error - temperature exceeds 175\xB0" "C\r");
    QTest::newRow("E6 unknown") << QByteArray("E6\r") << QByteArray("Error - unknown\r");
    QTest::newRow("E7") << QByteArray("E7\r") << QByteArray("Error - end of travel\r");
    QTest::newRow("E8") << QByteArray("E8\r") << QByteArray("Error - loop error\r");
    QTest::newRow("E9") << QByteArray("E9\r") << QByteArray("Error - out of memory\r");
    QTest::newRow("EA") << QByteArray("EA\r") << QByteArray("Error - invalid slew rate\r");
    QTest::newRow("EB") << QByteArray("EB\r") << QByteArray("Error - KR44 is in Manual mode\r");
    QTest::newRow("EC") << QByteArray("EC\r") << QByteArray("Error - KR44 is in Internal mode\r");
    QTest::newRow("Ea unknown") << QByteArray("Ea\r") << QByteArray("Error - unknown\r");
    QTest::newRow("E CR") << QByteArray("E\r") << QByteArray("Error - unknown\r");
    QTest::newRow("lone E") << QByteArray("E") << QByteArray("E");
    QTest::newRow("doubled reply") << QByteArray("Y\rY\r") << QByteArray("Y\rY\r");
    QTest::newRow("NUL dropped before matching") << QByteArray("B\0\r", 3) << QByteArray("Busy\r");
}

void TestReplyMonitor::repliesPerTick()
{
    QFETCH(QByteArray, received);
    QFETCH(QByteArray, shown);

    QVERIFY(open());
    m_monitor->resume();
    QSignalSpy replies(m_monitor.get(), &CReplyMonitor::replyText);
    QVERIFY(m_peer->send(received));
    QVERIFY(tickAfterArrival());
    QTRY_COMPARE(replies.size(), 1);
    QCOMPARE(replies.first().first().toByteArray(), shown);
}

void TestReplyMonitor::splitReplyIsShownInPieces()
{
    QVERIFY(open());
    m_monitor->resume();
    m_monitor->setQuietGap(0);
    QSignalSpy replies(m_monitor.get(), &CReplyMonitor::replyText);
    QVERIFY(m_peer->send("R"));
    QVERIFY(tickAfterArrival());
    QVERIFY(m_peer->send("\r"));
    QVERIFY(tickAfterArrival());
    QCOMPARE(replies.size(), 2);
    QCOMPARE(replies.at(0).first().toByteArray(), QByteArray("R"));
    QCOMPARE(replies.at(1).first().toByteArray(), QByteArray("\r"));
}

void TestReplyMonitor::replyStillArrivingIsWaitedFor()
{
    QVERIFY(open());
    m_monitor->resume();
    // Long enough that the second byte surely comes within it on a busy machine.
    m_monitor->setQuietGap(400);
    QSignalSpy replies(m_monitor.get(), &CReplyMonitor::replyText);
    QVERIFY(m_peer->send("R"));
    QVERIFY(tickAfterArrival());
    QCOMPARE(replies.size(), 0);
    QVERIFY(m_peer->send("\r"));
    QTRY_COMPARE(replies.size(), 1);
    QCOMPARE(replies.first().first().toByteArray(), QByteArray("Ready\n"));
}

void TestReplyMonitor::pauseAndResume()
{
    QVERIFY(open());
    QVERIFY(m_monitor->isPaused());
    m_monitor->setQuietGap(0);
    QSignalSpy replies(m_monitor.get(), &CReplyMonitor::replyText);
    QVERIFY(m_peer->send("B\r"));
    QVERIFY(tickAfterArrival());
    m_monitor->OnTimer();
    QCOMPARE(replies.size(), 0);

    QVERIFY(m_monitor->OnCommand(ID_COMM_RESUME));
    QVERIFY(!m_monitor->isPaused());
    m_monitor->OnTimer();
    QCOMPARE(replies.size(), 1);
    QCOMPARE(replies.first().first().toByteArray(), QByteArray("Busy\r"));

    QVERIFY(m_monitor->OnCommand(ID_COMM_PAUSE));
    QVERIFY(m_monitor->isPaused());
    QVERIFY(!m_monitor->OnCommand(32772));
    QVERIFY(m_monitor->isPaused());
}

void TestReplyMonitor::pausesDoNotNest()
{
    QVERIFY(open());
    m_monitor->setQuietGap(0);
    m_monitor->OnCommand(ID_COMM_PAUSE);
    m_monitor->OnCommand(ID_COMM_PAUSE);
    m_monitor->OnCommand(ID_COMM_PAUSE);
    m_monitor->OnCommand(ID_COMM_RESUME);
    QSignalSpy replies(m_monitor.get(), &CReplyMonitor::replyText);
    QVERIFY(m_peer->send("Y\r"));
    QVERIFY(tickAfterArrival());
    QCOMPARE(replies.size(), 1);
}

void TestReplyMonitor::statusOnFirstTickOnly()
{
    // Paused and with no port: the first tick still shows the status, once.
    QSignalSpy status(m_monitor.get(), &CReplyMonitor::statusMessage);
    m_monitor->OnTimer();
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.first().first().toString(), QStringLiteral("Not connected"));
    QVERIFY(open());
    m_monitor->resume();
    m_monitor->OnTimer();
    m_monitor->OnTimer();
    QCOMPARE(status.size(), 1);
}

void TestReplyMonitor::noPortNoReading()
{
    QVERIFY(open());
    m_monitor->resume();
    m_monitor->setQuietGap(0);
    QVERIFY(m_peer->send("R\r"));
    QVERIFY(QTest::qWaitFor([this] { return m_link->hasReceived(); }));
    QByteArray ignored;
    m_link->PortIO(ignored, CSerialLink::PORT_CLOSE);
    QSignalSpy replies(m_monitor.get(), &CReplyMonitor::replyText);
    m_monitor->OnTimer();
    QCOMPARE(replies.size(), 0);
}

void TestReplyMonitor::runningTimer()
{
    QVERIFY(open());
    QSignalSpy status(m_monitor.get(), &CReplyMonitor::statusMessage);
    QSignalSpy replies(m_monitor.get(), &CReplyMonitor::replyText);
    m_monitor->start();
    QVERIFY(m_monitor->isRunning());
    QVERIFY(!m_monitor->isPaused());
    QVERIFY(m_peer->send("Y\r"));
    QTRY_COMPARE(replies.size(), 1);
    QCOMPARE(replies.first().first().toByteArray(), QByteArray("Yes\r"));
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.first().first().toString(), QStringLiteral("Using %1, 19200 baud").arg(m_peer->path()));
    m_monitor->stop();
    QVERIFY(!m_monitor->isRunning());
}

void TestReplyMonitor::intoTheCommandWindow()
{
    CCommandWnd wnd;
    connect(m_monitor.get(), &CReplyMonitor::replyText, &wnd, &CCommandWnd::AppendText);
    QVERIFY(open());
    m_monitor->resume();
    m_monitor->setQuietGap(0);
    QVERIFY(m_peer->send("B\r"));
    QVERIFY(tickAfterArrival());
    QVERIFY(m_peer->send("R\r"));
    QVERIFY(tickAfterArrival());
    QVERIFY(m_peer->send("E3\r"));
    QVERIFY(tickAfterArrival());
    // Hidden, the window still collects: a Busy line, Ready with its lone LF, the error line.
    QVERIFY(!wnd.isVisible());
    QCOMPARE(wnd.text(), QStringLiteral("Busy\nReady") + kr44::kLoneLineFeedSymbol
                             + QStringLiteral("Error - program error in line \n"));
}

KR44_TEST(TestReplyMonitor)
#include "tst_replymonitor.moc"
