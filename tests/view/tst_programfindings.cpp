#include "findingindex.h"
#include "kr44doc.h"
#include "kr44view.h"
#include "lineeditor.h"
#include "programchecker.h"
#include "programtablemodel.h"
#include "testmain.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QThreadPool>

#include <memory>

using namespace kr44;

namespace {

const QString kDelayZero = QStringLiteral(
        "The delay 0 is outside 1 to 65535, so the unit refuses the line.");
const QString kUnknownQ = QStringLiteral(
        "\"Q\" is not an instruction code, so the unit refuses this line.");
const QString kNeverRuns = QStringLiteral(
        "This line never runs: no jump leads here and the line before it never goes on to it.");
const QString kBeyondLast4 = QStringLiteral("Jumps to line 9, beyond the last line (4).");

// A finding told apart from others on its line by `tag`, which its sentence names.
Finding finding(int line, Severity severity, int tag)
{
    return {line, severity, Problem::JumpOutOfLoop, 0, {tag, tag + 1, 0}, {}};
}

QString sentenceOf(int tag)
{
    return QStringLiteral("Leaves the loop of lines %1 to %2 before its end, so the unit keeps "
                          "that loop open.")
            .arg(tag)
            .arg(tag + 1);
}

// The marker of a "Line no." cell as "error" or "warning" by its icon, or "" without one.
QString iconName(const QVariant &decoration)
{
    if (decoration.isNull())
        return {};
    const QImage shown = decoration.value<QIcon>().pixmap(16).toImage();
    if (shown == severityIcon(Severity::Error).pixmap(16).toImage())
        return QStringLiteral("error");
    if (shown == severityIcon(Severity::Warning).pixmap(16).toImage())
        return QStringLiteral("warning");
    return QStringLiteral("unknown icon");
}

// Every marked row of the program list as "row icon: tooltip".
QStringList markersOf(const ProgramTableModel &model)
{
    QStringList out;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex cell = model.index(row, ProgramTableModel::LineNumberColumn);
        const QString icon = iconName(cell.data(Qt::DecorationRole));
        const QString tip = cell.data(Qt::ToolTipRole).toString();
        if (!icon.isEmpty() || !tip.isEmpty())
            out.append(QStringLiteral("%1 %2: %3").arg(row).arg(icon, tip));
    }
    return out;
}

// A shown program window over `lines`, its dialogs answered from `answers`.
struct Window
{
    explicit Window(const QByteArrayList &lines)
    {
        doc.m_lines = LineArray::fromList(lines);
        view = std::make_unique<CKR44View>(&doc);
        view->setDialogRunner([this](QWidget *, const QByteArray &, QByteArray &params,
                                     const ProgramCodes &, int) {
            if (duringDialog)
                duringDialog();
            if (answers.isEmpty())
                return DialogResult::Rejected;
            params = answers.takeFirst();
            return DialogResult::Accepted;
        });
        view->resize(500, 300);
        view->show();
        ready = QTest::qWaitForWindowExposed(view.get());
    }

    [[nodiscard]] ProgramChecker *checker() const { return view->programChecker(); }
    [[nodiscard]] const ProgramTableModel &model() const { return *view->tableModel(); }
    // Waits for a check that started after `checks` checks, and for nothing more to be pending.
    [[nodiscard]] bool checkedSince(int checks) const
    {
        return QTest::qWaitFor(
                [&] { return checker()->checkCount() > checks && !checker()->isPending(); });
    }

    CKR44Doc doc;
    std::unique_ptr<CKR44View> view;
    QByteArrayList answers;
    std::function<void()> duringDialog;
    bool ready = false;
};

// Runs one step of a marker test: "edit R TEXT", "comment R TEXT", "delete R", "undo", "redo".
bool runStep(Window &w, const QString &step)
{
    const QStringList words = step.split(QLatin1Char(' '));
    const QString &verb = words.at(0);
    if (verb == QLatin1String("undo")) {
        w.view->undo();
        return true;
    }
    if (verb == QLatin1String("redo")) {
        w.view->redo();
        return true;
    }
    const int row = words.value(1).toInt();
    if (words.size() > 2)
        w.answers.append(words.at(2).toLatin1());
    if (verb == QLatin1String("edit"))
        return w.view->EditLine(row);
    w.view->selectRow(row);
    if (verb == QLatin1String("comment"))
        w.view->AddComment();
    else if (verb == QLatin1String("delete"))
        w.view->DeleteLine();
    else
        return false;
    return true;
}

