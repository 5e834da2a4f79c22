// The pieces under every dialog: number parsing, the comment edit rule, the opening jump target,
// the data exchange and the number field with arrows.

#include "dataexchange.h"
#include "dialogtesting.h"
#include "instructionset.h"
#include "testmain.h"

#include <QButtonGroup>
#include <QVBoxLayout>
#include <QtTest>

using namespace kr44test;
using kr44::NumberSign;

namespace {

// A dialog with one control of each kind, exchanged in this order.
struct Fields
{
    QDialog dialog;
    QLineEdit *count = new QLineEdit(&dialog);
    QLineEdit *offset = new QLineEdit(&dialog);
    QRadioButton *a = new QRadioButton(QStringLiteral("a"), &dialog);
    QRadioButton *b = new QRadioButton(QStringLiteral("b"), &dialog);
    QButtonGroup group;
    QCheckBox *box = new QCheckBox(&dialog);
    QComboBox *list = new QComboBox(&dialog);

    int nCount = 0;
    int nOffset = 0;
    int nChoice = 0;
    int nBox = 0;
    int nItem = 0;

    Fields()
    {
        count->setObjectName(QStringLiteral("count"));
        offset->setObjectName(QStringLiteral("offset"));
        a->setObjectName(QStringLiteral("a"));
        b->setObjectName(QStringLiteral("b"));
        box->setObjectName(QStringLiteral("box"));
        list->setObjectName(QStringLiteral("list"));
        group.addButton(a, 0);
        group.addButton(b, 1);
        list->addItems({QStringLiteral("x"), QStringLiteral("y")});
        auto *layout = new QVBoxLayout(&dialog);
        for (QWidget *w : std::initializer_list<QWidget *>{count, offset, a, b, box, list})
            layout->addWidget(w);
    }

    bool exchange(kr44::DataExchange::Direction direction)
    {
        kr44::DataExchange dx(&dialog, direction);
        dx.number(count, nCount, NumberSign::Unsigned);
        dx.range(count, nCount, 1, 10);
        dx.number(offset, nOffset, NumberSign::Signed);
        dx.range(offset, nOffset, -5, 5);
        dx.radioGroup(&group, nChoice);
        dx.checkBox(box, nBox);
        dx.list(list, nItem);
        return !dx.failed();
    }
};

} // namespace

class TestDataExchange : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parseNumber_data();
    void parseNumber();
    void commentEdit_data();
    void commentEdit();
    void openingTarget_data();
    void openingTarget();
    void pushThenPull();
    void pushNoChoice();
    void stopsAtFirstFailure_data();
    void stopsAtFirstFailure();
    void spinSteps_data();
    void spinSteps();
    void spinTakesDigitsOnly();
};

void TestDataExchange::parseNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isSigned");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint64>("value");

    QTest::newRow("digits") << "123" << false << true << qint64(123);
    QTest::newRow("blanks around") << " \t42 " << false << true << qint64(42);
    QTest::newRow("empty") << "" << false << false << qint64(0);
    QTest::newRow("blanks only") << "   " << false << false << qint64(0);
    QTest::newRow("inner blank") << "4 2" << false << false << qint64(0);
    QTest::newRow("unsigned minus") << "-1" << false << false << qint64(0);
    QTest::newRow("unsigned plus") << "+1" << false << false << qint64(0);
    QTest::newRow("unsigned max") << "4294967295" << false << true << qint64(4294967295LL);
    QTest::newRow("unsigned over") << "4294967296" << false << false << qint64(0);
    QTest::newRow("long zeros") << "000000000000007" << false << true << qint64(7);
    QTest::newRow("signed minus") << "-8388608" << true << true << qint64(-8388608);
    QTest::newRow("signed plus") << "+5" << true << true << qint64(5);
    QTest::newRow("sign alone") << "-" << true << false << qint64(0);
    QTest::newRow("two signs") << "--5" << true << false << qint64(0);
    QTest::newRow("signed min") << "-2147483648" << true << true << qint64(-2147483648LL);
    QTest::newRow("signed below min") << "-2147483649" << true << false << qint64(0);
    QTest::newRow("signed over max") << "2147483648" << true << false << qint64(0);
    QTest::newRow("trailing letter") << "12a" << true << false << qint64(0);
    QTest::newRow("other digits") << QString::fromUtf8("\u0663") << true << false << qint64(0);
}

