#include "model/instructionset.h"
#include "testmain.h"

#include <QTest>

using namespace kr44;

// The instruction set's reading and writing of lines. The value ranges are stated where they
// are enforced, in the program check's findings.
class TestInstructionSet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void namesAndLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QByteArray>("params");
        QTest::addColumn<QByteArray>("composed");
        QTest::addColumn<QString>("name");
        QTest::newRow("move") << QByteArray("+200") << QByteArray("+") << QByteArray("200")
                              << QByteArray("+200") << QString("Move CW");
        QTest::newRow("g is not G") << QByteArray("g-2H") << QByteArray("g") << QByteArray("-2H")
                                    << QByteArray("g-2H") << QString("Go until");
        QTest::newRow("unknown") << QByteArray("Q7") << QByteArray("Q") << QByteArray("7")
                                 << QByteArray("Q7") << QString();
        QTest::newRow("comment keeps blanks")
                << QByteArray("*   x ") << QByteArray() << QByteArray("  x ")
                << QByteArray("*   x ") << QString();
        QTest::newRow("empty line")
                << QByteArray() << QByteArray() << QByteArray() << QByteArray("* ") << QString();
        QTest::newRow("lone star")
                << QByteArray("*") << QByteArray() << QByteArray() << QByteArray("* ") << QString();
        QTest::newRow("star without blank") << QByteArray("*x") << QByteArray("*")
                                            << QByteArray("x") << QByteArray("*x") << QString();
        QTest::newRow("NUL and 8-bit kept")
                << QByteArray("+1\0\xb0", 4) << QByteArray("+") << QByteArray("1\0\xb0", 3)
                << QByteArray("+1\0\xb0", 4) << QString("Move CW");
    }
    void namesAndLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, code);
        QFETCH(QByteArray, params);
        const LineParts parts = splitLine(line);
        QCOMPARE(parts.code, code);
        QCOMPARE(parts.params, params);
        QTEST(composeLine(parts), "composed");
        QTEST(instructionName(code), "name");
        QCOMPARE(isCommentLine(line), isCommentCode(parts.code));
    }

    void leadingInteger_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("blanks, then digits up to a letter") << QByteArray(" \t42x") << 42;
        QTest::newRow("signs") << QByteArray("-1000") << -1000;
        QTest::newRow("no digits") << QByteArray("H,5") << 0;
        QTest::newRow("stops at a comma") << QByteArray("500,,20") << 500;
        QTest::newRow("saturates high") << QByteArray("99999999999999999999") << INT_MAX;
        QTest::newRow("saturates low") << QByteArray("-99999999999999999999") << INT_MIN;
    }
    void leadingInteger()
    {
        QFETCH(QByteArray, text);
        QTEST(leadingInt(text), "value");
    }

    // Reading a parameter text into the dialog's fields and writing them back: the quirks of
    // each instruction's reading, and what the dialogs then write.
    void fields_data()
    {
        QTest::addColumn<char>("code");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<ParamFields>("fields");
        QTest::addColumn<QByteArray>("written");
        const auto row = [](const char *tag, char code, const char *text, ParamFields fields,
                            const char *written) {
            QTest::newRow(tag) << code << QByteArray(text) << fields << QByteArray(written);
        };
        row("new move", '+', "", {1}, "1");
        row("new go until", 'g', "", {0, 1, 0}, "+1L");
        row("new initialise", 'I', "", {1, 0}, "1");
        row("new profile", 'X', "", {500, 1000, 20}, "500,1000,20");
        row("negative position", 'f', "-1000", {-1000}, "-1000");
        row("choice is number - 1", 'A', "2", {1}, "2");
        row("choice 0 selects none", 'A', "0", {-1}, "0");
        row("choice at int min", 'C', "-2147483648", {INT_MIN}, "-2147483647");
        row("report reads one digit", 'V', "45", {3}, "4");
        row("home minus", 'H', "-", {1}, "-");
        row("go until", 'g', "-2H", {1, 2, 1}, "-2H");
        row("hold time keeps its multiplier", 'h', "25", {25, 0}, "25,0");
        row("hold time leading comma", 'h', ",5", {0, 0}, "0,0");
        row("initialise mask 2", 'I', "2", {0, 1}, "2");
        row("jump if by position", 'J', "12H,5", {1, 0, 0}, "1L,0");
        row("jump if", 'J', "1H,6", {1, 1, 6}, "1H,6");
        row("loop start", 'L', "0", {0}, "0");
        row("negative loop count", 'L', "-3", {-3}, "0");
        row("profile empty field", 'X', "500,,20", {500, 0, 20}, "500,0,20");
        row("profile one field", 'X', "700", {700, 1000, 20}, "700,1000,20");
        row("profile extra fields", 'X', "1,2,3,4", {1, 2, 3}, "1,2,3");
        row("until", 'U', "2H", {2, 1}, "2H");
        row("wait other level", 'W', "1x", {1, 0}, "1L");
        row("kill has none", 'K', "x", {}, "");
    }
    void fields()
    {
        QFETCH(char, code);
        QFETCH(QByteArray, text);
        QFETCH(ParamFields, fields);
        QCOMPARE(readParams(code, text), fields);
        QTEST(composeParams(code, fields), "written");
    }

    void jumpTargets_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("target"); // -1: none
        QTest::addColumn<QByteArray>("retargetedTo7");
        QTest::newRow("j") << QByteArray("j4") << 4 << QByteArray("j7");
        QTest::newRow("j unreadable") << QByteArray("jx") << 0 << QByteArray("j7");
        QTest::newRow("J keeps its head") << QByteArray("J12H,5") << 5 << QByteArray("J12H,7");
        QTest::newRow("J without comma") << QByteArray("J2L") << -1 << QByteArray("J2L");
        QTest::newRow("J comma first") << QByteArray("J,4") << -1 << QByteArray("J,4");
        QTest::newRow("comment") << QByteArray("* j4") << -1 << QByteArray("* j4");
    }
    void jumpTargets()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, target);
        const LineParts p = splitLine(line);
        QCOMPARE(jumpTarget(p.code, p.params).value_or(-1), target);
        QTEST(composeLine(p.code, retarget(p.code, p.params, 7)), "retargetedTo7");
    }

    void validAndDefaultTargets()
    {
        // Lines: 1 comment, 2 j, 3 J, 4 +, 5 raw comment, 6 K.
        const CodeList program({QByteArray(), "j", "J", "+", "*", "K"});
        const bool valid[] = {false, false, false, true, true, false, true, false};
        for (int t = 0; t <= 7; ++t)
            QCOMPARE(isValidTarget(program, t), valid[t]);
        QCOMPARE(defaultTarget(program), std::optional<int>(4));
        QCOMPARE(defaultTarget(CodeList({"j", "J", QByteArray()})), std::nullopt);
    }
};

KR44_TEST(TestInstructionSet)
#include "tst_instructionset.moc"
