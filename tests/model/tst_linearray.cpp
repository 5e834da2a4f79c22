#include "linearray.h"
#include "programfile.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QTest>

using namespace kr44;

class TestLineArray : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Appending a line viewed from the array itself must survive the arena growing under it.
    void appendOwnLineWhileGrowing()
    {
        LineArray a = LineArray::fromList({"first line of the program", "+200"});
        for (int i = 0; i < 200; ++i)
            a.append(a.at(i % 2));
        QCOMPARE(a.size(), 202);
        for (int i = 0; i < a.size(); ++i)
            QCOMPARE(a.at(i), i % 2 ? QByteArrayView("+200") : QByteArrayView("first line of the program"));
    }

    void clearThenRefillMatchesList()
    {
        QRandomGenerator rng(7);
        LineArray a;
        for (int round = 0; round < 20; ++round) {
            QList<QByteArray> expected;
            a.clear();
            const int n = int(rng.bounded(100));
            for (int i = 0; i < n; ++i) {
                QByteArray line(int(rng.bounded(20)), char('a' + rng.bounded(26)));
                expected.append(line);
                a.append(line);
            }
            QCOMPARE(a.toList(), expected);
            QCOMPARE(a, LineArray::fromList(expected));
        }
        QVERIFY(LineArray::fromList({"a"}) != LineArray::fromList({"b"}));
        QVERIFY(LineArray::fromList({"a"}) != LineArray::fromList({"a", ""}));
    }

    // Whether an array knows it holds no line "" or "*": the program list takes such an array's
    // storage as it is, and would show and write an empty line wrongly on a wrong answer.
    void knowsWhenItHasNoEmptyLines_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("free");
        QTest::newRow("no lines") << QByteArray() << true;
        QTest::newRow("instructions") << QByteArray("G1\r\nK") << true;
        QTest::newRow("comments") << QByteArray("* a\r\n*b\r\n**\r\n") << true;
        QTest::newRow("one-byte instruction") << QByteArray("K\r\nK\r\n") << true;
        QTest::newRow("empty line in CR LF") << QByteArray("G1\r\n\r\nK") << false;
        QTest::newRow("empty line in LF") << QByteArray("G1\n\nK") << false;
        QTest::newRow("empty line between CRs") << QByteArray("G1\r\rK") << false;
        QTest::newRow("only a line end") << QByteArray("\n") << false;
        QTest::newRow("lone star") << QByteArray("G1\r\n*\r\nK") << false;
        QTest::newRow("lone star last, unended") << QByteArray("G1\r\n*") << false;
        QTest::newRow("lone star first") << QByteArray("*\nG1") << false;
        // Past the sixteen bytes scanned at a time.
        QTest::newRow("empty line far in") << QByteArray("G1\r\n").repeated(40) + "\r\nK" << false;
        QTest::newRow("lone star far in") << QByteArray("G1\r\n").repeated(40) + "*\r\nK" << false;
        QTest::newRow("long clean") << QByteArray("G1\r\n* x\n").repeated(40) << true;
    }
    void knowsWhenItHasNoEmptyLines()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, free);
        const LineArray parsed = parseProgram(file);
        QCOMPARE(parsed.knownFreeOfEmptyLines(), free);
        const QList<QByteArray> lines = parsed.toList();
        const bool hasEmpty = lines.contains(QByteArray()) || lines.contains(QByteArray("*"));
        QCOMPARE(hasEmpty, !free);
        QCOMPARE(LineArray::fromList(lines).knownFreeOfEmptyLines(), free);
        // A copy keeps it; spans from elsewhere are not known to be free; clearing empties it.
        const LineArray copy = parsed;
        QCOMPARE(copy.knownFreeOfEmptyLines(), free);
        QVERIFY(!LineArray(parsed.arena(), parsed.spans()).knownFreeOfEmptyLines());
        LineArray grown = parsed;
        grown.append("*");
        QVERIFY(!grown.knownFreeOfEmptyLines());
        grown.clear();
        QVERIFY(grown.knownFreeOfEmptyLines());
    }

    void copiesAreIndependent()
    {
        LineArray a = LineArray::fromList({"A", "B"});
        LineArray b = a;
        b.clear();
        b.append("C");
        QCOMPARE(a.toList(), (QList<QByteArray>{"A", "B"}));
        QCOMPARE(b.toList(), QList<QByteArray>{"C"});
    }
};

KR44_TEST(TestLineArray)
#include "tst_linearray.moc"
