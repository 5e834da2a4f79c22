#include "link/download.h"
#include "testmain.h"

#include <QTest>

using namespace kr44;

using kr44::Download;
using Kind = kr44::Download::Kind;
using kr44::LineArray;

// The bytes of a download, write by write, and how cutting it short ends it. The download's
// byte sequence is stated here only; the link's tests prove order, draining and failures.
class TestDownload : public QObject
{
    Q_OBJECT

    // Takes every write; once `cutAfter` writes are taken it cancels, or stops.
    static QByteArrayList take(Download &d, int cutAfter = -1, bool stop = false)
    {
        QByteArrayList writes;
        while (!d.atEnd()) {
            if (writes.size() == cutAfter)
                stop ? d.stop() : d.cancel();
            writes << d.next().bytes;
        }
        return writes;
    }

private Q_SLOTS:
    // "P" CR, each line that is no comment ('*' first) with its CR, "P" CR, and "E" CR to run;
    // an empty line is a lone CR, other text goes as stored. Cut short, the closing "P" CR
    // follows the last line taken and the run is dropped; a stop adds "K" CR, after a run
    // command already begun.
    void writes()
    {
        Download d(LineArray::fromList({"+200", "* note", "G0"}), Kind::SendAndRun);
        QCOMPARE(d.totalBytes(), 14);
        // Marks and commands go one character a write, a line and its CR in one write.
        QCOMPARE(take(d), (QByteArrayList {"P", "\r", "+200\r", "G0\r", "P", "\r", "E", "\r"}));
        const QByteArrayList four = {"+1", "+2", "* c", "+3", "+4"};
        using Row = std::tuple<QByteArrayList, Kind, int, bool, QByteArray>;
        const std::initializer_list<Row> table = {
                {{"* a", "*"}, Kind::SendAndRun, -1, false, "P\rP\rE\r"},
                {{" *x", "", "O1\t\xB0 "}, Kind::Send, -1, false, "P\r *x\r\rO1\t\xB0 \rP\r"},
                {four, Kind::Send, 4, false, "P\r+1\r+2\rP\r"},
                {four, Kind::SendAndRun, 4, false, "P\r+1\r+2\rP\r"},
                {four, Kind::SendAndRun, 6, false, "P\r+1\r+2\r+3\r+4\rP\r"},
                {four, Kind::SendAndRun, 3, true, "P\r+1\rP\rK\r"},
                {four, Kind::Send, 2, true, "P\rP\rK\r"},
                {four, Kind::SendAndRun, 9, true, "P\r+1\r+2\r+3\r+4\rP\rE\rK\r"}, // E already out
        };
        for (const auto &[lines, kind, cutAfter, stop, wire] : table) {
            Download d(LineArray::fromList(lines), kind);
            QCOMPARE(take(d, cutAfter, stop).join(), wire);
            QCOMPARE(d.wasCut(), cutAfter >= 0);
        }
    }
};

KR44_TEST(TestDownload)
#include "tst_download.moc"
