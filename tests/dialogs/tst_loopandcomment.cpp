// The Loop dialog's count that shows only for a loop end and is checked on every switch, and the
// Comment dialog's length rule.

#include "commentdlg.h"
#include "dialogtesting.h"
#include "instructiondialogs.h"
#include "instructiondlg.h"
#include "testmain.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace kr44test;

namespace {

const QString kCountRange = QStringLiteral("Please enter an integer between 1 and 255.");
const QString kPositive = QStringLiteral("Please enter a positive integer.");
const QString kTooLong = QStringLiteral("Please enter no more than 100 characters.");

// Whether the count is shown; the two captions around the field must follow it.
bool countShown(QWidget *dialog)
{
    const bool shown = control(dialog, "countEdit")->isVisibleTo(dialog);
    if (control(dialog, "repeatLabel")->isVisibleTo(dialog) != shown
        || control(dialog, "timesLabel")->isVisibleTo(dialog) != shown)
        qFatal("count captions out of step with the count field");
    return shown;
}

} // namespace

class TestLoopAndComment : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loopSwitching_data();
    void loopSwitching();
    void loopInvalidCountWhileStart();
    void commentAccepts_data();
    void commentAccepts();
    void commentTooLongFromFile();
    void commentTyping();
};

void TestLoopAndComment::loopSwitching_data()
{
    QTest::addColumn<QByteArray>("params");
    QTest::addColumn<bool>("shownAtOpen");
    QTest::addColumn<QString>("actions");
    QTest::addColumn<bool>("shownAfter");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("new start to end") << QByteArray() << false << "loopEndRadio" << true
                                      << QStringList();
    QTest::newRow("end to start") << QByteArray("7") << true << "loopStartRadio" << false
                                  << QStringList();
    QTest::newRow("neither: count shown") << QByteArray("-3") << true << "" << true
                                          << QStringList();
    QTest::newRow("count checked on switch") << QByteArray("7") << true
                                             << "countEdit=256;loopStartRadio" << false
                                             << QStringList{kCountRange};
    QTest::newRow("empty count on switch") << QByteArray("7") << true << "countEdit=;loopEndRadio"
                                           << true << QStringList{kPositive};
}

void TestLoopAndComment::loopSwitching()
{
    QFETCH(QByteArray, params);
    QFETCH(bool, shownAtOpen);
    QFETCH(QString, actions);
    QFETCH(bool, shownAfter);
    QFETCH(QStringList, messages);
    PromptRecorder prompts;
    const kr44::CodeList program({"L"});

    QByteArray text = params;
    auto dialog = kr44::createInstructionDialog('L', text, program, 0, nullptr);
    QVERIFY(dialog && dialog->initDialog());
    QCOMPARE(countShown(dialog.get()), shownAtOpen);
    QVERIFY(apply(dialog.get(), actions));
    QCOMPARE(countShown(dialog.get()), shownAfter);
    QCOMPARE(prompts.texts(), messages);
}

// A loop start with a bad hidden count keeps failing until loop end is chosen again and the count
// is put right.
void TestLoopAndComment::loopInvalidCountWhileStart()
{
    PromptRecorder prompts;
    const kr44::CodeList program({"L"});
    QByteArray text("10");
    auto dialog = kr44::createInstructionDialog('L', text, program, 0, nullptr);
    QVERIFY(dialog && dialog->initDialog());
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));

    QVERIFY(apply(dialog.get(), "countEdit=300;loopStartRadio"));
    QCOMPARE(prompts.texts(), QStringList{kCountRange});
    dialog->okButton()->click();
    QVERIFY(dialog->isVisible());
    QCOMPARE(prompts.texts(), (QStringList{kCountRange, kCountRange}));
    QCOMPARE(text, QByteArray("10"));

    QVERIFY(apply(dialog.get(), "loopEndRadio;countEdit=20"));
    dialog->okButton()->click();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(text, QByteArray("20"));
}

void TestLoopAndComment::commentAccepts_data()
{
    QTest::addColumn<QByteArray>("initial");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("stored");

    QTest::newRow("as it was") << QByteArray("set up") << QString() << QByteArray("set up");
    QTest::newRow("emptied") << QByteArray("set up") << "" << QByteArray();
    QTest::newRow("exactly 100") << QByteArray() << QString(100, u'x') << QByteArray(100, 'x');
    // 8-bit characters survive the round trip through the field.
    QTest::newRow("8-bit bytes") << QByteArray("caf\xe9 \xb5s") << QString()
                                 << QByteArray("caf\xe9 \xb5s");
}

void TestLoopAndComment::commentAccepts()
{
    QFETCH(QByteArray, initial);
    QFETCH(QString, typed);
    QFETCH(QByteArray, stored);
    PromptRecorder prompts;

    CCommentDlg dialog;
    dialog.setComment(initial);
    if (!typed.isNull())
        QVERIFY(apply(&dialog, QStringLiteral("commentEdit=") + typed));
    dialog.okButton()->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.comment(), stored);
    QVERIFY(prompts.prompts.isEmpty());
}

void TestLoopAndComment::commentTooLongFromFile()
{
    PromptRecorder prompts;
    const QByteArray longText(150, 'c');
    CCommentDlg dialog;
    dialog.setComment(longText);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *edit = qobject_cast<QLineEdit *>(control(&dialog, "commentEdit"));
    QCOMPARE(edit->text().size(), 150); // shown whole

    dialog.okButton()->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(prompts.texts(), QStringList{kTooLong});
    QCOMPARE(prompts.prompts.first().icon, kr44::PromptIcon::Exclamation);
    QCOMPARE(dialog.focusWidget(), edit);
    QCOMPARE(edit->selectedText().size(), 150);

    // Escape leaves the comment as it was.
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.comment(), longText);
}

void TestLoopAndComment::commentTyping()
{
    CCommentDlg dialog;
    dialog.setComment(QByteArray(99, 'a'));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto *edit = qobject_cast<QLineEdit *>(control(&dialog, "commentEdit"));
    edit->setFocus();
    edit->end(false);
    QTest::keyClicks(edit, QStringLiteral("bc"));
    QCOMPARE(edit->text(), QString(99, u'a') + u'b'); // the 101st character is refused

    // A text that is too long may be shortened but not lengthened.
    dialog.setComment(QByteArray(120, 'a'));
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text().size(), 119);
    QTest::keyClicks(edit, QStringLiteral("z"));
    QCOMPARE(edit->text().size(), 119);

    // A line break or a character outside 8 bits would not survive in a program line.
    dialog.setComment("ok");
    edit->end(false);
    edit->insert(QStringLiteral("a\nb"));
    edit->insert(QStringLiteral("\u20ac"));
    QCOMPARE(edit->text(), QStringLiteral("ok"));
}

KR44_TEST(TestLoopAndComment)
#include "tst_loopandcomment.moc"
