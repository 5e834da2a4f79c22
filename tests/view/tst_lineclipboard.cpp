#include "lineclipboard.h"
#include "testmain.h"

#include <QTest>

using namespace kr44;

class TestLineClipboard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textOfLines_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<QString>("text");
        QTest::newRow("one line") << QByteArrayList{"G25000"} << QStringLiteral("G25000\n");
        QTest::newRow("stored forms") << QByteArrayList{"* ", "*raw", "J1H,3"}
                                      << QStringLiteral("* \n*raw\nJ1H,3\n");
        // Bytes above 127 are one character each, as the list shows them.
        QTest::newRow("8-bit bytes") << QByteArrayList{"* Gr\xfc\xdf"}
                                     << (QString::fromLatin1("* Gr\xfc\xdf") + QLatin1Char('\n'));
        QTest::newRow("no lines") << QByteArrayList{} << QString();
    }
    void textOfLines()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(QString, text);
        QList<QByteArrayView> views;
        for (const QByteArray &line : std::as_const(lines))
            views.append(line);
        QCOMPARE(clipboardText(views), text);
        // And back: a copied line pastes as itself.
        QCOMPARE(linesFromClipboardText(text).toList(), lines);
    }

    void linesOfText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::newRow("empty") << QString() << QByteArrayList{};
        QTest::newRow("no line end") << QStringLiteral("G100") << QByteArrayList{"G100"};
        QTest::newRow("CR LF") << QStringLiteral("G100\r\nD5\r\n") << QByteArrayList{"G100", "D5"};
        QTest::newRow("mixed ends") << QStringLiteral("A1\rB2\nC3\r\n\nK")
                                    << QByteArrayList{"A1", "B2", "C3", "", "K"};
        QTest::newRow("blank line alone") << QStringLiteral("\n") << QByteArrayList{""};
        QTest::newRow("text kept as is") << QStringLiteral("  hello, world\t")
                                         << QByteArrayList{"  hello, world\t"};
        QTest::newRow("Latin-1 characters") << QString::fromUtf8("* \xc3\xbc" "ber")
                                            << QByteArrayList{"* \xfc" "ber"};
        QTest::newRow("beyond one byte") << QString::fromUtf8("* \xe2\x86\x92 x")
                                         << QByteArrayList{"* ? x"};
    }
    void linesOfText()
    {
        QFETCH(QString, text);
        QFETCH(QByteArrayList, lines);
        QCOMPARE(linesFromClipboardText(text).toList(), lines);
    }
};

KR44_TEST(TestLineClipboard)
#include "tst_lineclipboard.moc"