void TestDataExchange::parseNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, isSigned);
    QFETCH(bool, ok);
    QFETCH(qint64, value);
    const auto parsed =
            kr44::parseFieldNumber(text, isSigned ? NumberSign::Signed : NumberSign::Unsigned);
    QCOMPARE(parsed.has_value(), ok);
    if (ok)
        QCOMPARE(*parsed, value);
}

void TestDataExchange::commentEdit_data()
{
    QTest::addColumn<QString>("previous");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("allowed");

    QTest::newRow("grow to 100") << QString(99, u'a') << QString(100, u'a') << true;
    QTest::newRow("grow to 101") << QString(100, u'a') << QString(101, u'a') << false;
    QTest::newRow("long shrinks") << QString(150, u'a') << QString(149, u'a') << true;
    QTest::newRow("long grows") << QString(149, u'a') << QString(150, u'a') << false;
    QTest::newRow("long same size") << QString(150, u'a') << QString(150, u'b') << true;
    QTest::newRow("8-bit") << "" << QString::fromLatin1("\xe9\xff") << true;
    QTest::newRow("beyond 8 bits") << "" << QString::fromUtf8("\u20ac") << false;
    QTest::newRow("line feed") << "" << "a\nb" << false;
    QTest::newRow("carriage return") << "" << "a\r" << false;
    QTest::newRow("kept from file") << "a\rb" << "a\rbc" << true;
}

void TestDataExchange::commentEdit()
{
    QFETCH(QString, previous);
    QFETCH(QString, text);
    QFETCH(bool, allowed);
    QCOMPARE(kr44::commentEditAllowed(previous, text), allowed);
}

void TestDataExchange::openingTarget_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("own"); // -1: none (new mode)
    QTest::addColumn<int>("fallback");
    QTest::addColumn<int>("target");

    QTest::newRow("new, default") << ",j,J,+" << -1 << 0 << 4;
    QTest::newRow("new, none, j") << ",j,J" << -1 << 0 << 0;
    QTest::newRow("new, none, J") << ",j,J" << -1 << 1 << 1;
    QTest::newRow("own target kept") << "+,j" << 9 << 0 << 9;
    QTest::newRow("own 0 replaced") << "+,j" << 0 << 0 << 1;
    QTest::newRow("own negative replaced") << "j,G" << -5 << 0 << 2;
}

void TestDataExchange::openingTarget()
{
    QFETCH(QString, program);
    QFETCH(int, own);
    QFETCH(int, fallback);
    QFETCH(int, target);
    QList<QByteArray> codes;
    for (const QString &c : program.split(u','))
        codes.append(c.toLatin1());
    const kr44::CodeList lines(codes);
    // The table's -1 stands for new mode; a real line target of -1 is covered by "own negative".
    const std::optional<int> lineTarget = own == -1 ? std::nullopt : std::optional<int>(own);
    QCOMPARE(kr44::openingJumpTarget(lineTarget, lines, fallback), target);
}

void TestDataExchange::pushThenPull()
{
    Fields f;
    f.nCount = 7;
    f.nOffset = -3;
    f.nChoice = 1;
    f.nBox = 1;
    f.nItem = 1;
    QVERIFY(f.exchange(kr44::DataExchange::Direction::Push));
    QCOMPARE(snapshot(&f.dialog), QStringLiteral("count=7 offset=-3 b box=1 list=y"));

    f.nCount = f.nOffset = f.nChoice = f.nBox = f.nItem = 0;
    QVERIFY(f.exchange(kr44::DataExchange::Direction::Pull));
    QCOMPARE(QList<int>({f.nCount, f.nOffset, f.nChoice, f.nBox, f.nItem}),
             QList<int>({7, -3, 1, 1, 1}));
}

