// The rows as the list shows them: the cells of each kind of line and the findings' markers.
// Then the check behind a view: on a worker after each change, only ever showing findings of
// lines the rows have held, and the Problems panel.

#include "editorharness.h"
#include "testmain.h"
#include "view/problemspanel.h"
#include "view/sentrows.h"

#include <QMainWindow>
#include <QSemaphore>
#include <QSignalSpy>
#include <QThreadPool>
#include <QTreeView>

using namespace kr44;
using namespace kr44test;

namespace {

const QString kDelayZero
        = QStringLiteral("The delay 0 is outside 1 to 65535, so the unit refuses the line.");
const QString kUnknownQ
        = QStringLiteral("\"Q\" is not an instruction code, so the unit refuses this line.");

// Each row as "cell|cell|...", with the number cell's marker, if any, after a blank.
QStringList rowTexts(const QAbstractItemModel &model)
{
    QStringList rows;
    const QImage error = severityIcon(Severity::Error).pixmap(16).toImage();
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c)
            cells.append(model.index(row, c).data().toString());
        rows.append(cells.join(u'|'));
        const QVariant icon = model.index(row, 0).data(Qt::DecorationRole);
        if (!icon.isNull()) // told apart by their images
            rows.last()
                    += icon.value<QIcon>().pixmap(16).toImage() == error ? " error" : " warning";
    }
    return rows;
}

// A finding told apart from others on its line by `tag`, which its sentence names.
Finding finding(int line, Severity severity, int tag = 0)
{
    return {line, severity, Problem::JumpOutOfLoop, 0, {tag, tag + 1, 0}, {}};
}

// Lines for a checker whose first `held` checks wait on the worker until `gate` is released.
struct GatedSource
{
    explicit GatedSource(ProgramChecker &checker)
    {
        checker.setSource([this] {
            const bool hold = ++taken <= held;
            return [this, hold, lines = lines] {
                if (hold)
                    gate.acquire();
                return LineArray::fromList(lines);
            };
        });
    }
    ~GatedSource() // a failed test must not leave a worker waiting on a gate that is gone
    {
        gate.release(100);
        QThreadPool::globalInstance()->waitForDone();
    }

    QByteArrayList lines {"Q7"};
    int held = 1, taken = 0; // the first `held` checks wait; checks started
    QSemaphore gate;
};

} // namespace

class TestProgramTableModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cells()
    {
        ProgramTableModel model;
        model.fill(LineArray::fromList(
                {"G1000", "J1H,5", "K", "* Start position", "Q12", "*abc", "* \xb0X", "", "X5,2"}));
        QVERIFY(!(model.flags(model.index(0, 3)) & Qt::ItemIsEditable));
        QCOMPARE(rowTexts(model),
                 (QStringList {"1|G|Go to|1000", "2|J|Jump if|1H,5", "3|K|Kill|",
                               "4|||Start position", "5|Q||12", "6|||abc",
                               QString::fromLatin1("7|||\xb0X"), "8|||", "9|X|Acc Profile|5,2",
                               "10|||"}));
    }

    // What was sent stays mapped to its rows through edits made while a run is paused: rows
    // inserted above move the breakpoints, the current line and the unit's lines with them; a
    // removed or changed row takes its marks and its unit line with it. A screen reader hears
    // the marks in the row's name.
    void runMarksFollowEdits()
    {
        ProgramTableModel model;
        const auto lines = LineArray::fromList({"* top", "+10", "* mid", "W1H", "-10", "* end"});
        model.fill(lines);
        const SentRows sent(&model, lines);
        model.setBreakpoint(3, true);
        model.setBreakpoint(6, true); // the end row takes none
        model.setRunRow(sent.rowOf(2));
        QCOMPARE(model.breakpointRows(), QList<int> {3});
        QCOMPARE(model.data(model.index(3, 0), Qt::AccessibleTextRole),
                 "4, breakpoint, current line");
        model.insertLine(2);
        QCOMPARE(model.breakpointRows(), QList<int> {4});
        QCOMPARE(model.runRow(), 4);
        QCOMPARE((QList<int> {sent.rowOf(1), sent.rowOf(2), sent.rowOf(3), sent.unitLineOf(5)}),
                 (QList<int> {1, 4, 5, 3}));
        model.removeLine(4);
        model.setParams(4, "20");
        QCOMPARE(model.breakpointRows(), QList<int> {});
        QCOMPARE(model.runRow(), -1);
        QCOMPARE((QList<int> {sent.rowOf(1), sent.rowOf(2), sent.rowOf(3), sent.unitLineOf(4)}),
                 (QList<int> {1, -1, -1, 0}));
        QCOMPARE(model.data(model.index(1, 0), Qt::AccessibleTextRole), "2");
    }

    // Row r shows line r + 1's findings in its number cell: the worst one's icon, every
    // sentence as the tooltip, each with its severity for a screen reader.
    void markersByRow()
    {
        const QList<Finding> findings {finding(3, Severity::Warning, 31),
                                       finding(3, Severity::Error, 32),
                                       finding(7, Severity::Warning, 70)};
        ProgramTableModel model;
        model.fill(LineArray::fromList(QByteArrayList(7, "K")));
        model.setFindings(FindingIndex({findings[2], findings[0], findings[1]}));
        QCOMPARE(rowTexts(model).filter(QStringLiteral(" ")),
                 (QStringList {"3|K|Kill| error", "7|K|Kill| warning"}));
        QCOMPARE(model.index(2, 0).data(Qt::ToolTipRole).toString(),
                 findings[0].sentence() + '\n' + findings[1].sentence());
        QCOMPARE(model.index(2, 0).data(Qt::AccessibleDescriptionRole).toString(),
                 "warning: " + findings[0].sentence() + "\nerror: " + findings[1].sentence());
        QVERIFY(model.index(2, 1).data(Qt::ToolTipRole).isNull());

        // Attached views hear of the rows whose marker changed, and of no other row.
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.setFindings(FindingIndex(findings));
        QCOMPARE(changed.count(), 0);
        model.setFindings(FindingIndex({findings[2]}));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(2, 0));
        QCOMPARE(changed.at(0).at(1).toModelIndex(), model.index(2, 0));
    }
};

