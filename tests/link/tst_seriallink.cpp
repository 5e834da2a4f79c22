#include "fakedevice.h"
#include "link/portwatcher.h"
#include "link/replymonitor.h"
#include "link/seriallink.h"
#include "linkwidgets/transferprogressdialog.h"
#include "processes.h"
#include "ptypeer.h"
#include "testmain.h"

#include <QEventLoop>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace kr44;

using Result = SerialLink::TransferResult;

namespace {

// A download of `lines` program lines (9 bytes each with the CR), and all the bytes it sends.
std::pair<kr44::LineArray, QByteArray> program(int lines, bool run = false)
{
    QByteArrayList l;
    for (int i = 0; i < lines; ++i)
        l << "+" + QByteArray::number(1000000 + i);
    const kr44::LineArray program = kr44::LineArray::fromList(l);
    QByteArray wire;
    using Kind = kr44::Download::Kind;
    for (kr44::Download d(program, run ? Kind::SendAndRun : Kind::Send); !d.atEnd();)
        wire += d.next().bytes;
    return {program, wire};
}

} // namespace

// The link made afresh and opened for every test function, over a device under the test's
// control (whose driver drains only when told) or, for a pseudo-terminal test, a real serial
// port; and what it reports of its downloads.
class LinkTest : public QObject
{
    Q_OBJECT

public:
    explicit LinkTest(bool pty = false) : m_pty(pty) {}

protected:
    const bool m_pty;
    std::unique_ptr<PtyPeer> m_peer;
    FakeDevice *m_dev = nullptr;
    std::unique_ptr<SerialLink> m_link;
    std::unique_ptr<QSignalSpy> m_finished;
    std::unique_ptr<QSignalSpy> m_error;

    // The result of the one download that finished; an impossible value for none or more.
    Result result() const
    {
        return m_finished->size() == 1 ? m_finished->first().first().value<Result>() : Result(-1);
    }

protected Q_SLOTS:
    void init()
    {
        m_dev = m_pty ? nullptr : new FakeDevice;
        m_link = m_pty ? std::make_unique<SerialLink>()
                       : std::make_unique<SerialLink>(std::unique_ptr<FakeDevice>(m_dev));
        m_peer = m_pty ? std::make_unique<PtyPeer>() : nullptr;
        m_link->setPort(m_pty ? m_peer->path() : QStringLiteral("/dev/ttyUSB3"), 19200);
        m_finished = std::make_unique<QSignalSpy>(m_link.get(), &SerialLink::transferFinished);
        m_error = std::make_unique<QSignalSpy>(m_link.get(), &SerialLink::communicationError);
        QVERIFY(m_link->openPort());
        if (m_dev)
            m_dev->holdOutput = true;
    }
};

// Opening, reading, writing and sendChar at the device boundary: what the link asks of the port and
// what it reports back.
class TestSerialLink : public LinkTest
{
    Q_OBJECT

private Q_SLOTS:
    // The unit's line settings, the name as given, a discarding read of up to 20 bytes sent
    // while the port was closed, and the status; a refused open leaves nothing connected.
    void openRequestsTheUnitsLineSettings()
    {
        QSignalSpy status(m_link.get(), &SerialLink::statusTextChanged);
        const kr44::LineSettings unit {
                19200, QSerialPort::Data7, QSerialPort::OddParity, QSerialPort::TwoStop, true,
                true}; // DTR and RTS on
        QCOMPARE(m_dev->openedNames, QStringList {"/dev/ttyUSB3"});
        QVERIFY(m_dev->requested == QList {unit});
        QCOMPARE(m_dev->discardRequests, QList<qint64> {20});
        QCOMPARE(m_link->statusText(), "Using /dev/ttyUSB3, 19200 baud");
        m_dev->openResult = kr44::SerialDevice::OpenResult::BaudRefused;
        QVERIFY(!m_link->openPort() && !m_link->write("+1\r"));
        QVERIFY(status.size() == 1 && status[0][0].toString() == "Not connected");
        QVERIFY(m_dev->wire.isEmpty() && m_dev->discardRequests.size() == 1);
    }

    // Everything received since the last read, NUL bytes left out; nothing without a port.
    void read()
    {
        QByteArray text = "stale";
        m_link->closePort();
        m_dev->receive("R");
        QVERIFY(!m_link->read(text) && text == "stale");
        QVERIFY(m_link->openPort() && !m_link->read(text));
        m_dev->receive(QByteArray("R\0X", 3));
        m_dev->receive("\rB");
        QVERIFY(m_link->hasReceived() && m_link->read(text));
        QCOMPARE(text, "RX\rB");
        m_dev->receive(QByteArray(2, '\0'));
        QVERIFY(m_link->read(text) && text.isEmpty());
    }

