// The program's rows: how lines become rows and go back, how jump targets follow an inserted
// or deleted line (checked against a row-by-row renumbering), and the journals that undo and
// redo a change.

#include "testmain.h"
#include "view/programrows.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <thread>

using namespace kr44;

namespace {

// `lines` with `removed` lines at `row` taken out and `inserted` put there, renumbered as a list
// with a stored number column does it: for each row whose number is out of step, set it and move
// every jump not yet moved that pointed at the old number. An inserted row has no number and no
// jump moves to it; its own target stays.
QByteArrayList renumberedByRows(const QByteArrayList &lines, int row, int removed,
                                const QByteArrayList &inserted)
{
    QList<std::pair<QByteArray, LineParts>> rows; // each row's number and line
    for (int i = 0; i <= lines.size(); ++i)       // the end row too
        rows.append({QByteArray::number(i + 1), splitLine(lines.value(i))});
    rows.remove(row, removed);
    rows.insert(row, inserted.size(), {});
    QSet<int> patched;
    for (int i = 0; i < rows.size(); ++i) {
        const int old = leadingInt(rows[i].first);
        for (int j = 0; j < rows.size() && !rows[i].first.isEmpty() && old != i + 1; ++j) {
            const QByteArray &code = rows[j].second.code;
            QByteArray &params = rows[j].second.params;
            const qsizetype comma = code == "J" ? params.indexOf(',') : -1;
            const qsizetype at = comma > 0 ? comma + 1 : 0; // where J's target starts
            if (!patched.contains(j) && (code == "j" || comma > 0)
                && leadingInt(params.mid(at)) == old) {
                params = params.left(at) + QByteArray::number(i + 1);
                patched.insert(j);
            }
        }
    }
    QByteArrayList out;
    for (int i = 0; i + 1 < rows.size(); ++i) {
        const bool pasted = i >= row && i < row + inserted.size();
        out.append(composeLine(pasted ? splitLine(inserted[i - row]) : rows[i].second));
    }
    return out;
}

// Jumps to lines in and beyond the program ("#"), and every odd form a target may take.
QByteArray randomLine(QRandomGenerator &rng, int lines)
{
    static const char *const pool[]
            = {"j#",  "j#", "j#", "J1H,#",  "J2L,#", "J3H,#", "j#",     "J1L,#",  "G100", "+200",
               "W1H", "K",  "L5", "* note", "",      "*",     "*raw",   "Q7",     "J1H,", "J,5",
               "j",   "jx", "j0", "J1H,0",  "j-1",   "j 2",   "J1H,3x", "J2L,1,5"};
    return QByteArray(pool[rng.bounded(int(std::size(pool)))])
            .replace('#', QByteArray::number(rng.bounded(lines + 4)));
}

QByteArrayList randomLines(QRandomGenerator &rng, int count, int range)
{
    QByteArrayList lines;
    while (lines.size() < count)
        lines.append(randomLine(rng, range));
    return lines;
}

// One random change to `rows`, of the kinds the editor makes.
void randomChange(QRandomGenerator &rng, ProgramRows &rows)
{
    static const char *const codes[] = {"", "G", "j", "J", "K", "*"};
    const int n = rows.lineCount();
    const int kind = n > 0 ? rng.bounded(7) : rng.bounded(3);
    if (kind == 0)
        (void)rows.insertLine(rng.bounded(n + 1));
    else if (kind == 1)
        rows.appendLine();
    else if (kind == 2)
        (void)rows.insertLines(rng.bounded(n + 1), LineArray::fromList(randomLines(rng, 2, n)));
    else if (kind == 3)
        (void)rows.removeLine(rng.bounded(n));
    else if (kind == 4) // from a line's own bytes too, which may move as the pool grows
        rows.setParams(rng.bounded(n),
                       rng.bounded(2) ? splitLine(randomLine(rng, n)).params
                                      : rows.params(rng.bounded(n)));
    else if (kind == 5)
        rows.setCode(rng.bounded(n), codes[rng.bounded(int(std::size(codes)))]);
    else
        (void)rows.writeBack(); // rebasing and compacting the pool must not matter
}

} // namespace

