// The rules under every dialog: what a number field reads, which edits a comment field takes,
// and how the number field's arrows step.

#include "dialogs/dialogrules.h"
#include "dialogs/spinedit.h"
#include "testmain.h"

#include <QLineEdit>
#include <QtTest>

using namespace kr44;

using kr44::NumberSign;

class TestDialogRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parseNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isSigned");
        QTest::addColumn<std::optional<qint64>>("value");
        const std::optional<qint64> none;
        QTest::newRow("blanks around") << " \t42 " << false << std::optional<qint64>(42);
        QTest::newRow("inner blank") << "4 2" << false << none;
        QTest::newRow("empty") << "" << false << none;
        QTest::newRow("unsigned sign") << "+1" << false << none;
        QTest::newRow("unsigned max") << "4294967295" << false << std::optional(4294967295LL);
        QTest::newRow("unsigned over") << "4294967296" << false << none;
        QTest::newRow("signed min") << "-2147483648" << true << std::optional(-2147483648LL);
        QTest::newRow("signed over") << "2147483648" << true << none;
        QTest::newRow("sign alone") << "-" << true << none;
        QTest::newRow("other digits") << QString::fromUtf8("\u0663") << true << none;
    }
    void parseNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, isSigned);
        QFETCH(std::optional<qint64>, value);
        QCOMPARE(kr44::parseFieldNumber(text, isSigned ? NumberSign::Signed : NumberSign::Unsigned),
                 value);
    }

    void commentEdit_data()
    {
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("grow to 100") << QString(99, u'a') << QString(100, u'a') << true;
        QTest::newRow("grow to 101") << QString(100, u'a') << QString(101, u'a') << false;
        QTest::newRow("too long shrinks") << QString(150, u'a') << QString(149, u'a') << true;
        QTest::newRow("too long grows") << QString(149, u'a') << QString(150, u'a') << false;
        QTest::newRow("8-bit") << "" << QString::fromLatin1("\xe9\xff") << true;
        QTest::newRow("beyond 8 bits") << "" << QString::fromUtf8("\u20ac") << false;
        QTest::newRow("line break") << ""
                                    << "a\nb" << false;
        QTest::newRow("line break kept from a file") << "a\rb"
                                                     << "a\rbc" << true;
    }
    void commentEdit()
    {
        QFETCH(QString, previous);
        QFETCH(QString, text);
        QFETCH(bool, allowed);
        QCOMPARE(kr44::commentEditAllowed(previous, text), allowed);
    }

    // The arrows step within their own range, whatever was typed; the field takes digits only.
    void spinSteps_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key"); // 0: typed as keys
        QTest::addColumn<QString>("after");
        QTest::newRow("down") << "5" << int(Qt::Key_Down) << "4";
        QTest::newRow("up stops at the top") << "32767" << int(Qt::Key_Up) << "32767";
        QTest::newRow("down stops at the bottom") << "1" << int(Qt::Key_Down) << "1";
        QTest::newRow("typed above the range") << "65535" << int(Qt::Key_Down) << "32767";
        QTest::newRow("empty steps from the bottom") << "" << int(Qt::Key_Up) << "2";
        QTest::newRow("page up, no separator") << "9990" << int(Qt::Key_PageUp) << "10000";
        QTest::newRow("digits only") << "-1x2 3" << 0 << "123";
    }
    void spinSteps()
    {
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, after);
        kr44::SpinEdit spin;
        spin.setRange(1, 32767);
        spin.show();
        QVERIFY(QTest::qWaitForWindowActive(&spin));
        if (key == 0) {
            QTest::keyClicks(&spin, typed);
        } else {
            spin.edit()->setText(typed);
            QTest::keyClick(&spin, Qt::Key(key));
        }
        QCOMPARE(spin.edit()->text(), after);
    }
};

KR44_TEST(TestDialogRules)
#include "tst_dialogrules.moc"
