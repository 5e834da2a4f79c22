// The jump dialogs against the program they jump in: the target they open with, the targets they
// accept, and a program that offers none.

#include "dialogtesting.h"
#include "instructiondialogs.h"
#include "instructiondlg.h"
#include "testmain.h"

#include <QPushButton>
#include <QtTest>

using namespace kr44test;
using kr44::PromptIcon;

namespace {

// "+,,j,J" stands for the program whose lines have the codes +, (comment), j and J.
QList<QByteArray> codes(const QString &layout)
{
    QList<QByteArray> list;
    if (layout.isNull())
        return list;
    for (const QString &c : layout.split(u','))
        list.append(c.toLatin1());
    return list;
}

const QString kNoLines = QStringLiteral("There are no valid lines for a jump instruction");
const QString kNotValid = QStringLiteral("This is not a valid line number");

} // namespace

class TestJumpDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opening_data();
    void opening();
    void target_data();
    void target();
    void nothingToOffer_data();
    void nothingToOffer();
    void unstoredCodeOfEditedLine();
};

void TestJumpDialogs::opening_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("params");
    QTest::addColumn<QString>("line");

    // New mode: the first line that is neither a comment nor a jump.
    QTest::newRow("new j skips comment and jumps") << "j" << ",j,J,W,+" << 1 << QByteArray() << "4";
    QTest::newRow("new J skips comment and jumps") << "J" << ",j,J,W,+" << 2 << QByteArray() << "4";
    QTest::newRow("new J as only line") << "J" << "J" << 0 << QByteArray() << "1";
    QTest::newRow("new J among jumps and comments") << "J" << "j,,J" << 2 << QByteArray() << "1";
    // Edit mode: the line's own target, even an invalid one, for the user to see.
    QTest::newRow("j 4") << "j" << "+,-,j,G" << 2 << QByteArray("4") << "4";
    QTest::newRow("j 99") << "j" << "+,-,j,G" << 2 << QByteArray("99") << "99";
    QTest::newRow("J 2L,3") << "J" << "+,J,G" << 1 << QByteArray("2L,3") << "3";
    // A target that reads as 0 opens on the default target, so the line can be repaired.
    QTest::newRow("j reads 0") << "j" << ",j,G,+" << 1 << QByteArray("0") << "3";
    QTest::newRow("j reads nothing") << "j" << ",j,G,+" << 1 << QByteArray("x") << "3";
    QTest::newRow("J 1H,0") << "J" << ",J,G,+" << 1 << QByteArray("1H,0") << "3";
    QTest::newRow("J 12H,5 read by position") << "J" << "+,J" << 1 << QByteArray("12H,5") << "1";
    QTest::newRow("J reads 0, only jumps") << "J" << "j,J" << 1 << QByteArray("1L,0") << "1";
}

void TestJumpDialogs::opening()
{
    QFETCH(QString, code);
    QFETCH(QString, program);
    QFETCH(int, row);
    QFETCH(QByteArray, params);
    QFETCH(QString, line);
    PromptRecorder prompts;
    const kr44::CodeList lines(codes(program));

    QByteArray text = params;
    auto dialog = kr44::createInstructionDialog(code.toLatin1().at(0), text, lines, row, nullptr);
    QVERIFY(dialog);
    QVERIFY(dialog->initDialog());
    QCOMPARE(qobject_cast<QLineEdit *>(control(dialog.get(), "lineEdit"))->text(), line);
    QVERIFY(prompts.prompts.isEmpty());
}

