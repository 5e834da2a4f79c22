// Every instruction dialog on the same steps: what it shows when it opens, what the user sets,
// and what it composes or refuses; the Loop and Comment dialogs' own rules; and the dispatcher
// as the editor calls it, in real modal loops answered from inside.

#include "dialogs/commentdialog.h"
#include "dialogs/dialogrunner.h"
#include "dialogs/instructiondialog.h"
#include "dialogtesting.h"
#include "testmain.h"

#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace kr44;

using namespace kr44test;
using kr44::DialogResult;

namespace {

// Line 1 "+", 2 a comment, 3 "j", 4 "J", 5 "G": the jump dialogs edit lines 3 and 4.
const kr44::CodeList kProgram({"+", "", "j", "J", "G"});

struct Opened
{
    QByteArray params;
    std::unique_ptr<InstructionDialog> dialog;
};

// The dialog for `code` on `params`, shown without a modal loop.
std::unique_ptr<Opened> open(char code, const QByteArray &params,
                             const kr44::ProgramCodes &program = kProgram, int row = -1)
{
    auto d = std::make_unique<Opened>();
    d->params = params;
    row = row >= 0 ? row : code == 'j' ? 2 : code == 'J' ? 3 : 0;
    d->dialog = kr44::createInstructionDialog(code, d->params, program, row, nullptr);
    if (!d->dialog || !d->dialog->initDialog())
        return nullptr;
    d->dialog->show();
    return QTest::qWaitForWindowExposed(d->dialog.get()) ? std::move(d) : nullptr;
}

} // namespace

class TestInstructionDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Refused: "@" and the control that takes the focus, then each message ("!" exclamation,
    // "i" information); the dialog stays open and the caller's text as it was.
    void dialog_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QByteArray>("params"); // empty: new mode
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("actions");
        QTest::addColumn<QString>("outcome"); // the composed text, or how it was refused
        const auto row = [](const char *tag, const char *code, const char *params,
                            const char *shown, const char *actions, const char *outcome) {
            QTest::newRow(tag) << QString::fromLatin1(code) << QByteArray(params)
                               << QString::fromLatin1(shown) << QString::fromLatin1(actions)
                               << QString::fromLatin1(outcome);
        };
        row("+ blanks around", "+", "200", "stepsEdit=200", "stepsEdit= 12 ", "12");
        row("- no sign", "-", "50", "stepsEdit=50", "stepsEdit=-5",
            "@stepsEdit !Please enter a positive integer.");
        row("A 2 to 3", "A", "2", "output2Radio", "output3Radio", "3");
        row("A 0 chooses nothing", "A", "0", "", "", "@output1Radio");
        row("B 2 to 1", "B", "2", "motor2Radio", "motor1Radio", "1");
        row("C 3 to 1", "C", "3", "output3Radio", "output1Radio", "1");
        row("D new starts at 0", "D", "", "delayEdit=0", "",
            "@delayEdit !Please enter an integer between 1 and 65535.");
        row("D largest", "D", "500", "delayEdit=500", "delayEdit=65535", "65535");
        row("f plus sign", "f", "-1000", "positionEdit=-1000", "positionEdit=+42", "42");
        row("G smallest", "G", "25000", "positionEdit=25000", "positionEdit=-8388608", "-8388608");
        row("g -2H", "g", "-2H", "counterclockwiseRadio input2Radio highRadio",
            "clockwiseRadio;input3Radio;lowRadio", "+3L");
        row("h new", "h", "", "holdTimeEdit=10 multiplierList=Off", "", "10,0");
        row("h 50,3", "h", "50,3", "holdTimeEdit=50 multiplierList=3", "multiplierList=7", "50,7");
        row("h multiplier 9", "h", "50,9", "holdTimeEdit=50 multiplierList=", "", "@multiplierList");
        row("H -", "H", "-", "eotMinusRadio", "eotPlusRadio", "+");
        row("I 3", "I", "3", "clearPositionCheck=1 clearOutputsCheck=1", "clearPositionCheck=0",
            "2");
        row("I neither", "I", "1", "clearPositionCheck=1 clearOutputsCheck=0",
            "clearPositionCheck=0", "@clearPositionCheck");
        row("j new skips the comment and the jumps", "j", "", "lineEdit=1", "", "1");
        row("j 4 to 5", "j", "4", "lineEdit=4", "lineEdit=5", "5");
        row("j to a comment", "j", "4", "lineEdit=4", "lineEdit=2",
            "@lineEdit iThis is not a valid line number");
        row("j shows its own bad target", "j", "99", "lineEdit=99", "",
            "@lineEdit iThis is not a valid line number");
        row("j reading 0 opens on the default", "j", "0", "lineEdit=1", "", "1");
        row("J to itself", "J", "1H,5", "lineEdit=5 input1Radio highRadio",
            "input2Radio;lowRadio;lineEdit=4", "2L,4");
        row("L 10", "L", "10", "loopEndRadio countEdit=10", "countEdit=255", "255");
        row("L end repeated 0 times", "L", "4", "loopEndRadio countEdit=4", "countEdit=0",
            "@countEdit !Please enter an integer between 1 and 255.");
        row("M", "M", "30,60,120", "eighthEdit=30 quarterEdit=60 halfEdit=120",
            "eighthEdit=40;quarterEdit=80;halfEdit=600", "40,80,600");
        row("M half checked first", "M", "30,60,120", "eighthEdit=30 quarterEdit=60 halfEdit=120",
            "eighthEdit=1;quarterEdit=2;halfEdit=601",
            "@halfEdit !Please enter an integer between 30 and 600.");
        row("T beyond its range", "T", "1000", "slewRateEdit=1000", "slewRateEdit=6001",
            "@slewRateEdit !Please enter an integer between 10 and 6000.");
        row("U 2H", "U", "2H", "input2Radio highRadio", "lowRadio", "2L");
        row("V 3", "V", "3", "temperatureRadio", "dynamicParametersRadio", "5");
        row("W 1H", "W", "1H", "input1Radio highRadio", "input3Radio", "3H");
        row("X", "X", "500,1000,20", "startRateEdit=500 slewRateEdit=1000 rampEdit=20",
            "slewRateEdit=900", "500,900,20");
    }
    void dialog()
    {
        QFETCH(QString, code);
        QFETCH(QByteArray, params);
        QFETCH(QString, shown);
        QFETCH(QString, actions);
        QFETCH(QString, outcome);
        PromptRecorder prompts;
        const auto d = open(code.at(0).toLatin1(), params);
        QVERIFY(d);
        QCOMPARE(d->dialog->cancelButton()->isVisible(), !params.isEmpty());
        if (params.isEmpty()) { // a new line must be given its parameters
            QTest::keyClick(d->dialog.get(), Qt::Key_Escape);
            d->dialog->close();
            QVERIFY(d->dialog->isVisible());
        }
        QCOMPARE(snapshot(d->dialog.get()), shown);
        QVERIFY(apply(d->dialog.get(), actions));
        d->dialog->okButton()->click();
        if (!outcome.startsWith(u'@')) {
            QCOMPARE(prompts.texts(), QStringList());
            QCOMPARE(d->dialog->result(), int(QDialog::Accepted));
            QCOMPARE(d->params, outcome.toLatin1());
            return;
        }
        QCOMPARE((QStringList(u'@' + focusName(d->dialog.get())) + prompts.texts(true)).join(u' '),
                 outcome);
        QVERIFY(d->dialog->isVisible());
        QCOMPARE(d->params, params);
        if (auto *edit = qobject_cast<QLineEdit *>(d->dialog->focusWidget()))
            QCOMPARE(edit->selectedText(), edit->text());
    }

    // A jump dialog counts the line it edits as the jump it is becoming, stored or not.
    void jumpToItsOwnUnstoredLine()
    {
        PromptRecorder prompts;
        const kr44::CodeList program({QByteArray()});
        const auto d = open('J', QByteArray(), program, 0);
        QVERIFY(d);
        d->dialog->okButton()->click();
        QCOMPARE(d->params, QByteArray("1L,1"));
    }

    // The count shows only for a loop end and is checked at every switch; a bad count hidden
    // behind loop start still refuses OK.
    void loopCount()
    {
        PromptRecorder prompts;
        const QString range = QStringLiteral("Please enter an integer between 1 and 255.");
        const auto d = open('L', "7");
        QVERIFY(d);
        QVERIFY(apply(d->dialog.get(), "countEdit=300;loopStartRadio"));
        QCOMPARE(snapshot(d->dialog.get()), QStringLiteral("loopStartRadio"));
        d->dialog->okButton()->click();
        QVERIFY(d->dialog->isVisible());
        QCOMPARE(prompts.texts(), QStringList({range, range}));
        QVERIFY(apply(d->dialog.get(), "loopEndRadio;countEdit=20"));
        d->dialog->okButton()->click();
        QCOMPARE(d->params, QByteArray("20"));
        const auto fresh = open('L', QByteArray());
        QVERIFY(fresh);
        QVERIFY(apply(fresh->dialog.get(), "loopEndRadio"));
        QCOMPARE(snapshot(fresh->dialog.get()), QStringLiteral("loopEndRadio countEdit=1"));
    }

    // At most 100 characters of 8-bit text; a longer comment read from a file may only shrink.
    void comment()
    {
        PromptRecorder prompts;
        CommentDialog dialog;
        dialog.setComment(QByteArray(99, 'a'));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("commentEdit"));
        edit->end(false);
        QTest::keyClicks(edit, QStringLiteral("bc"));
        QCOMPARE(edit->text(), QString(99, u'a') + u'b'); // 100 at most
        dialog.setComment("caf\xe9 \xb5s");
        dialog.okButton()->click();
        QCOMPARE(dialog.comment(), QByteArray("caf\xe9 \xb5s"));

        // A longer one from a file may shrink, but is refused on OK until it fits.
        dialog.setComment(QByteArray(150, 'c'));
        dialog.show();
        edit->end(false);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, QStringLiteral("z"));
        QCOMPARE(edit->text(), QString(149, u'c'));
        dialog.okButton()->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(prompts.texts(true), QStringList("!Please enter no more than 100 characters."));
        QCOMPARE(edit->selectedText(), edit->text());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(dialog.comment(), QByteArray(150, 'c'));
    }

    // Through the dispatcher, in a real modal loop: "42" typed into the field that has the focus
    // replaces its text, then `key`; the program holds a comment, then the edited line.
    void dispatcher_data()
    {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QByteArray>("params");
        QTest::addColumn<int>("key");
        QTest::addColumn<DialogResult>("result");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("shown"); // the dialog's class, or the message shown instead
        const auto row = [](const char *tag, const char *code, const char *params, Qt::Key key,
                            DialogResult result, const char *stored, const char *shown) {
            QTest::newRow(tag) << QByteArray(code) << QByteArray(params) << int(key) << result
                               << QByteArray(stored) << QString::fromLatin1(shown);
        };
        row("K", "K", "", Qt::Key_Return, DialogResult::NoDialog, "", "");
        row("unknown", "Q", "7", Qt::Key_Return, DialogResult::NoDialog, "7", "");
        row("new G", "G", "", Qt::Key_Return, DialogResult::Accepted, "42", "GotoDialog");
        row("X cancelled", "X", "500,1000,20", Qt::Key_Escape, DialogResult::Rejected,
            "500,1000,20", "AccelerationDialog");
        row("comment", "", "old", Qt::Key_Return, DialogResult::Accepted, "42", "CommentDialog");
        row("comment without blank", "*", "old", Qt::Key_Escape, DialogResult::Rejected, "old",
            "CommentDialog");
        row("j with nothing to offer", "j", "", Qt::Key_Return, DialogResult::Rejected, "",
            "!There are no valid lines for a jump instruction");
    }
    void dispatcher()
    {
        QFETCH(QByteArray, code);
        QFETCH(QByteArray, params);
        QFETCH(int, key);
        QFETCH(DialogResult, result);
        QFETCH(QByteArray, stored);
        QFETCH(QString, shown);
        PromptRecorder prompts;
        QString dialog;
        const auto watch = whenModal([&dialog, key](QWidget *d) {
            dialog = QString::fromLatin1(d->metaObject()->className())
                             .section(QStringLiteral("::"), -1);
            QTest::keyClicks(d->focusWidget(), QStringLiteral("42"));
            QTest::keyClick(d->focusWidget(), Qt::Key(key));
        });
        QByteArray text = params;
        QCOMPARE(kr44::runInstructionDialog(nullptr, code, text, kr44::CodeList({"", code}), 1),
                 result);
        QCOMPARE(dialog + prompts.texts(true).join(u' '), shown);
        QCOMPARE(text, stored);
    }
};

KR44_TEST(TestInstructionDialogs)
#include "tst_instructiondialogs.moc"
