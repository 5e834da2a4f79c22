#include "instructionset.h"
#include "testmain.h"

#include <QTest>

using namespace kr44;

Q_DECLARE_METATYPE(kr44::ParamFields)

class TestInstructionSet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tableOrderAndTexts()
    {
        const QByteArray expected = "+-ABCDfGghHIjJKLMTUVWXZ";
        QCOMPARE(int(expected.size()), kInstructionCount);
        for (int i = 0; i < kInstructionCount; ++i) {
            QCOMPARE(kInstructionTable[i][0], expected.at(i));
            QCOMPARE(kInstructionTable[i][1], '\t');
            QCOMPARE(instructionIndex(expected.at(i)), i);
        }
        QCOMPARE(QByteArray(kInstructionTable[0]), QByteArray("+\tMove CW"));
        QCOMPARE(QByteArray(kInstructionTable[22]), QByteArray("Z\tSmooth stop"));
    }

    void names_data()
    {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("plus") << QByteArray("+") << QByteArray("Move CW");
        QTest::newRow("minus") << QByteArray("-") << QByteArray("Move CCW");
        QTest::newRow("g lower") << QByteArray("g") << QByteArray("Go until");
        QTest::newRow("G upper") << QByteArray("G") << QByteArray("Go to");
        QTest::newRow("h lower") << QByteArray("h") << QByteArray("Hold time");
        QTest::newRow("H upper") << QByteArray("H") << QByteArray("Home");
        QTest::newRow("I") << QByteArray("I") << QByteArray("Initialise");
        QTest::newRow("X") << QByteArray("X") << QByteArray("Acc Profile");
        QTest::newRow("unknown Q") << QByteArray("Q") << QByteArray();
        QTest::newRow("comment") << QByteArray() << QByteArray();
        QTest::newRow("raw comment") << QByteArray("*") << QByteArray();
        QTest::newRow("two chars") << QByteArray("+x") << QByteArray();
    }
    void names()
    {
        QFETCH(QByteArray, code);
        QFETCH(QByteArray, name);
        QCOMPARE(instructionName(code), name);
    }

    void splitAndCompose_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QByteArray>("params");
        QTest::addColumn<QByteArray>("composed");
        QTest::newRow("move") << QByteArray("+200") << QByteArray("+") << QByteArray("200") << QByteArray("+200");
        QTest::newRow("jump if") << QByteArray("J2L,4") << QByteArray("J") << QByteArray("2L,4") << QByteArray("J2L,4");
        QTest::newRow("kill") << QByteArray("K") << QByteArray("K") << QByteArray() << QByteArray("K");
        QTest::newRow("unknown") << QByteArray("Q7") << QByteArray("Q") << QByteArray("7") << QByteArray("Q7");
        QTest::newRow("comment") << QByteArray("* set up") << QByteArray() << QByteArray("set up") << QByteArray("* set up");
        QTest::newRow("comment keeps blanks") << QByteArray("*   x ") << QByteArray() << QByteArray("  x ") << QByteArray("*   x ");
        QTest::newRow("empty line") << QByteArray() << QByteArray() << QByteArray() << QByteArray("* ");
        QTest::newRow("lone star") << QByteArray("*") << QByteArray() << QByteArray() << QByteArray("* ");
        QTest::newRow("star no blank") << QByteArray("*x") << QByteArray("*") << QByteArray("x") << QByteArray("*x");
        QTest::newRow("two stars") << QByteArray("**") << QByteArray("*") << QByteArray("*") << QByteArray("**");
        QTest::newRow("star tab") << QByteArray("*\tx") << QByteArray("*") << QByteArray("\tx") << QByteArray("*\tx");
        QTest::newRow("NUL kept") << QByteArray("+1\0002", 4) << QByteArray("+") << QByteArray("1\0002", 3)
                                  << QByteArray("+1\0002", 4);
        QTest::newRow("8-bit") << QByteArray("* \xb0\xff") << QByteArray() << QByteArray("\xb0\xff")
                               << QByteArray("* \xb0\xff");
    }
    void splitAndCompose()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, code);
        QFETCH(QByteArray, params);
        QFETCH(QByteArray, composed);
        const LineParts parts = splitLine(line);
        QCOMPARE(parts.code, code);
        QCOMPARE(parts.params, params);
        QCOMPARE(composeLine(parts), composed);
        QCOMPARE(isCommentLine(line), isCommentCode(parts.code));
    }

    void leadingInteger_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << QByteArray("200") << 200;
        QTest::newRow("blanks") << QByteArray("  42x") << 42;
        QTest::newRow("negative") << QByteArray("-1000") << -1000;
        QTest::newRow("plus sign") << QByteArray("+7") << 7;
        QTest::newRow("no digits") << QByteArray("H,5") << 0;
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("sign only") << QByteArray("-") << 0;
        QTest::newRow("stops at comma") << QByteArray("500,,20") << 500;
        QTest::newRow("saturates high") << QByteArray("99999999999999999999999") << INT_MAX;
        QTest::newRow("saturates low") << QByteArray("-99999999999999999999999") << INT_MIN;
        QTest::newRow("int max") << QByteArray("2147483647") << INT_MAX;
        QTest::newRow("int min") << QByteArray("-2147483648") << INT_MIN;
    }
    void leadingInteger()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, value);
        QCOMPARE(leadingInt(text), value);
    }

    void readFields_data()
    {
        QTest::addColumn<char>("code");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<ParamFields>("fields");
        // Empty text: the defaults of a new instruction.
        QTest::newRow("+ new") << '+' << QByteArray() << ParamFields{1};
        QTest::newRow("D new") << 'D' << QByteArray() << ParamFields{0};
        QTest::newRow("g new") << 'g' << QByteArray() << ParamFields{0, 1, 0};
        QTest::newRow("h new") << 'h' << QByteArray() << ParamFields{10, 0};
        QTest::newRow("I new") << 'I' << QByteArray() << ParamFields{1, 0};
        QTest::newRow("J new") << 'J' << QByteArray() << ParamFields{1, 0, 0};
        QTest::newRow("L new") << 'L' << QByteArray() << ParamFields{0};
        QTest::newRow("M new") << 'M' << QByteArray() << ParamFields{30, 60, 120};
        QTest::newRow("T new") << 'T' << QByteArray() << ParamFields{1000};
        QTest::newRow("X new") << 'X' << QByteArray() << ParamFields{500, 1000, 20};
        QTest::newRow("W new") << 'W' << QByteArray() << ParamFields{1, 0};
        // Examples and the reading quirks.
        QTest::newRow("+200") << '+' << QByteArray("200") << ParamFields{200};
        QTest::newRow("f-1000") << 'f' << QByteArray("-1000") << ParamFields{-1000};
        QTest::newRow("A2") << 'A' << QByteArray("2") << ParamFields{1};
        QTest::newRow("A0 selects none") << 'A' << QByteArray("0") << ParamFields{-1};
        QTest::newRow("B2") << 'B' << QByteArray("2") << ParamFields{1};
        QTest::newRow("C at int min") << 'C' << QByteArray("-2147483648") << ParamFields{INT_MIN};
        QTest::newRow("V3") << 'V' << QByteArray("3") << ParamFields{2};
        QTest::newRow("V first char only") << 'V' << QByteArray("45") << ParamFields{3};
        QTest::newRow("H-") << 'H' << QByteArray("-") << ParamFields{1};
        QTest::newRow("H other") << 'H' << QByteArray("x") << ParamFields{0};
        QTest::newRow("g-2H") << 'g' << QByteArray("-2H") << ParamFields{1, 2, 1};
        QTest::newRow("g+3L") << 'g' << QByteArray("+3L") << ParamFields{0, 3, 0};
        QTest::newRow("h50,3") << 'h' << QByteArray("50,3") << ParamFields{50, 3};
        QTest::newRow("h25 keeps multiplier") << 'h' << QByteArray("25") << ParamFields{25, 0};
        QTest::newRow("h leading comma") << 'h' << QByteArray(",5") << ParamFields{0, 0};
        QTest::newRow("I3") << 'I' << QByteArray("3") << ParamFields{1, 1};
        QTest::newRow("I2") << 'I' << QByteArray("2") << ParamFields{0, 1};
        QTest::newRow("I0 clears both") << 'I' << QByteArray("0") << ParamFields{0, 0};
        QTest::newRow("J1H,6") << 'J' << QByteArray("1H,6") << ParamFields{1, 1, 6};
        QTest::newRow("J12H,5 by position") << 'J' << QByteArray("12H,5") << ParamFields{1, 0, 0};
        QTest::newRow("J short") << 'J' << QByteArray("2H") << ParamFields{2, 1, 0};
        QTest::newRow("j4") << 'j' << QByteArray("4") << ParamFields{4};
        QTest::newRow("L10") << 'L' << QByteArray("10") << ParamFields{10};
        QTest::newRow("L-3") << 'L' << QByteArray("-3") << ParamFields{-3};
        QTest::newRow("M30,60,120") << 'M' << QByteArray("40,80,160") << ParamFields{40, 80, 160};
        QTest::newRow("X500,,20") << 'X' << QByteArray("500,,20") << ParamFields{500, 0, 20};
        QTest::newRow("X one field") << 'X' << QByteArray("700") << ParamFields{700, 1000, 20};
        QTest::newRow("X extra fields ignored") << 'X' << QByteArray("1,2,3,4") << ParamFields{1, 2, 3};
        QTest::newRow("U2H") << 'U' << QByteArray("2H") << ParamFields{2, 1};
        QTest::newRow("W1x") << 'W' << QByteArray("1x") << ParamFields{1, 0};
        QTest::newRow("K has none") << 'K' << QByteArray("x") << ParamFields{};
        QTest::newRow("unknown has none") << 'Q' << QByteArray("7") << ParamFields{};
    }
    void readFields()
    {
        QFETCH(char, code);
        QFETCH(QByteArray, text);
        QFETCH(ParamFields, fields);
        QCOMPARE(readParams(code, text), fields);
    }

    void composeFields_data()
    {
        QTest::addColumn<char>("code");
        QTest::addColumn<ParamFields>("fields");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("+") << '+' << ParamFields{200} << QByteArray("200");
        QTest::newRow("f negative") << 'f' << ParamFields{-1000} << QByteArray("-1000");
        QTest::newRow("A index") << 'A' << ParamFields{1} << QByteArray("2");
        QTest::newRow("V index") << 'V' << ParamFields{2} << QByteArray("3");
        QTest::newRow("A index at int max") << 'A' << ParamFields{INT_MAX} << QByteArray("2147483648");
        QTest::newRow("H EOT-") << 'H' << ParamFields{1} << QByteArray("-");
        QTest::newRow("H EOT+") << 'H' << ParamFields{0} << QByteArray("+");
        QTest::newRow("g") << 'g' << ParamFields{1, 2, 1} << QByteArray("-2H");
        QTest::newRow("g new") << 'g' << defaultFields('g') << QByteArray("+1L");
        QTest::newRow("h") << 'h' << ParamFields{50, 3} << QByteArray("50,3");
        QTest::newRow("I") << 'I' << ParamFields{1, 1} << QByteArray("3");
        QTest::newRow("J") << 'J' << ParamFields{1, 1, 6} << QByteArray("1H,6");
        QTest::newRow("L start") << 'L' << ParamFields{0} << QByteArray("0");
        QTest::newRow("L end") << 'L' << ParamFields{5} << QByteArray("5");
        QTest::newRow("M") << 'M' << ParamFields{30, 60, 120} << QByteArray("30,60,120");
        QTest::newRow("X") << 'X' << ParamFields{500, 1000, 20} << QByteArray("500,1000,20");
        QTest::newRow("U") << 'U' << ParamFields{2, 1} << QByteArray("2H");
        QTest::newRow("W") << 'W' << ParamFields{1, 0} << QByteArray("1L");
        QTest::newRow("Z") << 'Z' << ParamFields{} << QByteArray();
    }
    void composeFields()
    {
        QFETCH(char, code);
        QFETCH(ParamFields, fields);
        QFETCH(QByteArray, text);
        QCOMPARE(composeParams(code, fields), text);
    }

    // Every canonical text the dialogs write reads back into the fields that wrote it.
    void canonicalRoundTrip()
    {
        const QByteArray examples[] = {"+200", "-50", "A2", "B2", "C3", "D500", "f-1000", "G25000",
                                       "g-2H", "h50,3", "H-", "I3", "j4", "J1H,6", "L10", "L0",
                                       "M30,60,120", "T1000", "U2H", "V3", "W1H", "X500,1000,20"};
        for (const QByteArray &line : examples) {
            const char code = line.at(0);
            const QByteArray text = line.mid(1);
            QVERIFY2(hasParamFields(code), line.constData());
            QCOMPARE(composeParams(code, readParams(code, text)), text);
        }
    }

    void rangesOfTheTable()
    {
        const auto range = [](char code, int field) {
            const FieldSpec s = fieldSpecs(code).at(field);
            return qMakePair(s.minimum, s.maximum);
        };
        QCOMPARE(range('+', 0), qMakePair(1, 8388607));
        QCOMPARE(range('D', 0), qMakePair(1, 65535));
        QCOMPARE(range('G', 0), qMakePair(-8388608, 8388607));
        QCOMPARE(range('h', 0), qMakePair(0, 99));
        QCOMPARE(range('L', 0), qMakePair(0, 255));
        QCOMPARE(range('T', 0), qMakePair(10, 6000));
        QCOMPARE(range('X', 2), qMakePair(1, 1599));
        QCOMPARE(range('M', 1), qMakePair(30, 600));
        QVERIFY(!hasParamFields('K'));
        QVERIFY(!hasParamFields('Z'));
    }

    void jumpTargets_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("target"); // -1: none
        QTest::addColumn<int>("retargetTo");
        QTest::addColumn<QByteArray>("retargeted");
        QTest::newRow("j") << QByteArray("j4") << 4 << 7 << QByteArray("j7");
        QTest::newRow("j zero") << QByteArray("jx") << 0 << 2 << QByteArray("j2");
        QTest::newRow("J") << QByteArray("J2L,4") << 4 << 5 << QByteArray("J2L,5");
        QTest::newRow("J zero target") << QByteArray("J1H,0") << 0 << 3 << QByteArray("J1H,3");
        QTest::newRow("J keeps odd head") << QByteArray("J12H,5") << 5 << 9 << QByteArray("J12H,9");
        QTest::newRow("J without comma") << QByteArray("J2L") << -1 << 3 << QByteArray("J2L");
        QTest::newRow("J comma first") << QByteArray("J,4") << -1 << 3 << QByteArray("J,4");
        QTest::newRow("move") << QByteArray("+4") << -1 << 3 << QByteArray("+4");
        QTest::newRow("comment") << QByteArray("* j4") << -1 << 3 << QByteArray("* j4");
    }
    void jumpTargets()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, target);
        QFETCH(int, retargetTo);
        QFETCH(QByteArray, retargeted);
        const LineParts p = splitLine(line);
        const std::optional<int> t = jumpTarget(p.code, p.params);
        QCOMPARE(t.has_value(), target >= 0);
        if (t)
            QCOMPARE(*t, target);
        QCOMPARE(composeLine(p.code, retarget(p.code, p.params, retargetTo)), retargeted);
    }

    void validAndDefaultTargets()
    {
        // 1 comment, 2 j, 3 J, 4 +, 5 raw comment, 6 K
        const CodeList program({QByteArray(), "j", "J", "+", "*", "K"});
        const bool expected[] = {false, false, false, true, true, false, true, false};
        for (int t = 0; t <= 7; ++t)
            QCOMPARE(isValidTarget(program, t), expected[t]);
        QCOMPARE(defaultTarget(program), std::optional<int>(4));
        QCOMPARE(defaultTarget(CodeList({"j", "J", QByteArray()})), std::nullopt);
        QCOMPARE(defaultTarget(CodeList({})), std::nullopt);
        QVERIFY(!isValidTarget(CodeList({}), 1));
    }
};

KR44_TEST(TestInstructionSet)
#include "tst_instructionset.moc"
