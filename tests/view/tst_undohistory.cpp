#include "kr44doc.h"
#include "lineclipboard.h"
#include "lineeditor.h"
#include "programtablemodel.h"
#include "testmain.h"

#include <QItemSelectionModel>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <functional>

using namespace kr44;

namespace {

int command(char code)
{
    return kFirstInstructionCommand + instructionIndex(code);
}

// An editor over a document whose dialogs take their answers from `answers` (a null answer
// cancels; none left cancels too) or, when set, from `dialog`.
struct Harness
{
    explicit Harness(const QByteArrayList &lines, bool modified = false)
    {
        doc.m_lines = LineArray::fromList(lines);
        doc.SetModifiedFlag(modified);
        editor.setDocument(&doc);
        editor.setDialogRunner([this](const QByteArray &code, QByteArray &params,
                                      const ProgramCodes &program, int row) {
            if (dialog)
                return dialog(code, params, program, row);
            if (answers.isEmpty() || answers.first().isNull()) {
                if (!answers.isEmpty())
                    answers.removeFirst();
                return DialogResult::Rejected;
            }
            params = answers.takeFirst();
            return DialogResult::Accepted;
        });
        editor.setWarningPrompt([this](const QString &text) { warnings.append(text); });
        // As the list does it: the menu's choice arrives before the request returns.
        QObject::connect(&editor, &LineEditor::instructionMenuRequested, &editor, [this] {
            if (menuChoice)
                editor.ChooseInstruction(command(menuChoice));
        });
        editor.FillFromDocument();
    }

    [[nodiscard]] QByteArrayList docLines() const { return doc.m_lines.toList(); }
    [[nodiscard]] QByteArrayList rowLines() const { return model.rows().lines().toList(); }
    [[nodiscard]] QUndoStack *history() const { return editor.undoStack(); }

    CKR44Doc doc;
    ProgramTableModel model;
    QItemSelectionModel selection{&model};
    LineEditor editor{&model, &selection};
    QByteArrayList answers;
    LineEditor::DialogRunner dialog;
    QStringList warnings;
    char menuChoice = 0; // the instruction the menu is answered with; 0 dismisses it
};

enum Operation { Insert, NewInstruction, Edit, Delete, Comment, Paste, Cut };

void run(Harness &h, Operation op, char code, const QByteArray &text)
{
    switch (op) {
    case Insert:
        h.menuChoice = code;
        h.editor.InsertLine();
        break;
    case NewInstruction:
        h.menuChoice = code;
        h.editor.EditSelectedLine();
        break;
    case Edit:
        h.editor.EditSelectedLine();
        break;
    case Delete:
        h.editor.DeleteLine();
        break;
    case Comment:
        h.editor.AddComment();
        break;
    case Paste:
        QVERIFY(h.editor.paste(QString::fromLatin1(text)));
        break;
    case Cut:
        QCOMPARE(h.editor.cut(), QString::fromLatin1(text));
        break;
    }
}

} // namespace

