#include "programfile.h"
#include "programrows.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <thread>

using namespace kr44;

namespace {

ProgramRows rowsOf(const QByteArrayList &lines)
{
    return ProgramRows(LineArray::fromList(lines));
}

// Renumbering as a list control with a stored number column does it: for each row whose number
// is out of step, set it and move every not yet moved jump that pointed at the old number. A
// fresh row has an empty number cell; jumps that read as 0 are not moved to it.
struct ReferenceRow
{
    QByteArray number;
    QByteArray code;
    QByteArray params;
};

void referenceRenumber(QList<ReferenceRow> &rows)
{
    QSet<int> patched;
    for (int i = 0; i < rows.size(); ++i) {
        const bool fresh = rows[i].number.isEmpty();
        const int old = leadingInt(rows[i].number);
        if (old == i + 1)
            continue;
        const QByteArray s = QByteArray::number(i + 1);
        rows[i].number = s;
        if (fresh)
            continue;
        for (int j = 0; j < rows.size(); ++j) {
            if (patched.contains(j))
                continue;
            ReferenceRow &r = rows[j];
            if (r.code == "j" && leadingInt(r.params) == old) {
                r.params = s;
                patched.insert(j);
            } else if (r.code == "J") {
                const qsizetype comma = r.params.indexOf(',');
                if (comma > 0 && leadingInt(r.params.mid(comma + 1)) == old) {
                    r.params = r.params.left(comma + 1) + s;
                    patched.insert(j);
                }
            }
        }
    }
}

QList<ReferenceRow> referenceRows(const QByteArrayList &lines)
{
    QList<ReferenceRow> rows;
    for (int i = 0; i < lines.size(); ++i) {
        const LineParts p = splitLine(lines.at(i));
        rows.append({QByteArray::number(i + 1), p.code, p.params});
    }
    rows.append({QByteArray::number(lines.size() + 1), {}, {}}); // the end row
    return rows;
}

QByteArrayList referenceLines(const QList<ReferenceRow> &rows)
{
    QByteArrayList out;
    for (int i = 0; i + 1 < rows.size(); ++i)
        out.append(composeLine(rows[i].code, rows[i].params));
    return out;
}

QByteArray randomLine(QRandomGenerator &rng, int lines)
{
    static const char *const fixed[] = {"G100", "D500", "+200", "W1H", "K", "Z", "L0", "L5",
                                        "* note", "", "*", "*raw", "Q7", "J1H,", "J,5", "j",
                                        "jx", "j0", "J1H,0", "j-1", "j 2", "J1H,3x"};
    const int kind = rng.bounded(10);
    const int target = rng.bounded(lines + 4);
    if (kind < 3)
        return "j" + QByteArray::number(target);
    if (kind < 6)
        return "J" + QByteArray::number(1 + rng.bounded(3)) + (rng.bounded(2) ? "H," : "L,")
            + QByteArray::number(target);
    return fixed[rng.bounded(int(std::size(fixed)))];
}

// One random change to `rows`, of the kinds the editor makes.
void randomChange(QRandomGenerator &rng, ProgramRows &rows)
{
    const int n = rows.lineCount();
    switch (rng.bounded(7)) {
    case 0:
        (void)rows.insertLine(rng.bounded(n + 1));
        break;
    case 1:
        if (n > 0)
            (void)rows.removeLine(rng.bounded(n));
        break;
    case 2: {
        QByteArrayList lines;
        for (int i = rng.bounded(1, 4); i > 0; --i)
            lines.append(randomLine(rng, n));
        (void)rows.insertLines(rng.bounded(n + 1), LineArray::fromList(lines));
        break;
    }
    case 3:
        if (n > 0)
            rows.setParams(rng.bounded(n), splitLine(randomLine(rng, n)).params);
        break;
    case 4:
        if (n > 0) {
            static const char *const codes[] = {"", "G", "j", "J", "K", "*"};
            rows.setCode(rng.bounded(n), codes[rng.bounded(int(std::size(codes)))]);
        }
        break;
    case 5:
        rows.appendLine();
        break;
    default:
        // Rebasing and compacting the pool must not matter to the journals.
        (void)rows.writeBack();
        break;
    }
}

} // namespace