    // A write counts only when the port took all of it; sendChar says true whatever happens,
    // and sends NUL as a space; a stop is K CR.
    void write()
    {
        const std::initializer_list<std::tuple<bool, qint64, QByteArray>> table = {
                {false, -1, "+200\r K\r"},
                {true, -1, ""},
                {false, 2, "+2 K\r"},
        };
        for (const auto &[refuse, acceptAtMost, wire] : table) {
            init();
            m_dev->refuseWrites = refuse;
            m_dev->acceptAtMost = acceptAtMost;
            QCOMPARE(m_link->write("+200\r"), wire.startsWith("+200\r"));
            QVERIFY(m_link->sendChar('\0'));
            m_link->stopProgram();
            QCOMPARE(m_dev->wire, wire);
        }
    }

    // The port is closed at once and reported once; the link's state changes only when it
    // does, a reopen passing through closed.
    void portLostClosesThePort()
    {
        QSignalSpy state(m_link.get(), &SerialLink::linkStateChanged);
        QVERIFY(m_link->openPort());
        m_dev->receive("half a rep");
        QSignalSpy lost(m_link.get(), &SerialLink::portLost);
        m_dev->fail(QStringLiteral("Input/output error"));
        QVERIFY(!m_dev->isOpen() && !m_link->hasReceived() && !m_link->write("x"));
        QCOMPARE(m_link->statusText(), "Not connected");
        m_link->closePort();
        QVERIFY(m_link->openPort() && lost.size() == 1);
        QCOMPARE(lost[0][0].toString(), "Input/output error");
        QCOMPARE(state.size(), 4);
        QVERIFY(!state[0][0].toBool() && state[1][0].toBool() && !state[2][0].toBool()
                && state[3][0].toBool());
    }
};

// The reply monitor over the link: when a tick reads, and that what it reads goes through the
// reply translation (whose table is TestReplyText's).
class TestReplyMonitor : public LinkTest
{
    Q_OBJECT

    std::unique_ptr<ReplyMonitor> m_monitor;
    QByteArrayList m_shown;

    void tick(const QByteArray &bytes)
    {
        m_dev->receive(bytes);
        m_monitor->tick();
    }

private Q_SLOTS:
    void init()
    {
        m_monitor.reset();
        m_shown.clear();
        LinkTest::init();
        m_monitor = std::make_unique<ReplyMonitor>(m_link.get());
        m_monitor->setQuietGap(0);
        connect(m_monitor.get(), &ReplyMonitor::replyText, this,
                [this](const QByteArray &text) { m_shown << text; });
    }

    // Without a quiet gap a tick takes what is there: a reply split across ticks waits for its
    // CR, and a text that the next tick does not finish is shown as it came. A tick while bytes
    // are still arriving waits for the line to go quiet.
    void tickWaitsForTheLineToGoQuiet()
    {
        m_monitor->resume();
        tick("E3 12\r");
        tick("R");
        tick("\r");
        tick("E");
        m_monitor->tick();
        QCOMPARE(m_shown, (QByteArrayList {"Error - program error in line 12\r\r", "Ready\n", "E"}));
        m_monitor->setQuietGap(3600000);
        tick("R\r");
        QCOMPARE(m_shown.size(), 3);
        m_monitor->setQuietGap(0);
        QTRY_COMPARE(m_shown.value(3), "Ready\n");
    }

    // It starts paused; what arrives while paused waits in the link; pauses do not nest, one
    // resume ends them; the status is shown on the first tick only, paused or not.
    void pauseAndResume()
    {
        QSignalSpy status(m_monitor.get(), &ReplyMonitor::statusMessage);
        tick("B\r");
        QVERIFY(m_shown.isEmpty());
        m_monitor->resume();
        m_monitor->tick();
        m_monitor->pause();
        m_monitor->pause();
        tick("Y\r");
        QCOMPARE(m_shown, QByteArrayList {"Busy\r"});
        m_monitor->resume();
        m_monitor->tick();
        QCOMPARE(m_shown, (QByteArrayList {"Busy\r", "Yes\r"}));
        m_monitor->pause();
        tick("R\r");
        QCOMPARE(m_shown.size(), 2);
        QVERIFY(status.size() == 1 && status[0][0].toString() == "Using /dev/ttyUSB3, 19200 baud");
        m_monitor->start(); // and its timer ticks by itself
        QTRY_COMPARE(m_shown.value(2), "Ready\n");
    }
};

