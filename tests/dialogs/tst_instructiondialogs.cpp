// Every instruction dialog through the same steps: what it shows when it opens in new and in
// edit mode, what it composes from what the user sets, and what it refuses.

#include "dialogtesting.h"
#include "instructiondialogs.h"
#include "instructiondlg.h"
#include "testmain.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace kr44test;
using kr44::PromptIcon;

namespace {

// Line 1 "+", 2 a comment, 3 "j", 4 "J", 5 "G": the jump dialogs edit lines 3 and 4.
const kr44::CodeList &program()
{
    static const kr44::CodeList codes({"+", "", "j", "J", "G"});
    return codes;
}

int rowFor(char code)
{
    return code == 'j' ? 2 : code == 'J' ? 3 : 0;
}

struct OpenDialog
{
    QByteArray params;
    std::unique_ptr<CInstructionDlg> dialog;
};

// Opens the dialog for `code` on `params` and shows it (without a modal loop).
std::unique_ptr<OpenDialog> open(char code, const QByteArray &params)
{
    auto d = std::make_unique<OpenDialog>();
    d->params = params;
    d->dialog = kr44::createInstructionDialog(code, d->params, program(), rowFor(code), nullptr);
    if (!d->dialog || !d->dialog->initDialog())
        return nullptr;
    d->dialog->show();
    if (!QTest::qWaitForWindowExposed(d->dialog.get()))
        return nullptr;
    return d;
}

char codeOf(const QString &s)
{
    return s.toLatin1().at(0);
}

const char *const kAllCodes = "+-ABCDfGghHIjJLMTUVWX";

} // namespace

class TestInstructionDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newMode_data();
    void newMode();
    void editMode_data();
    void editMode();
    void refused_data();
    void refused();
    void bounds_data();
    void bounds();
    void escape_data();
    void escape();
    void namesAndTabOrder_data();
    void namesAndTabOrder();
    void spinRanges_data();
    void spinRanges();
};

void TestInstructionDialogs::newMode_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("composed");

    QTest::newRow("+") << "+" << "+ Command" << "stepsEdit=1" << QByteArray("1");
    QTest::newRow("-") << "-" << "- Command" << "stepsEdit=1" << QByteArray("1");
    QTest::newRow("A") << "A" << "Activate Command" << "output1Radio" << QByteArray("1");
    QTest::newRow("B") << "B" << "Motor Command" << "motor1Radio" << QByteArray("1");
    QTest::newRow("C") << "C" << "Clear Command" << "output1Radio" << QByteArray("1");
    QTest::newRow("f") << "f" << "Force Command" << "positionEdit=0" << QByteArray("0");
    QTest::newRow("G") << "G" << "Goto Command" << "positionEdit=0" << QByteArray("0");
    QTest::newRow("g") << "g" << "Go Until Command" << "clockwiseRadio input1Radio lowRadio"
                       << QByteArray("+1L");
    QTest::newRow("h") << "h" << "Hold Command" << "holdTimeEdit=10 multiplierList=Off"
                       << QByteArray("10,0");
    QTest::newRow("H") << "H" << "Home Command" << "eotPlusRadio" << QByteArray("+");
    QTest::newRow("I") << "I" << "Initialise Command"
                       << "clearPositionCheck=1 clearOutputsCheck=0" << QByteArray("1");
    // The default search skips the comment and both jumps: line 1.
    QTest::newRow("j") << "j" << "Jump Command" << "lineEdit=1" << QByteArray("1");
    QTest::newRow("J") << "J" << "Jump If Command" << "lineEdit=1 input1Radio lowRadio"
                       << QByteArray("1L,1");
    QTest::newRow("L") << "L" << "Loop Command" << "loopStartRadio" << QByteArray("0");
    QTest::newRow("M") << "M" << "Ministep Command" << "eighthEdit=30 quarterEdit=60 halfEdit=120"
                       << QByteArray("30,60,120");
    QTest::newRow("T") << "T" << "Slew Rate Command" << "slewRateEdit=1000" << QByteArray("1000");
    QTest::newRow("U") << "U" << "Until Command" << "input1Radio lowRadio" << QByteArray("1L");
    QTest::newRow("V") << "V" << "Verify Command" << "positionCounterRadio" << QByteArray("1");
    QTest::newRow("W") << "W" << "Wait Command" << "input1Radio lowRadio" << QByteArray("1L");
    QTest::newRow("X") << "X" << "Acceleration Parameters Command"
                       << "startRateEdit=500 slewRateEdit=1000 rampEdit=20"
                       << QByteArray("500,1000,20");
}

