#include "download.h"
#include "testmain.h"

#include <QTest>

using kr44::Download;
using kr44::LineArray;

Q_DECLARE_METATYPE(Download::Kind)

namespace {

// Takes every write; `cutAfterLines` >= 0 cancels or stops once that many lines were taken.
QList<QByteArray> drain(Download &d, int cutAfterLines = -1, bool stop = false)
{
    QList<QByteArray> writes;
    int lines = 0;
    while (!d.atEnd()) {
        if (cutAfterLines >= 0 && lines == cutAfterLines) {
            if (stop)
                d.stop();
            else
                d.cancel();
            cutAfterLines = -1;
            continue;
        }
        const Download::Write w = d.next();
        if (w.type == Download::Write::Type::Line)
            ++lines;
        writes << w.bytes;
    }
    return writes;
}

QByteArray joined(const QList<QByteArray> &writes)
{
    QByteArray all;
    for (const QByteArray &w : writes)
        all += w;
    return all;
}

} // namespace

// The bytes of a download, write by write, and how cutting it short ends it.
class TestDownload : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writes_data();
    void writes();
    void lineWritesCarryTheirCr();
    void counts();
    void cut_data();
    void cut();
    void stopAfterRunCommandBegun();
    void cutAfterEnd();
};

void TestDownload::writes_data()
{
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<Download::Kind>("kind");
    QTest::addColumn<QList<QByteArray>>("expected");

    const QList<QByteArray> program = {"+200", "* note", "G0"};
    QTest::newRow("send skips the comment")
        << program << Download::Kind::Send
        << QList<QByteArray>{"P", "\r", "+200\r", "G0\r", "P", "\r"};
    QTest::newRow("send and run")
        << program << Download::Kind::SendAndRun
        << QList<QByteArray>{"P", "\r", "+200\r", "G0\r", "P", "\r", "E", "\r"};
    QTest::newRow("empty program, send and run")
        << QList<QByteArray>{} << Download::Kind::SendAndRun
        << QList<QByteArray>{"P", "\r", "P", "\r", "E", "\r"};
    QTest::newRow("empty program, send")
        << QList<QByteArray>{} << Download::Kind::Send << QList<QByteArray>{"P", "\r", "P", "\r"};
    QTest::newRow("comments only")
        << QList<QByteArray>{"* one", "*two", "*"} << Download::Kind::SendAndRun
        << QList<QByteArray>{"P", "\r", "P", "\r", "E", "\r"};
    QTest::newRow("space before star is sent")
        << QList<QByteArray>{" * not a comment"} << Download::Kind::Send
        << QList<QByteArray>{"P", "\r", " * not a comment\r", "P", "\r"};
    QTest::newRow("empty line is a lone CR")
        << QList<QByteArray>{"A1", "", "A2"} << Download::Kind::Send
        << QList<QByteArray>{"P", "\r", "A1\r", "\r", "A2\r", "P", "\r"};
    QTest::newRow("text sent exactly as stored")
        << QList<QByteArray>{"  +200  ", "O1\t0"} << Download::Kind::Send
        << QList<QByteArray>{"P", "\r", "  +200  \r", "O1\t0\r", "P", "\r"};
    QTest::newRow("comments first and last")
        << QList<QByteArray>{"* head", "+1", "* tail"} << Download::Kind::Send
        << QList<QByteArray>{"P", "\r", "+1\r", "P", "\r"};
}

void TestDownload::writes()
{
    QFETCH(QList<QByteArray>, lines);
    QFETCH(Download::Kind, kind);
    QFETCH(QList<QByteArray>, expected);

    Download d(LineArray::fromList(lines), kind);
    const QList<QByteArray> got = drain(d);
    QCOMPARE(got, expected);
    QCOMPARE(d.totalBytes(), joined(expected).size());
    QVERIFY(!d.wasCut());
}

void TestDownload::lineWritesCarryTheirCr()
{
    Download d(LineArray::fromList({"+200", "G0"}), Download::Kind::Send);
    QList<Download::Write::Type> types;
    while (!d.atEnd())
        types << d.next().type;
    using T = Download::Write::Type;
    QCOMPARE(types, (QList<T>{T::Char, T::Char, T::Line, T::Line, T::Char, T::Char}));
}

void TestDownload::counts()
{
    Download d(LineArray::fromList({"+1", "* c", "+2", "+3"}), Download::Kind::Send);
    QCOMPARE(d.linesToSend(), 3);
    QCOMPARE(d.linesSent(), 0);
    (void)d.next();
    (void)d.next();
    QVERIFY(d.nextIsLine());
    (void)d.next();
    QCOMPARE(d.linesSent(), 1);
    (void)d.next();
    QCOMPARE(d.linesSent(), 2);
}

void TestDownload::cut_data()
{
    QTest::addColumn<Download::Kind>("kind");
    QTest::addColumn<int>("cutAfter");
    QTest::addColumn<bool>("stop");
    QTest::addColumn<QByteArray>("wire");

    QTest::newRow("cancel half-way keeps the closing P")
        << Download::Kind::Send << 2 << false << QByteArray("P\r+1\r+2\rP\r");
    QTest::newRow("cancel drops the run command")
        << Download::Kind::SendAndRun << 2 << false << QByteArray("P\r+1\r+2\rP\r");
    QTest::newRow("stop half-way: P then K")
        << Download::Kind::SendAndRun << 1 << true << QByteArray("P\r+1\rP\rK\r");
    QTest::newRow("stop before the first line")
        << Download::Kind::Send << 0 << true << QByteArray("P\rP\rK\r");
    QTest::newRow("cancel after the last line")
        << Download::Kind::SendAndRun << 4 << false << QByteArray("P\r+1\r+2\r+3\r+4\rP\r");
}

void TestDownload::cut()
{
    QFETCH(Download::Kind, kind);
    QFETCH(int, cutAfter);
    QFETCH(bool, stop);
    QFETCH(QByteArray, wire);

    Download d(LineArray::fromList({"+1", "+2", "* c", "+3", "+4"}), kind);
    QCOMPARE(joined(drain(d, cutAfter, stop)), wire);
    QVERIFY(d.wasCut());
}

void TestDownload::stopAfterRunCommandBegun()
{
    Download d(LineArray::fromList({"+1"}), Download::Kind::SendAndRun);
    QByteArray wire;
    while (!d.atEnd() && !wire.endsWith("P\rE"))
        wire += d.next().bytes;
    d.stop();
    while (!d.atEnd())
        wire += d.next().bytes;
    // The unit is never left holding half a command: E gets its CR, then the program stops.
    QCOMPARE(wire, QByteArray("P\r+1\rP\rE\rK\r"));
}

void TestDownload::cutAfterEnd()
{
    Download d(LineArray::fromList({"+1"}), Download::Kind::Send);
    drain(d);
    d.stop();
    d.cancel();
    QVERIFY(d.atEnd());
    QVERIFY(!d.wasCut());
}

KR44_TEST(TestDownload)
#include "tst_download.moc"
