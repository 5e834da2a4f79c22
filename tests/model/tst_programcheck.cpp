#include "model/canonicalparams.h"
#include "model/instructionset.h"
#include "model/programcheck.h"
#include "model/programfile.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QTest>

using namespace kr44;

namespace {

LineArray program(const QByteArray &text) { return parseProgram(text); }

// "LINE severity Problem" for each finding, in order.
QStringList summary(const QList<Finding> &findings)
{
    static const char *const names[]
            = {"UnknownInstruction", "MalformedParameters", "OutOfRange",          "BadJumpTarget",
               "JumpNumbering",      "LoopEndWithoutStart", "LoopStartWithoutEnd", "LoopTooDeep",
               "JumpIntoLoop",       "JumpOutOfLoop",       "Unreachable",         "IdleCycle"};
    QStringList out;
    for (const Finding &f : findings)
        out.append(QStringLiteral("%1 %2 %3")
                           .arg(f.line)
                           .arg(severityText(f.severity), QLatin1String(names[int(f.problem)])));
    return out;
}

} // namespace

class TestProgramCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanPrograms_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty program") << QByteArray();
        QTest::newRow("comments only") << QByteArray("* a\n\n*raw\n*\n");
        QTest::newRow("every instruction as its dialog writes it") << QByteArray(
                "+200\n-50\nA2\nB2\nC3\nD500\nf-1000\nG25000\ng-2H\nh50,3\nH-\nI3\nj14\n"
                "J1H,1\nL0\nM30,60,120\nT1000\nU2H\nV3\nW1H\nX500,1000,20\nL10\nJ2H,25\n"
                "Z\nK\n");
        QTest::newRow("every range's extremes") << QByteArray(
                "+8388607\n-1\nf-8388608\nG8388607\nD65535\nD1\nh0,0\nh99,7\n"
                "M600,600,600\nM30,30,30\nT10\nT6000\nX10,6000,1599\nX6000,10,1\nV5\nV1\n"
                "A1\nB1\ng+3L\nW3H\nL0\n+1\nL255\nL0\n+1\nL1\nK\n");
        QTest::newRow("jump to the last line, a J") << QByteArray("j3\nW1H\nJ2L,2\n");
        QTest::newRow("comment below the target") << QByteArray("W1H\n+1\n* a\nJ1H,2\nK");
        QTest::newRow("jump to its own loop end") << QByteArray("L0\n+1\nJ1H,5\n-1\nL3\nK\n");
        QTest::newRow("jump over a whole loop") << QByteArray("W1H\nJ1H,6\nL0\n+1\nL3\nK");
        QTest::newRow("loops 8 deep") << QByteArray(
                "L0\nL0\nL0\nL0\nL0\nL0\nL0\nL0\n+1\nL2\nL2\nL2\nL2\nL2\nL2\nL2\nL2\n");
        QTest::newRow("wait on an input in a cycle") << QByteArray("W1H\nA1\nW1L\nC1\nj1\n");
        QTest::newRow("until after a move") << QByteArray("+100\nU1H\n");
    }
    void cleanPrograms()
    {
        QFETCH(QByteArray, text);
        const QList<Finding> findings = checkProgram(program(text));
        QVERIFY2(findings.isEmpty(), qPrintable(summary(findings).join(QLatin1String("; "))));
    }

    // Each value one beyond its range (the extremes inside are a clean program above).
    void valuesOutOfRange()
    {
        for (const char *line : {"+0",         "--5",          "+8388608",
                                 "f-8388609",  "G8388608",     "D0",
                                 "D65536",     "A0",           "C4",
                                 "B3",         "V0",           "V6",
                                 "h100,0",     "h50,8",        "M29,60,120",
                                 "M30,60,601", "T9",           "T6001",
                                 "X9,1000,20", "X500,6001,20", "X500,1000,1600",
                                 "g+4H",       "W0H",          "I0"})
            QVERIFY2(summary(checkProgram(program(line))) == QStringList({"1 error OutOfRange"}),
                     line);
    }

    void findings_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("sentence"); // of the first finding, when given
        const auto row = [](const char *tag, const char *text, QStringList expected,
                            const char *sentence = "") {
            QTest::newRow(tag) << QByteArray(text) << expected << QString::fromUtf8(sentence);
        };
        // A line on its own.
        row("unknown code", "Q7", {"1 error UnknownInstruction"},
            "\"Q\" is not an instruction code, so the unit refuses this line.");
        row("control bytes quoted", "\x1b[2J", {"1 error UnknownInstruction"},
            "\"\\x1b\" is not an instruction code, so the unit refuses this line.");
        row("not as written", "+0200", {"1 error MalformedParameters"},
            "The parameters \"0200\" are not written as the instruction dialogs write them "
            "(\"200\"), so the unit refuses the line.");
        row("8-bit bytes quoted", "D5\xb0", {"1 error MalformedParameters"},
            "The parameters \"5\\xb0\" are not written as the instruction dialogs write them "
            "(\"5\"), so the unit refuses the line.");
        row("no parameters taken", "K5", {"1 error MalformedParameters"},
            "Kill takes no parameters, so the unit refuses \"K5\".");
        row("parameters needed", "T", {"1 error MalformedParameters"},
            "Slew needs parameters, so the unit refuses a bare \"T\".");
        row("mask beyond 3", "I4", {"1 error MalformedParameters"});
        row("choice as written", "A4", {"1 error OutOfRange"},
            "The output 4 is outside 1 to 3, so the unit refuses the line.");
        row("delay", "D65536", {"1 error OutOfRange"},
            "The delay 65536 is outside 1 to 65535, so the unit refuses the line.");
        row("two fields", "X5,1000,0", {"1 error OutOfRange"},
            "The start rate 5 is outside 10 to 6000 and the ramp 0 is outside 1 to 1599, so the "
            "unit refuses the line.");
        row("loop count", "L0\n+1\nL256", {"3 error OutOfRange"},
            "The repeat count 256 is outside 1 to 255, so the unit refuses the line.");
        row("mask 0", "I0", {"1 error OutOfRange"},
            "Initialise with 0 clears nothing; it takes 1, 2 or 3, so the unit refuses the line.");
        row("errors first on a line", "+1\nK\n+0", {"3 error OutOfRange", "3 warning Unreachable"});
        // Jumps.
        row("target 0", "W1H\nJ1L,0\nK", {"2 error BadJumpTarget"},
            "Jumps to line 0, which no program has.");
        row("beyond the last line", "W1H\nJ1H,4\nK", {"2 error BadJumpTarget"},
            "Jumps to line 4, beyond the last line (3).");
        row("to a comment", "W1H\nJ1H,4\nK\n* end\n+1",
            {"2 error BadJumpTarget", "5 warning Unreachable"},
            "Jumps to line 4, a comment line, which is never sent to the unit.");
        row("to an empty line", "W1H\nJ1H,3\n\nK", {"2 error BadJumpTarget"});
        row("to a j line", "W1H\nJ1H,4\nj1\nJ2H,3\nK", {"4 error BadJumpTarget"},
            "Jumps to line 3, which is itself a jump (j); a jump may not lead to another.");
        row("J without its comma", "W1H\nJ1H1\nK", {"2 error MalformedParameters"});
        row("a comment above the target", "* start\nW1H\n+1\nJ1H,3\nK", {"4 warning JumpNumbering"},
            "Jumps to line 3 as the editor counts, but the unit does not count the comment line "
            "above it and lands on line 4 (\"J1H,3\").");
        row("two comments above the target", "* a\n\nW1H\n+1\n-1\nJ1H,4\nK",
            {"6 warning JumpNumbering"},
            "Jumps to line 4 as the editor counts, but the unit does not count the 2 comment "
            "lines above it and lands on line 6 (\"J1H,4\").");
        row("target beyond the unit's count", "* a\nW1H\nJ1H,4\n+1", {"3 error JumpNumbering"},
            "Jumps to line 4 as the editor counts, but the unit does not count the comment line "
            "above it and has only 3 lines, so it refuses the download.");
        // Loops.
        row("end without start", "+1\nL5\nK", {"2 error LoopEndWithoutStart"});
        row("second end without start", "L0\n+1\nL2\n-1\nL2", {"5 error LoopEndWithoutStart"});
        row("inner start without end", "L0\n+1\nL0\n-1\nL3", {"1 warning LoopStartWithoutEnd"});
        row("nine open at once",
            "L0\nL0\nL0\nL0\nL0\nL0\nL0\nL0\nL0\n+1\nL2\nL2\nL2\nL2\nL2\nL2\nL2\nL2\nL2\n",
            {"9 error LoopTooDeep"});
        row("into an inner loop", "L0\nW1H\nJ1H,5\nL0\n+1\nL3\nL2\nK", {"3 warning JumpIntoLoop"});
        row("back to its own loop start", "L0\n+1\nJ1H,1\nL3\nK", {"3 warning JumpOutOfLoop"});
        row("out to the outer loop", "L0\nL0\n+1\nJ1H,7\nL2\n-1\nL2\nK",
            {"4 warning JumpOutOfLoop"},
            "Leaves the loop of lines 2 to 5 before its end, so the unit keeps that loop open.");
        // Flow.
        row("after a smooth stop, comments inside", "+1\nZ\n-1\n* c\nD5\nK",
            {"3 warning Unreachable"},
            "Lines 3 to 6 never run: no jump leads into them and the line before them never "
            "goes on to them.");
        row("skipped blocks", "+1\nj4\n-1\nW1H\nJ1H,7\nK\nD9\nK\n+2",
            {"3 warning Unreachable", "9 warning Unreachable"});
        row("jump to itself", "+1\nJ1L,2\nK", {"2 warning IdleCycle"},
            "This line goes back to itself with no wait, move or delay, so the unit spins here "
            "(W waits for an input without spinning).");
        row("jump cycle", "+1\nA1\nC1\nj2", {"4 warning IdleCycle"},
            "Lines 2 to 4 repeat with no wait, move or delay among them, so the unit runs them "
            "as fast as it can.");
        row("idle loop", "L0\nA1\nC1\nL10\nK", {"4 warning IdleCycle"});
        row("empty loop", "L0\nL10\n+1", {"2 warning IdleCycle"},
            "The loop that ends here has nothing to repeat.");
        row("an unreachable cycle is no cycle", "+1\nK\nA1\nj3", {"3 warning Unreachable"});
    }
    void findings()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, sentence);
        const QList<Finding> found = checkProgram(program(text));
        QTEST(summary(found), "expected");
        QCOMPARE(hasErrors(found), summary(found).join(u' ').contains(QLatin1String("error")));
        if (!sentence.isEmpty())
            QCOMPARE(found.first().sentence(), sentence);
    }

    // The program of the manual: line 8 jumps back to "line 4", which the unit, not counting the
    // comment, takes as W1H, and either way it re-enters a finished loop.
    void exampleProgram()
    {
        const QList<Finding> found = checkProgram(
                program("* set up\nX500,1000,20\nL0\n+200\nW1H\n-200\nL5\nJ2L,4\nK\n"));
        QCOMPARE(summary(found), QStringList({"8 warning JumpNumbering", "8 warning JumpIntoLoop"}));
        QCOMPARE(formatFinding(QStringLiteral("dir/a.krp"), found.at(1)),
                 QStringLiteral("dir/a.krp:8: warning: Jumps into the loop of lines 3 to 7 past "
                                "its start, so its loop end finds no loop open (a loop error on "
                                "the unit)."));
    }

    // A finding keeps what its sentence quotes, cut to what a quotation shows: the sentence is
    // the same after its program is gone.
    void sentencesOutliveTheProgram()
    {
        QList<Finding> found;
        QStringList sentences;
        {
            const LineArray lines
                    = program("j4\nD0\n* note\nK\n+1" + QByteArray(300, '0') + "\nQ\nZ9");
            found = checkProgram(lines);
            for (const Finding &f : std::as_const(found))
                sentences.append(f.sentence());
        }
        QCOMPARE(found.size(), 7);
        for (qsizetype k = 0; k < found.size(); ++k)
            QCOMPARE(found.at(k).sentence(), sentences.at(k));
        QVERIFY(found.first().text.size() <= 41);
        QVERIFY(sentences.first().endsWith(QLatin1String("000...\").")));
    }

    void lineNumbering()
    {
        // Editor lines 1 to 7 of "* a, +1, *b, <empty>, -1, K"; the unit counts +1, -1 and K.
        const LineArray lines = program("* a\n+1\n*b\n\n-1\nK");
        const int unitLines[] = {0, 0, 1, 0, 0, 2, 3, 0};
        for (int editor = 0; editor <= 7; ++editor) {
            QCOMPARE(unitLineOf(lines, editor).value_or(0), unitLines[editor]);
            if (unitLines[editor] > 0)
                QCOMPARE(editorLineOf(lines, unitLines[editor]).value_or(0), editor);
        }
        QVERIFY(!editorLineOf(lines, 0) && !editorLineOf(lines, 4));
    }

    // Random programs of real and broken lines: the check ends, its findings are in line
    // order, each names a line of the program and reads as a sentence.
    void randomPrograms()
    {
        static const char *const pieces[]
                = {"+1", "-0", "L0",  "L3",  "L", "j1", "j7", "J1H,3",        "J2L,40", "W1H", "A1",
                   "K",  "Z",  "U1L", "* c", "",  "Q",  "D5", "X500,1000,20", "h25",    "J1H"};
        QRandomGenerator rng(9);
        for (int round = 0; round < 300; ++round) {
            LineArray lines;
            const int n = rng.bounded(1, 40);
            for (int i = 0; i < n; ++i)
                lines.append(pieces[rng.bounded(int(std::size(pieces)))]);
            const QList<Finding> found = checkProgram(lines);
            for (qsizetype k = 0; k < found.size(); ++k) {
                QVERIFY(found.at(k).line >= 1 && found.at(k).line <= n);
                QVERIFY(found.at(k).sentence().endsWith(QLatin1Char('.')));
                QVERIFY(k == 0 || found.at(k - 1).line <= found.at(k).line);
            }
        }
    }

    // The check's fast reading of texts already in the dialogs' form must accept exactly the
    // texts that read back to themselves through readParams and composeParams, with the same
    // fields: every short text over the characters that matter, and numbers at the int edges.
    void canonicalTextsAgreeWithReadAndCompose()
    {
        static const char alphabet[]
                = {'0', '1', '2', '3', '4', '9', '-', '+', ',', 'H', 'L', ' ', 'x'};
        QList<QByteArray> texts {QByteArray()};
        for (qsizetype start = 0, length = 1; length <= 4; ++length) {
            const qsizetype end = texts.size();
            for (qsizetype k = start; k < end; ++k) {
                for (const char c : alphabet)
                    texts.append(texts.at(k) + c);
            }
            start = end;
        }
        for (const char *n : {"2147483647", "2147483648", "-2147483647", "-2147483649",
                              "99999999999", "0012", "-0", "8388607", "-8388608"}) {
            for (const char *form : {"%1", "%1,%1", "%1,5,%1", "+%1H", "-%1L", "1H,%1", "%1L"})
                texts.append(QString::fromLatin1(form).arg(QLatin1String(n)).toLatin1());
        }
        for (int index = 0; index < kInstructionCount; ++index) {
            const char code = instructionCode(index);
            for (const QByteArray &text : std::as_const(texts)) {
                // readParams cannot give the choice of -2147483648; the check never asks it.
                if ((code == 'A' || code == 'B' || code == 'C') && leadingInt(text) == INT_MIN)
                    continue;
                const ParamFields read = readParams(code, text);
                const bool roundTrip = composeParams(code, read) == text
                        && (!hasParamFields(code) || !text.isEmpty());
                CanonicalFields fast;
                QVERIFY2(readCanonicalParams(code, text, fast) == roundTrip,
                         qPrintable(QLatin1Char(code) + QString::fromLatin1(text)));
                for (int f = 0; roundTrip && f < int(read.size()); ++f)
                    QCOMPARE(fast.values[size_t(f)], qint64(read.at(f)));
            }
        }
        QCOMPARE(summary(checkProgram(program("B-2147483648\nC-2147483649"))),
                 QStringList({"1 error OutOfRange", "2 error MalformedParameters"}));
    }

    // Nested loops far deeper than a unit keeps must not exhaust the stack.
    void deepStructures()
    {
        LineArray lines;
        for (int i = 0; i < 50000; ++i)
            lines.append("L0");
        lines.append("A1");
        for (int i = 0; i < 50000; ++i)
            lines.append("L2");
        const QList<Finding> found = checkProgram(lines);
        QCOMPARE(found.first().problem, Problem::LoopTooDeep);
        QCOMPARE(found.first().line, kMaxOpenLoops + 1);
    }
};

KR44_TEST(TestProgramCheck)
#include "tst_programcheck.moc"