void TestInstructionDialogs::newMode()
{
    QFETCH(QString, code);
    QFETCH(QString, title);
    QFETCH(QString, shown);
    QFETCH(QByteArray, composed);
    PromptRecorder prompts;

    auto d = open(codeOf(code), QByteArray());
    QVERIFY(d);
    QVERIFY(d->dialog->isNewMode());
    QCOMPARE(d->dialog->windowTitle(), title);
    QVERIFY(!d->dialog->cancelButton()->isVisible());
    QCOMPARE(snapshot(d->dialog.get()), shown);

    d->dialog->okButton()->click();
    QCOMPARE(d->dialog->result(), int(QDialog::Accepted));
    QVERIFY(!d->dialog->isVisible());
    QCOMPARE(d->params, composed);
    QVERIFY(prompts.prompts.isEmpty());
}

void TestInstructionDialogs::editMode_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QByteArray>("params");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QByteArray>("composed");

    QTest::newRow("+ as read") << "+" << QByteArray("200") << "stepsEdit=200" << ""
                               << QByteArray("200");
    QTest::newRow("- typed") << "-" << QByteArray("50") << "stepsEdit=50" << "stepsEdit=8388607"
                             << QByteArray("8388607");
    QTest::newRow("+ blanks around") << "+" << QByteArray("7") << "stepsEdit=7" << "stepsEdit= 12 "
                                     << QByteArray("12");
    QTest::newRow("A 2 to 3") << "A" << QByteArray("2") << "output2Radio" << "output3Radio"
                              << QByteArray("3");
    QTest::newRow("B 2") << "B" << QByteArray("2") << "motor2Radio" << "" << QByteArray("2");
    QTest::newRow("C 3 to 1") << "C" << QByteArray("3") << "output3Radio" << "output1Radio"
                              << QByteArray("1");
    QTest::newRow("D 500") << "D" << QByteArray("500") << "delayEdit=500" << "delayEdit=65535"
                           << QByteArray("65535");
    QTest::newRow("f negative") << "f" << QByteArray("-1000") << "positionEdit=-1000"
                                << "positionEdit=-5" << QByteArray("-5");
    QTest::newRow("f plus sign") << "f" << QByteArray("1") << "positionEdit=1"
                                 << "positionEdit=+42" << QByteArray("42");
    QTest::newRow("G 25000") << "G" << QByteArray("25000") << "positionEdit=25000" << ""
                             << QByteArray("25000");
    QTest::newRow("g -2H") << "g" << QByteArray("-2H")
                           << "counterclockwiseRadio input2Radio highRadio"
                           << "clockwiseRadio;input3Radio;lowRadio" << QByteArray("+3L");
    QTest::newRow("h 50,3") << "h" << QByteArray("50,3") << "holdTimeEdit=50 multiplierList=3"
                            << "multiplierList=7" << QByteArray("50,7");
    QTest::newRow("h no comma") << "h" << QByteArray("25") << "holdTimeEdit=25 multiplierList=Off"
                                << "" << QByteArray("25,0");
    QTest::newRow("H -") << "H" << QByteArray("-") << "eotMinusRadio" << "eotPlusRadio"
                         << QByteArray("+");
    QTest::newRow("H other") << "H" << QByteArray("x") << "eotPlusRadio" << "" << QByteArray("+");
    QTest::newRow("I 3") << "I" << QByteArray("3") << "clearPositionCheck=1 clearOutputsCheck=1"
                         << "clearPositionCheck=0" << QByteArray("2");
    QTest::newRow("I 2") << "I" << QByteArray("2") << "clearPositionCheck=0 clearOutputsCheck=1"
                         << "" << QByteArray("2");
    QTest::newRow("j 4") << "j" << QByteArray("4") << "lineEdit=4" << "lineEdit=5"
                         << QByteArray("5");
    QTest::newRow("J 1H,5") << "J" << QByteArray("1H,5") << "lineEdit=5 input1Radio highRadio"
                            << "input2Radio;lowRadio;lineEdit=4" << QByteArray("2L,4");
    QTest::newRow("L 10") << "L" << QByteArray("10") << "loopEndRadio countEdit=10"
                          << "countEdit=255" << QByteArray("255");
    QTest::newRow("L 0") << "L" << QByteArray("0") << "loopStartRadio" << "" << QByteArray("0");
    QTest::newRow("L end to start") << "L" << QByteArray("5") << "loopEndRadio countEdit=5"
                                    << "loopStartRadio" << QByteArray("0");
    QTest::newRow("M 30,60,120") << "M" << QByteArray("30,60,120")
                                 << "eighthEdit=30 quarterEdit=60 halfEdit=120"
                                 << "eighthEdit=40;quarterEdit=80;halfEdit=600"
                                 << QByteArray("40,80,600");
    QTest::newRow("M two fields") << "M" << QByteArray("50,70")
                                  << "eighthEdit=50 quarterEdit=70 halfEdit=120"
                                  << "" << QByteArray("50,70,120");
    QTest::newRow("T") << "T" << QByteArray("1000") << "slewRateEdit=1000" << "slewRateEdit=10"
                       << QByteArray("10");
    QTest::newRow("U 2H") << "U" << QByteArray("2H") << "input2Radio highRadio" << ""
                          << QByteArray("2H");
    QTest::newRow("V 3") << "V" << QByteArray("3") << "temperatureRadio" << "dynamicParametersRadio"
                         << QByteArray("5");
    QTest::newRow("V first char only") << "V" << QByteArray("24") << "userIoRadio" << ""
                                       << QByteArray("2");
    QTest::newRow("W 1H") << "W" << QByteArray("1H") << "input1Radio highRadio" << "lowRadio"
                          << QByteArray("1L");
    QTest::newRow("W 2H") << "W" << QByteArray("2H") << "input2Radio highRadio" << ""
                          << QByteArray("2H");
    QTest::newRow("X 500,,20") << "X" << QByteArray("500,,20")
                               << "startRateEdit=500 slewRateEdit=0 rampEdit=20"
                               << "slewRateEdit=900" << QByteArray("500,900,20");
}

