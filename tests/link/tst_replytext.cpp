#include "replytext.h"
#include "testmain.h"

#include <QTest>

// The pure text rules of the reply monitor and the command window, byte by byte.
class TestReplyText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void translate_data();
    void translate();
    void unknownErrorCodes_data();
    void unknownErrorCodes();
    void expandLineEnds_data();
    void expandLineEnds();
    void commandWindowText_data();
    void commandWindowText();
    void windows1252();
    void bytesForKey_data();
    void bytesForKey();
    void charactersToDrop_data();
    void charactersToDrop();
};

void TestReplyText::translate_data()
{
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<QByteArray>("shown");

    QTest::newRow("busy") << QByteArray("B\r") << QByteArray("Busy\r");
    QTest::newRow("ready ends in LF") << QByteArray("R\r") << QByteArray("Ready\n");
    QTest::newRow("yes") << QByteArray("Y\r") << QByteArray("Yes\r");

    QTest::newRow("E1") << QByteArray("E1\r") << QByteArray("Error - checksum\r");
    QTest::newRow("E2") << QByteArray("E2\r") << QByteArray("Error - bad parameter\r");
    QTest::newRow("E3 with line") << QByteArray("E3 12\r")
                                  << QByteArray("Error - program error in line 12\r\r");
    QTest::newRow("E3 three bytes") << QByteArray("E3\r")
                                    << QByteArray("Error - program error in line \r");
    QTest::newRow("E3 two bytes") << QByteArray("E3") << QByteArray("Error - program error in line \r");
    QTest::newRow("E3 remainder kept as received")
        << QByteArray("E3:7\rR\r") << QByteArray("Error - program error in line 7\rR\r\r");
    QTest::newRow("E4") << QByteArray("E4\r") << QByteArray("Error - bad command\r");
    QTest::newRow("E5 degree sign is byte 176")
        << QByteArray("E5\r") << QByteArray("Error - temperature exceeds 175\xB0" "C\r");
    QTest::newRow("E7") << QByteArray("E7\r") << QByteArray("Error - end of travel\r");
    QTest::newRow("E8") << QByteArray("E8\r") << QByteArray("Error - loop error\r");
    QTest::newRow("E9") << QByteArray("E9\r") << QByteArray("Error - out of memory\r");
    QTest::newRow("EA") << QByteArray("EA\r") << QByteArray("Error - invalid slew rate\r");
    QTest::newRow("EB") << QByteArray("EB\r") << QByteArray("Error - KR44 is in Manual mode\r");
    QTest::newRow("EC") << QByteArray("EC\r") << QByteArray("Error - KR44 is in Internal mode\r");
    QTest::newRow("E then CR") << QByteArray("E\r") << QByteArray("Error - unknown\r");
    QTest::newRow("error without CR") << QByteArray("E4") << QByteArray("Error - bad command\r");

    QTest::newRow("lone E unchanged") << QByteArray("E") << QByteArray("E");
    QTest::newRow("two replies in one read") << QByteArray("Y\rY\r") << QByteArray("Y\rY\r");
    QTest::newRow("ready twice") << QByteArray("R\rR\r") << QByteArray("R\rR\r");
    QTest::newRow("split reply first half") << QByteArray("R") << QByteArray("R");
    QTest::newRow("split reply second half") << QByteArray("\r") << QByteArray("\r");
    QTest::newRow("busy without CR") << QByteArray("B") << QByteArray("B");
    QTest::newRow("lower-case b") << QByteArray("b\r") << QByteArray("b\r");
    QTest::newRow("busy with LF") << QByteArray("B\r\n") << QByteArray("B\r\n");
    QTest::newRow("other text") << QByteArray("hello\r") << QByteArray("hello\r");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestReplyText::translate()
{
    QFETCH(QByteArray, received);
    QFETCH(QByteArray, shown);
    QCOMPARE(kr44::translateReply(received), shown);
}

void TestReplyText::unknownErrorCodes_data()
{
    QTest::addColumn<char>("code");
    QTest::newRow("6") << '6';
    QTest::newRow("0") << '0';
    QTest::newRow("lower-case a") << 'a';
    QTest::newRow("lower-case b") << 'b';
    QTest::newRow("D") << 'D';
    QTest::newRow("CR") << '\r';
    QTest::newRow("space") << ' ';
}

void TestReplyText::unknownErrorCodes()
{
    QFETCH(char, code);
    const QByteArray received = QByteArray("E") + code + '\r';
    QCOMPARE(kr44::translateReply(received), QByteArray("Error - unknown\r"));
}

void TestReplyText::expandLineEnds_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expanded");

    QTest::newRow("busy") << QByteArray("Busy\r") << QByteArray("Busy\r\n");
    QTest::newRow("lone LF stays") << QByteArray("Ready\n") << QByteArray("Ready\n");
    QTest::newRow("two CRs") << QByteArray("a\r\rb") << QByteArray("a\r\n\r\nb");
    QTest::newRow("byte 167") << QByteArray("x\xA7y") << QByteArray("x\r\ny");
    QTest::newRow("CR LF gains an LF") << QByteArray("a\r\n") << QByteArray("a\r\n\n");
    QTest::newRow("no line ends") << QByteArray("abc") << QByteArray("abc");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestReplyText::expandLineEnds()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expanded);
    QCOMPARE(kr44::expandLineEnds(text), expanded);
}