class TestUndoHistory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyOperationUndoesAndRedoes_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("op");
        QTest::addColumn<char>("code");
        QTest::addColumn<QByteArrayList>("answers"); // a null one cancels its dialog
        QTest::addColumn<QByteArray>("text");         // pasted, or expected from a cut
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArrayList>("after");
        QTest::addColumn<int>("selectedAfter");

        QTest::newRow("insert before a jump target")
                << QByteArrayList{"G100", "D500", "J1H,2", "j1"} << 1 << int(Insert) << 'A'
                << QByteArrayList{"1"} << QByteArray() << "Insert"
                << QByteArrayList{"G100", "A1", "D500", "J1H,3", "j1"} << 1;
        QTest::newRow("insert without a dialog")
                << QByteArrayList{"G1", "j1"} << 0 << int(Insert) << 'K' << QByteArrayList{}
                << QByteArray() << "Insert" << QByteArrayList{"K", "G1", "j2"} << 0;
        QTest::newRow("insert with the dialog cancelled")
                << QByteArrayList{"G1"} << 0 << int(Insert) << 'G' << QByteArrayList{QByteArray()}
                << QByteArray() << "Insert" << QByteArrayList{"G", "G1"} << 0;
        QTest::newRow("new instruction on the end row")
                << QByteArrayList{"G1"} << 1 << int(NewInstruction) << 'G'
                << QByteArrayList{"25000"} << QByteArray() << "New Instruction"
                << QByteArrayList{"G1", "G25000"} << 1;
        QTest::newRow("new jump with no line to jump to")
                << QByteArrayList{} << 0 << int(NewInstruction) << 'j'
                << QByteArrayList{QByteArray()} << QByteArray() << "New Instruction"
                << QByteArrayList{"j"} << 0;
        QTest::newRow("new instruction on an empty middle row")
                << QByteArrayList{"G1", "", "K"} << 1 << int(NewInstruction) << 'D'
                << QByteArrayList{"500"} << QByteArray() << "New Instruction"
                << QByteArrayList{"G1", "D500", "K", "* "} << 1;
        QTest::newRow("edit through a dialog")
                << QByteArrayList{"G1", "D5"} << 1 << int(Edit) << char(0)
                << QByteArrayList{"700"} << QByteArray() << "Edit"
                << QByteArrayList{"G1", "D700"} << 1;
        QTest::newRow("edit answered unchanged")
                << QByteArrayList{"G1", "K"} << 0 << int(Edit) << char(0) << QByteArrayList{"1"}
                << QByteArray() << "Edit" << QByteArrayList{"G1", "K"} << 0;
        QTest::newRow("edit of a line without a dialog")
                << QByteArrayList{"", "K"} << 1 << int(Edit) << char(0) << QByteArrayList{}
                << QByteArray() << "Edit" << QByteArrayList{"* ", "K"} << 1;
        QTest::newRow("comment edited through the dispatcher")
                << QByteArrayList{"*raw", "G1"} << 0 << int(Edit) << char(0)
                << QByteArrayList{"new"} << QByteArray() << "Edit"
                << QByteArrayList{"* new", "G1"} << 0;
        QTest::newRow("delete moves targets")
                << QByteArrayList{"G100", "D500", "G200", "j3"} << 1 << int(Delete) << char(0)
                << QByteArrayList{} << QByteArray() << "Delete"
                << QByteArrayList{"G100", "G200", "j2"} << 1;
        QTest::newRow("delete of the last line")
                << QByteArrayList{"G1", "", "K"} << 2 << int(Delete) << char(0)
                << QByteArrayList{} << QByteArray() << "Delete" << QByteArrayList{"G1", "* "}
                << 2;
        QTest::newRow("comment before an instruction")
                << QByteArrayList{"G1", "j1"} << 0 << int(Comment) << char(0)
                << QByteArrayList{"note"} << QByteArray() << "Comment"
                << QByteArrayList{"* note", "G1", "j2"} << 0;
        QTest::newRow("comment on the end row")
                << QByteArrayList{"G1"} << 1 << int(Comment) << char(0) << QByteArrayList{"end"}
                << QByteArray() << "Comment" << QByteArrayList{"G1", "* end"} << 1;
        QTest::newRow("comment edited in place")
                << QByteArrayList{"* old", "j1"} << 0 << int(Comment) << char(0)
                << QByteArrayList{"new"} << QByteArray() << "Comment"
                << QByteArrayList{"* new", "j1"} << 0;
        QTest::newRow("comment dialog cancelled")
                << QByteArrayList{"G1"} << 0 << int(Comment) << char(0)
                << QByteArrayList{QByteArray()} << QByteArray() << "Comment"
                << QByteArrayList{"* ", "G1"} << 0;
        QTest::newRow("paste before a jump target")
                << QByteArrayList{"G1", "D5", "j2", "J1H,3"} << 1 << int(Paste) << char(0)
                << QByteArrayList{} << QByteArray("K\nj2\n") << "Paste"
                << QByteArrayList{"G1", "K", "j2", "D5", "j4", "J1H,5"} << 1;
        QTest::newRow("paste text from elsewhere at the end")
                << QByteArrayList{"G1", "j1"} << 2 << int(Paste) << char(0) << QByteArrayList{}
                << QByteArray("G5\r\n\r\n* hi") << "Paste"
                << QByteArrayList{"G1", "j1", "G5", "* ", "* hi"} << 2;
        QTest::newRow("paste moves a jump to the end row")
                << QByteArrayList{"G1", "j3"} << 0 << int(Paste) << char(0) << QByteArrayList{}
                << QByteArray("K\n") << "Paste" << QByteArrayList{"K", "G1", "j4"} << 0;
        QTest::newRow("cut moves targets")
                << QByteArrayList{"G1", "D5", "G2", "j3"} << 1 << int(Cut) << char(0)
                << QByteArrayList{} << QByteArray("D5\n") << "Cut"
                << QByteArrayList{"G1", "G2", "j2"} << 1;
        QTest::newRow("cut of a stored raw comment")
                << QByteArrayList{"*raw", "j2"} << 0 << int(Cut) << char(0) << QByteArrayList{}
                << QByteArray("*raw\n") << "Cut" << QByteArrayList{"j1"} << 0;
        // The empty lines of a file come back in the form they had, not as written back.
        QTest::newRow("empty lines keep their form")
                << QByteArrayList{"", "G1", "*", "j2"} << 1 << int(Insert) << 'K'
                << QByteArrayList{} << QByteArray() << "Insert"
                << QByteArrayList{"* ", "K", "G1", "* ", "j3"} << 1;
    }
    void everyOperationUndoesAndRedoes()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(int, row);
        QFETCH(int, op);
        QFETCH(char, code);
        QFETCH(QByteArrayList, answers);
        QFETCH(QByteArray, text);
        QFETCH(QString, name);
        QFETCH(QByteArrayList, after);
        QFETCH(int, selectedAfter);

        Harness h(lines);
        h.editor.selectRow(row);
        h.answers = answers;
        run(h, Operation(op), code, text);
        QVERIFY(h.answers.isEmpty());
        QCOMPARE(h.docLines(), after);
        QCOMPARE(h.editor.selectedRow(), selectedAfter);
        QVERIFY(h.doc.IsModified());
        QCOMPARE(h.history()->count(), 1);
        QCOMPARE(h.editor.undoText(), name);
        const QByteArrayList rowsAfter = h.rowLines();

        for (int round = 0; round < 2; ++round) {
            h.editor.undo();
            QCOMPARE(h.docLines(), lines);
            QCOMPARE(h.editor.selectedRow(), row);
            QCOMPARE(h.model.rowCount(), int(lines.size()) + 1);
            QVERIFY(!h.doc.IsModified());
            QVERIFY(!h.editor.canUndo());
            QCOMPARE(h.editor.redoText(), name);

            h.editor.redo();
            QCOMPARE(h.docLines(), after);
            QCOMPARE(h.rowLines(), rowsAfter);
            QCOMPARE(h.editor.selectedRow(), selectedAfter);
            QVERIFY(h.doc.IsModified());
            QVERIFY(!h.editor.canRedo());
        }
        QVERIFY(h.warnings.isEmpty());
    }

    // Enter on the end row asks for the menu, whose choice runs inside that request: one step.
    void menuChoiceInsideItsRequestIsOneStep()
    {
        Harness h({"G1"});
        h.editor.selectRow(1);
        h.menuChoice = 'K';
        h.editor.EditSelectedLine();
        QCOMPARE(h.docLines(), (QByteArrayList{"G1", "K"}));
        QCOMPARE(h.history()->count(), 1);
        QCOMPARE(h.editor.undoText(), QStringLiteral("New Instruction"));
    }

    void whatChangesNothingIsNoStep_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("what");
        QTest::addColumn<int>("warnings");
        QTest::newRow("edit cancelled") << QByteArrayList{"G1"} << 0 << "edit" << 0;
        QTest::newRow("menu dismissed") << QByteArrayList{"G1"} << 1 << "edit" << 0;
        QTest::newRow("insert dismissed") << QByteArrayList{"G1"} << 0 << "insert" << 0;
        QTest::newRow("delete of a target") << QByteArrayList{"G1", "j1"} << 0 << "delete" << 1;
        QTest::newRow("delete of the end row") << QByteArrayList{"G1"} << 1 << "delete" << 0;
        QTest::newRow("cut of a target") << QByteArrayList{"J1H,1"} << 0 << "cut" << 1;
        QTest::newRow("cut of an empty line") << QByteArrayList{"", "K"} << 0 << "cut" << 0;
        QTest::newRow("cut of the end row") << QByteArrayList{"K"} << 1 << "cut" << 0;
        QTest::newRow("paste of nothing") << QByteArrayList{"K"} << 0 << "paste" << 0;
        QTest::newRow("nothing selected") << QByteArrayList{"K"} << -1 << "paste" << 0;
    }
    void whatChangesNothingIsNoStep()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(int, row);
        QFETCH(QString, what);
        QFETCH(int, warnings);
        Harness h(lines);
        if (row < 0)
            h.selection.clear();
        else
            h.editor.selectRow(row);
        if (what == QLatin1String("edit")) {
            h.editor.EditSelectedLine();
        } else if (what == QLatin1String("insert")) {
            h.editor.InsertLine();
        } else if (what == QLatin1String("delete")) {
            h.editor.DeleteLine();
        } else if (what == QLatin1String("cut")) {
            QCOMPARE(h.editor.cut(), QString());
        } else {
            QVERIFY(!h.editor.paste(row < 0 ? QStringLiteral("K\n") : QString()));
        }
        QCOMPARE(h.history()->count(), 0);
        QVERIFY(!h.editor.canUndo());
        QCOMPARE(h.docLines(), lines);
        QVERIFY(!h.doc.IsModified());
        QCOMPARE(h.warnings.size(), warnings);
        if (warnings > 0)
            QCOMPARE(h.warnings.first(), QString::fromLatin1(kReferencedLineMessage));
    }

    void copyTakesTheSelectedLineAsStored_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("canCut");
        QTest::newRow("instruction") << 0 << "J1H,2\n" << true;
        QTest::newRow("empty line") << 1 << "* \n" << false;
        QTest::newRow("raw comment") << 2 << "*raw\n" << true;
        QTest::newRow("end row") << 3 << "" << false;
    }
    void copyTakesTheSelectedLineAsStored()
    {
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(bool, canCut);
        Harness h({"J1H,2", "", "*raw"});
        h.editor.selectRow(row);
        QCOMPARE(h.editor.copyText(), text);
        QCOMPARE(h.editor.canCopy(), !text.isEmpty());
        QCOMPARE(h.editor.canCut(), canCut);
        QVERIFY(h.editor.canPaste());
        QVERIFY(!h.doc.IsModified());
    }

    // Cut and paste move a line; the jumps keep pointing at the lines they pointed at.
    void cutAndPasteMoveALine()
    {
        Harness h({"G1", "D5", "G2", "j3", "J1L,1"});
        h.editor.selectRow(1);
        const QString text = h.editor.cut();
        QCOMPARE(h.docLines(), (QByteArrayList{"G1", "G2", "j2", "J1L,1"}));
        h.editor.selectRow(0);
        QVERIFY(h.editor.paste(text));
        QCOMPARE(h.docLines(), (QByteArrayList{"D5", "G1", "G2", "j3", "J1L,2"}));
        QCOMPARE(h.editor.selectedRow(), 0);
        QCOMPARE(h.history()->count(), 2);
        h.editor.undo();
        h.editor.undo();
        QCOMPARE(h.docLines(), (QByteArrayList{"G1", "D5", "G2", "j3", "J1L,1"}));
        QCOMPARE(h.editor.selectedRow(), 1);
        QVERIFY(!h.doc.IsModified());
    }

    void modifiedFlagFollowsTheHistory()
    {
        QTemporaryDir dir;
        Harness h({"G1"});
        for (char code : {'K', 'Z', 'K'}) {
            h.menuChoice = code;
            h.editor.selectRow(0);
            h.editor.InsertLine();
        }
        QVERIFY(h.doc.IsModified());
        QVERIFY(h.doc.OnSaveDocument(dir.filePath(QStringLiteral("p.krp"))).ok());
        QVERIFY(!h.doc.IsModified());
        // Saving keeps the history.
        QCOMPARE(h.history()->count(), 3);
        QVERIFY(h.editor.canUndo());
        h.editor.undo();
        QVERIFY(h.doc.IsModified());
        h.editor.redo();
        QVERIFY(!h.doc.IsModified());
        h.editor.undo();
        h.editor.undo();
        h.editor.undo();
        QVERIFY(h.doc.IsModified());
        QCOMPARE(h.docLines(), QByteArrayList{"G1"});
        h.editor.redo();
        h.editor.redo();
        QVERIFY(h.doc.IsModified());
        h.editor.redo();
        QVERIFY(!h.doc.IsModified());
        QCOMPARE(h.docLines(), (QByteArrayList{"K", "Z", "K", "G1"}));

        // A new step after undoing past the save point leaves no way back to the saved lines.
        h.editor.undo();
        h.editor.selectRow(0);
        h.editor.DeleteLine();
        QVERIFY(h.doc.IsModified());
        while (h.editor.canUndo()) {
            h.editor.undo();
            QVERIFY(h.doc.IsModified());
        }
    }

    void markSavedMakesTheStateTheUnmodifiedOne()
    {
        Harness h({"G1", "K"});
        h.editor.selectRow(1);
        h.editor.DeleteLine();
        QVERIFY(h.doc.IsModified());
        h.editor.markSaved();
        QVERIFY(!h.doc.IsModified());
        h.editor.undo();
        QVERIFY(h.doc.IsModified());
        h.editor.redo();
        QVERIFY(!h.doc.IsModified());
    }

    // Lines that differ from their file before the view was filled never count as saved.
    void aModifiedDocumentStaysModifiedBackAtItsStart()
    {
        Harness h({"G1", "K"}, true);
        QVERIFY(h.doc.IsModified());
        h.editor.selectRow(1);
        h.editor.DeleteLine();
        h.editor.undo();
        QCOMPARE(h.docLines(), (QByteArrayList{"G1", "K"}));
        QVERIFY(h.doc.IsModified());
    }

    void refillingStartsAFreshHistory()
    {
        Harness h({"G1", "K"});
        h.editor.selectRow(1);
        h.editor.DeleteLine();
        QVERIFY(h.editor.canUndo());
        h.doc.m_lines = LineArray::fromList({"D1", "D2"});
        h.doc.SetModifiedFlag(false);
        h.editor.FillFromDocument();
        QVERIFY(!h.editor.canUndo());
        QVERIFY(!h.doc.IsModified());
        QCOMPARE(h.rowLines(), (QByteArrayList{"D1", "D2"}));
    }

    // Undo and redo asked for while an operation's dialog is open wait for nothing and do
    // nothing: the operation's own step is not complete yet.
    void undoFromInsideADialogDoesNothing()
    {
        Harness h({"G1"});
        h.menuChoice = 'K';
        h.editor.InsertLine();
        int canUndoInside = -1;
        h.dialog = [&](const QByteArray &, QByteArray &params, const ProgramCodes &, int) {
            h.editor.undo();
            h.editor.redo();
            canUndoInside = h.editor.canUndo();
            params = "9";
            return DialogResult::Accepted;
        };
        h.editor.selectRow(1);
        h.editor.EditSelectedLine();
        QCOMPARE(canUndoInside, 1);
        QCOMPARE(h.docLines(), (QByteArrayList{"K", "G9"}));
        QCOMPARE(h.history()->count(), 2);
        h.editor.undo();
        QCOMPARE(h.docLines(), (QByteArrayList{"K", "G1"}));
    }

    void editCommandsChangedFollowsTheState()
    {
        Harness h({"G1", "K"});
        int changes = 0;
        QObject::connect(&h.editor, &LineEditor::editCommandsChanged, &h.editor,
                         [&changes] { ++changes; });
        h.editor.selectRow(2);
        QCOMPARE(changes, 1);
        QVERIFY(!h.editor.canCopy());
        h.editor.selectRow(1);
        QVERIFY(changes >= 2);
        const int before = changes;
        h.editor.DeleteLine();
        QVERIFY(changes > before);
        QVERIFY(h.editor.canUndo());
        const int afterDelete = changes;
        h.editor.undo();
        QVERIFY(changes > afterDelete);
        QVERIFY(h.editor.canRedo());
    }

    // A step holds the lines it changed and the rows whose target it moved, not the program.
    void historyHoldsChangesNotPrograms()
    {
        QByteArrayList lines;
        for (int i = 0; i < 20000; ++i)
            lines.append(i % 8 == 0 ? "j" + QByteArray::number(20000 - i) : QByteArray("G100"));
        Harness h(lines);
        const int steps = 300;
        for (int i = 0; i < steps; ++i) {
            h.editor.selectRow(0);
            h.answers.append("note");
            h.editor.AddComment();
        }
        QCOMPARE(h.history()->count(), steps);
        const qsizetype movedTargets = 20000 / 8;
        const qsizetype perStep = h.editor.historyBytes() / steps;
        QVERIFY2(perStep < 2 * movedTargets + 1024, QByteArray::number(perStep).constData());
        while (h.editor.canUndo())
            h.editor.undo();
        QCOMPARE(h.docLines(), lines);
    }

    // Long random sessions: after every operation, undo and redo, the document holds the lines
    // of that point of the history and the selection of its step; undoing everything gives the
    // first lines back byte for byte, unmodified.
    void randomSessionsUndoToTheStart()
    {
        QRandomGenerator rng(4410);
        static const char *const pool[] = {"G100", "D500", "+200", "W1H", "K", "Z", "L0", "L5",
                                           "* note", "", "*", "*raw", "Q7", "J1H,", "j", "jx",
                                           "j0", "j 2", "J1H,3x", "j-1"};
        const auto randomLine = [&rng](int n) -> QByteArray {
            switch (rng.bounded(4)) {
            case 0:
                return "j" + QByteArray::number(rng.bounded(n + 3));
            case 1:
                return "J2L," + QByteArray::number(rng.bounded(n + 3));
            default:
                return pool[rng.bounded(int(std::size(pool)))];
            }
        };
        int steps = 0;
        for (int session = 0; session < 40; ++session) {
            QByteArrayList start;
            for (int i = rng.bounded(15); i > 0; --i)
                start.append(randomLine(15));
            Harness h(start);
            h.dialog = [&rng](const QByteArray &, QByteArray &params, const ProgramCodes &program,
                              int) {
                if (rng.bounded(4) == 0)
                    return DialogResult::Rejected;
                params = QByteArray::number(1 + rng.bounded(program.lineCount() + 1));
                return DialogResult::Accepted;
            };
            QList<QByteArrayList> states{h.docLines()};
            QList<QPair<int, int>> selections; // per step: before and after
            for (int op = 0; op < 150; ++op) {
                const int n = h.model.rows().lineCount();
                const int index = h.history()->index();
                const int row = rng.bounded(n + 1);
                h.editor.selectRow(row);
                h.menuChoice = instructionCode(rng.bounded(kInstructionCount));
                const int what = rng.bounded(9);
                switch (what) {
                case 0:
                    h.editor.InsertLine();
                    break;
                case 1:
                    h.editor.EditSelectedLine();
                    break;
                case 2:
                    h.editor.DeleteLine();
                    break;
                case 3:
                    h.editor.AddComment();
                    break;
                case 4:
                    (void)h.editor.cut();
                    break;
                case 5: {
                    QByteArray text;
                    for (int k = rng.bounded(1, 4); k > 0; --k)
                        text += randomLine(n) + (rng.bounded(2) ? "\r\n" : "\n");
                    (void)h.editor.paste(QString::fromLatin1(text));
                    break;
                }
                case 6:
                case 7:
                    if (h.editor.canUndo()) {
                        const int sel = selections.at(index - 1).first;
                        h.editor.undo();
                        QCOMPARE(h.editor.selectedRow(), sel);
                    }
                    break;
                default:
                    if (h.editor.canRedo()) {
                        h.editor.redo();
                        QCOMPARE(h.editor.selectedRow(), selections.at(index).second);
                    }
                    break;
                }
                const int now = h.history()->index();
                if (what < 6 && now != index) {
                    // A new step; any redo branch above it is gone.
                    QCOMPARE(now, index + 1);
                    QCOMPARE(h.history()->count(), now);
                    states.resize(now);
                    selections.resize(now - 1);
                    states.append(h.docLines());
                    selections.append({row, h.editor.selectedRow()});
                    ++steps;
                }
                QCOMPARE(h.docLines(), states.at(now));
                if (now > 0)
                    QCOMPARE(h.rowLines(), h.docLines());
                QCOMPARE(h.doc.IsModified(), now != 0);
            }
            while (h.editor.canUndo())
                h.editor.undo();
            QCOMPARE(h.docLines(), start);
            QVERIFY(!h.doc.IsModified());
            while (h.editor.canRedo())
                h.editor.redo();
            QCOMPARE(h.docLines(), states.last());
        }
        QVERIFY(steps > 1000);
    }
};

KR44_TEST(TestUndoHistory)
#include "tst_undohistory.moc"