void TestInstructionDialogs::editMode()
{
    QFETCH(QString, code);
    QFETCH(QByteArray, params);
    QFETCH(QString, shown);
    QFETCH(QString, actions);
    QFETCH(QByteArray, composed);
    PromptRecorder prompts;

    auto d = open(codeOf(code), params);
    QVERIFY(d);
    QVERIFY(!d->dialog->isNewMode());
    QVERIFY(d->dialog->cancelButton()->isVisible());
    QCOMPARE(snapshot(d->dialog.get()), shown);
    QVERIFY(apply(d->dialog.get(), actions));

    d->dialog->okButton()->click();
    QCOMPARE(prompts.texts(), QStringList());
    QCOMPARE(d->dialog->result(), int(QDialog::Accepted));
    QCOMPARE(d->params, composed);
}

void TestInstructionDialogs::refused_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QByteArray>("params");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QString>("message"); // empty: refused without a message
    QTest::addColumn<QString>("focus");

    const QString positive = QStringLiteral("Please enter a positive integer.");
    const QString integer = QStringLiteral("Please enter an integer.");

    QTest::newRow("D new starts at 0") << "D" << QByteArray() << "delayEdit=0" << ""
                                       << "Please enter an integer between 1 and 65535."
                                       << "delayEdit";
    QTest::newRow("+ empty") << "+" << QByteArray("5") << "stepsEdit=5" << "stepsEdit=" << positive
                             << "stepsEdit";
    QTest::newRow("+ negative read") << "+" << QByteArray("-5") << "stepsEdit=-5" << "" << positive
                                     << "stepsEdit";
    QTest::newRow("T over 32 bits") << "T" << QByteArray("1000") << "slewRateEdit=1000"
                                    << "slewRateEdit=4294967296" << positive << "slewRateEdit";
    QTest::newRow("T 32-bit max") << "T" << QByteArray("1000") << "slewRateEdit=1000"
                                  << "slewRateEdit=4294967295"
                                  << "Please enter an integer between 10 and 6000."
                                  << "slewRateEdit";
    QTest::newRow("f letters") << "f" << QByteArray("1") << "positionEdit=1" << "positionEdit=12a"
                               << integer << "positionEdit";
    QTest::newRow("G ten digits") << "G" << QByteArray("1") << "positionEdit=1"
                                  << "positionEdit=1234567890"
                                  << "Please enter an integer between -8388608 and 8388607."
                                  << "positionEdit";
    QTest::newRow("G beyond int") << "G" << QByteArray("1") << "positionEdit=1"
                                  << "positionEdit=-99999999999" << integer << "positionEdit";
    // Out-of-range values read from a file select no choice; OK asks for one instead of writing
    // "0", "-1" or an input 0.
    QTest::newRow("A 0") << "A" << QByteArray("0") << "" << "" << "" << "output1Radio";
    QTest::newRow("B 3") << "B" << QByteArray("3") << "" << "" << "" << "motor1Radio";
    QTest::newRow("C 9") << "C" << QByteArray("9") << "" << "" << "" << "output1Radio";
    QTest::newRow("V 7") << "V" << QByteArray("7") << "" << "" << "" << "positionCounterRadio";
    QTest::newRow("h multiplier 9") << "h" << QByteArray("50,9")
                                    << "holdTimeEdit=50 multiplierList="
                                    << "" << "" << "multiplierList";
    QTest::newRow("g input 5") << "g" << QByteArray("+5H") << "clockwiseRadio highRadio" << "" << ""
                               << "input1Radio";
    QTest::newRow("U input 0") << "U" << QByteArray("0L") << "lowRadio" << "" << ""
                               << "input1Radio";
    QTest::newRow("W input 4") << "W" << QByteArray("4H") << "highRadio" << "" << ""
                               << "input1Radio";
    QTest::newRow("J input 0") << "J" << QByteArray("0L,1") << "lineEdit=1 lowRadio" << "" << ""
                               << "input1Radio";
    QTest::newRow("L -3") << "L" << QByteArray("-3") << "countEdit=1" << "" << ""
                          << "loopStartRadio";
    QTest::newRow("I none") << "I" << QByteArray("1") << "clearPositionCheck=1 clearOutputsCheck=0"
                            << "clearPositionCheck=0" << "" << "clearPositionCheck";
    // Half is checked first although it is shown last.
    QTest::newRow("M half first") << "M" << QByteArray("30,60,120")
                                  << "eighthEdit=30 quarterEdit=60 halfEdit=120"
                                  << "eighthEdit=1;quarterEdit=2;halfEdit=601"
                                  << "Please enter an integer between 30 and 600." << "halfEdit";
    QTest::newRow("M then quarter") << "M" << QByteArray("30,60,120")
                                    << "eighthEdit=30 quarterEdit=60 halfEdit=120"
                                    << "eighthEdit=;quarterEdit=29"
                                    << "Please enter an integer between 30 and 600."
                                    << "quarterEdit";
    QTest::newRow("X ramp empty") << "X" << QByteArray("500,1000,20")
                                  << "startRateEdit=500 slewRateEdit=1000 rampEdit=20"
                                  << "rampEdit="
                                  << positive << "rampEdit";
    QTest::newRow("L count empty") << "L" << QByteArray("4") << "loopEndRadio countEdit=4"
                                   << "countEdit=" << positive << "countEdit";
}