void TestReplyText::commandWindowText_data()
{
    QTest::addColumn<QByteArray>("appended");
    QTest::addColumn<QString>("shown");

    const QString lf(kr44::kLoneLineFeedSymbol);
    QTest::newRow("busy is a line") << QByteArray("Busy\r") << QStringLiteral("Busy\n");
    QTest::newRow("ready's LF is no line break") << QByteArray("Ready\n") << (QStringLiteral("Ready") + lf);
    QTest::newRow("two CRs two breaks") << QByteArray("\r\r") << QStringLiteral("\n\n");
    QTest::newRow("167 is a break") << QByteArray("a\xA7" "b") << QStringLiteral("a\nb");
    QTest::newRow("CR LF from the unit") << QByteArray("a\r\nb") << (QStringLiteral("a\n") + lf + QStringLiteral("b"));
    QTest::newRow("degree sign") << QByteArray("175\xB0" "C") << QStringLiteral("175\u00B0C");
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestReplyText::commandWindowText()
{
    QFETCH(QByteArray, appended);
    QFETCH(QString, shown);
    QCOMPARE(kr44::commandWindowText(appended), shown);
}

void TestReplyText::windows1252()
{
    QCOMPARE(kr44::fromWindows1252("\x80\x99\x9F"), QStringLiteral("\u20AC\u2122\u0178"));
    QCOMPARE(kr44::fromWindows1252("A\xA7\xB0\xFF"), QStringLiteral("A\u00A7\u00B0\u00FF"));
    QCOMPARE(kr44::fromWindows1252(QByteArray("\x00\x7F", 2)), QString(QChar(0)) + QChar(0x7F));
}

void TestReplyText::bytesForKey_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("letter") << int(Qt::Key_A) << QStringLiteral("A") << QByteArray("A");
    QTest::newRow("enter is CR") << int(Qt::Key_Return) << QStringLiteral("\r") << QByteArray("\r");
    QTest::newRow("keypad enter is CR") << int(Qt::Key_Enter) << QStringLiteral("\r") << QByteArray("\r");
    QTest::newRow("backspace is 8") << int(Qt::Key_Backspace) << QStringLiteral("\b") << QByteArray("\b");
    QTest::newRow("ctrl+c") << int(Qt::Key_C) << QStringLiteral("\x03") << QByteArray("\x03");
    QTest::newRow("low 8 bits") << int(Qt::Key_unknown) << QStringLiteral("\u20AC") << QByteArray("\xAC");
    QTest::newRow("degree sign") << int(Qt::Key_degree) << QStringLiteral("\u00B0") << QByteArray("\xB0");
    QTest::newRow("composed text") << int(Qt::Key_unknown) << QStringLiteral("ab") << QByteArray("ab");
    QTest::newRow("arrow") << int(Qt::Key_Left) << QString() << QByteArray();
    QTest::newRow("function key") << int(Qt::Key_F5) << QString() << QByteArray();
    QTest::newRow("tab moves focus") << int(Qt::Key_Tab) << QStringLiteral("\t") << QByteArray();
    QTest::newRow("escape hides") << int(Qt::Key_Escape) << QStringLiteral("\x1b") << QByteArray();
    QTest::newRow("delete types nothing") << int(Qt::Key_Delete) << QStringLiteral("\x7f") << QByteArray();
}

void TestReplyText::bytesForKey()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(kr44::bytesForKey(key, text), bytes);
}

void TestReplyText::charactersToDrop_data()
{
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<qsizetype>("capacity");
    QTest::addColumn<qsizetype>("drop");

    QTest::newRow("empty") << qsizetype(0) << qsizetype(32767) << qsizetype(0);
    QTest::newRow("exactly full") << qsizetype(32767) << qsizetype(32767) << qsizetype(0);
    QTest::newRow("one over drops 100") << qsizetype(32768) << qsizetype(32767) << qsizetype(100);
    QTest::newRow("100 over drops 100") << qsizetype(32867) << qsizetype(32767) << qsizetype(100);
    QTest::newRow("far over drops the excess") << qsizetype(40000) << qsizetype(32767) << qsizetype(7233);
    QTest::newRow("never more than there is") << qsizetype(50) << qsizetype(10) << qsizetype(50);
}

void TestReplyText::charactersToDrop()
{
    QFETCH(qsizetype, length);
    QFETCH(qsizetype, capacity);
    QFETCH(qsizetype, drop);
    QCOMPARE(kr44::charactersToDrop(length, capacity), drop);
}

KR44_TEST(TestReplyText)
#include "tst_replytext.moc"