void TestJumpDialogs::target_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("composed"); // empty: refused as not valid

    // Five lines: 1 +, 2 comment, 3 j (edited), 4 J, 5 G.
    const QString five = QStringLiteral("+,,j,J,G");
    QTest::newRow("j last line") << "j" << five << 2 << "5" << QByteArray("5");
    QTest::newRow("j past the last line") << "j" << five << 2 << "6" << QByteArray();
    QTest::newRow("j to a J line") << "j" << five << 2 << "4" << QByteArray("4");
    QTest::newRow("j to a comment") << "j" << five << 2 << "2" << QByteArray();
    QTest::newRow("j to itself") << "j" << five << 2 << "3" << QByteArray();
    QTest::newRow("j to 0") << "j" << five << 2 << "0" << QByteArray();
    QTest::newRow("j huge") << "j" << five << 2 << "4294967295" << QByteArray();
    QTest::newRow("J to itself") << "J" << five << 3 << "4" << QByteArray("1L,4");
    QTest::newRow("J first line") << "J" << five << 3 << "1" << QByteArray("1L,1");
    QTest::newRow("J to a j line") << "J" << five << 3 << "3" << QByteArray();
    QTest::newRow("J past the end") << "J" << five << 3 << "6" << QByteArray();
    // Only jumps and comments: a new J opens on line 1, good only if line 1 is a J.
    QTest::newRow("J only jumps, line 1 a J") << "J" << "J,,j,J" << 3 << "1" << QByteArray("1L,1");
    QTest::newRow("J only jumps, line 1 a j") << "J" << "j,,J" << 2 << "1" << QByteArray();
    QTest::newRow("J leading zeros") << "J" << five << 3 << "005" << QByteArray("1L,5");
}

void TestJumpDialogs::target()
{
    QFETCH(QString, code);
    QFETCH(QString, program);
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QByteArray, composed);
    PromptRecorder prompts;
    const kr44::CodeList lines(codes(program));

    QByteArray text;
    auto dialog = kr44::createInstructionDialog(code.toLatin1().at(0), text, lines, row, nullptr);
    QVERIFY(dialog && dialog->initDialog());
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    QVERIFY(apply(dialog.get(), QStringLiteral("lineEdit=") + typed));
    dialog->okButton()->click();

    if (composed.isEmpty()) {
        QVERIFY(dialog->isVisible());
        QCOMPARE(prompts.texts(), QStringList{kNotValid});
        QCOMPARE(prompts.prompts.first().icon, PromptIcon::Information);
        QCOMPARE(focusName(dialog.get()), QStringLiteral("lineEdit"));
        auto *edit = qobject_cast<QLineEdit *>(dialog->focusWidget());
        QVERIFY(edit);
        QCOMPARE(edit->selectedText(), typed);
        QVERIFY(text.isEmpty());
    } else {
        QCOMPARE(prompts.texts(), QStringList());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(text, composed);
    }
}

void TestJumpDialogs::nothingToOffer_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("params");

    QTest::newRow("new j, only jumps and comments") << ",j,J,," << 1 << QByteArray();
    QTest::newRow("new j alone") << "j" << 0 << QByteArray();
    QTest::newRow("j reading 0, only jumps and comments") << "J,,j" << 2 << QByteArray("0");
}

void TestJumpDialogs::nothingToOffer()
{
    QFETCH(QString, program);
    QFETCH(int, row);
    QFETCH(QByteArray, params);
    PromptRecorder prompts;
    const kr44::CodeList lines(codes(program));

    QByteArray text = params;
    auto dialog = kr44::createInstructionDialog('j', text, lines, row, nullptr);
    QVERIFY(dialog);
    QCOMPARE(dialog->run(), kr44::DialogResult::Rejected);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(prompts.texts(), QStringList{kNoLines});
    QCOMPARE(prompts.prompts.first().icon, PromptIcon::Exclamation);
    QCOMPARE(text, params);
}

// The caller may hand over the program before it has stored the new code in the edited line; the
// line still counts as the jump it is becoming.
void TestJumpDialogs::unstoredCodeOfEditedLine()
{
    PromptRecorder prompts;
    const kr44::CodeList lines({QByteArray()});
    QByteArray text;
    auto dialog = kr44::createInstructionDialog('J', text, lines, 0, nullptr);
    QVERIFY(dialog && dialog->initDialog());
    dialog->okButton()->click();
    QCOMPARE(prompts.texts(), QStringList());
    QCOMPARE(text, QByteArray("1L,1"));
}

KR44_TEST(TestJumpDialogs)
#include "tst_jumpdialogs.moc"