void TestInstructionDialogs::refused()
{
    QFETCH(QString, code);
    QFETCH(QByteArray, params);
    QFETCH(QString, shown);
    QFETCH(QString, actions);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    PromptRecorder prompts;

    auto d = open(codeOf(code), params);
    QVERIFY(d);
    QCOMPARE(snapshot(d->dialog.get()), shown);
    QVERIFY(apply(d->dialog.get(), actions));

    d->dialog->okButton()->click();
    QVERIFY(d->dialog->isVisible());
    QCOMPARE(d->params, params);
    QCOMPARE(prompts.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (!message.isEmpty())
        QCOMPARE(prompts.prompts.first().icon, PromptIcon::Exclamation);
    QCOMPARE(focusName(d->dialog.get()), focus);
    if (auto *edit = qobject_cast<QLineEdit *>(d->dialog->focusWidget())) {
        QCOMPARE(edit->selectedText(), edit->text());
    } else if (auto *spin = qobject_cast<kr44::SpinEdit *>(d->dialog->focusWidget())) {
        QCOMPARE(spin->edit()->selectedText(), spin->edit()->text());
    }

    // Refused once, refused again: nothing was half-stored.
    d->dialog->okButton()->click();
    QVERIFY(d->dialog->isVisible());
    QCOMPARE(d->params, params);
}

void TestInstructionDialogs::bounds_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QByteArray>("params");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("composed"); // empty: refused
    QTest::addColumn<QString>("message");

    struct Range
    {
        const char *code;
        const char *params;
        const char *field;
        int minimum;
        int maximum;
        const char *composedPattern; // %1 stands for the field
        bool signedField;
    };
    const Range ranges[] = {
        {"+", "1", "stepsEdit", 1, 8388607, "%1", false},
        {"-", "1", "stepsEdit", 1, 8388607, "%1", false},
        {"D", "1", "delayEdit", 1, 65535, "%1", false},
        {"f", "0", "positionEdit", -8388608, 8388607, "%1", true},
        {"G", "0", "positionEdit", -8388608, 8388607, "%1", true},
        {"T", "1000", "slewRateEdit", 10, 6000, "%1", false},
        {"h", "10,2", "holdTimeEdit", 0, 99, "%1,2", false},
        {"L", "3", "countEdit", 1, 255, "%1", false},
        {"M", "30,60,120", "eighthEdit", 30, 600, "%1,60,120", false},
        {"M", "30,60,120", "quarterEdit", 30, 600, "30,%1,120", false},
        {"M", "30,60,120", "halfEdit", 30, 600, "30,60,%1", false},
        {"X", "500,1000,20", "startRateEdit", 10, 6000, "%1,1000,20", false},
        {"X", "500,1000,20", "slewRateEdit", 10, 6000, "500,%1,20", false},
        {"X", "500,1000,20", "rampEdit", 1, 1599, "500,1000,%1", false},
    };
    for (const Range &r : ranges) {
        const QString message = QStringLiteral("Please enter an integer between %1 and %2.")
                                        .arg(r.minimum)
                                        .arg(r.maximum);
        const auto row = [&](const char *what, qint64 value, bool inside) {
            const QString typed = QString::number(value);
            QByteArray composed;
            QString expected;
            if (inside) {
                composed = QString::fromLatin1(r.composedPattern).arg(typed).toLatin1();
            } else if (value < 0 && !r.signedField) {
                expected = QStringLiteral("Please enter a positive integer.");
            } else {
                expected = message;
            }
            QTest::addRow("%s %s %s", r.code, r.field, what)
                    << QString::fromLatin1(r.code) << QByteArray(r.params)
                    << QString::fromLatin1(r.field) << typed << composed << expected;
        };
        row("min", r.minimum, true);
        row("max", r.maximum, true);
        row("below", qint64(r.minimum) - 1, false);
        row("above", qint64(r.maximum) + 1, false);
    }
}