class TestProgramRows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The worked examples; the oracle below covers every position.
    void jumpTargets()
    {
        ProgramRows rows(LineArray::fromList({"G100", "D500", "J1H,2", "j1"}));
        (void)rows.insertLine(1);
        QCOMPARE(rows.lines().toList(), (QByteArrayList {"G100", "* ", "D500", "J1H,3", "j1"}));
        (void)rows.removeLine(1);
        QCOMPARE(rows.lines().toList(), (QByteArrayList {"G100", "D500", "J1H,2", "j1"}));
        // Targets are rewritten plain; those that read as no line stay as they are.
        rows = ProgramRows(LineArray::fromList({"j 1", "J1H,1x", "J2L,1,5", "j0", "jx", "j9"}));
        (void)rows.insertLine(0);
        QCOMPARE(rows.lines().toList(),
                 (QByteArrayList {"* ", "j2", "J1H,2", "J2L,2", "j0", "jx", "j9"}));
        // What Delete asks first.
        rows = ProgramRows(LineArray::fromList({"G1", "j1", "J2L,1", "J1H,4", "* j2", "J2L"}));
        QCOMPARE(rows.firstReferenceTo(1), std::optional(1));
        QCOMPARE(rows.firstReferenceTo(4), std::optional(3)); // after the comma, to itself
        QCOMPARE(rows.firstReferenceTo(2), std::nullopt); // not in a comment, not before a comma
    }

    // Inserting or deleting at every position of programs full of jumps pointing everywhere,
    // and pasting lines, which keep their own targets: the same as the row-by-row renumbering.
    void renumberingMatchesRowByRow()
    {
        QRandomGenerator rng(4402);
        for (int program = 0; program < 400; ++program) {
            const QByteArrayList lines = randomLines(rng, rng.bounded(12), 12);
            const int n = int(lines.size());
            for (int row = 0; row <= 2 * n; ++row) {
                ProgramRows rows(LineArray::fromList(lines));
                if (row <= n)
                    (void)rows.insertLine(row);
                else
                    (void)rows.removeLine(row - n - 1);
                QCOMPARE(rows.lines().toList(),
                         row <= n ? renumberedByRows(lines, row, 0, {"* "})
                                  : renumberedByRows(lines, row - n - 1, 1, {}));
            }
            const QByteArrayList pasted = randomLines(rng, rng.bounded(1, 4), n);
            const int at = rng.bounded(n + 1);
            ProgramRows rows(LineArray::fromList(lines));
            (void)rows.insertLines(at, LineArray::fromList(pasted));
            QCOMPARE(rows.lines().toList(), renumberedByRows(lines, at, 0, pasted));
        }
    }

    // Each change journalled on its own: playing the journals backward gives every earlier
    // state again, byte for byte, and playing them forward from the start every later one.
    void journalsPlayBackAndForth()
    {
        QRandomGenerator rng(4404);
        for (int program = 0; program < 150; ++program) {
            ProgramRows rows(LineArray::fromList(randomLines(rng, rng.bounded(12), 12)));
            QList<QByteArrayList> states {rows.lines().toList()};
            std::vector<RowJournal> journals(40);
            for (RowJournal &journal : journals) {
                rows.setJournal(&journal);
                for (int k = rng.bounded(1, 4); k > 0; --k) // an insertion, its code and text
                    randomChange(rng, rows);
                rows.setJournal(nullptr);
                states.append(rows.lines().toList());
            }
            for (int i = int(journals.size()) - 1; i >= 0; --i) {
                const std::vector<RowJournal::Entry> &entries = journals[i].entries();
                for (auto it = entries.crbegin(); it != entries.crend(); ++it)
                    (void)rows.replay(journals[i], *it, false);
                QCOMPARE(rows.lines().toList(), states.at(i));
                if (i % 5 == 0)
                    (void)rows.writeBack();
            }
            for (size_t i = 0; i < journals.size(); ++i) {
                for (const RowJournal::Entry &entry : journals[i].entries())
                    (void)rows.replay(journals[i], entry, true);
                QCOMPARE(rows.lines().toList(), states.at(qsizetype(i) + 1));
            }
        }
    }

    // Filled rows share the document's bytes; what the rows do next, a compaction included,
    // never changes lines handed out before, nor a snapshot read on another thread.
    void handedOutLinesStayAsTheyWere()
    {
        const LineArray document = LineArray::fromList({"G1", "G2", ""});
        ProgramRows rows(document);
        QByteArrayList seen;
        std::thread reader([read = rows.snapshot(), &seen]() mutable { seen = read().toList(); });
        // Filled as "G1G2* ": line 2 lands on the old "* " once line 1 has four bytes.
        rows.setParams(0, QByteArray(200000, 'x'));
        rows.setParams(0, "123");
        QCOMPARE(rows.writeBack().toList(), (QByteArrayList {"G123", "G2", "* "}));
        reader.join();
        QCOMPARE(seen, (QByteArrayList {"G1", "G2", "* "}));
        QCOMPARE(document.toList(), (QByteArrayList {"G1", "G2", ""}));
    }
};

KR44_TEST(TestProgramRows)
#include "tst_programrows.moc"
