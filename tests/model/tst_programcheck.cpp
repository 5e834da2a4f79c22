#include "canonicalparams.h"
#include "instructionset.h"
#include "programcheck.h"
#include "programfile.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QTest>

using namespace kr44;

namespace {

// Programs in the tests are written one line per text line.
LineArray program(const QByteArray &text)
{
    return parseProgram(text);
}

QString problemName(Problem p)
{
    switch (p) {
    case Problem::UnknownInstruction: return QStringLiteral("UnknownInstruction");
    case Problem::MalformedParameters: return QStringLiteral("MalformedParameters");
    case Problem::OutOfRange: return QStringLiteral("OutOfRange");
    case Problem::BadJumpTarget: return QStringLiteral("BadJumpTarget");
    case Problem::JumpNumbering: return QStringLiteral("JumpNumbering");
    case Problem::LoopEndWithoutStart: return QStringLiteral("LoopEndWithoutStart");
    case Problem::LoopStartWithoutEnd: return QStringLiteral("LoopStartWithoutEnd");
    case Problem::LoopTooDeep: return QStringLiteral("LoopTooDeep");
    case Problem::JumpIntoLoop: return QStringLiteral("JumpIntoLoop");
    case Problem::JumpOutOfLoop: return QStringLiteral("JumpOutOfLoop");
    case Problem::Unreachable: return QStringLiteral("Unreachable");
    case Problem::IdleCycle: return QStringLiteral("IdleCycle");
    }
    return QStringLiteral("?");
}

// "LINE severity Problem" for each finding, in order.
QStringList summary(const QList<Finding> &findings)
{
    QStringList out;
    for (const Finding &f : findings)
        out.append(QStringLiteral("%1 %2 %3")
                       .arg(f.line)
                       .arg(severityText(f.severity), problemName(f.problem)));
    return out;
}

const QByteArray kExample = "* set up\nX500,1000,20\nL0\n+200\nW1H\n-200\nL5\nJ2L,4\nK\n";

// One line of every instruction, each written as its dialog writes it.
const QByteArray kEveryInstruction =
    "+200\n-50\nA2\nB2\nC3\nD500\nf-1000\nG25000\ng-2H\nh50,3\nH-\nI3\nj14\nJ1H,1\nL0\n"
    "M30,60,120\nT1000\nU2H\nV3\nW1H\nX500,1000,20\nL10\nJ2H,25\nZ\nK\n";

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
        QTest::newRow("every instruction") << kEveryInstruction;
        QTest::newRow("jump to a J line") << QByteArray("j3\nW1H\nJ2L,2\n");
        QTest::newRow("extreme values")
            << QByteArray("+8388607\n-1\nf-8388608\nG8388607\nD65535\n"
                          "D1\nh0,0\nh99,7\nM600,600,600\nT10\nT6000\n"
                          "X10,6000,1599\nX6000,10,1\nV5\nV1\nL0\n+1\nL255\n");
        QTest::newRow("comment after the last jump target")
            << QByteArray("+1\nW1H\nJ1L,1\nK\n* note\n");
        QTest::newRow("jump to its own loop end")
            << QByteArray("L0\n+1\nJ1H,5\n-1\nL3\nK\n");
        QTest::newRow("jump within a loop") << QByteArray("L0\n+1\nJ1H,2\nL3\n");
        QTest::newRow("nested loops, 8 deep")
            << QByteArray("L0\nL0\nL0\nL0\nL0\nL0\nL0\nL0\n+1\nL2\nL2\nL2\nL2\nL2\nL2\nL2\nL2\n");
        QTest::newRow("wait on an input in a cycle") << QByteArray("W1H\nA1\nW1L\nC1\nj1\n");
        QTest::newRow("until with a move") << QByteArray("+100\nU1H\n");
        QTest::newRow("stop, then a jump target") << QByteArray("W1H\nJ2H,4\nK\n-1\nK\n");
    }
    void cleanPrograms()
    {
        QFETCH(QByteArray, text);
        const QList<Finding> findings = checkProgram(program(text));
        QVERIFY2(findings.isEmpty(), qPrintable(summary(findings).join(QLatin1String("; "))));
    }

    // The example program is the one of the manual. Line 8 jumps back to "line 4"; both of its
    // findings are real: the unit lands on W1H because the comment is not sent, and either way
    // the jump re-enters a loop that has finished, whose end then finds no loop open.
    void exampleProgram()
    {
        const QList<Finding> findings = checkProgram(program(kExample));
        QCOMPARE(summary(findings),
                 QStringList({"8 warning JumpNumbering", "8 warning JumpIntoLoop"}));
        QCOMPARE(findings.at(0).sentence(),
                 QStringLiteral("Jumps to line 4 as the editor counts, but the unit does not count "
                                "the comment line above it and lands on line 5 (\"W1H\")."));
        QCOMPARE(
            findings.at(1).sentence(),
            QStringLiteral("Jumps into the loop of lines 3 to 7 past its start, so its loop end "
                           "finds no loop open (a loop error on the unit)."));

        // With the comment at the end the numbering agrees; the loop finding stays.
        const QList<Finding> moved =
            checkProgram(program("X500,1000,20\nL0\n+200\nW1H\n-200\nL5\nJ2L,3\nK\n* set up\n"));
        QCOMPARE(summary(moved), QStringList({"7 warning JumpIntoLoop"}));
    }

    void lineFindings_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("expected");
        const auto one = [](const char *tag, const char *text, const char *finding) {
            QTest::newRow(tag) << QByteArray(text) << QStringList({QString::fromLatin1(finding)});
        };
        one("unknown letter", "Q7", "1 error UnknownInstruction");
        one("lower-case k", "k", "1 error UnknownInstruction");
        one("leading blank", " +200", "1 error UnknownInstruction");
        one("control byte", "\x07", "1 error UnknownInstruction");
        one("leading zero", "+0200", "1 error MalformedParameters");
        one("blank after the code", "+ 200", "1 error MalformedParameters");
        one("plus sign", "G+5", "1 error MalformedParameters");
        one("trailing text", "D500ms", "1 error MalformedParameters");
        one("bare move", "+", "1 error MalformedParameters");
        one("kill with text", "K5", "1 error MalformedParameters");
        one("smooth stop with text", "Z ", "1 error MalformedParameters");
        one("hold time without multiplier", "h25", "1 error MalformedParameters");
        one("empty profile field", "X500,,20", "1 error MalformedParameters");
        one("profile short", "X500,1000", "1 error MalformedParameters");
        one("ministep with blanks", "M30, 60, 120", "1 error MalformedParameters");
        one("report of two digits", "V12", "1 error MalformedParameters");
        one("level letter", "W1X", "1 error MalformedParameters");
        one("lower-case level", "W2h", "1 error MalformedParameters");
        one("go until without direction", "g1H", "1 error MalformedParameters");
        one("home with a number", "H1", "1 error MalformedParameters");
        one("mask beyond 3", "I4", "1 error MalformedParameters");
        one("negative loop count", "L-3", "1 error MalformedParameters");
        one("zero steps", "+0", "1 error OutOfRange");
        one("negative steps", "--5", "1 error OutOfRange");
        one("too many steps", "+8388608", "1 error OutOfRange");
        one("position below range", "f-8388609", "1 error OutOfRange");
        one("position above range", "G8388608", "1 error OutOfRange");
        one("zero delay", "D0", "1 error OutOfRange");
        one("long delay", "D65536", "1 error OutOfRange");
        one("output 0", "A0", "1 error OutOfRange");
        one("output 4", "C4", "1 error OutOfRange");
        one("motor 3", "B3", "1 error OutOfRange");
        one("report 6", "V6", "1 error OutOfRange");
        one("report 0", "V0", "1 error OutOfRange");
        one("hold time 100", "h100,0", "1 error OutOfRange");
        one("multiplier 8", "h50,8", "1 error OutOfRange");
        one("threshold 29", "M29,60,120", "1 error OutOfRange");
        one("slew 6001", "T6001", "1 error OutOfRange");
        one("ramp 1600", "X500,1000,1600", "1 error OutOfRange");
        one("input 4", "g+4H", "1 error OutOfRange");
        one("input 0", "W0H", "1 error OutOfRange");
        one("mask 0", "I0", "1 error OutOfRange");
        one("loop count 256", "L0\n+1\nL256", "3 error OutOfRange");
        QTest::newRow("two bad lines")
            << QByteArray("+0\n* c\nQ")
            << QStringList({"1 error OutOfRange", "3 error UnknownInstruction"});
    }
    void lineFindings()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, expected);
        QCOMPARE(summary(checkProgram(program(text))), expected);
    }

    void lineSentences_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("unknown")
            << QByteArray("Q7")
            << "\"Q\" is not an instruction code, so the unit refuses this line.";
        QTest::newRow("control bytes are shown escaped")
            << QByteArray("\x1b[2J")
            << "\"\\x1b\" is not an instruction code, so the unit refuses this line.";
        QTest::newRow("not as written")
            << QByteArray("+0200")
            << "The parameters \"0200\" are not written as the instruction dialogs write them "
               "(\"200\"), so the unit refuses the line.";
        QTest::newRow("8-bit bytes escaped")
            << QByteArray("D5\xb0")
            << "The parameters \"5\\xb0\" are not written as the instruction dialogs write them "
               "(\"5\"), so the unit refuses the line.";
        QTest::newRow("no parameters") << QByteArray("K5")
                                       << "Kill takes no parameters, so the unit refuses \"K5\".";
        QTest::newRow("needs parameters")
            << QByteArray("T") << "Slew needs parameters, so the unit refuses a bare \"T\".";
        QTest::newRow("choice shown as written")
            << QByteArray("A4") << "The output 4 is outside 1 to 3, so the unit refuses the line.";
        QTest::newRow("two fields")
            << QByteArray("X5,1000,0")
            << "The start rate 5 is outside 10 to 6000 and the ramp 0 is outside 1 to 1599, so the "
               "unit refuses the line.";
        QTest::newRow("loop count")
            << QByteArray("L0\n+1\nL300")
            << "The repeat count 300 is outside 1 to 255, so the unit refuses the line.";
        QTest::newRow("mask 0") << QByteArray("I0")
                                << "Initialise with 0 clears nothing; it takes 1, 2 or 3, so the "
                                   "unit refuses the line.";
    }
    void lineSentences()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, sentence);
        const QList<Finding> findings = checkProgram(program(text));
        QVERIFY(!findings.isEmpty());
        QCOMPARE(findings.last().sentence(), sentence);
    }

    // A finding carries what its sentence quotes: the sentence stays as it was after the lines
    // it came from are gone, and a quoted line is kept only as far as the quotation shows it.
    void sentencesOutliveTheProgram()
    {
        QList<Finding> findings;
        QStringList sentences;
        {
            LineArray lines = program("j4\nD0\n* note\nK\n+1" + QByteArray(300, '0') + "\nQ\nZ9");
            findings = checkProgram(lines);
            for (const Finding &f : std::as_const(findings))
                sentences.append(f.sentence());
            lines.clear();
            lines.append("K");
        }
        QCOMPARE(findings.size(), 7);
        for (qsizetype k = 0; k < findings.size(); ++k)
            QCOMPARE(findings.at(k).sentence(), sentences.at(k));
        const Finding &landing = findings.first();
        QCOMPARE(landing.problem, Problem::JumpNumbering);
        QVERIFY(landing.text.size() <= 41);
        QVERIFY(landing.sentence().endsWith(QLatin1String("000...\").")));
    }

    void longTextIsCut()
    {
        const QByteArray line = "+1" + QByteArray(200, 'x');
        const QList<Finding> findings = checkProgram(program(line));
        QCOMPARE(findings.size(), 1);
        QVERIFY2(findings.at(0).sentence().size() < 160, qPrintable(findings.at(0).sentence()));
        QVERIFY(findings.at(0).sentence().contains(QLatin1String("xxx...\"")));
    }

    void jumpFindings_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("sentence"); // of the first finding, when given
        QTest::newRow("target 0") << QByteArray("W1H\nJ1L,0\nK")
                                  << QStringList({"2 error BadJumpTarget"})
                                  << "Jumps to line 0, which no program has.";
        QTest::newRow("j reading as 0") << QByteArray("W1H\nj0")
                                        << QStringList({"2 error BadJumpTarget"}) << QString();
        QTest::newRow("negative target") << QByteArray("W1H\nj-2")
                                         << QStringList({"2 error BadJumpTarget"})
                                         << "Jumps to line -2, which no program has.";
        QTest::newRow("beyond the last line")
            << QByteArray("W1H\nJ1H,4\nK") << QStringList({"2 error BadJumpTarget"})
            << "Jumps to line 4, beyond the last line (3).";
        QTest::newRow("to a comment")
            << QByteArray("W1H\nJ1H,4\nK\n* end\n+1")
            << QStringList({"2 error BadJumpTarget", "5 warning Unreachable"})
            << "Jumps to line 4, a comment line, which is never sent to the unit.";
        QTest::newRow("to an empty line") << QByteArray("W1H\nJ1H,3\n\nK")
                                          << QStringList({"2 error BadJumpTarget"}) << QString();
        QTest::newRow("to a j line")
            << QByteArray("W1H\nJ1H,4\nj1\nJ2H,3\nK") << QStringList({"4 error BadJumpTarget"})
            << "Jumps to line 3, which is itself a jump (j); a jump may not lead to another.";
        QTest::newRow("J without its comma")
            << QByteArray("W1H\nJ1H1\nK") << QStringList({"2 error MalformedParameters"})
            << QString();
        QTest::newRow("comment above the target")
            << QByteArray("* start\nW1H\n+1\nJ1H,3\nK")
            << QStringList({"4 warning JumpNumbering"})
            << "Jumps to line 3 as the editor counts, but the unit does not count the comment line "
               "above it and lands on line 4 (\"J1H,3\").";
        QTest::newRow("two comments above the target")
            << QByteArray("* a\n\nW1H\n+1\n-1\nJ1H,4\nK")
            << QStringList({"6 warning JumpNumbering"})
            << "Jumps to line 4 as the editor counts, but the unit does not count the 2 comment "
               "lines above it and lands on line 6 (\"J1H,4\").";
        QTest::newRow("target beyond the unit's count")
            << QByteArray("* a\nW1H\nJ1H,4\n+1")
            << QStringList({"3 error JumpNumbering"})
            << "Jumps to line 4 as the editor counts, but the unit does not count the comment line "
               "above it and has only 3 lines, so it refuses the download.";
        QTest::newRow("comment below the target")
            << QByteArray("W1H\n+1\n* a\nJ1H,2\nK") << QStringList() << QString();
    }
    void jumpFindings()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, expected);
        QFETCH(QString, sentence);
        const QList<Finding> findings = checkProgram(program(text));
        QCOMPARE(summary(findings), expected);
        if (!sentence.isEmpty())
            QCOMPARE(findings.first().sentence(), sentence);
    }

    void loopFindings_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("end without start") << QByteArray("+1\nL5\nK")
                                           << QStringList({"2 error LoopEndWithoutStart"});
        QTest::newRow("second end without start")
            << QByteArray("L0\n+1\nL2\n-1\nL2") << QStringList({"5 error LoopEndWithoutStart"});
        QTest::newRow("start without end") << QByteArray("+1\nL0\n-1\nK")
                                           << QStringList({"2 warning LoopStartWithoutEnd"});
        QTest::newRow("inner start without end")
            << QByteArray("L0\n+1\nL0\n-1\nL3") << QStringList({"1 warning LoopStartWithoutEnd"});
        QTest::newRow("nine open at once")
            << QByteArray("L0\nL0\nL0\nL0\nL0\nL0\nL0\nL0\nL0\n+1\n"
                          "L2\nL2\nL2\nL2\nL2\nL2\nL2\nL2\nL2\n")
            << QStringList({"9 error LoopTooDeep"});
        QTest::newRow("jump into a loop from above")
            << QByteArray("W1H\nJ1H,4\nL0\n+1\nL3\nK") << QStringList({"2 warning JumpIntoLoop"});
        QTest::newRow("jump into an inner loop") << QByteArray("L0\nW1H\nJ1H,5\nL0\n+1\nL3\nL2\nK")
                                                 << QStringList({"3 warning JumpIntoLoop"});
        QTest::newRow("jump out of a loop") << QByteArray("L0\n+1\nJ1H,6\nL3\nK\n-1\nK")
                                            << QStringList({"3 warning JumpOutOfLoop"});
        QTest::newRow("jump back to its own loop start")
            << QByteArray("L0\n+1\nJ1H,1\nL3\nK") << QStringList({"3 warning JumpOutOfLoop"});
        QTest::newRow("jump out to the outer loop")
            << QByteArray("L0\nL0\n+1\nJ1H,7\nL2\n-1\nL2\nK")
            << QStringList({"4 warning JumpOutOfLoop"});
        QTest::newRow("jump over a whole loop")
            << QByteArray("W1H\nJ1H,6\nL0\n+1\nL3\nK") << QStringList();
    }
    void loopFindings()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, expected);
        QCOMPARE(summary(checkProgram(program(text))), expected);
    }

    void flowFindings_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("sentence"); // of the first finding, when given
        QTest::newRow("after kill")
            << QByteArray("+1\nK\n-1") << QStringList({"3 warning Unreachable"})
            << "This line never runs: no jump leads here and the line before "
               "it never goes on to it.";
        QTest::newRow("block after smooth stop, comments inside")
            << QByteArray("+1\nZ\n-1\n* c\nD5\nK")
            << QStringList({"3 warning Unreachable"})
            << "Lines 3 to 6 never run: no jump leads into them and the line before them never "
               "goes on to them.";
        QTest::newRow("skipped by a jump") << QByteArray("+1\nj4\n-1\nK")
                                           << QStringList({"3 warning Unreachable"}) << QString();
        QTest::newRow("two blocks")
            << QByteArray("+1\nj4\n-1\nW1H\nJ1H,7\nK\nD9\nK\n+2")
            << QStringList({"3 warning Unreachable", "9 warning Unreachable"}) << QString();
        QTest::newRow("jump to itself")
            << QByteArray("+1\nJ1L,2\nK") << QStringList({"2 warning IdleCycle"})
            << "This line goes back to itself with no wait, move or delay, so the unit spins here "
               "(W waits for an input without spinning).";
        QTest::newRow("until alone") << QByteArray("U1H") << QStringList({"1 warning IdleCycle"})
                                     << QString();
        QTest::newRow("jump cycle")
            << QByteArray("+1\nA1\nC1\nj2") << QStringList({"4 warning IdleCycle"})
            << "Lines 2 to 4 repeat with no wait, move or delay among them, so "
               "the unit runs them as fast as it can.";
        QTest::newRow("idle loop") << QByteArray("L0\nA1\nC1\nL10\nK")
                                   << QStringList({"4 warning IdleCycle"}) << QString();
        QTest::newRow("empty loop") << QByteArray("L0\nL10\n+1")
                                    << QStringList({"2 warning IdleCycle"})
                                    << "The loop that ends here has nothing to repeat.";
        QTest::newRow("idle cycle through an until")
            << QByteArray("A1\nC1\nU1H\n+1") << QStringList({"3 warning IdleCycle"}) << QString();
        QTest::newRow("unreachable idle cycle is not a cycle too")
            << QByteArray("+1\nK\nA1\nj3") << QStringList({"3 warning Unreachable"}) << QString();
        QTest::newRow("comment at the start of the flow")
            << QByteArray("* c\n+1\nK\n-1") << QStringList({"4 warning Unreachable"}) << QString();
    }
    void flowFindings()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, expected);
        QFETCH(QString, sentence);
        const QList<Finding> findings = checkProgram(program(text));
        QCOMPARE(summary(findings), expected);
        if (!sentence.isEmpty())
            QCOMPARE(findings.first().sentence(), sentence);
    }

    void errorsComeFirstOnALine()
    {
        // Line 3 has a bad parameter and is never reached.
        const QList<Finding> findings = checkProgram(program("+1\nK\n+0"));
        QCOMPARE(summary(findings), QStringList({"3 error OutOfRange", "3 warning Unreachable"}));
        QVERIFY(hasErrors(findings));
        QVERIFY(!hasErrors(checkProgram(program("+1\nK\n-1"))));
    }

    void formatting()
    {
        const Finding f{8, Severity::Warning, Problem::JumpOutOfLoop, 0, {2, 6, 0}, {}};
        QCOMPARE(formatFinding(QStringLiteral("dir/a.krp"), f),
                 QStringLiteral("dir/a.krp:8: warning: Leaves the loop of lines 2 to 6 before its "
                                "end, so the unit keeps that loop open."));
        QCOMPARE(severityText(Severity::Error), QStringLiteral("error"));
    }

    void lineNumberings_data()
    {
        QTest::addColumn<int>("editorLine");
        QTest::addColumn<int>("unitLine"); // 0: none
        QTest::newRow("comment") << 1 << 0;
        QTest::newRow("first sent") << 2 << 1;
        QTest::newRow("after two comments") << 5 << 2;
        QTest::newRow("empty line") << 4 << 0;
        QTest::newRow("last") << 6 << 3;
        QTest::newRow("beyond") << 7 << 0;
        QTest::newRow("zero") << 0 << 0;
    }
    void lineNumberings()
    {
        QFETCH(int, editorLine);
        QFETCH(int, unitLine);
        const LineArray lines = program("* a\n+1\n*b\n\n-1\nK");
        const std::optional<int> unit = unitLineOf(lines, editorLine);
        QCOMPARE(unit.value_or(0), unitLine);
        if (unitLine > 0)
            QCOMPARE(editorLineOf(lines, unitLine).value_or(0), editorLine);
    }

    void editorLineOfOutside()
    {
        const LineArray lines = program("* a\n+1\nK");
        QVERIFY(!editorLineOf(lines, 0).has_value());
        QVERIFY(!editorLineOf(lines, 3).has_value());
        QCOMPARE(editorLineOf(lines, 2).value_or(0), 3);
    }

    // Random programs of real and broken lines: the check always ends, its findings are in
    // order, and every one names a line of the program.
    void randomPrograms()
    {
        static const char *const pieces[] = {"+1", "-0", "L0", "L3", "L", "j1", "j7", "J1H,3",
                                             "J2L,40", "W1H", "A1", "K", "Z", "U1L", "* c", "",
                                             "Q", "D5", "X500,1000,20", "h25", "J1H"};
        QRandomGenerator rng(9);
        for (int round = 0; round < 300; ++round) {
            LineArray lines;
            const int n = rng.bounded(1, 40);
            for (int i = 0; i < n; ++i)
                lines.append(pieces[rng.bounded(int(std::size(pieces)))]);
            const QList<Finding> findings = checkProgram(lines);
            for (qsizetype k = 0; k < findings.size(); ++k) {
                QVERIFY(findings.at(k).line >= 1 && findings.at(k).line <= n);
                QVERIFY(!findings.at(k).sentence().isEmpty());
                QVERIFY(findings.at(k).sentence().endsWith(QLatin1Char('.')));
                if (k > 0)
                    QVERIFY(findings.at(k - 1).line <= findings.at(k).line);
            }
        }
    }

    // The check reads texts already in the dialogs' form without allocating; that fast path
    // must accept exactly the texts that read back to themselves through readParams and
    // composeParams, with the same fields. Every short text over the characters that matter, and
    // numbers at the edges of the int range.
    void canonicalTextsAgreeWithReadAndCompose()
    {
        static const char alphabet[]
            = { '0', '1', '2', '3', '4', '9', '-', '+', ',', 'H', 'L', ' ', 'x' };
        QList<QByteArray> texts{QByteArray()};
        for (qsizetype start = 0, length = 1; length <= 4; ++length) {
            const qsizetype end = texts.size();
            for (qsizetype k = start; k < end; ++k) {
                for (const char c : alphabet)
                    texts.append(texts.at(k) + c);
            }
            start = end;
        }
        for (const char *n : {"2147483647", "2147483648", "-2147483647", "-2147483649",
                              "99999999999", "1000000000", "0012", "-0", "8388607", "-8388608"}) {
            for (const char *form : {"%1", "%1,%1", "%1,5,%1", "+%1H", "-%1L", "1H,%1", "%1L"})
                texts.append(QString::fromLatin1(form).arg(QLatin1String(n)).toLatin1());
        }
        for (int index = 0; index < kInstructionCount; ++index) {
            const char code = instructionCode(index);
            for (const QByteArray &text : std::as_const(texts)) {
                // readParams overflows on the choice of -2147483648; the check never asks it.
                if ((code == 'A' || code == 'B' || code == 'C') && leadingInt(text) == INT_MIN)
                    continue;
                const bool hasFields = hasParamFields(code);
                const ParamFields read = readParams(code, text);
                const bool roundTrip
                    = composeParams(code, read) == text && (!hasFields || !text.isEmpty());
                CanonicalFields fast;
                const bool accepted = readCanonicalParams(code, text, fast);
                QVERIFY2(
                    accepted == roundTrip,
                    qPrintable(
                        QStringLiteral("%1%2").arg(QLatin1Char(code)).arg(QLatin1String(text))));
                if (!accepted)
                    continue;
                QCOMPARE(fast.count, int(read.size()));
                for (int f = 0; f < fast.count; ++f)
                    QCOMPARE(fast.values[size_t(f)], qint64(read.at(f)));
            }
        }
        // The one value where the fast path gives what readParams cannot.
        CanonicalFields fast;
        QVERIFY(readCanonicalParams('A', "-2147483648", fast));
        QCOMPARE(fast.values[0], qint64(INT_MIN) - 1);
        QCOMPARE(summary(checkProgram(program("B-2147483648\nC-2147483649"))),
                 QStringList({"1 error OutOfRange", "2 error MalformedParameters"}));
    }

    // A long chain of nested loops and jumps must not exhaust the stack.
    void deepStructures()
    {
        LineArray lines;
        constexpr int kDepth = 50000;
        for (int i = 0; i < kDepth; ++i)
            lines.append("L0");
        lines.append("A1");
        for (int i = 0; i < kDepth; ++i)
            lines.append("L2");
        const QList<Finding> findings = checkProgram(lines);
        QCOMPARE(findings.first().problem, Problem::LoopTooDeep);
        QCOMPARE(findings.first().line, kMaxOpenLoops + 1);
        QVERIFY(std::any_of(findings.begin(), findings.end(),
                            [](const Finding &f) { return f.problem == Problem::IdleCycle; }));
    }
};

KR44_TEST(TestProgramCheck)
#include "tst_programcheck.moc"
