#include "linearray.h"

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

QTEST_GUILESS_MAIN(TestLineArray)
#include "tst_linearray.moc"