// Downloads through the link to a device whose driver the test drains: order on the wire, what
// waits for what, and how a download ends. The download's own bytes are TestDownload's.
class TestTransfer : public LinkTest
{
    Q_OBJECT

private Q_SLOTS:
    // The driver gets at most a line beyond the low-water mark; what is typed meanwhile waits,
    // and the end comes only once every byte is on the wire. One download at a time.
    void linesGoOutAsTheDriverDrainsAndTypingWaits()
    {
        const auto [lines, wire] = program(100);
        QSignalSpy progress(m_link.get(), &SerialLink::transferProgress);
        QVERIFY(m_link->sendProgram(lines));
        QVERIFY(m_dev->pendingOutput() >= SerialLink::kDownloadLowWater);
        QVERIFY(!m_link->sendAndRun(lines) && !m_link->sendProgram(lines));
        QVERIFY(m_link->sendChar('a') && m_link->write("bc"));
        for (int i = 0; i < 10000 && m_dev->wire.size() < wire.size(); ++i) {
            QVERIFY(m_dev->pendingOutput() < SerialLink::kDownloadLowWater + 9);
            m_dev->drain(9);
        }
        QVERIFY(m_finished->isEmpty() && !m_dev->wire.contains('a'));
        m_dev->drain();
        QCOMPARE(result(), Result::Completed);
        QCOMPARE(m_dev->wire, wire + "abc");
        QVERIFY(progress.size() == 100 && progress.last().first().value<qsizetype>() == 100);
    }

    // The lines not handed to the driver are dropped at once, and the run command with them;
    // the closing mark and the stop follow the line being written, ahead of what was typed.
    void stopCutsItShort()
    {
        QVERIFY(m_link->sendAndRun(program(100).first));
        m_dev->drain();
        m_link->sendChar('x');
        const QByteArray handed = m_dev->wire;
        m_link->stopProgram();
        m_dev->drainAll();
        QCOMPARE(result(), Result::Stopped);
        QCOMPARE(m_dev->wire, handed + "P\rK\rx");
        QVERIFY(handed.count('\r') > 2 && handed.count('\r') < 20 && m_error->isEmpty());
    }

    // A line that cannot be written (no port, refused, partly taken, port closed) fails the
    // download: one error, before the end, then no further line and no run command,
    // only the closing mark where the port still takes bytes.
    void failures()
    {
        for (int how = 0; how < 4; ++how) {
            init();
            connect(m_link.get(), &SerialLink::transferFinished, this,
                    [this] { QCOMPARE(m_error->size(), 1); });
            // The main window shows the error in a modal box from this signal; the box's event
            // loop must not disturb the download's end.
            if (how == 1 || how == 2) {
                connect(m_link.get(), &SerialLink::communicationError, this, [this] {
                    QEventLoop loop;
                    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
                    m_dev->drain();
                    QVERIFY(!m_link->sendProgram(program(2).first));
                    loop.exec();
                });
            }
            if (how == 0)
                m_link->closePort();
            QVERIFY(m_link->sendAndRun(program(100).first));
            const QByteArray before = m_dev->wire;
            m_dev->refuseWrites = how == 1;
            m_dev->acceptAtMost = how == 2 ? 3 : -1;
            if (how == 3)
                m_link->closePort();
            m_dev->drainAll();
            QVERIFY(m_error->size() == 1 && result() == Result::Failed);
            QCOMPARE(m_dev->wire, before + (how == 2 ? "+10P\r" : ""));
        }
    }

    // Shown for downloads of a second or more on the wire (11 bits a byte at 19200 baud: 193
    // lines are 1741 bytes, 997 ms; 194 are 1750 bytes, 1002 ms); its Cancel cancels, and the
    // closing mark still follows the line being written.
    void progressDialog()
    {
        TransferProgressDialog dlg(m_link.get());
        QVERIFY(m_link->sendProgram(program(193).first) && !dlg.isVisible());
        m_dev->drainAll();
        QVERIFY(m_link->sendProgram(program(194).first) && dlg.isVisible());
        m_dev->drainAll();
        QVERIFY(dlg.value() == 194 && dlg.maximum() == 194 && !dlg.isVisible());
        m_finished->clear();
        QVERIFY(m_link->sendAndRun(program(200).first));
        dlg.findChild<QPushButton *>()->click();
        m_dev->drainAll();
        QCOMPARE(result(), Result::Cancelled);
        QVERIFY(!dlg.isVisible() && m_dev->wire.endsWith("\rP\r"));
    }
};

// The link over a real QSerialPort, with a pseudo-terminal standing in for the unit: the line
// the device really carries, bytes both ways, a download through a driver that fills up, and a
// unit that hangs up. The rules themselves are TestSerialLink's and TestTransfer's.
class TestSerialPty : public LinkTest
{
    Q_OBJECT

public:
    TestSerialPty() : LinkTest(true) {}

private Q_SLOTS:
    // A pseudo-terminal keeps 8 data bits and has no modem lines; the rest reaches the device.
    void openSetsTheLine()
    {
        m_link->setPort(m_peer->path(), 1200);
        QVERIFY(m_link->openPort());
        const termios t = m_peer->settings();
        QCOMPARE(cfgetospeed(&t), speed_t(B1200));
        QVERIFY2((t.c_cflag & CSTOPB) && (t.c_cflag & PARODD), "one stop bit, or even parity");
        m_link->setPort(m_peer->path(), 0); // a refused rate: the device is let go again
        QVERIFY(!m_link->openPort() && !m_link->isConnected());
    }