class TestProgramFindings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A check whose lines change while it runs on the worker comes to nothing: the new lines
    // are checked next, or at once by checkNow(), or not at all when the checker has gone.
    void checkOvertaken_data()
    {
        QTest::addColumn<QString>("then");
        QTest::newRow("schedule") << "schedule";
        QTest::newRow("checkNow") << "checkNow";
        QTest::newRow("checker gone") << "gone";
    }
    void checkOvertaken()
    {
        QFETCH(QString, then);
        auto checker = std::make_unique<ProgramChecker>();
        GatedSource source(*checker);
        QSignalSpy changed(checker.get(), &ProgramChecker::findingsChanged);
        source.held = then == u"schedule" ? 2 : 1;
        checker->schedule();
        QTRY_COMPARE(source.taken, 1);
        source.lines = {"+1", "D0"};
        then == u"gone"               ? checker.reset()
                : then == u"checkNow" ? checker->checkNow()
                                      : checker->schedule();
        source.gate.release(2);
        QThreadPool::globalInstance()->waitForDone();
        QTRY_VERIFY(!checker || !checker->isPending());
        QCoreApplication::processEvents();
        QCOMPARE(source.taken, checker ? 2 : 1);
        QCOMPARE(changed.count(), checker ? 1 : 0);
        if (checker) { // one finding, of the newer lines: D0 on line 2
            QCOMPARE(checker->checkCount(), 1);
            QCOMPARE(checker->findings().findings().value(0).line, 2);
        }
    }

    // No check while a dialog decides what a change stores; once the event loop is free, one
    // check for all changes made in the meantime; the markers follow undo too.
    void viewChecksItsRows()
    {
        ViewWindow w({"+200", "D0", "K"});
        QVERIFY(w.ready && w.checkedSince(0));
        QCOMPARE(w.view->tableModel()->index(1, 0).data(Qt::ToolTipRole).toString(), kDelayZero);
        w.script.dialog = [&w](const QByteArray &, QByteArray &params, const ProgramCodes &, int) {
            QCoreApplication::processEvents();
            params = QByteArray::number(w.checker()->checkCount() * 10 + w.checker()->isPending());
            return DialogResult::Accepted;
        };
        w.view->selectRow(2);
        w.view->chooseInstruction('D');
        w.script.dialog = {};
        w.script.answers = {"500", "note"};
        QSignalSpy checked(w.checker(), &ProgramChecker::checked);
        QVERIFY(w.view->editLine(1));
        w.view->addComment();
        QCOMPARE(w.docLines(), (QByteArrayList {"+200", "D500", "* note", "D10", "K"}));
        QVERIFY(w.checkedSince(1));
        QCOMPARE(checked.count(), 1);
        QVERIFY(w.view->findings().isEmpty());
        for (int i = 0; i < 3; ++i)
            w.view->undo();
        QVERIFY(w.checkedSince(2));
        QCOMPARE(w.view->findings().findings(), checkProgram(w.doc.lines()));
    }

    // The panel lists the findings of the view it is given and follows its checks; activating
    // an entry shows its row and gives the view the focus.
    void problemsPanel()
    {
        QByteArrayList lines(400, "+1");
        lines[2] = "D0";
        lines[300] = lines[349] = "Q7";
        QMainWindow window;
        auto *panel = new ProblemsPanel(&window);
        window.addDockWidget(Qt::BottomDockWidgetArea, panel);
        auto w = std::make_unique<ViewWindow>(lines, &window);
        window.setCentralWidget(w->view.get());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window) && w->checkedSince(0));
        panel->setView(w->view.get());
        QTreeView *list = panel->list();
        list->setCurrentIndex(list->model()->index(2, 2));
        QTest::keyClick(list, Qt::Key_Return);
        QTableView *table = w->view->list();
        QCOMPARE(w->view->selectedRow(), 349);
        QVERIFY(table->viewport()->rect().contains(table->visualRect(table->currentIndex())));
        QTRY_VERIFY(table->hasFocus());

        w->script.answers = {"5"}; // refilled: the place in the list stays, or the last entry
        QVERIFY(w->view->editLine(2));
        QVERIFY(w->checkedSince(1));
        QCOMPARE(rowTexts(*list->model()),
                 QStringList({"301|Error|" + kUnknownQ, "350|Error|" + kUnknownQ}));
        QCOMPARE(list->currentIndex().row(), 1);
        w.reset();
        QCOMPARE(panel->view(), nullptr);
        QCOMPARE(rowTexts(*list->model()), QStringList());
    }
};

KR44_TEST(TestProgramTableModel)
KR44_TEST(TestProgramFindings)
#include "tst_programtablemodel.moc"