class TestProgramRows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fillSplitsLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("shownCode");
        QTest::addColumn<QByteArray>("params");
        QTest::addColumn<int>("kind");
        QTest::newRow("go to") << QByteArray("G1000") << QByteArray("G") << QByteArray("1000")
                               << int(RowKind::Instruction);
        QTest::newRow("jump if") << QByteArray("J1H,5") << QByteArray("J") << QByteArray("1H,5")
                                 << int(RowKind::Instruction);
        QTest::newRow("kill") << QByteArray("K") << QByteArray("K") << QByteArray()
                              << int(RowKind::Instruction);
        QTest::newRow("comment") << QByteArray("* Start position") << QByteArray()
                                 << QByteArray("Start position") << int(RowKind::Comment);
        QTest::newRow("unknown letter") << QByteArray("Q12") << QByteArray("Q") << QByteArray("12")
                                        << int(RowKind::Instruction);
        QTest::newRow("empty line") << QByteArray() << QByteArray() << QByteArray()
                                    << int(RowKind::Empty);
        QTest::newRow("lone star") << QByteArray("*") << QByteArray() << QByteArray()
                                   << int(RowKind::Empty);
        QTest::newRow("bare comment") << QByteArray("* ") << QByteArray() << QByteArray()
                                      << int(RowKind::Empty);
        QTest::newRow("star without blank") << QByteArray("*abc") << QByteArray()
                                            << QByteArray("abc") << int(RowKind::Comment);
        QTest::newRow("NUL as code") << QByteArray("\0x", 2) << QByteArray("\0", 1)
                                     << QByteArray("x") << int(RowKind::Instruction);
    }
    void fillSplitsLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, shownCode);
        QFETCH(QByteArray, params);
        QFETCH(int, kind);
        const ProgramRows rows = rowsOf({"K", line});
        QCOMPARE(rows.lineCount(), 2);
        QCOMPARE(rows.rowCount(), 3);
        QCOMPARE(rows.shownCode(1).toByteArray(), shownCode);
        QCOMPARE(rows.params(1).toByteArray(), params);
        QCOMPARE(int(rows.kind(1)), kind);
        QCOMPARE(rows.isEmptyRow(1), kind == int(RowKind::Empty));
        // The split agrees with the model's own, so the stored code is the model's code.
        QCOMPARE(rows.parts(1), splitLine(line));
    }

    void endRowIsEmptyAndLast()
    {
        const ProgramRows empty;
        QCOMPARE(empty.rowCount(), 1);
        QCOMPARE(empty.endRow(), 0);
        QCOMPARE(int(empty.kind(0)), int(RowKind::End));
        QVERIFY(empty.isEmptyRow(0));
        QVERIFY(empty.lines().isEmpty());

        const ProgramRows rows = rowsOf({"G1", "K"});
        QCOMPARE(rows.endRow(), 2);
        QVERIFY(rows.code(2).isEmpty());
        QVERIFY(rows.params(2).isEmpty());
        QVERIFY(!rows.isValidRow(3));
        QVERIFY(!rows.isValidRow(-1));
    }

    void writeBack_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<QByteArrayList>("expected");
        const QByteArrayList example = {"* set up", "X500,1000,20", "L0", "+200", "W1H",
                                        "-200", "L5", "J2L,4", "K"};
        QTest::newRow("example program") << example << example;
        const QByteArrayList columns = {"G1000", "J1H,5", "K", "* Start position", "Q12"};
        QTest::newRow("columns example") << columns << columns;
        QTest::newRow("empty program") << QByteArrayList() << QByteArrayList();
        QTest::newRow("empty and lone star become empty comments")
                << QByteArrayList{"G1", "", "*", "K"} << QByteArrayList{"G1", "* ", "* ", "K"};
        QTest::newRow("comments without blank kept byte for byte")
                << QByteArrayList{"*abc", "**", "*\tx", "*-"} << QByteArrayList{"*abc", "**", "*\tx", "*-"};
        QTest::newRow("8-bit and NUL bytes") << QByteArrayList{"* \xb0\xff", QByteArray("+1\0002", 4), QByteArray("\0", 1)}
                                             << QByteArrayList{"* \xb0\xff", QByteArray("+1\0002", 4), QByteArray("\0", 1)};
        QTest::newRow("case kept") << QByteArrayList{"g+1L", "G5", "h1,2", "H-", "j1", "J1L,1"}
                                   << QByteArrayList{"g+1L", "G5", "h1,2", "H-", "j1", "J1L,1"};
        QTest::newRow("long line") << QByteArrayList{QByteArray(300, 'x')} << QByteArrayList{QByteArray(300, 'x')};
    }
    void writeBack()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(QByteArrayList, expected);
        ProgramRows rows = rowsOf(lines);
        QCOMPARE(rows.lines().toList(), expected);
        QCOMPARE(rows.writeBack().toList(), expected);
        // After the rebase the rows still read the same, and a second write-back is the same.
        QCOMPARE(rows.writeBack().toList(), expected);
    }

    void editsAfterWriteBackLeaveTheDocumentsLinesAlone()
    {
        ProgramRows rows = rowsOf({"G100", "* note", "j1"});
        const LineArray stored = rows.writeBack();
        rows.setParams(0, "250");
        rows.setCode(1, "K");
        rows.setParams(1, {});
        (void)rows.insertLine(0);
        QCOMPARE(stored.toList(), (QByteArrayList{"G100", "* note", "j1"}));
        QCOMPARE(rows.lines().toList(), (QByteArrayList{"* ", "G250", "K", "j2"}));
    }

    // Rows filled from a document without empty lines take its storage as it is; whatever the
    // rows do next, the document's lines and bytes stay as they were.
    void rowsShareTheDocumentsStorageUntilTheyChange()
    {
        const QByteArray bytes("G1\r\nj1\r\n* x\r\n*raw\r\nK");
        const LineArray document = parseProgram(bytes);
        const QByteArrayList stored{"G1", "j1", "* x", "*raw", "K"};
        ProgramRows rows(document);
        QCOMPARE(rows.lines().arena().constData(), document.arena().constData());
        QCOMPARE(rows.lines().spans().constData(), document.spans().constData());
        QCOMPARE(rows.linesAsFilled().toList(), stored);

        (void)rows.insertLine(0); // the first empty comment of these rows
        rows.setParams(1, "5");
        (void)rows.insertLine(5);
        QCOMPARE(rows.lines().toList(), (QByteArrayList{"* ", "G5", "j2", "* x", "*raw", "* ", "K"}));
        QCOMPARE(int(rows.kind(0)), int(RowKind::Empty));
        QCOMPARE(document.toList(), stored);
        QCOMPARE(document.arena(), bytes);

        const LineArray written = rows.writeBack();
        (void)rows.removeLine(0);
        QCOMPARE(written.toList(), (QByteArrayList{"* ", "G5", "j2", "* x", "*raw", "* ", "K"}));
        QCOMPARE(rows.lines().toList(), (QByteArrayList{"G5", "j1", "* x", "*raw", "* ", "K"}));
        QCOMPARE(document.toList(), stored);
    }

    // A snapshot reads the lines as they were when it was taken, whatever the rows did since:
    // edits in place, moved targets, removed rows, a compacting write-back.
    void snapshotKeepsItsLines()
    {
        ProgramRows rows = rowsOf({"G100", "", "j1", "*raw", "K"});
        const QByteArrayList before = rows.lines().toList();
        const std::function<LineArray()> read = rows.snapshot();
        rows.setParams(0, "250");
        (void)rows.insertLine(0);
        (void)rows.removeLine(2);
        for (int round = 0; round < 2000; ++round)
            rows.setParams(0, QByteArray(100, 'x'));
        const QByteArrayList after = rows.writeBack().toList();
        QCOMPARE(read().toList(), before);
        QCOMPARE(rows.lines().toList(), after);
        QCOMPARE(after.at(1), QByteArray("G250"));
    }

    // A snapshot read on another thread while the rows are edited on this one: each reads only
    // what it holds (run under the sanitizers, this is where a shared buffer would show).
    void snapshotReadOnAnotherThread()
    {
        ProgramRows rows = rowsOf({"G1", "j1", "* x", "K"});
        for (int i = 0; i < 2000; ++i)
            rows.setParams(2, QByteArray::number(i));
        const QByteArrayList expected = rows.lines().toList();
        QByteArrayList seen;
        std::thread reader([read = rows.snapshot(), &seen]() mutable { seen = read().toList(); });
        for (int i = 0; i < 2000; ++i) {
            (void)rows.insertLine(0);
            rows.setParams(1, QByteArray::number(i));
            (void)rows.removeLine(0);
        }
        reader.join();
        QCOMPARE(seen, expected);
        QCOMPARE(rows.params(0).toByteArray(), QByteArray("1999"));
    }

    void fillFromAFilesLines()
    {
        // A loaded file's lines lie in its bytes with the line ends between them.
        const LineArray parsed = parseProgram(QByteArray("G1\r\n\r\n*\nj1\r* x\r\n*raw"));
        ProgramRows rows(parsed);
        QCOMPARE(rows.lines().toList(), (QByteArrayList{"G1", "* ", "* ", "j1", "* x", "*raw"}));
        QCOMPARE(rows.params(4).toByteArray(), QByteArray("x"));
        (void)rows.insertLine(0);
        QCOMPARE(rows.writeBack().toList(), (QByteArrayList{"* ", "G1", "* ", "* ", "j2", "* x", "*raw"}));

        ProgramRows onlyEmpty(LineArray::fromList({"", "", "*"}));
        QCOMPARE(onlyEmpty.lines().toList(), (QByteArrayList{"* ", "* ", "* "}));
        QCOMPARE(int(onlyEmpty.kind(2)), int(RowKind::Empty));
    }

    void manyEditsStayCorrectAcrossCompaction()
    {
        QByteArrayList expected = {"G1", "", "*raw", "j1", "K"};
        ProgramRows rows = rowsOf(expected);
        expected[1] = "* ";
        // Enough replaced text to make the write-back compact the pool, more than once.
        for (int round = 0; round < 3000; ++round) {
            const QByteArray text = QByteArray::number(round) + QByteArray(100, 'x');
            rows.setParams(0, text);
            expected[0] = "G" + text;
            if (round % 7 == 0) {
                (void)rows.insertLine(1);
                (void)rows.removeLine(1);
            }
            if (round % 500 == 0)
                QCOMPARE(rows.writeBack().toList(), expected);
        }
        const LineArray stored = rows.writeBack();
        QCOMPARE(stored.toList(), expected);
        rows.setCode(2, "C");
        rows.setParams(2, "2");
        QCOMPARE(stored.toList(), expected);
        expected[2] = "C2";
        QCOMPARE(rows.writeBack().toList(), expected);
        QCOMPARE(rows.params(3).toByteArray(), QByteArray("1"));
    }

    // Compacting moves every line; one that lands where the shared "* " used to be must stay
    // itself and not be taken for an empty comment.
    void compactionKeepsALineThatLandsOnTheOldEmptyComment()
    {
        ProgramRows rows = rowsOf({"G1", "G2", ""});
        // Filled as "G1G2* ": the empty comment at offset 4, where line 2 lands once line 1
        // has four bytes.
        rows.setParams(0, QByteArray(200000, 'x'));
        rows.setParams(0, "123");
        QCOMPARE(rows.writeBack().toList(), (QByteArrayList{"G123", "G2", "* "}));
        QCOMPARE(rows.lines().toList(), (QByteArrayList{"G123", "G2", "* "}));
    }

    void setParamsFromItsOwnText()
    {
        ProgramRows rows = rowsOf({"G1", "G2"});
        // Texts set before now live in the edit pool; copying one of them onto another row while
        // the pool grows must not read freed bytes.
        for (int i = 0; i < 200; ++i) {
            rows.setParams(0, QByteArray(i % 50 + 1, char('a' + i % 26)));
            rows.setParams(1, rows.params(0));
        }
        QCOMPARE(rows.params(0).toByteArray(), QByteArray(50, 'r'));
        QCOMPARE(rows.params(1).toByteArray(), QByteArray(50, 'r'));
    }

    void codeAtForJumpChecks()
    {
        const ProgramRows rows = rowsOf({"* c", "*raw", "", "J1H,1", "Q"});
        QCOMPARE(rows.lineCount(), 5);
        QCOMPARE(rows.codeAt(0), QByteArray());
        QCOMPARE(rows.codeAt(1), QByteArray());
        QCOMPARE(rows.codeAt(2), QByteArray());
        QCOMPARE(rows.codeAt(3), QByteArray("J"));
        QCOMPARE(rows.codeAt(4), QByteArray("Q"));
        QVERIFY(!isValidTarget(rows, 2));
        QVERIFY(isValidTarget(rows, 4));
        QVERIFY(!isValidTarget(rows, 6)); // the end row
    }

    void insertMovesTargets_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<int>("row");
        QTest::addColumn<QByteArrayList>("expected");
        QTest::newRow("worked example") << QByteArrayList{"G100", "D500", "J1H,2", "j1"} << 1
                                        << QByteArrayList{"G100", "* ", "D500", "J1H,3", "j1"};
        QTest::newRow("at line 1 every target moves")
                << QByteArrayList{"G1", "j1", "J2L,2", "j3"} << 0
                << QByteArrayList{"* ", "G1", "j2", "J2L,3", "j4"};
        QTest::newRow("chain of targets moves once each")
                << QByteArrayList{"j2", "j3", "j4", "K"} << 0
                << QByteArrayList{"* ", "j3", "j4", "j5", "K"};
        QTest::newRow("before the end row nothing moves but the end row's number")
                << QByteArrayList{"G1", "j1", "j3"} << 3 << QByteArrayList{"G1", "j1", "j3", "* "};
        QTest::newRow("target of the end row moves with it")
                << QByteArrayList{"G1", "j3"} << 1 << QByteArrayList{"G1", "* ", "j4"};
        QTest::newRow("target beyond the end row stays")
                << QByteArrayList{"G1", "j9", "J1H,9"} << 0 << QByteArrayList{"* ", "G1", "j9", "J1H,9"};
        QTest::newRow("zero and unreadable targets stay")
                << QByteArrayList{"G1", "j0", "jx", "j", "J1H,0", "J1H,x"} << 0
                << QByteArrayList{"* ", "G1", "j0", "jx", "j", "J1H,0", "J1H,x"};
        QTest::newRow("J without a target stays")
                << QByteArrayList{"G1", "J1H", "J,1", "J1H1"} << 0
                << QByteArrayList{"* ", "G1", "J1H", "J,1", "J1H1"};
        QTest::newRow("targets are rewritten plain")
                << QByteArrayList{"G1", "j 1", "j+1", "J1H,1x", "J1H, 1"} << 0
                << QByteArrayList{"* ", "G1", "j2", "j2", "J1H,2", "J1H,2"};
        QTest::newRow("only j and J carry targets")
                << QByteArrayList{"G1", "L1", "D1", "* j1", "g+1L", "V1"} << 0
                << QByteArrayList{"* ", "G1", "L1", "D1", "* j1", "g+1L", "V1"};
        QTest::newRow("J keeps text up to its first comma")
                << QByteArrayList{"K", "J2L,1,5"} << 0 << QByteArrayList{"* ", "K", "J2L,2"};
    }
    void insertMovesTargets()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(int, row);
        QFETCH(QByteArrayList, expected);
        ProgramRows rows = rowsOf(lines);
        const ProgramRows::Retargeted changed = rows.insertLine(row);
        QCOMPARE(rows.lines().toList(), expected);
        int differing = 0;
        for (int i = 0; i < rows.lineCount(); ++i) {
            const bool moved = i != row && rows.params(i) != splitLine(lines.at(i < row ? i : i - 1)).params;
            if (moved) {
                ++differing;
                QVERIFY(i >= changed.first && i <= changed.last);
            }
        }
        QCOMPARE(changed.count, differing);
    }

    void removeMovesTargets_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<int>("row");
        QTest::addColumn<QByteArrayList>("expected");
        QTest::newRow("worked example") << QByteArrayList{"G100", "D500", "G200", "j3"} << 1
                                        << QByteArrayList{"G100", "G200", "j2"};
        QTest::newRow("first line") << QByteArrayList{"K", "G1", "j2", "J1L,4", "j5"} << 0
                                    << QByteArrayList{"G1", "j1", "J1L,3", "j4"};
        QTest::newRow("targets above stay") << QByteArrayList{"G1", "j1", "K", "j1"} << 2
                                            << QByteArrayList{"G1", "j1", "j1"};
        QTest::newRow("last line") << QByteArrayList{"G1", "j1", "K"} << 2
                                   << QByteArrayList{"G1", "j1"};
        QTest::newRow("zero, beyond and unreadable stay")
                << QByteArrayList{"K", "G1", "j0", "j9", "jx", "J1H,x"} << 0
                << QByteArrayList{"G1", "j0", "j9", "jx", "J1H,x"};
    }
    void removeMovesTargets()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(int, row);
        QFETCH(QByteArrayList, expected);
        ProgramRows rows = rowsOf(lines);
        (void)rows.removeLine(row);
        QCOMPARE(rows.lines().toList(), expected);
    }

    void references_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("referencingRow"); // -1 for none
        const QByteArrayList program = {"G100", "D500", "G200", "j3"};
        QTest::newRow("j refers") << program << 3 << 3;
        QTest::newRow("nothing refers") << program << 2 << -1;
        QTest::newRow("J after its comma") << QByteArrayList{"G1", "K", "J1H,2"} << 2 << 2;
        QTest::newRow("J to itself") << QByteArrayList{"G1", "J1H,2"} << 2 << 1;
        QTest::newRow("first of several") << QByteArrayList{"G1", "j1", "J2L,1"} << 1 << 1;
        QTest::newRow("J before its comma does not") << QByteArrayList{"G1", "J2L"} << 2 << -1;
        QTest::newRow("J comma first does not") << QByteArrayList{"G1", "J,1"} << 1 << -1;
        QTest::newRow("comment text does not") << QByteArrayList{"G1", "* j1"} << 1 << -1;
        QTest::newRow("other letters do not") << QByteArrayList{"G1", "L1", "D1"} << 1 << -1;
    }
    void references()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(int, line);
        QFETCH(int, referencingRow);
        const std::optional<int> found = rowsOf(lines).firstReferenceTo(line);
        QCOMPARE(found.value_or(-1), referencingRow);
    }

    void appendLineKeepsNumbers()
    {
        ProgramRows rows = rowsOf({"G1", "j2"});
        rows.appendLine();
        QCOMPARE(rows.lines().toList(), (QByteArrayList{"G1", "j2", "* "}));
        QCOMPARE(rows.endRow(), 3);
    }

    // The single pass gives what the row-by-row renumbering gives, on programs full of jumps
    // that point everywhere, at every insert and delete position.
    void renumberingMatchesRowByRowRenumbering()
    {
        QRandomGenerator rng(4402);
        int compared = 0;
        for (int program = 0; program < 400; ++program) {
            const int n = rng.bounded(12);
            QByteArrayList lines;
            for (int i = 0; i < n; ++i)
                lines.append(randomLine(rng, n));
            for (int row = 0; row <= n; ++row) {
                QList<ReferenceRow> ref = referenceRows(lines);
                ref.insert(row, ReferenceRow{});
                referenceRenumber(ref);
                ProgramRows rows = rowsOf(lines);
                (void)rows.insertLine(row);
                QCOMPARE(rows.lines().toList(), referenceLines(ref));
                ++compared;
            }
            for (int row = 0; row < n; ++row) {
                QList<ReferenceRow> ref = referenceRows(lines);
                ref.remove(row);
                referenceRenumber(ref);
                ProgramRows rows = rowsOf(lines);
                (void)rows.removeLine(row);
                QCOMPARE(rows.lines().toList(), referenceLines(ref));
                ++compared;
            }
        }
        QVERIFY(compared > 3000);
    }

    // Inserting k lines at once moves the targets as k fresh rows renumbered row by row do, and
    // stores the new lines as they are, their own targets included.
    void insertLinesIsThatManyFreshRows()
    {
        QRandomGenerator rng(4403);
        for (int program = 0; program < 300; ++program) {
            const int n = rng.bounded(10);
            QByteArrayList lines;
            for (int i = 0; i < n; ++i)
                lines.append(randomLine(rng, n));
            QByteArrayList pasted;
            for (int i = rng.bounded(1, 4); i > 0; --i)
                pasted.append(randomLine(rng, n));
            const int row = rng.bounded(n + 1);

            QList<ReferenceRow> ref = referenceRows(lines);
            for (int i = 0; i < pasted.size(); ++i)
                ref.insert(row + i, ReferenceRow{});
            referenceRenumber(ref);
            for (int i = 0; i < pasted.size(); ++i) {
                const LineParts p = splitLine(pasted.at(i));
                ref[row + i].code = p.code;
                ref[row + i].params = p.params;
            }
            ProgramRows rows = rowsOf(lines);
            (void)rows.insertLines(row, LineArray::fromList(pasted));
            QCOMPARE(rows.lines().toList(), referenceLines(ref));
        }
    }

    // Each change journalled on its own: playing the journals backward gives every earlier
    // state again, byte for byte, and playing them forward from the start gives every later one.
    void journalsPlayBackAndForth()
    {
        QRandomGenerator rng(4404);
        for (int program = 0; program < 150; ++program) {
            QByteArrayList lines;
            for (int i = rng.bounded(12); i > 0; --i)
                lines.append(randomLine(rng, 12));
            ProgramRows rows = rowsOf(lines);
            QList<QByteArrayList> states{rows.lines().toList()};
            std::vector<RowJournal> journals(40);
            for (RowJournal &journal : journals) {
                rows.setJournal(&journal);
                // Some operations are several changes: an insertion and its letter and text.
                for (int k = rng.bounded(1, 4); k > 0; --k)
                    randomChange(rng, rows);
                rows.setJournal(nullptr);
                states.append(rows.lines().toList());
            }
            for (int i = int(journals.size()) - 1; i >= 0; --i) {
                for (auto it = journals[i].entries().crbegin(); it != journals[i].entries().crend();
                     ++it)
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

    // A moved target written as retargeting writes it is journalled by its row alone, in one or
    // two bytes; any other form keeps its whole text, to be given back exactly.
    void journalOfAnInsertHoldsMovedRowsOnly()
    {
        QByteArrayList lines;
        for (int i = 0; i < 100000; ++i)
            lines.append(i % 8 == 0 ? "j" + QByteArray::number(100000 - i) : QByteArray("G100"));
        lines[1] = "J1H,00077x";
        lines[2] = "j +5";
        ProgramRows rows = rowsOf(lines);
        RowJournal journal;
        rows.setJournal(&journal);
        (void)rows.insertLine(0);
        rows.setJournal(nullptr);
        QCOMPARE(rows.storedLine(2), QByteArrayView("J1H,78"));
        QCOMPARE(rows.storedLine(3), QByteArrayView("j6"));
        const qsizetype moved = 100000 / 8;
        QVERIFY2(journal.memoryBytes() < 2 * moved + 1024,
                 QByteArray::number(journal.memoryBytes()).constData());
        for (auto it = journal.entries().crbegin(); it != journal.entries().crend(); ++it)
            (void)rows.replay(journal, *it, false);
        QCOMPARE(rows.lines().toList(), lines);
    }

    void linesAsFilledKeepTheEmptyLinesForms()
    {
        const QByteArrayList lines{"", "G1", "*", "* ", "j1"};
        ProgramRows rows = rowsOf(lines);
        QCOMPARE(rows.lines().toList(), (QByteArrayList{"* ", "G1", "* ", "* ", "j1"}));
        QCOMPARE(rows.linesAsFilled().toList(), lines);
        // Back to the filling after changes and a compaction of the pool.
        RowJournal journal;
        rows.setJournal(&journal);
        (void)rows.insertLine(0);
        rows.setParams(0, QByteArray(200000, 'x'));
        rows.setJournal(nullptr);
        (void)rows.writeBack();
        for (auto it = journal.entries().crbegin(); it != journal.entries().crend(); ++it)
            (void)rows.replay(journal, *it, false);
        (void)rows.writeBack();
        QCOMPARE(rows.linesAsFilled().toList(), lines);
    }
};

KR44_TEST(TestProgramRows)
#include "tst_programrows.moc"