    void bytesBothWays()
    {
        // Sent while the port was closed: the open throws the first 20 bytes away.
        m_link->closePort();
        QVERIFY(m_peer->send("0123456789abcdefghijR\r"));
        QVERIFY(m_link->openPort());
        QByteArray got;
        QVERIFY(QTest::qWaitFor([&] { return m_link->read(got); }));
        QCOMPARE(got, QByteArray("R\r"));
        for (const char c : {'A', '\r', '\b', '\0'})
            m_link->sendChar(c);
        QCOMPARE(m_peer->read(4), QByteArray("A\r\b "));
    }

    // A stop cuts a download at a line boundary, after at least the lines that went out
    // before it, and what is typed meanwhile follows. 40000 lines are more than the
    // pseudo-terminal holds while nobody reads it.
    void downloadStoppedWhileTheDriverIsFull()
    {
        QSignalSpy progress(m_link.get(), &SerialLink::transferProgress);
        const auto [lines, wire] = program(40000, true);
        QVERIFY(m_link->sendAndRun(lines));
        QTRY_VERIFY(progress.size() >= 100);
        m_link->stopProgram();
        m_link->sendChar('t');
        const QByteArray got = m_peer->readUntilEndsWith("P\rK\rt");
        const QByteArray body = got.chopped(qMin<qsizetype>(5, got.size()));
        QVERIFY(got.endsWith("P\rK\rt") && body.endsWith('\r') && wire.startsWith(body));
        QVERIFY(body.count('\r') > 100 && body.count('\r') < 40000);
        QTRY_COMPARE(result(), Result::Stopped);
    }

    // Idle, in a download that flows as the unit reads, and with typing waiting for a
    // download the full driver holds up: the port is closed and the download fails, once.
    void hangUpIsNoticedOnce()
    {
        for (const int state : {0, 1, 2}) {
            init();
            QSignalSpy lost(m_link.get(), &SerialLink::portLost);
            QVERIFY(state == 0 || m_link->sendAndRun(program(40000, true).first));
            if (state == 1)
                QVERIFY(m_peer->read(9000).size() >= 9000);
            if (state == 2)
                m_link->sendChar('t');
            m_peer->closeMaster();
            QTRY_VERIFY(!m_link->isConnected());
            QTRY_COMPARE(m_finished->size(), state ? 1 : 0);
            QVERIFY(state == 0 || result() == Result::Failed);
            QCOMPARE(lost.size(), 1);
        }
    }

    // Unplugged in a download, back as another pty behind the same stable name: "Not connected",
    // the download ended, then open again as set, nothing sent on reopening; --send takes it too.
    void lostPortOpensAgainWhenItsDeviceIsBack()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath("usb-KR44-if00-port0");
        QVERIFY(QFile::link(m_peer->path(), name));
        m_link->setPort(name, 2400);
        QVERIFY(m_link->openPort() && m_link->sendAndRun(program(40000, true).first));
        PortWatcher watcher(m_link.get());
        QSignalSpy status(m_link.get(), &SerialLink::statusTextChanged);
        PtyPeer next; // before the old one goes, so that it gets another name
        m_peer->closeMaster();
        QVERIFY(QFile::remove(name)); // lest a pty of another test take the old number meanwhile
        QTRY_COMPARE(result(), Result::Failed);
        QVERIFY(status.size() == 1 && status[0][0].toString() == "Not connected");
        QVERIFY(QFile::link(next.path(), name));
        QTRY_VERIFY(m_link->isConnected() && !watcher.isWatching());
        QCOMPARE(status.last().first().toString(), "Using " + name + ", 2400 baud");
        m_link->sendChar('x');
        QCOMPARE(next.read(1), "x");
        const termios t = next.settings();
        QVERIFY(cfgetospeed(&t) == B2400 && m_error->size() == 1 && m_finished->size() == 1);
        m_link->closePort();
        QVERIFY(kr44test::writeAll(dir.filePath("p.krp"), "+1\r\n"));
        const QStringList send {"--send", dir.filePath("p.krp"), "--port", name};
        QCOMPARE(kr44test::runProcess(kr44test::buildPath("src/app/kr44"), send).exitCode, 0);
        QCOMPARE(next.readAvailable(), "P\r+1\rP\r");
    }
};

KR44_TEST(TestSerialLink)
KR44_TEST(TestReplyMonitor)
KR44_TEST(TestTransfer)
KR44_TEST(TestSerialPty)
#include "tst_seriallink.moc"
