#include "fakedevice.h"
#include "seriallink.h"
#include "transferprogressdlg.h"
#include "testmain.h"

#include <QEventLoop>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using kr44::LineArray;
using Result = CSerialLink::TransferResult;

namespace {

LineArray program(int lines)
{
    QList<QByteArray> l;
    for (int i = 0; i < lines; ++i)
        l << QByteArray("+") + QByteArray::number(1000000 + i); // 9 bytes with CR
    return LineArray::fromList(l);
}

QByteArray downloadBytes(const LineArray &lines, qsizetype upTo)
{
    QByteArray all("P\r");
    for (qsizetype i = 0; i < upTo; ++i)
        all += lines.line(i) + '\r';
    return all;
}

// The result of the one download a spy saw finish; an impossible value when it saw none or more.
Result resultOf(const QSignalSpy &finished)
{
    if (finished.size() != 1)
        return Result(-1);
    return finished.first().first().value<Result>();
}

// Lets the driver put everything on the wire until the download has finished.
void drainUntilFinished(FakeDevice *dev, const QSignalSpy &finished)
{
    for (int i = 0; i < 10000 && finished.isEmpty(); ++i)
        dev->drain();
}

} // namespace

// Downloads, send-and-run and stop through the link: order on the wire, what waits for what,
// and how a download ends.
class TestTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void sendWritesInOrder();
    void noPortReportsOneError();
    void noPortCommentsOnly();
    void stopWithNoPortDoesNothingVisible();
    void stopWhenIdle();
    void linesGoOutAsTheDriverDrains();
    void typedCharactersWaitForTheDownload();
    void finishedOnlyWhenWritten();
    void stopDuringDownload();
    void cancelDuringDownload();
    void writeRefusedMidway_data();
    void writeRefusedMidway();
    void portLostDuringDownload();
    void closeDuringDownload();
    void oneDownloadAtATime();
    void errorSlotMayRunAnEventLoop();
    void progressDialogShowsLongDownloads();
    void progressDialogCancels();

private:
    void openPort(qint32 baud = 19200);

    FakeDevice *m_dev = nullptr;
    CSerialLink *m_link = nullptr;
};

void TestTransfer::init()
{
    auto dev = std::make_unique<FakeDevice>();
    m_dev = dev.get();
    m_link = new CSerialLink(std::move(dev));
    m_link->setPort(QStringLiteral("/dev/ttyUSB0"), 19200);
}

void TestTransfer::cleanup()
{
    delete m_link;
    m_link = nullptr;
}

void TestTransfer::openPort(qint32 baud)
{
    m_link->setPort(QStringLiteral("/dev/ttyUSB0"), baud);
    QByteArray ignored;
    QVERIFY(m_link->PortIO(ignored, CSerialLink::PORT_OPEN));
}

void TestTransfer::sendWritesInOrder()
{
    openPort();
    QSignalSpy progress(m_link, &CSerialLink::transferProgress);
    QSignalSpy finished(m_link, &CSerialLink::transferFinished);
    QSignalSpy error(m_link, &CSerialLink::communicationError);
    QVERIFY(m_link->SendProgram(LineArray::fromList({"+200", "* note", "G0"})));
    QCOMPARE(m_dev->writes, (QList<QByteArray>{"P", "\r", "+200\r", "G0\r", "P", "\r"}));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(resultOf(finished), Result::Completed);
    QCOMPARE(error.size(), 0);
    QCOMPARE(progress.size(), 2);
    QCOMPARE(progress.last().at(0).value<qsizetype>(), 2);
    QCOMPARE(progress.last().at(1).value<qsizetype>(), 2);
    QVERIFY(!m_link->isTransferring());
}

void TestTransfer::noPortReportsOneError()
{
    QSignalSpy error(m_link, &CSerialLink::communicationError);
    QSignalSpy finished(m_link, &CSerialLink::transferFinished);
    QList<QString> order;
    connect(m_link, &CSerialLink::communicationError, this, [&] { order << QStringLiteral("error"); });
    connect(m_link, &CSerialLink::transferFinished, this, [&] { order << QStringLiteral("finished"); });

    QVERIFY(m_link->SendAndRun(program(10)));
    // Known at once, inside the call: no port, no wire.
    QCOMPARE(error.size(), 1);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(resultOf(finished), Result::Failed);
    QCOMPARE(order, (QList<QString>{QStringLiteral("error"), QStringLiteral("finished")}));
    QVERIFY(m_dev->writes.isEmpty());
    QVERIFY(!m_link->isTransferring());
}

void TestTransfer::noPortCommentsOnly()
{
    QSignalSpy error(m_link, &CSerialLink::communicationError);
    QSignalSpy finished(m_link, &CSerialLink::transferFinished);
    QVERIFY(m_link->SendProgram(LineArray::fromList({"* a", "* b"})));
    QCOMPARE(error.size(), 0);
    QCOMPARE(resultOf(finished), Result::Completed);
}

