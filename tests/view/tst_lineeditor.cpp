#include "kr44doc.h"
#include "lineeditor.h"
#include "programtablemodel.h"
#include "testmain.h"

#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>

using namespace kr44;

namespace {

struct DialogCall
{
    QByteArray code;
    QByteArray params;
    int row = -1;
    int lineCount = -1;
    QByteArray rowCode; // the code the program reports for the dialog's row
};

struct Answer
{
    DialogResult result = DialogResult::Rejected;
    QByteArray params;
};

int command(char code)
{
    return kFirstInstructionCommand + instructionIndex(code);
}

// An editor over a document, with the dialogs, the warning and the instruction menu answered
// by the test. `events` records pauses, resumes and dialogs in the order they happen.
struct Harness
{
    explicit Harness(const QByteArrayList &lines)
    {
        doc.m_lines = LineArray::fromList(lines);
        editor.setDocument(&doc);
        editor.setDialogRunner([this](const QByteArray &code, QByteArray &params,
                                      const ProgramCodes &program, int row) {
            const bool inProgram = row >= 0 && row < program.lineCount();
            calls.append({code, params, row, program.lineCount(),
                          inProgram ? program.codeAt(row) : QByteArray("<end>")});
            events.append(QStringLiteral("dialog"));
            if (answers.isEmpty())
                return DialogResult::Rejected;
            const Answer a = answers.takeFirst();
            if (a.result == DialogResult::Accepted)
                params = a.params;
            return a.result;
        });
        editor.setWarningPrompt([this](const QString &text) { warnings.append(text); });
        QObject::connect(&editor, &LineEditor::instructionMenuRequested, &editor,
                         [this](int row) { menus.append({row, editor.insertMode()}); });
        QObject::connect(&editor, &LineEditor::commPauseRequested, &editor,
                         [this] { events.append(QStringLiteral("pause")); });
        QObject::connect(&editor, &LineEditor::commResumeRequested, &editor,
                         [this] { events.append(QStringLiteral("resume")); });
        editor.FillFromDocument();
    }

    [[nodiscard]] QByteArrayList docLines() const { return doc.m_lines.toList(); }
    [[nodiscard]] QByteArrayList rowLines() const { return model.rows().lines().toList(); }
    void select(int row) { editor.selectRow(row); }

    CKR44Doc doc;
    ProgramTableModel model;
    QItemSelectionModel selection{&model};
    LineEditor editor{&model, &selection};
    QList<DialogCall> calls;
    QList<Answer> answers;
    QStringList warnings;
    QStringList events;
    QList<QPair<int, bool>> menus;
};

const QStringList kOneDialog = {QStringLiteral("pause"), QStringLiteral("dialog"),
                                QStringLiteral("resume")};

} // namespace

class TestLineEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fillShowsLinesAndSelectsRowZero_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::newRow("new program") << QByteArrayList();
        QTest::newRow("three lines") << QByteArrayList{"G1", "* c", "K"};
    }
    void fillShowsLinesAndSelectsRowZero()
    {
        QFETCH(QByteArrayList, lines);
        Harness h(lines);
        QCOMPARE(h.model.rowCount(), int(lines.size()) + 1);
        QCOMPARE(h.editor.selectedRow(), 0);
        QCOMPARE(h.selection.currentIndex().row(), 0);
        QCOMPARE(h.model.cellText(int(lines.size()), ProgramTableModel::LineNumberColumn),
                 QString::number(lines.size() + 1));
        QVERIFY(!h.doc.IsModified());
        QCOMPARE(h.rowLines(), lines);
    }

    void editOnEmptyRowAsksForTheInstructionMenu_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<int>("row");
        QTest::newRow("end row of a new program") << QByteArrayList() << 0;
        QTest::newRow("end row") << QByteArrayList{"G1"} << 1;
        QTest::newRow("empty line in the middle") << QByteArrayList{"G1", "", "K"} << 1;
        QTest::newRow("bare comment in the middle") << QByteArrayList{"G1", "* ", "K"} << 1;
    }
    void editOnEmptyRowAsksForTheInstructionMenu()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(int, row);
        Harness h(lines);
        h.select(row);
        h.editor.EditSelectedLine();
        QCOMPARE(h.menus, (QList<QPair<int, bool>>{{row, false}}));
        QVERIFY(h.calls.isEmpty());
        QVERIFY(h.events.isEmpty());
    }

    void chooseOnTheEndRowFillsItAndAddsAnEndRow()
    {
        Harness h({"G1"});
        h.select(1);
        h.editor.EditSelectedLine();
        h.answers.append({DialogResult::Accepted, "25000"});
        h.editor.ChooseInstruction(command('G'));
        QCOMPARE(h.calls.size(), 1);
        QCOMPARE(h.calls[0].code, QByteArray("G"));
        QCOMPARE(h.calls[0].params, QByteArray()); // new mode
        QCOMPARE(h.calls[0].row, 1);
        QCOMPARE(h.calls[0].lineCount, 2);
        QCOMPARE(h.events, kOneDialog);
        QCOMPARE(h.docLines(), (QByteArrayList{"G1", "G25000"}));
        QVERIFY(h.doc.IsModified());
        QCOMPARE(h.model.rowCount(), 3);
        QCOMPARE(h.editor.selectedRow(), 1);
        QCOMPARE(h.model.cellText(1, ProgramTableModel::InstructionColumn), QStringLiteral("Go to"));
        QVERIFY(h.model.rows().isEmptyRow(2));
    }

    void chooseOnAnEmptyMiddleRowKeepsTheOldEndRowAsEmptyComment()
    {
        Harness h({"G1", "", "K"});
        h.select(1);
        h.editor.ShowInstructionMenu(false);
        h.answers.append({DialogResult::Accepted, "500"});
        h.editor.ChooseInstruction(command('D'));
        QCOMPARE(h.docLines(), (QByteArrayList{"G1", "D500", "K", "* "}));
        QCOMPARE(h.model.rowCount(), 5);
        QCOMPARE(h.editor.selectedRow(), 1);
    }

    void aChoiceForARowThatIsNoLongerEmptyOverwritesNothing()
    {
        Harness h({"G1", "j1"});
        h.select(2);
        h.editor.EditSelectedLine(); // the menu is asked for the empty end row...
        h.select(1);                 // ...but the choice arrives with a line selected
        h.editor.ChooseInstruction(command('K'));
        QCOMPARE(h.docLines(), (QByteArrayList{"G1", "K", "j1"}));
        QCOMPARE(h.editor.selectedRow(), 1);
    }

    void killAndSmoothStopAreStoredAtOnce_data()
    {
        QTest::addColumn<char>("code");
        QTest::newRow("K") << 'K';
        QTest::newRow("Z") << 'Z';
    }
    void killAndSmoothStopAreStoredAtOnce()
    {
        QFETCH(char, code);
        Harness h({});
        h.editor.ShowInstructionMenu(false);
        h.editor.ChooseInstruction(command(code));
        QVERIFY(h.calls.isEmpty());
        QCOMPARE(h.events, (QStringList{QStringLiteral("pause"), QStringLiteral("resume")}));
        QCOMPARE(h.docLines(), QByteArrayList{QByteArray(1, code)});
        QVERIFY(h.doc.IsModified());
    }

    void insertWorkedExample()
    {
        Harness h({"G100", "D500", "J1H,2", "j1"});
        h.select(1);
        h.editor.InsertLine();
        QCOMPARE(h.menus, (QList<QPair<int, bool>>{{1, true}}));
        h.answers.append({DialogResult::Accepted, "1"});
        h.editor.ChooseInstruction(command('A'));
        QCOMPARE(h.calls.size(), 1);
        QCOMPARE(h.calls[0].code, QByteArray("A"));
        QCOMPARE(h.calls[0].row, 1);
        QCOMPARE(h.calls[0].rowCode, QByteArray("A"));
        QCOMPARE(h.docLines(), (QByteArrayList{"G100", "A1", "D500", "J1H,3", "j1"}));
        QCOMPARE(h.editor.selectedRow(), 1);
        QCOMPARE(h.selection.currentIndex().row(), 1);
        for (int i = 0; i < h.model.rowCount(); ++i)
            QCOMPARE(h.model.cellText(i, ProgramTableModel::LineNumberColumn), QString::number(i + 1));
    }

    void insertAtLineOneMovesEveryTarget()
    {
        Harness h({"G1", "j1", "J2L,2", "j4"});
        h.editor.InsertLine();
        h.answers.append({DialogResult::Accepted, "200"});
        h.editor.ChooseInstruction(command('+'));
        QCOMPARE(h.docLines(), (QByteArrayList{"+200", "G1", "j2", "J2L,3", "j5"}));
        QCOMPARE(h.editor.selectedRow(), 0);
    }

    void insertWithTheEndRowSelectedAppends()
    {
        Harness h({"G1", "j1"});
        h.select(2);
        h.editor.InsertLine();
        h.answers.append({DialogResult::Accepted, "3"});
        h.editor.ChooseInstruction(command('V'));
        QCOMPARE(h.docLines(), (QByteArrayList{"G1", "j1", "V3"}));
        QCOMPARE(h.editor.selectedRow(), 2);
        QCOMPARE(h.model.rowCount(), 4);
    }

    void aRefusedNewJumpIsStoredAsItsBareLetter()
    {
        // The jump dialog closes as cancelled when no line can be a target.
        Harness h({"* only comments"});
        h.select(1);
        h.editor.ShowInstructionMenu(false);
        h.answers.append({DialogResult::Rejected, {}});
        h.editor.ChooseInstruction(command('j'));
        QCOMPARE(h.calls.size(), 1);
        QCOMPARE(h.model.cellText(1, ProgramTableModel::CodeColumn), QStringLiteral("j"));
        QCOMPARE(h.docLines(), (QByteArrayList{"* only comments", "j"}));
        QVERIFY(h.doc.IsModified());
    }

    void chooseIgnoresOtherCommands_data()
    {
        QTest::addColumn<int>("commandId");
        QTest::newRow("below") << kFirstInstructionCommand - 1;
        QTest::newRow("above") << kLastInstructionCommand + 1;
    }
    void chooseIgnoresOtherCommands()
    {
        QFETCH(int, commandId);
        Harness h({"G1"});
        h.editor.ChooseInstruction(commandId);
        QCOMPARE(h.rowLines(), QByteArrayList{"G1"});
        QVERIFY(h.calls.isEmpty());
        QVERIFY(!h.doc.IsModified());
    }

    void deleteLine_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<int>("row");
        QTest::addColumn<QByteArrayList>("expected");
        QTest::addColumn<int>("selectedAfter");
        QTest::addColumn<bool>("refused");
        const QByteArrayList example = {"G100", "D500", "G200", "j3"};
        QTest::newRow("worked example") << example << 1 << QByteArrayList{"G100", "G200", "j2"} << 1 << false;
        QTest::newRow("referenced by j") << example << 2 << example << 2 << true;
        QTest::newRow("referenced after J's comma") << QByteArrayList{"G1", "K", "J1H,2"} << 1
                                                    << QByteArrayList{"G1", "K", "J1H,2"} << 1 << true;
        QTest::newRow("J referencing itself") << QByteArrayList{"G1", "J1H,2"} << 1
                                              << QByteArrayList{"G1", "J1H,2"} << 1 << true;
        QTest::newRow("last line selects the end row") << QByteArrayList{"G1", "K"} << 1
                                                       << QByteArrayList{"G1"} << 1 << false;
        QTest::newRow("only line") << QByteArrayList{"K"} << 0 << QByteArrayList() << 0 << false;
        QTest::newRow("comment") << QByteArrayList{"* c", "G1", "j2"} << 0
                                 << QByteArrayList{"G1", "j1"} << 0 << false;
        QTest::newRow("J before its comma is no reference") << QByteArrayList{"G1", "K", "J2L"} << 1
                                                            << QByteArrayList{"G1", "J2L"} << 1 << false;
    }
    void deleteLine()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(int, row);
        QFETCH(QByteArrayList, expected);
        QFETCH(int, selectedAfter);
        QFETCH(bool, refused);
        Harness h(lines);
        h.select(row);
        h.editor.DeleteLine();
        QCOMPARE(h.rowLines(), expected);
        QCOMPARE(h.editor.selectedRow(), selectedAfter);
        QCOMPARE(h.selection.currentIndex().row(), selectedAfter);
        if (refused) {
            QCOMPARE(h.warnings, QStringList{QStringLiteral("This line is referenced by a jump instruction!")});
            QVERIFY(!h.doc.IsModified());
            QCOMPARE(h.docLines(), lines);
        } else {
            QVERIFY(h.warnings.isEmpty());
            QVERIFY(h.doc.IsModified());
            QCOMPARE(h.docLines(), expected);
        }
        QVERIFY(h.calls.isEmpty());
        QVERIFY(h.events.isEmpty());
    }

    void deleteDoesNothingOnEmptyRows_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<int>("row");
        QTest::newRow("end row") << QByteArrayList{"G1"} << 1;
        QTest::newRow("end row of a new program") << QByteArrayList() << 0;
        QTest::newRow("empty line") << QByteArrayList{"G1", "", "K"} << 1;
        QTest::newRow("bare comment") << QByteArrayList{"G1", "* ", "K"} << 1;
    }
    void deleteDoesNothingOnEmptyRows()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(int, row);
        Harness h(lines);
        const QByteArrayList before = h.rowLines();
        h.select(row);
        h.editor.DeleteLine();
        QCOMPARE(h.rowLines(), before);
        QVERIFY(h.warnings.isEmpty());
        QVERIFY(!h.doc.IsModified());
    }

    void anEmptyMiddleRowWithTextCanBeDeleted()
    {
        Harness h({"G1", "", "K"});
        h.select(1);
        h.answers.append({DialogResult::Accepted, "note"});
        h.editor.EditLine(1);
        QCOMPARE(h.docLines(), (QByteArrayList{"G1", "* note", "K"}));
        h.editor.DeleteLine();
        QCOMPARE(h.docLines(), (QByteArrayList{"G1", "K"}));
    }

    void addComment_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<int>("row");
        QTest::addColumn<QByteArray>("startText");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QByteArrayList>("expected");
        QTest::addColumn<int>("rowsAfter");
        QTest::newRow("before an instruction, cancelled")
                << QByteArrayList{"G1", "j1"} << 0 << QByteArray() << false
                << QByteArrayList{"* ", "G1", "j2"} << 4;
        QTest::newRow("before an instruction")
                << QByteArrayList{"G1", "j1"} << 1 << QByteArray() << true
                << QByteArrayList{"G1", "* text", "j1"} << 4;
        QTest::newRow("on the end row") << QByteArrayList{"G1"} << 1 << QByteArray() << true
                                        << QByteArrayList{"G1", "* text"} << 3;
        QTest::newRow("on the end row, cancelled") << QByteArrayList{"G1"} << 1 << QByteArray() << false
                                                   << QByteArrayList{"G1", "* "} << 3;
        QTest::newRow("on a comment edits it") << QByteArrayList{"* old", "G1"} << 0 << QByteArray("old")
                                               << true << QByteArrayList{"* text", "G1"} << 3;
        QTest::newRow("on a comment, cancelled") << QByteArrayList{"* old", "G1"} << 0 << QByteArray("old")
                                                 << false << QByteArrayList{"* old", "G1"} << 3;
        QTest::newRow("on an empty middle row") << QByteArrayList{"G1", "", "K"} << 1 << QByteArray()
                                                << true << QByteArrayList{"G1", "* text", "K", "* "} << 5;
    }
    void addComment()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(int, row);
        QFETCH(QByteArray, startText);
        QFETCH(bool, accept);
        QFETCH(QByteArrayList, expected);
        QFETCH(int, rowsAfter);
        Harness h(lines);
        h.select(row);
        h.answers.append({accept ? DialogResult::Accepted : DialogResult::Rejected, "text"});
        h.editor.AddComment();
        QCOMPARE(h.calls.size(), 1);
        QCOMPARE(h.calls[0].code, QByteArray()); // the Comment dialog
        QCOMPARE(h.calls[0].params, startText);
        QCOMPARE(h.calls[0].row, row);
        QCOMPARE(h.events, QStringList{QStringLiteral("dialog")}); // no pause
        QCOMPARE(h.docLines(), expected);
        QVERIFY(h.doc.IsModified());
        QCOMPARE(h.model.rowCount(), rowsAfter);
        QCOMPARE(h.editor.selectedRow(), row);
        QVERIFY(h.model.rows().isEmptyRow(rowsAfter - 1));
    }

    void editLineStoresOnOkOnly_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QByteArray>("newParams");
        QTest::addColumn<QByteArrayList>("expected");
        QTest::addColumn<bool>("modified");
        QTest::newRow("OK with a change") << true << QByteArray("2H") << QByteArrayList{"G1", "W2H"} << true;
        QTest::newRow("OK without a change") << true << QByteArray("1H") << QByteArrayList{"G1", "W1H"} << true;
        QTest::newRow("Cancel") << false << QByteArray() << QByteArrayList{"G1", "W1H"} << false;
    }
    void editLineStoresOnOkOnly()
    {
        QFETCH(bool, accept);
        QFETCH(QByteArray, newParams);
        QFETCH(QByteArrayList, expected);
        QFETCH(bool, modified);
        Harness h({"G1", "W1H"});
        h.select(1);
        h.answers.append({accept ? DialogResult::Accepted : DialogResult::Rejected, newParams});
        h.editor.EditSelectedLine();
        QCOMPARE(h.calls.size(), 1);
        QCOMPARE(h.calls[0].code, QByteArray("W"));
        QCOMPARE(h.calls[0].params, QByteArray("1H"));
        QCOMPARE(h.events, kOneDialog);
        QCOMPARE(h.rowLines(), expected);
        QCOMPARE(h.doc.IsModified(), modified);
        if (modified)
            QCOMPARE(h.docLines(), expected);
    }

    void editLineWithoutDialogStillStores_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("K") << QByteArray("K");
        QTest::newRow("Z") << QByteArray("Z");
        QTest::newRow("unknown letter") << QByteArray("Q7");
    }
    void editLineWithoutDialogStillStores()
    {
        QFETCH(QByteArray, line);
        Harness h({line});
        QVERIFY(h.editor.EditLine(0));
        QVERIFY(h.calls.isEmpty());
        QCOMPARE(h.events, (QStringList{QStringLiteral("pause"), QStringLiteral("resume")}));
        QVERIFY(h.doc.IsModified());
        QCOMPARE(h.docLines(), QByteArrayList{line});
    }

    void editLineOnACommentAlwaysStores_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QByteArray>("newText");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("comment, OK") << QByteArray("* old") << true << QByteArray("new") << QByteArray("* new");
        QTest::newRow("comment, Cancel") << QByteArray("* old") << false << QByteArray() << QByteArray("* old");
        QTest::newRow("no blank, Cancel: byte for byte")
                << QByteArray("*old") << false << QByteArray() << QByteArray("*old");
        QTest::newRow("no blank, OK unchanged: byte for byte")
                << QByteArray("*old") << true << QByteArray("old") << QByteArray("*old");
        QTest::newRow("no blank, edited") << QByteArray("*old") << true << QByteArray("new")
                                          << QByteArray("* new");
        QTest::newRow("no blank, emptied") << QByteArray("*old") << true << QByteArray()
                                           << QByteArray("* ");
    }
    void editLineOnACommentAlwaysStores()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, accept);
        QFETCH(QByteArray, newText);
        QFETCH(QByteArray, expected);
        Harness h({line});
        h.answers.append({accept ? DialogResult::Accepted : DialogResult::Rejected, newText});
        QVERIFY(h.editor.EditLine(0));
        QCOMPARE(h.calls.size(), 1);
        QCOMPARE(h.calls[0].code, QByteArray());
        QCOMPARE(h.calls[0].params, splitLine(line).params);
        QCOMPARE(h.events, kOneDialog);
        QVERIFY(h.doc.IsModified());
        QCOMPARE(h.docLines(), QByteArrayList{expected});
    }

    void editLineOnTheEndRowKeepsItsText()
    {
        Harness h({"G1"});
        h.answers.append({DialogResult::Accepted, "tail"});
        QVERIFY(h.editor.EditLine(1));
        QCOMPARE(h.docLines(), (QByteArrayList{"G1", "* tail"}));
        QCOMPARE(h.model.rowCount(), 3);

        h.answers.append({DialogResult::Rejected, {}});
        QVERIFY(h.editor.EditLine(2));
        QCOMPARE(h.docLines(), (QByteArrayList{"G1", "* tail"}));
        QCOMPARE(h.model.rowCount(), 3);
    }

    void editLineRefusesRowsThatDoNotExist()
    {
        Harness h({"G1"});
        QVERIFY(!h.editor.EditLine(2));
        QVERIFY(!h.editor.EditLine(-1));
        QVERIFY(h.events.isEmpty());
    }

    void jumpDialogsSeeTheProgramLines()
    {
        Harness h({"* c", "G1", "J1H,2"});
        h.select(2);
        h.answers.append({DialogResult::Accepted, "1L,2"});
        h.editor.EditSelectedLine();
        QCOMPARE(h.calls.size(), 1);
        QCOMPARE(h.calls[0].lineCount, 3);
        QCOMPARE(h.calls[0].rowCode, QByteArray("J"));
        QCOMPARE(h.docLines(), (QByteArrayList{"* c", "G1", "J1L,2"}));
    }

    void withoutSelectionNothingHappens()
    {
        Harness h({"G1", "* c"});
        h.selection.clearSelection();
        QCOMPARE(h.editor.selectedRow(), -1);
        h.editor.EditSelectedLine();
        h.editor.InsertLine();
        h.editor.DeleteLine();
        h.editor.AddComment();
        h.editor.ChooseInstruction(command('G'));
        QVERIFY(h.menus.isEmpty());
        QVERIFY(h.calls.isEmpty());
        QVERIFY(h.warnings.isEmpty());
        QVERIFY(!h.doc.IsModified());
        QCOMPARE(h.rowLines(), (QByteArrayList{"G1", "* c"}));
    }

    void commandEnablingFollowsTheSelection()
    {
        Harness h({"G1"});
        QSignalSpy enabling(&h.editor, &LineEditor::commandEnablingChanged);
        QSignalSpy selected(&h.editor, &LineEditor::selectedRowChanged);
        QVERIFY(h.editor.canEditLine());
        h.select(1);
        QCOMPARE(enabling.size(), 0);
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.last().at(0).toInt(), 1);
        h.selection.clearSelection();
        QCOMPARE(enabling.size(), 1);
        QVERIFY(!h.editor.canEditLine());
        QVERIFY(!h.editor.canDeleteLine());
        QCOMPARE(selected.last().at(0).toInt(), -1);
        h.select(0);
        QCOMPARE(enabling.size(), 2);
        QVERIFY(h.editor.canDeleteLine());
    }

    void selectedRowSignalFollowsRowsMovingUnderIt()
    {
        Harness h({"G1", "K"});
        h.select(1);
        QSignalSpy selected(&h.editor, &LineEditor::selectedRowChanged);
        h.model.insertLine(0);
        QCOMPARE(h.editor.selectedRow(), 2);
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.last().at(0).toInt(), 2);
    }
};

KR44_TEST(TestLineEditor)
#include "tst_lineeditor.moc"
