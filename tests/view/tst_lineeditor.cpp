// The editing operations on a document without a widget, each one step of the undo history:
// what each stores, what it asks of the user, what undoing and redoing it gives back, and the
// document's modified flag following the history.

#include "editorharness.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

using namespace kr44;
using namespace kr44test;

namespace {

// "insert", "new", "edit", "delete", "comment", "cut" or "paste TEXT"; the first letter of
// what follows the operation answers the instruction menu.
void run(EditorHarness &h, const QString &op)
{
    const QString arg = op.section(u' ', 1);
    h.menuChoice = arg.isEmpty() ? 0 : arg.at(0).toLatin1();
    if (op.startsWith(u"insert"))
        h.editor.insertLine();
    else if (op.startsWith(u"new") || op.startsWith(u"edit"))
        h.editor.editSelectedLine();
    else if (op.startsWith(u"delete"))
        h.editor.deleteLine();
    else if (op.startsWith(u"comment"))
        h.editor.addComment();
    else if (op.startsWith(u"paste"))
        h.editor.paste(arg);
    else
        h.warnings.append("cut " + h.editor.cut());
}

QStringList rowTexts(const QAbstractItemModel &model)
{
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c)
            cells.append(model.index(row, c).data().toString());
        rows.append(cells.join(u'|'));
    }
    return rows;
}

QString describe(const QByteArrayList &lines, int selected, bool modified)
{
    return QString::fromLatin1(lines.join('|')) + QStringLiteral(", row %1").arg(selected)
            + (modified ? ", modified" : "");
}

} // namespace

class TestLineEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Lists are written "a|b|c"; a "~" answer cancels its dialog.
    void operation_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<int>("row"); // selected first, -1 for none
        QTest::addColumn<QString>("op");
        QTest::addColumn<QByteArrayList>("answers");
        QTest::addColumn<QByteArrayList>("after");
        QTest::addColumn<int>("selectedAfter");
        QTest::addColumn<QString>("seen"); // pauses, dialogs, then warnings and what was cut
        QTest::addColumn<QString>("step"); // the step's name; none when nothing changed
        const auto list = [](const char *text) {
            QByteArrayList out = QByteArray(text).split('|');
            for (QByteArray &item : out)
                item = item == "~" ? QByteArray() : item.isNull() ? QByteArray("") : item;
            return *text ? out : QByteArrayList();
        };
        const auto row = [&list](const char *tag, const char *lines, int row, const char *op,
                                 const char *answers, const char *after, int selectedAfter,
                                 const char *seen, const char *step) {
            QTest::newRow(tag) << list(lines) << row << QString::fromUtf8(op) << list(answers)
                               << list(after) << selectedAfter << QString::fromLatin1(seen)
                               << QString::fromLatin1(step);
        };
        const char *dialog = "pause dialog resume";
        const char *example = "G100|D500|J1H,2|j1";
        row("insert before a jump target", example, 1, "insert A", "1", "G100|A1|D500|J1H,3|j1", 1,
            dialog, "Insert");
        row("insert K: no dialog", "G1", 0, "insert K", "", "K|G1", 0, "pause resume", "Insert");
        row("new on the end row", "G1", 1, "new G", "25000", "G1|G25000", 1, dialog,
            "New Instruction");
        row("new on an empty middle row", "G1||K", 1, "new D", "500", "G1|D500|K|* ", 1, dialog,
            "New Instruction");
        row("new, cancelled: the bare letter", "", 0, "new j", "~", "j", 0, dialog,
            "New Instruction");
        row("edit", "G1|W1H", 1, "edit", "2H", "G1|W2H", 1, dialog, "Edit");
        row("edit K: no dialog", "|K", 1, "edit", "", "* |K", 1, "pause resume", "Edit");
        row("edit a raw comment, unchanged", "*raw", 0, "edit", "raw", "*raw", 0, dialog, "Edit");
        row("edit a raw comment", "*raw", 0, "edit", "new", "* new", 0, dialog, "Edit");
        row("comment before a jump target", "G1|j1", 0, "comment", "note", "* note|G1|j2", 0,
            "dialog", "Comment");
        row("comment, cancelled", "G1", 1, "comment", "~", "G1|* ", 1, "dialog", "Comment");
        row("delete before a jump target", "G100|D500|G200|j3", 1, "delete", "", "G100|G200|j2", 1,
            "", "Delete");
        row("paste text, every line end", "G1|D5|j2", 1, "paste K\rj2\r\n* \u00fc\u2192\n", "",
            "G1|K|j2|* \xfc?|D5|j5", 1, "", "Paste"); // one byte a character, or "?"
        row("cut", "*raw|j2", 0, "cut", "", "j1", 0, "cut *raw", "Cut");
        row("empty lines come back as they were", "|G1|*|j2", 1, "insert K", "", "* |K|G1|* |j3", 1,
            "pause resume", "Insert");
        // What changes nothing makes no step.
        row("delete a jump target", example, 0, "delete", "", example, 0, kReferencedLineMessage,
            "");
        row("cut a jump target", example, 0, "cut", "", example, 0,
            "This line is referenced by a jump instruction!\ncut", "");
        row("delete an empty line", "|K", 0, "delete", "", "|K", 0, "", "");
        row("edit, cancelled", example, 1, "edit", "", example, 1, dialog, "");
        row("menu dismissed", example, 4, "new", "", example, 4, "", "");
        row("nothing selected", example, -1, "insert K", "", example, -1, "", "");
    }
    void operation()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(int, row);
        QFETCH(QString, op);
        QFETCH(QByteArrayList, answers);
        QFETCH(QByteArrayList, after);
        QFETCH(int, selectedAfter);
        QFETCH(QString, seen);
        QFETCH(QString, step);
        EditorHarness h(lines);
        row < 0 ? h.selection.clear() : h.editor.selectRow(row);
        h.script.answers = answers;
        run(h, op);
        QVERIFY(h.script.answers.isEmpty());
        QCOMPARE((QStringList {h.script.events.join(u' ')} + h.warnings).join(u'\n').trimmed(),
                 seen);
        for (const DialogCall &call : std::as_const(h.script.calls)) // the program has the code
            QVERIFY(call.code.isEmpty() || call.rowCode == call.code);
        const auto state = [&h] {
            return describe(h.docLines(), h.editor.selectedRow(), h.doc.isModified());
        };
        QCOMPARE(state(), describe(after, selectedAfter, !step.isEmpty()));
        QCOMPARE(h.editor.undoText(), step);
        for (int round = 0; round < 2 && !step.isEmpty(); ++round) {
            h.editor.undo();
            QCOMPARE(state(), describe(lines, row, false));
            h.editor.redo();
            QCOMPARE(state(), describe(after, selectedAfter, true));
        }
    }

    // Saving marks the state saved, and so does markSaved(): away from it the document is
    // modified, by undo or by redo.
    void modifiedFlagFollowsTheHistory()
    {
        QTemporaryDir dir;
        EditorHarness h({"G1"});
        for (int i = 0; i < 3; ++i)
            run(h, QStringLiteral("insert K"));
        QVERIFY(h.doc.save(dir.filePath(QStringLiteral("p.krp"))).ok());
        QString modified;
        LineEditor &e = h.editor;
        for (const QChar step : QStringLiteral("ur uuurrr us r u")) { // undo, redo, saved
            if (step != u' ')
                step == u'u' ? e.undo() : step == u'r' ? e.redo() : e.markSaved();
            modified += step == u' ' ? step : QChar(h.doc.isModified() ? u'M' : u'-');
        }
        QCOMPARE(modified, QStringLiteral("M- MMMMM- M- M -"));

        // Lines that differ from their file before the rows were filled never count as saved.
        h.doc.setModified(true);
        h.editor.fillFromDocument();
        run(h, QStringLiteral("delete"));
        h.editor.undo();
        QVERIFY(h.doc.isModified());
    }

    // Long random sessions: after every operation, undo and redo, the document holds the lines
    // of that point of the history (undo and redo inside a dialog do nothing), and a view that
    // reads again only the rows the model names is in step; undoing everything gives the first
    // lines back byte for byte, unmodified.
    void randomSessionsUndoToTheStart()
    {
        QRandomGenerator rng(4410);
        const auto randomLine = [&rng](int n) { // "#": a target, in the program or not
            static const char *const pool[]
                    = {"j#", "j#", "J2L,#", "J1H,#", "G100", "W1H", "K",  "L5",  "* note",
                       "",   "*",  "*raw",  "Q7",    "J1H,", "jx",  "j0", "j 2", "J1H,3x"};
            return QByteArray(pool[rng.bounded(int(std::size(pool)))])
                    .replace('#', QByteArray::number(rng.bounded(n + 3)));
        };
        const QStringList ops {"insert", "edit", "delete", "comment", "cut", "paste"};
        int steps = 0;
        for (int session = 0; session < 40; ++session) {
            QByteArrayList start(rng.bounded(15));
            std::generate(start.begin(), start.end(), [&] { return randomLine(15); });
            EditorHarness h(start);
            h.script.dialog = [&rng, &h](const QByteArray &, QByteArray &params,
                                         const ProgramCodes &program, int) {
                h.editor.undo(); // nothing to do while an operation waits for its dialog
                h.editor.redo();
                params = QByteArray::number(1 + rng.bounded(program.lineCount() + 1));
                return rng.bounded(4) ? DialogResult::Accepted : DialogResult::Rejected;
            };
            QList<QByteArrayList> states {h.docLines()};
            const QUndoStack *history = h.editor.undoStack();
            QStringList mirror = rowTexts(h.model); // what a view reads again when it is told to
            const auto reread = [&](int first, int last) {
                const QStringList now = rowTexts(h.model);
                for (int row = first; row <= last; ++row)
                    mirror[row] = now.at(row);
            };
            connect(&h.model, &QAbstractItemModel::rowsInserted, this, [&](auto, int from, int to) {
                mirror.insert(from, to - from + 1, QString());
                reread(from, to);
            });
            connect(&h.model, &QAbstractItemModel::rowsRemoved, this,
                    [&](auto, int from, int to) { mirror.remove(from, to - from + 1); });
            connect(&h.model, &QAbstractItemModel::dataChanged, this,
                    [&](auto from, auto to) { reread(from.row(), to.row()); });
            for (int op = 0; op < 150; ++op) {
                const int index = history->index();
                h.editor.selectRow(rng.bounded(h.model.rows().lineCount() + 1));
                const int what = rng.bounded(9);
                const char code = instructionCode(rng.bounded(kInstructionCount));
                const QByteArray text
                        = what == 5 ? randomLine(9) + "\r\n" + randomLine(9) : QByteArray(1, code);
                if (what < 6)
                    run(h, ops[what] + u' ' + QString::fromLatin1(text));
                else
                    what < 8 ? h.editor.undo() : h.editor.redo();
                if (what < 6 && history->index() != index) { // a new step: no redo above it
                    QCOMPARE(history->count(), index + 1);
                    states.resize(index + 1);
                    states.append(h.docLines());
                    ++steps;
                }
                QCOMPARE(h.docLines(), states.at(history->index()));
                QCOMPARE(mirror, rowTexts(h.model));
                QCOMPARE(h.doc.isModified(), history->index() != 0);
            }
            while (h.editor.canUndo())
                h.editor.undo();
            QCOMPARE(h.docLines(), start);
            QVERIFY(!h.doc.isModified());
        }
        QVERIFY(steps > 1000);
    }
};

KR44_TEST(TestLineEditor)
#include "tst_lineeditor.moc"