void TestInstructionDialogs::bounds()
{
    QFETCH(QString, code);
    QFETCH(QByteArray, params);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QByteArray, composed);
    QFETCH(QString, message);
    PromptRecorder prompts;

    auto d = open(codeOf(code), params);
    QVERIFY(d);
    QVERIFY(apply(d->dialog.get(), field + u'=' + typed));
    d->dialog->okButton()->click();
    if (composed.isEmpty()) {
        QVERIFY(d->dialog->isVisible());
        QCOMPARE(prompts.texts(), QStringList{message});
        QCOMPARE(focusName(d->dialog.get()), field);
        QCOMPARE(d->params, params);
    } else {
        QCOMPARE(prompts.texts(), QStringList());
        QCOMPARE(d->dialog->result(), int(QDialog::Accepted));
        QCOMPARE(d->params, composed);
    }
}

void TestInstructionDialogs::escape_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QByteArray>("params");
    const QByteArray edits[] = {"5", "5", "2", "2", "2", "9", "-3", "7", "-2H", "5,1", "-",
                                "2", "1", "2L,1", "3", "40,80,160", "900", "3H", "4", "2L",
                                "600,1200,30"};
    for (int i = 0; kAllCodes[i]; ++i) {
        const QString code(QChar::fromLatin1(kAllCodes[i]));
        QTest::addRow("%c", kAllCodes[i]) << code << edits[i];
    }
}