// Lines for a checker whose first `held` checks wait on the worker until `gate` is released.
struct GatedSource
{
    // A test that failed halfway must not leave a worker waiting on a gate that is gone.
    ~GatedSource()
    {
        gate.release(100);
        QThreadPool::globalInstance()->waitForDone();
    }

    void attach(ProgramChecker &checker)
    {
        checker.setSource([this] {
            ++taken;
            const bool hold = held > 0;
            held = hold ? held - 1 : 0;
            return [this, hold, lines = lines] {
                if (hold)
                    gate.acquire();
                return LineArray::fromList(lines);
            };
        });
    }

    QByteArrayList lines;
    int held = 0;
    int taken = 0; // checks started, by the GUI thread
    QSemaphore gate;
};

} // namespace

class TestProgramFindings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // The markers are told apart by their icons.
        QVERIFY(!severityIcon(Severity::Error).isNull());
        QVERIFY(severityIcon(Severity::Error).pixmap(16).toImage()
                != severityIcon(Severity::Warning).pixmap(16).toImage());
    }

    void lookupByRow()
    {
        // Out of order, as another source might give them; each line keeps its own order.
        const FindingIndex index({finding(7, Severity::Warning, 70),
                                  finding(3, Severity::Warning, 31),
                                  finding(3, Severity::Error, 32)});
        QCOMPARE(index.size(), 3);
        QCOMPARE(index.errorCount(), 1);
        QCOMPARE(index.warningCount(), 2);
        QCOMPARE(index.findings().at(0).sentence(), sentenceOf(31));
        QCOMPARE(index.findings().at(2).line, 7);

        QCOMPARE(index.severityAt(2), std::optional<Severity>(Severity::Error));
        QCOMPARE(index.severityAt(6), std::optional<Severity>(Severity::Warning));
        for (int row : {-1, 0, 1, 3, 5, 7, 100})
            QCOMPARE(index.severityAt(row), std::nullopt);
        QCOMPARE(index.sentencesAt(2), sentenceOf(31) + '\n' + sentenceOf(32));
        QCOMPARE(index.descriptionAt(2),
                 "warning: " + sentenceOf(31) + "\nerror: " + sentenceOf(32));
        QCOMPARE(index.sentencesAt(4), QString());
        QCOMPARE(index.descriptionAt(4), QString());
    }

    void changedRows_data()
    {
        QTest::addColumn<QList<Finding>>("before");
        QTest::addColumn<QList<Finding>>("after");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        const Finding e3 = finding(3, Severity::Error, 3);
        const Finding w3 = finding(3, Severity::Warning, 4);
        const Finding e5 = finding(5, Severity::Error, 5);
        const Finding e6 = finding(6, Severity::Error, 5);
        const Finding w9 = finding(9, Severity::Warning, 9);
        const Finding w10 = finding(10, Severity::Warning, 9);
        const Finding e20 = finding(20, Severity::Error, 20);
        using L = QList<Finding>;
        QTest::newRow("same") << L{e3, e5, w9} << L{e3, e5, w9} << -1 << -1;
        QTest::newRow("none before") << L{} << L{e5} << 4 << 4;
        QTest::newRow("all gone") << L{e3, w9} << L{} << 2 << 8;
        QTest::newRow("one line moved down") << L{e3, e5, w9} << L{e3, e6, w9} << 4 << 5;
        QTest::newRow("everything moved down") << L{e5, w9} << L{e6, w10} << 4 << 9;
        QTest::newRow("a second finding on a line") << L{e3, e5} << L{e3, w3, e5} << 2 << 2;
        QTest::newRow("one of two on a line gone") << L{e3, w3, e20} << L{e3, e20} << 2 << 2;
        QTest::newRow("severity changed") << L{e3} << L{w3} << 2 << 2;
        QTest::newRow("last one gone") << L{e3, w9, e20} << L{e3, w9} << 19 << 19;
        QTest::newRow("first one gone") << L{e3, w9, e20} << L{w9, e20} << 2 << 2;
    }

    void changedRows()
    {
        QFETCH(QList<Finding>, before);
        QFETCH(QList<Finding>, after);
        QFETCH(int, first);
        QFETCH(int, last);
        const FindingIndex::RowRange range = FindingIndex(after).changedRows(FindingIndex(before));
        QCOMPARE(range.first, first);
        QCOMPARE(range.last, last);
    }

    // Whatever the two lists, every row whose marker differs lies in the range reported.
    void changedRowsCoverEveryDifference()
    {
        QRandomGenerator rng(9);
        const auto randomList = [&] {
            QList<Finding> list;
            const int count = rng.bounded(6);
            for (int i = 0; i < count; ++i)
                list.append(finding(1 + rng.bounded(12),
                                    rng.bounded(2) ? Severity::Error : Severity::Warning,
                                    rng.bounded(3)));
            return list;
        };
        for (int round = 0; round < 2000; ++round) {
            const FindingIndex before(randomList());
            // Often a small change of the other, as a check after an edit gives.
            QList<Finding> next = before.findings();
            if (rng.bounded(3) == 0 || next.isEmpty())
                next = randomList();
            else
                next[rng.bounded(int(next.size()))].line += rng.bounded(-1, 2);
            const FindingIndex after(next);
            const FindingIndex::RowRange range = after.changedRows(before);
            for (int row = 0; row < 14; ++row) {
                const bool differs = before.severityAt(row) != after.severityAt(row)
                        || before.sentencesAt(row) != after.sentencesAt(row);
                if (differs && (range.isEmpty() || row < range.first || row > range.last))
                    QFAIL(qPrintable(QStringLiteral("round %1: row %2 outside %3..%4")
                                             .arg(round)
                                             .arg(row)
                                             .arg(range.first)
                                             .arg(range.last)));
            }
            QCOMPARE(range.isEmpty(), before == after);
        }
    }

    void markers_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("expected");
        const QByteArrayList broken{"+200", "D0", "j9", "K"};
        const QStringList brokenMarkers{QStringLiteral("1 error: ") + kDelayZero,
                                        QStringLiteral("2 error: ") + kBeyondLast4,
                                        QStringLiteral("3 warning: ") + kNeverRuns};
        QTest::newRow("clean program") << QByteArrayList{"+200", "D500", "j1"} << QStringList()
                                       << QStringList();
        QTest::newRow("errors and a warning") << broken << QStringList() << brokenMarkers;
        QTest::newRow("error and warning on one row")
                << QByteArrayList{"+1", "j4", "Q7", "K"} << QStringList()
                << QStringList{QStringLiteral("2 error: ") + kUnknownQ + '\n' + kNeverRuns};
        QTest::newRow("edit fixes a line")
                << QByteArrayList{"+200", "D0", "K"} << QStringList{"edit 1 500"}
                << QStringList();
        QTest::newRow("edit breaks a line")
                << QByteArrayList{"+200", "D500", "K"} << QStringList{"edit 1 0"}
                << QStringList{QStringLiteral("1 error: ") + kDelayZero};
        QTest::newRow("insert above moves the marker")
                << QByteArrayList{"+200", "D0", "K"} << QStringList{"comment 0 note"}
                << QStringList{QStringLiteral("2 error: ") + kDelayZero};
        QTest::newRow("delete the bad line")
                << QByteArrayList{"+200", "Q7", "K"} << QStringList{"delete 1"} << QStringList();
        QTest::newRow("undo a fix")
                << QByteArrayList{"+200", "D0", "K"} << QStringList{"edit 1 500", "undo"}
                << QStringList{QStringLiteral("1 error: ") + kDelayZero};
        QTest::newRow("redo a fix")
                << QByteArrayList{"+200", "D0", "K"}
                << QStringList{"edit 1 500", "undo", "redo"} << QStringList();
        QTest::newRow("undo a deletion")
                << QByteArrayList{"+200", "Q7", "K"} << QStringList{"delete 1", "undo"}
                << QStringList{QStringLiteral("1 error: ") + kUnknownQ};
        QTest::newRow("undo an insertion")
                << QByteArrayList{"+200", "D0", "K"} << QStringList{"comment 0 note", "undo"}
                << QStringList{QStringLiteral("1 error: ") + kDelayZero};
        QTest::newRow("fix each error in turn")
                << broken << QStringList{"edit 1 500", "edit 2 4"} << QStringList();
    }

    void markers()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, expected);
        Window w(lines);
        QVERIFY(w.ready);
        QVERIFY(w.checkedSince(0));
        for (const QString &step : std::as_const(steps)) {
            const int checks = w.checker()->checkCount();
            QVERIFY2(runStep(w, step), qPrintable(step));
            // Each step is checked in its own turn of the event loop.
            QVERIFY2(w.checkedSince(checks), qPrintable(step));
        }
        QCOMPARE(markersOf(w.model()), expected);
        // The list and the panel's source agree with a check of what the document now holds.
        QCOMPARE(w.view->findings().findings(), checkProgram(w.doc.m_lines));
    }

    void markersOnlyInTheLineNumberColumn()
    {
        Window w({"+200", "D0", "K"});
        QVERIFY(w.ready);
        QVERIFY(w.checkedSince(0));
        const ProgramTableModel &model = w.model();
        const QModelIndex number = model.index(1, ProgramTableModel::LineNumberColumn);
        QCOMPARE(number.data(Qt::AccessibleTextRole).toString(), QStringLiteral("2"));
        QCOMPARE(number.data(Qt::AccessibleDescriptionRole).toString(),
                 QStringLiteral("error: ") + kDelayZero);
        for (int column = 1; column < ProgramTableModel::ColumnCount; ++column) {
            const QModelIndex cell = model.index(1, column);
            QVERIFY(cell.data(Qt::DecorationRole).isNull());
            QVERIFY(cell.data(Qt::ToolTipRole).isNull());
            QVERIFY(cell.data(Qt::AccessibleDescriptionRole).isNull());
        }
        const QModelIndex clean = model.index(0, ProgramTableModel::LineNumberColumn);
        QVERIFY(clean.data(Qt::DecorationRole).isNull());
        QVERIFY(clean.data(Qt::AccessibleDescriptionRole).isNull());
    }

    // Attached views hear of every marker that changed, and of no other row.
    void markerChangesAreAnnounced()
    {
        Window w({"+200", "D0", "K", "+1", "+2", "D0"});
        QVERIFY(w.ready);
        QVERIFY(w.checkedSince(0));
        QSignalSpy changed(w.view->tableModel(), &QAbstractItemModel::dataChanged);
        QSignalSpy findings(w.view.get(), &CKR44View::findingsChanged);
        const int checks = w.checker()->checkCount();
        w.answers.append("500");
        QVERIFY(w.view->EditLine(1));
        changed.clear();
        QVERIFY(w.checkedSince(checks));
        QCOMPARE(findings.count(), 1);
        QCOMPARE(changed.count(), 1);
        const auto topLeft = changed.at(0).at(0).value<QModelIndex>();
        const auto bottomRight = changed.at(0).at(1).value<QModelIndex>();
        QCOMPARE(topLeft.row(), 1);
        QCOMPARE(bottomRight.row(), 1);
        QCOMPARE(topLeft.column(), int(ProgramTableModel::LineNumberColumn));
        QCOMPARE(bottomRight.column(), int(ProgramTableModel::LineNumberColumn));
        QVERIFY(changed.at(0).at(2).value<QList<int>>().contains(Qt::DecorationRole));

        // A change that leaves the findings as they were announces nothing.
        changed.clear();
        const int again = w.checker()->checkCount();
        w.answers.append("600");
        QVERIFY(w.view->EditLine(1));
        changed.clear();
        QVERIFY(w.checkedSince(again));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(findings.count(), 1);
    }

    void severalChangesInOneTurnCheckOnce()
    {
        Window w({"+200", "D0", "K"});
        QVERIFY(w.ready);
        QVERIFY(w.checkedSince(0));
        QSignalSpy checked(w.checker(), &ProgramChecker::checked);
        // Three operations in one turn: fix the line, add a comment, break another line.
        w.answers = {"500", "note", "0"};
        QVERIFY(w.view->EditLine(1));
        w.view->selectRow(0);
        w.view->AddComment();
        QVERIFY(w.view->EditLine(2));
        QVERIFY(w.checker()->isPending());
        QCOMPARE(checked.count(), 0);
        QVERIFY(checked.wait());
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(checked.count(), 1);
        QVERIFY(!w.checker()->isPending());
        // The one check saw the end state, not any state in between.
        QCOMPARE(w.view->text(2, 3), QStringLiteral("0"));
        QCOMPARE(markersOf(w.model()), QStringList{QStringLiteral("2 error: ") + kDelayZero});
    }

    void noCheckWithoutAChange()
    {
        Window w({"+200", "D0", "K"});
        QVERIFY(w.ready);
        QVERIFY(w.checkedSince(0));
        // Moving about, a cancelled dialog and a refused deletion change nothing.
        w.view->selectRow(2);
        QTest::keyClick(w.view->list(), Qt::Key_Up);
        QVERIFY(w.view->EditLine(1));
        QVERIFY(!w.checker()->isPending());
        QCOMPARE(w.checker()->checkCount(), 1);
    }

    // While a dialog decides what an operation stores, the rows are not checked: the line it
    // is about holds only its letter until then.
    void noCheckUnderADialog()
    {
        Window w({"+200", "K"});
        QVERIFY(w.ready);
        QVERIFY(w.checkedSince(0));
        int checksInDialog = -1;
        bool pendingInDialog = true;
        w.duringDialog = [&] {
            QCoreApplication::processEvents();
            checksInDialog = w.checker()->checkCount();
            pendingInDialog = w.checker()->isPending();
        };
        w.answers.append("500");
        w.view->selectRow(1);
        w.view->ChooseInstruction(kFirstInstructionCommand + instructionIndex('D'));
        QCOMPARE(checksInDialog, 1);
        QVERIFY(!pendingInDialog);
        QVERIFY(w.checkedSince(1));
        QCOMPARE(w.view->text(1, 3), QStringLiteral("500"));
        QCOMPARE(markersOf(w.model()), QStringList());
    }

    // A check on the worker whose lines have changed meanwhile is not shown: the newest lines are
    // checked next, and only their findings come in.
    void staleFindingsAreDropped()
    {
        GatedSource source;
        ProgramChecker checker;
        source.attach(checker);
        QSignalSpy changed(&checker, &ProgramChecker::findingsChanged);
        source.lines = {"Q7"};
        source.held = 2;
        checker.schedule();
        QTRY_COMPARE(source.taken, 1);
        QVERIFY(checker.isPending());
        source.lines = {"+1", "D0"};
        checker.schedule();
        source.gate.release();
        // The first check's findings arrive and are dropped; the second check starts.
        QTRY_COMPARE(source.taken, 2);
        QCOMPARE(checker.checkCount(), 0);
        QVERIFY(checker.findings().isEmpty());
        QVERIFY(checker.isPending());
        source.gate.release();
        QTRY_COMPARE(checker.checkCount(), 1);
        QVERIFY(!checker.isPending());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(checker.findings().size(), 1);
        QCOMPARE(checker.findings().findings().at(0).line, 2);
        QCOMPARE(checker.findings().findings().at(0).sentence(), kDelayZero);
    }

    // checkNow() answers at once and the check it overtook comes to nothing.
    void checkNowOvertakesARunningCheck()
    {
        GatedSource source;
        ProgramChecker checker;
        source.attach(checker);
        source.lines = {"Q7"};
        source.held = 1;
        checker.schedule();
        QTRY_COMPARE(source.taken, 1);
        source.lines = {"+1", "D0"};
        checker.checkNow();
        QVERIFY(!checker.isPending());
        QCOMPARE(checker.checkCount(), 1);
        QCOMPARE(checker.findings().findings().at(0).sentence(), kDelayZero);
        source.gate.release();
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QCOMPARE(checker.checkCount(), 1);
        QCOMPARE(checker.findings().findings().at(0).sentence(), kDelayZero);
        QCOMPARE(source.taken, 2);
    }

    // A program window closed while its check runs: the check ends on its own and its findings
    // go nowhere.
    void checkerGoneBeforeItsCheckEnds()
    {
        GatedSource source;
        auto checker = std::make_unique<ProgramChecker>();
        source.attach(*checker);
        source.lines = {"Q7"};
        source.held = 1;
        checker->schedule();
        QTRY_COMPARE(source.taken, 1);
        checker.reset();
        source.gate.release();
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QCOMPARE(source.taken, 1);
    }

    void checkerWithoutSource()
    {
        ProgramChecker checker;
        QSignalSpy changed(&checker, &ProgramChecker::findingsChanged);
        checker.schedule();
        checker.schedule();
        QVERIFY(checker.isPending());
        checker.checkNow();
        QVERIFY(!checker.isPending());
        QCOMPARE(checker.checkCount(), 1);
        QVERIFY(checker.findings().isEmpty());
        QCOMPARE(changed.count(), 0);

        checker.setSource([] { return [] { return LineArray::fromList({"Q7"}); }; });
        checker.setDelay(-5);
        QCOMPARE(checker.delay(), 0);
        checker.schedule();
        QTRY_COMPARE(changed.count(), 1);
        QCOMPARE(checker.findings().size(), 1);
        QCOMPARE(checker.checkCount(), 2);
    }
};

KR44_TEST(TestProgramFindings)
#include "tst_programfindings.moc"