// An index outside the group or the list shows nothing chosen.
void TestDataExchange::pushNoChoice()
{
    Fields f;
    f.nCount = 1;
    f.nChoice = 0;
    QVERIFY(f.exchange(kr44::DataExchange::Direction::Push));
    QVERIFY(f.a->isChecked());
    f.nChoice = -1;
    f.nItem = 8;
    QVERIFY(f.exchange(kr44::DataExchange::Direction::Push));
    QVERIFY(!f.a->isChecked() && !f.b->isChecked());
    QCOMPARE(f.list->currentIndex(), -1);
    // The group is exclusive again afterwards.
    f.a->click();
    f.b->click();
    QVERIFY(!f.a->isChecked());
}

void TestDataExchange::stopsAtFirstFailure_data()
{
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("offsetAfter"); // the later field is not pulled after a failure

    QTest::newRow("unsigned parse") << "count=x;offset=4" << "Please enter a positive integer."
                                    << "count" << 0;
    QTest::newRow("unsigned range") << "count=11;offset=4"
                                    << "Please enter an integer between 1 and 10." << "count" << 0;
    QTest::newRow("signed parse") << "count=1;offset=4-" << "Please enter an integer." << "offset"
                                  << 0;
    QTest::newRow("signed range") << "count=1;offset=-6"
                                  << "Please enter an integer between -5 and 5." << "offset" << -6;
    QTest::newRow("no choice") << "count=1;offset=4" << "" << "a" << 4;
}

void TestDataExchange::stopsAtFirstFailure()
{
    QFETCH(QString, actions);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    QFETCH(int, offsetAfter);
    PromptRecorder prompts;
    Fields f;
    f.nChoice = -1;
    QVERIFY(f.exchange(kr44::DataExchange::Direction::Push));
    f.dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.dialog));
    QVERIFY(apply(&f.dialog, actions));
    f.box->setChecked(true);

    QVERIFY(!f.exchange(kr44::DataExchange::Direction::Pull));
    QCOMPARE(prompts.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(focusName(&f.dialog), focus);
    QCOMPARE(f.nOffset, offsetAfter);
    QCOMPARE(f.nBox, 0);
    if (auto *edit = qobject_cast<QLineEdit *>(f.dialog.focusWidget()))
        QCOMPARE(edit->selectedText(), edit->text());
}

void TestDataExchange::spinSteps_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("after");

    QTest::newRow("up") << "5" << int(Qt::Key_Up) << "6";
    QTest::newRow("down") << "5" << int(Qt::Key_Down) << "4";
    QTest::newRow("up stops at the top") << "32767" << int(Qt::Key_Up) << "32767";
    QTest::newRow("down stops at the bottom") << "1" << int(Qt::Key_Down) << "1";
    QTest::newRow("typed above the arrows' range") << "65535" << int(Qt::Key_Down) << "32767";
    QTest::newRow("empty steps from the bottom") << "" << int(Qt::Key_Up) << "2";
    QTest::newRow("page up") << "32000" << int(Qt::Key_PageUp) << "32010";
    QTest::newRow("no thousands separator") << "9999" << int(Qt::Key_Up) << "10000";
}

void TestDataExchange::spinSteps()
{
    QFETCH(QString, text);
    QFETCH(int, key);
    QFETCH(QString, after);
    kr44::SpinEdit spin;
    spin.setRange(1, 32767);
    spin.edit()->setText(text);
    spin.show();
    QVERIFY(QTest::qWaitForWindowActive(&spin));
    QTest::keyClick(&spin, Qt::Key(key));
    QCOMPARE(spin.edit()->text(), after);
}

void TestDataExchange::spinTakesDigitsOnly()
{
    kr44::SpinEdit spin;
    spin.setRange(0, 99);
    spin.show();
    QVERIFY(QTest::qWaitForWindowActive(&spin));
    QTest::keyClicks(&spin, QStringLiteral("-1x2 3"));
    QCOMPARE(spin.edit()->text(), QStringLiteral("123"));
}

KR44_TEST(TestDataExchange)
#include "tst_dataexchange.moc"