void TestInstructionDialogs::escape()
{
    QFETCH(QString, code);
    QFETCH(QByteArray, params);
    PromptRecorder prompts;

    // New mode: Escape and the close box are ignored.
    auto fresh = open(codeOf(code), QByteArray());
    QVERIFY(fresh);
    QTest::keyClick(fresh->dialog.get(), Qt::Key_Escape);
    QVERIFY(fresh->dialog->isVisible());
    fresh->dialog->close();
    QVERIFY(fresh->dialog->isVisible());
    QVERIFY(fresh->params.isEmpty());

    // Edit mode: Escape cancels and leaves the text alone, even after a change.
    auto edited = open(codeOf(code), params);
    QVERIFY(edited);
    const QList<QLineEdit *> edits = edited->dialog->findChildren<QLineEdit *>();
    if (!edits.isEmpty())
        edits.first()->setText(QStringLiteral("77"));
    QTest::keyClick(edited->dialog.get(), Qt::Key_Escape);
    QVERIFY(!edited->dialog->isVisible());
    QCOMPARE(edited->dialog->result(), int(QDialog::Rejected));
    QCOMPARE(edited->params, params);
    QVERIFY(prompts.prompts.isEmpty());
}

void TestInstructionDialogs::namesAndTabOrder_data()
{
    QTest::addColumn<QString>("code");
    for (int i = 0; kAllCodes[i]; ++i)
        QTest::addRow("%c", kAllCodes[i]) << QString(QChar::fromLatin1(kAllCodes[i]));
}

void TestInstructionDialogs::namesAndTabOrder()
{
    QFETCH(QString, code);
    auto d = open(codeOf(code), QByteArray("1"));
    QVERIFY(d);
    QWidget *dialog = d->dialog.get();

    const QList<QWidget *> widgets = dialog->findChildren<QWidget *>();
    for (const QWidget *w : widgets) {
        const bool isControl = qobject_cast<const QLabel *>(w) || qobject_cast<const QLineEdit *>(w)
                || qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QComboBox *>(w)
                || qobject_cast<const QAbstractSpinBox *>(w);
        if (!isControl || qobject_cast<const QComboBox *>(w->parentWidget()))
            continue;
        QVERIFY2(!w->objectName().isEmpty(), w->metaObject()->className());
        QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
    }

    // Tab walks the controls in the order they are shown and ends on OK, then Cancel.
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QStringList order;
    QWidget *first = QApplication::focusWidget();
    QVERIFY(first);
    for (int i = 0; i < 20; ++i) {
        order.append(controlName(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (QApplication::focusWidget() == first)
            break;
    }
    QVERIFY2(order.size() >= 3, qPrintable(order.join(u' ')));
    QCOMPARE(order.mid(order.size() - 2), (QStringList{"okButton", "cancelButton"}));
    QCOMPARE(order.removeDuplicates(), 0);
}

// The arrows stop at their own bounds, which for the delay lie inside what the check accepts.
void TestInstructionDialogs::spinRanges_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("spin");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");

    QTest::newRow("D") << "D" << "delayEdit" << 1 << 32767;
    QTest::newRow("h") << "h" << "holdTimeEdit" << 0 << 99;
    QTest::newRow("M eighth") << "M" << "eighthEdit" << 30 << 600;
    QTest::newRow("M quarter") << "M" << "quarterEdit" << 30 << 600;
    QTest::newRow("M half") << "M" << "halfEdit" << 30 << 600;
    QTest::newRow("T") << "T" << "slewRateEdit" << 10 << 6000;
    QTest::newRow("X start") << "X" << "startRateEdit" << 10 << 6000;
    QTest::newRow("X slew") << "X" << "slewRateEdit" << 10 << 6000;
    QTest::newRow("X ramp") << "X" << "rampEdit" << 1 << 1599;
}

void TestInstructionDialogs::spinRanges()
{
    QFETCH(QString, code);
    QFETCH(QString, spin);
    QFETCH(int, minimum);
    QFETCH(int, maximum);

    auto d = open(codeOf(code), QByteArray());
    QVERIFY(d);
    auto *box = qobject_cast<kr44::SpinEdit *>(control(d->dialog.get(), spin));
    QVERIFY(box);
    box->setFocus();
    const QList<std::tuple<int, Qt::Key, int>> steps = {
        {maximum - 1, Qt::Key_Up, maximum},
        {maximum, Qt::Key_Up, maximum},
        {minimum + 1, Qt::Key_Down, minimum},
        {minimum, Qt::Key_Down, minimum},
    };
    for (const auto &[from, key, to] : steps) {
        box->edit()->setText(QString::number(from));
        QTest::keyClick(box, key);
        QCOMPARE(box->edit()->text(), QString::number(to));
    }
}

KR44_TEST(TestInstructionDialogs)
#include "tst_instructiondialogs.moc"