void TestTransfer::stopWithNoPortDoesNothingVisible()
{
    QSignalSpy error(m_link, &CSerialLink::communicationError);
    QSignalSpy finished(m_link, &CSerialLink::transferFinished);
    QSignalSpy status(m_link, &CSerialLink::statusTextChanged);
    m_link->StopProgram();
    QCOMPARE(error.size(), 0);
    QCOMPARE(finished.size(), 0);
    QCOMPARE(status.size(), 0);
    QVERIFY(m_dev->writes.isEmpty());
}

void TestTransfer::stopWhenIdle()
{
    openPort();
    m_link->StopProgram();
    QCOMPARE(m_dev->writes, (QList<QByteArray>{"K", "\r"}));
}

void TestTransfer::linesGoOutAsTheDriverDrains()
{
    openPort();
    m_dev->holdOutput = true;
    const LineArray lines = program(100);
    QSignalSpy finished(m_link, &CSerialLink::transferFinished);
    QVERIFY(m_link->SendProgram(lines));
    // The driver is never handed much more than the low-water mark.
    QVERIFY(m_dev->pendingOutput() >= CSerialLink::kDownloadLowWater);
    QVERIFY(m_dev->pendingOutput() < CSerialLink::kDownloadLowWater + 9);
    QVERIFY(m_link->isTransferring());
    int drains = 0;
    while (finished.isEmpty() && drains < 10000) {
        m_dev->drain(9);
        ++drains;
        QVERIFY(m_dev->pendingOutput() < CSerialLink::kDownloadLowWater + 9);
    }
    QCOMPARE(resultOf(finished), Result::Completed);
    QCOMPARE(m_dev->wire, downloadBytes(lines, 100) + "P\r");
}

void TestTransfer::typedCharactersWaitForTheDownload()
{
    openPort();
    m_dev->holdOutput = true;
    const LineArray lines = program(30);
    QVERIFY(m_link->SendProgram(lines));
    m_link->SendChar('a');
    QByteArray word("bc");
    QVERIFY(m_link->PortIO(word, CSerialLink::PORT_WRITE));
    QVERIFY(!m_dev->wire.contains('a'));
    for (int i = 0; i < 10000 && m_link->isTransferring(); ++i)
        m_dev->drain();
    QCOMPARE(m_dev->wire, downloadBytes(lines, 30) + "P\rabc");
}

void TestTransfer::finishedOnlyWhenWritten()
{
    openPort();
    m_dev->holdOutput = true;
    QSignalSpy finished(m_link, &CSerialLink::transferFinished);
    QVERIFY(m_link->SendProgram(LineArray::fromList({"+1"})));
    // Every byte is with the driver, none on the wire yet.
    QCOMPARE(m_dev->wire, QByteArray("P\r+1\rP\r"));
    QCOMPARE(finished.size(), 0);
    m_link->SendChar('x');
    QCOMPARE(m_dev->wire, QByteArray("P\r+1\rP\r"));
    m_dev->drain();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(m_dev->wire, QByteArray("P\r+1\rP\rx"));
}

void TestTransfer::stopDuringDownload()
{
    openPort();
    m_dev->holdOutput = true;
    const LineArray lines = program(100);
    QSignalSpy finished(m_link, &CSerialLink::transferFinished);
    QVERIFY(m_link->SendAndRun(lines));
    m_dev->drain();
    m_link->SendChar('x');
    const QByteArray handed = m_dev->wire;
    QVERIFY(handed.endsWith('\r'));

    m_link->StopProgram();
    // The lines not handed over are dropped at once; the closing mark and the stop follow the
    // line being written, ahead of the character typed meanwhile.
    drainUntilFinished(m_dev, finished);
    QCOMPARE(resultOf(finished), Result::Stopped);
    QCOMPARE(m_dev->wire, handed + "P\rK\rx");
    QVERIFY(!m_dev->wire.contains("E\r"));
}

void TestTransfer::cancelDuringDownload()
{
    openPort();
    m_dev->holdOutput = true;
    const LineArray lines = program(100);
    QSignalSpy finished(m_link, &CSerialLink::transferFinished);
    QSignalSpy error(m_link, &CSerialLink::communicationError);
    QVERIFY(m_link->SendAndRun(lines));
    m_dev->drain();
    m_dev->drain();
    const QByteArray handed = m_dev->wire;
    m_link->cancelTransfer();
    drainUntilFinished(m_dev, finished);
    QCOMPARE(resultOf(finished), Result::Cancelled);
    QCOMPARE(error.size(), 0);
    QCOMPARE(m_dev->wire, handed + "P\r");
    const qsizetype linesHanded = handed.count('\r') - 1;
    QVERIFY(linesHanded > 0 && linesHanded < 100);
    QCOMPARE(handed, downloadBytes(lines, linesHanded));
}

void TestTransfer::writeRefusedMidway_data()
{
    QTest::addColumn<bool>("refuse");
    QTest::addColumn<qint64>("acceptAtMost");
    QTest::addColumn<QByteArray>("tail");
    // A refusing port takes nothing more; one that takes part of a write takes the first bytes
    // of the failing line, then the closing mark (one byte a write).
    QTest::newRow("refused") << true << qint64(-1) << QByteArray();
    QTest::newRow("partly taken") << false << qint64(3) << QByteArray("+10P\r");
}

void TestTransfer::writeRefusedMidway()
{
    QFETCH(bool, refuse);
    QFETCH(qint64, acceptAtMost);
    QFETCH(QByteArray, tail);
    openPort();
    m_dev->holdOutput = true;
    QSignalSpy finished(m_link, &CSerialLink::transferFinished);
    QSignalSpy error(m_link, &CSerialLink::communicationError);
    QVERIFY(m_link->SendAndRun(program(100)));
    const QByteArray before = m_dev->wire;
    m_dev->refuseWrites = refuse;
    m_dev->acceptAtMost = acceptAtMost;
    drainUntilFinished(m_dev, finished);
    QCOMPARE(error.size(), 1);
    QCOMPARE(resultOf(finished), Result::Failed);
    // No further line and no run command after the failure.
    QCOMPARE(m_dev->wire, before + tail);
}

void TestTransfer::portLostDuringDownload()
{
    openPort();
    m_dev->holdOutput = true;
    QSignalSpy finished(m_link, &CSerialLink::transferFinished);
    QSignalSpy error(m_link, &CSerialLink::communicationError);
    QSignalSpy status(m_link, &CSerialLink::statusTextChanged);
    QVERIFY(m_link->SendProgram(program(100)));
    m_dev->fail(QStringLiteral("unplugged"));
    QCOMPARE(error.size(), 1);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(resultOf(finished), Result::Failed);
    QCOMPARE(status.last().first().toString(), QStringLiteral("Not connected"));
    QVERIFY(!m_link->isTransferring());
}

void TestTransfer::closeDuringDownload()
{
    openPort();
    m_dev->holdOutput = true;
    QSignalSpy finished(m_link, &CSerialLink::transferFinished);
    QSignalSpy error(m_link, &CSerialLink::communicationError);
    QVERIFY(m_link->SendProgram(program(100)));
    QByteArray ignored;
    QVERIFY(m_link->PortIO(ignored, CSerialLink::PORT_CLOSE));
    QCOMPARE(error.size(), 1);
    QCOMPARE(resultOf(finished), Result::Failed);
}

void TestTransfer::oneDownloadAtATime()
{
    openPort();
    m_dev->holdOutput = true;
    QVERIFY(m_link->SendProgram(program(100)));
    const QByteArray before = m_dev->wire;
    QVERIFY(!m_link->SendAndRun(program(3)));
    QVERIFY(!m_link->SendProgram(program(3)));
    QCOMPARE(m_dev->wire, before);
}

void TestTransfer::errorSlotMayRunAnEventLoop()
{
    // The main window shows "Communication error" in a modal box from this signal; the box's
    // event loop must not disturb the download's end.
    openPort();
    m_dev->holdOutput = true;
    QSignalSpy finished(m_link, &CSerialLink::transferFinished);
    connect(m_link, &CSerialLink::communicationError, this, [this] {
        QEventLoop loop;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        m_dev->drain();
        QVERIFY(!m_link->SendProgram(program(2)));
        loop.exec();
        QCOMPARE(m_link->isTransferring(), true);
    });
    QVERIFY(m_link->SendProgram(program(100)));
    m_dev->acceptAtMost = 3;
    m_dev->drain();
    m_dev->acceptAtMost = -1;
    drainUntilFinished(m_dev, finished);
    QCOMPARE(resultOf(finished), Result::Failed);
    QVERIFY(m_dev->wire.endsWith("+10P\r"));
}

void TestTransfer::progressDialogShowsLongDownloads()
{
    CTransferProgressDlg dlg(m_link);
    openPort(19200);
    QVERIFY(m_link->SendProgram(program(10)));
    QVERIFY(!dlg.isVisible());

    // 1000 lines of 9 bytes take over five seconds at 19200 baud.
    m_dev->holdOutput = true;
    QVERIFY(m_link->SendProgram(program(1000)));
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.maximum(), 1000);
    m_dev->drain();
    QVERIFY(dlg.value() > 0);
    QCOMPARE(dlg.labelText(), QStringLiteral("Line %1 of 1000").arg(dlg.value()));
    for (int i = 0; i < 10000 && m_link->isTransferring(); ++i)
        m_dev->drain();
    QCOMPARE(dlg.value(), 1000);
    QVERIFY(!dlg.isVisible());
}

void TestTransfer::progressDialogCancels()
{
    CTransferProgressDlg dlg(m_link);
    openPort(1200);
    m_dev->holdOutput = true;
    QSignalSpy finished(m_link, &CSerialLink::transferFinished);
    QVERIFY(m_link->SendAndRun(program(200)));
    QVERIFY(dlg.isVisible());
    auto *cancel = dlg.findChild<QPushButton *>(QStringLiteral("cancelTransferButton"));
    QVERIFY(cancel);
    cancel->click();
    drainUntilFinished(m_dev, finished);
    QCOMPARE(resultOf(finished), Result::Cancelled);
    QVERIFY(!dlg.isVisible());
    QVERIFY(m_dev->wire.endsWith("\rP\r"));
}

KR44_TEST(TestTransfer)
#include "tst_transfer.moc"
