#include "simbench.h"
#include "virtualunit.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

using namespace kr44;

namespace {

// The example program as it reaches the unit: the editor's comment line is never sent, so these
// are the unit's lines 1 to 8 and the jump target 4 is W1H.
const QList<QByteArray> kExample = {"X500,1000,20", "L0", "+200", "W1H", "-200", "L5", "J2L,4", "K"};

UnitConfig configWithInputs(bool in1, bool in2, bool in3)
{
    UnitConfig config;
    config.inputs = {in1, in2, in3};
    return config;
}

int peaksAt(const QList<TracePoint> &trace, qint64 position)
{
    int peaks = 0;
    for (qsizetype i = 0; i < trace.size(); ++i) {
        if (trace.at(i).position == position && (i == 0 || trace.at(i - 1).position != position))
            ++peaks;
    }
    return peaks;
}

} // namespace

class TestVirtualUnit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lineCheck_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("expected");
        const int ok = int(LineCheck::Ok);
        const int cmd = int(LineCheck::BadCommand);
        const int par = int(LineCheck::BadParameter);
        // One canonical line of every instruction.
        for (const char *line : {"+200", "-50", "A2", "B2", "C3", "D500", "f-1000", "G25000", "g-2H", "h50,3",
                                 "H-", "I3", "j4", "J1H,6", "K", "L10", "L0", "M30,60,120", "T1000", "U2H",
                                 "V3", "W1H", "X500,1000,20", "Z", "G-8388608", "+8388607", "D65535", "h0,0",
                                 "L255", "T10", "T6000", "X10,6000,1599"})
            QTest::newRow(line) << QByteArray(line) << ok;
        for (const char *line : {"Q7", "e", "x500", "P", "E", "*", " +200", "k"})
            QTest::newRow(line) << QByteArray(line) << cmd;
        QTest::newRow("empty") << QByteArray() << cmd;
        for (const char *line :
             {"+0", "+8388608", "-0", "+", "+ 200", "+0200", "++200", "+200 ", "+2e2", "A0", "A4", "B3", "C0", "D0",
              "D65536", "f-8388609", "G8388608", "f-0", "g+4L", "g*1L", "g+1X", "g+1", "g+01L", "h100,0", "h25",
              "h5,8", "h5,-1", "H*", "H", "H+-", "I0", "I4", "j0", "j-1", "j", "J4L,4", "J2X,4", "J2L4", "J2L,0",
              "J12H,5", "K1", "Z ", "L256", "L-3", "L00", "M29,60,120", "M30,60", "M30,60,120,5", "T9", "T6001",
              "U4H", "U2", "V0", "V6", "V12", "W1", "W1h", "X500,,20", "X500,1000,1600", "X500,1000,0",
              "X500,1000", "j99999999999"})
            QTest::newRow(line) << QByteArray(line) << par;
    }
    void lineCheck()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, expected);
        QCOMPARE(int(checkProgramLine(line)), expected);
    }

    // Every reply the unit can give, for bytes sent in one piece and one byte at a time (the
    // direct command window sends a byte per key).
    void replies_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("download accepted silently") << QByteArray("P\rA1\rK\rP\r") << QByteArray();
        QTest::newRow("unknown letter in download") << QByteArray("P\rQ7\rP\r") << QByteArray("E4\r");
        QTest::newRow("bad parameter in download") << QByteArray("P\r+0\rP\r") << QByteArray("E2\r");
        QTest::newRow("non-canonical parameter") << QByteArray("P\r+0200\rP\r") << QByteArray("E2\r");
        QTest::newRow("each bad line answered") << QByteArray("P\rQ\r+0\rA1\rP\r") << QByteArray("E4\rE2\r");
        QTest::newRow("loop end without start") << QByteArray("P\rA1\rL3\rP\r") << QByteArray("E3 2\r");
        QTest::newRow("loop end after closed loop") << QByteArray("P\rL0\rL2\rL2\rP\r") << QByteArray("E3 3\r");
        QTest::newRow("jump beyond the program") << QByteArray("P\rA1\rj3\rP\r") << QByteArray("E3 2\r");
        QTest::newRow("conditional jump beyond") << QByteArray("P\rJ1H,4\rA1\rK\rP\r") << QByteArray("E3 1\r");
        QTest::newRow("first program error only") << QByteArray("P\rL1\rj9\rP\r") << QByteArray("E3 1\r");
        QTest::newRow("jump to the last line") << QByteArray("P\rA1\rj2\rP\r") << QByteArray();
        QTest::newRow("over capacity") << QByteArray("P\rA1\rA1\rA1\rA1\rA1\rA2\rP\r") << QByteArray("E9\rE9\r");
        QTest::newRow("direct unknown") << QByteArray("Q\r") << QByteArray("E4\r");
        QTest::newRow("direct bad parameter") << QByteArray("A4\r") << QByteArray("E2\r");
        QTest::newRow("run with a parameter") << QByteArray("E1\r") << QByteArray("E4\r");
        QTest::newRow("direct jump") << QByteArray("j1\r") << QByteArray("E4\r");
        QTest::newRow("direct jump if") << QByteArray("J1H,1\r") << QByteArray("E4\r");
        QTest::newRow("direct loop") << QByteArray("L0\r") << QByteArray("E4\r");
        QTest::newRow("direct until") << QByteArray("U1H\r") << QByteArray("E4\r");
        QTest::newRow("direct command ends ready") << QByteArray("A1\r") << QByteArray("R\r");
        QTest::newRow("direct report") << QByteArray("V1\r") << QByteArray("0\r");
        QTest::newRow("kill when idle") << QByteArray("K\r") << QByteArray("R\r");
        QTest::newRow("end of travel ahead") << QByteArray("+1000\r") << QByteArray("E7\r");
        QTest::newRow("end of travel behind") << QByteArray("-5000\r") << QByteArray("E7\r");
        QTest::newRow("go until into the end") << QByteArray("g+1H\r") << QByteArray("E7\r");
        QTest::newRow("loop error at run time") << QByteArray("P\rL0\rA1\rL2\rj3\rP\rE\r") << QByteArray("E8\r");
        QTest::newRow("loops nested too deep") << QByteArray("P\rL0\rj1\rP\rE\r") << QByteArray("E8\r");
        QTest::newRow("busy during a direct delay") << QByteArray("D100\rA1\r") << QByteArray("B\rR\r");
        QTest::newRow("busy during a program") << QByteArray("P\rD100\rP\rE\rV1\r") << QByteArray("B\rR\r");
        QTest::newRow("no download while running") << QByteArray("P\rD100\rP\rE\rP\r") << QByteArray("B\rR\r");
        QTest::newRow("stop") << QByteArray("D100\rK\r") << QByteArray("R\r");
        QTest::newRow("empty program runs and ends") << QByteArray("E\r") << QByteArray("R\r");
        QTest::newRow("refused download leaves nothing to run")
            << QByteArray("P\rA1\rQ\rP\rE\rV2\r") << QByteArray("E4\rR\rInputs LLL Outputs 000\r");
        QTest::newRow("blank lines ignored") << QByteArray("\r\rP\r\rA1\r\rP\r") << QByteArray();
        QTest::newRow("line feed ignored") << QByteArray("V1\r\n") << QByteArray("0\r");
        QTest::newRow("backspace") << QByteArray("V2\b1\r") << QByteArray("0\r");
        QTest::newRow("eighth bit dropped") << QByteArray("\xD6\xB1\r") << QByteArray("0\r");
        QTest::newRow("overlong known command") << QByteArray("+" + QByteArray(200, '1') + "\r") << QByteArray("E2\r");
        QTest::newRow("overlong unknown command") << QByteArray("Q" + QByteArray(200, '1') + "\r") << QByteArray("E4\r");
        QTest::newRow("overlong line in download")
            << QByteArray("P\r+" + QByteArray(200, '1') + "\rP\r") << QByteArray("E2\r");
    }
    void replies()
    {
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, expected);
        UnitConfig config;
        config.endOfTravelMinus = -1000;
        config.endOfTravelPlus = 1000;
        config.capacity = 4;

        SimBench whole(config);
        whole.send(sent);
        whole.run(5'000'000);
        QCOMPARE(whole.out, expected);
        QVERIFY(!whole.unit.isBusy());

        SimBench bytewise(config);
        for (const char c : sent)
            bytewise.send(QByteArrayView(&c, 1));
        bytewise.run(5'000'000);
        QCOMPARE(bytewise.out, expected);
    }

    void exampleProgramRuns()
    {
        SimBench bench(configWithInputs(true, true, false));
        bench.download(kExample);
        QCOMPARE(bench.take(), QByteArray());
        QCOMPARE(bench.unit.program(), kExample);

        bench.send("E\r");
        QVERIFY(bench.unit.isRunningProgram());
        QCOMPARE(bench.unit.currentLine(), 1);
        // Ten moves of 213.3 ms each (see moveTiming) and 23 fetches of 0.1 ms: 2135.6 ms.
        QVERIFY(bench.runUntil("R\r", 10'000'000));
        QCOMPARE(bench.take(), QByteArray("R\r"));
        QVERIFY(bench.unit.nowUs() >= 2'135'000 && bench.unit.nowUs() <= 2'137'000);
        QCOMPARE(bench.unit.position(), 0);
        QVERIFY(!bench.unit.isBusy());

        const QList<TracePoint> trace = bench.unit.trace();
        QCOMPARE(peaksAt(trace, 200), 5);
        QCOMPARE(trace.first().position, 0);
        QCOMPARE(trace.last().position, 0);
        for (qsizetype i = 1; i < trace.size(); ++i) {
            QVERIFY(trace.at(i).timeUs >= trace.at(i - 1).timeUs);
            QVERIFY(trace.at(i).position >= 0 && trace.at(i).position <= 200);
        }

        // The program stays stored and runs again.
        bench.send("E\r");
        QVERIFY(bench.runUntil("R\r", 10'000'000));
    }

    void exampleProgramWaitsForInput()
    {
        SimBench bench(configWithInputs(false, true, false));
        bench.download(kExample);
        bench.send("E\r");
        bench.run(1'000'000);
        QCOMPARE(bench.unit.currentLine(), 4);
        QCOMPARE(int(bench.unit.activity()), int(VirtualUnit::Activity::Waiting));
        QCOMPARE(bench.unit.position(), 200);
        QCOMPARE(bench.take(), QByteArray());

        bench.send("V1\r");
        QCOMPARE(bench.take(), QByteArray("B\r"));
        bench.setInput(1, true);
        QCOMPARE(int(bench.unit.activity()), int(VirtualUnit::Activity::Instruction));
        QVERIFY(bench.runUntil("R\r", 10'000'000));
    }

    // With input 2 low the jump to the unit's line 4 lands on W1H inside the finished loop; the
    // loop end that follows has no loop left to close.
    void exampleProgramJumpIntoFinishedLoop()
    {
        SimBench bench(configWithInputs(true, false, false));
        bench.download(kExample);
        bench.send("E\r");
        QVERIFY(bench.runUntil("E8\r", 10'000'000));
        QCOMPARE(bench.take(), QByteArray("E8\r"));
        QCOMPARE(bench.unit.position(), -200);
        QVERIFY(!bench.unit.isBusy());
    }

    void instructionEffects_data()
    {
        QTest::addColumn<QByteArrayList>("commands");
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("activate and clear") << QByteArrayList{"A2", "A3", "C3"} << QByteArray("V2")
                                            << QByteArray("Inputs LHL Outputs 010");
        QTest::newRow("initialise outputs") << QByteArrayList{"A1", "A3", "+300", "I2"} << QByteArray("V2")
                                            << QByteArray("Inputs LHL Outputs 000");
        QTest::newRow("initialise outputs keeps counter") << QByteArrayList{"+300", "I2"} << QByteArray("V1")
                                                          << QByteArray("300");
        QTest::newRow("initialise counter") << QByteArrayList{"A1", "+300", "I1"} << QByteArray("V1") << QByteArray("0");
        QTest::newRow("initialise counter keeps outputs") << QByteArrayList{"A1", "+300", "I1"} << QByteArray("V2")
                                                          << QByteArray("Inputs LHL Outputs 100");
        QTest::newRow("force counter") << QByteArrayList{"+300", "f-1000"} << QByteArray("V1") << QByteArray("-1000");
        QTest::newRow("move after force") << QByteArrayList{"f50", "+10"} << QByteArray("V1") << QByteArray("60");
        QTest::newRow("go to") << QByteArrayList{"G-250"} << QByteArray("V1") << QByteArray("-250");
        QTest::newRow("go to where it is") << QByteArrayList{"+5", "G5"} << QByteArray("V1") << QByteArray("5");
        QTest::newRow("counter clockwise") << QByteArrayList{"-50", "-25"} << QByteArray("V1") << QByteArray("-75");
        QTest::newRow("profile") << QByteArrayList{"X300,2000,50"} << QByteArray("V5") << QByteArray("300,2000,50");
        QTest::newRow("slew rate") << QByteArrayList{"T3000"} << QByteArray("V5") << QByteArray("500,3000,20");
        QTest::newRow("hold, ministep, motor change no counter")
            << QByteArrayList{"h50,3", "M40,80,160", "B2"} << QByteArray("V1") << QByteArray("0");
        QTest::newRow("temperature") << QByteArrayList{} << QByteArray("V3") << QByteArray("25");
        QTest::newRow("version") << QByteArrayList{} << QByteArray("V4") << QByteArray("KR44 virtual unit 1.0");
        QTest::newRow("delay") << QByteArrayList{"D250"} << QByteArray("V1") << QByteArray("0");
        QTest::newRow("wait on a level already there") << QByteArrayList{"W2H", "W1L"} << QByteArray("V1")
                                                       << QByteArray("0");
        QTest::newRow("go until a level already there") << QByteArrayList{"g+2H"} << QByteArray("V1")
                                                        << QByteArray("0");
    }
    void instructionEffects()
    {
        QFETCH(QByteArrayList, commands);
        QFETCH(QByteArray, report);
        QFETCH(QByteArray, expected);
        SimBench bench(configWithInputs(false, true, false));
        for (const QByteArray &command : commands) {
            bench.send(command + '\r');
            QVERIFY2(bench.runUntil("R\r", 10'000'000), command.constData());
            QCOMPARE(bench.take(), QByteArray("R\r"));
        }
        bench.send(report + '\r');
        QCOMPARE(bench.take(), expected + '\r');
    }

    void forcedCounterLeavesMotorWhereItIs()
    {
        SimBench bench;
        bench.send("f100\r");
        bench.send("G0\r");
        QVERIFY(bench.runUntil("R\rR\r", 10'000'000));
        QCOMPARE(bench.unit.position(), 0);
        QCOMPARE(bench.unit.motorPosition(), -100);
        bench.send("B2\r");
        QCOMPARE(bench.unit.motor(), 2);
    }

    void delayTakesItsTime()
    {
        SimBench bench;
        bench.send("D250\r");
        bench.run(249'000);
        QVERIFY(bench.unit.isBusy());
        QVERIFY(bench.runUntil("R\r", 10'000'000, 100));
        QVERIFY(bench.unit.nowUs() >= 250'000 && bench.unit.nowUs() <= 250'100);
    }

    void flowControl_data()
    {
        QTest::addColumn<QByteArrayList>("program");
        QTest::addColumn<bool>("input1");
        QTest::addColumn<QByteArray>("expectedOutputs"); // outputs 1 to 3 after the run
        QTest::addColumn<qint64>("expectedPosition");
        QTest::newRow("jump") << QByteArrayList{"j3", "A1", "A2"} << false << QByteArray("010") << qint64(0);
        QTest::newRow("jump if taken") << QByteArrayList{"J1H,3", "A1", "A2"} << true << QByteArray("010") << qint64(0);
        QTest::newRow("jump if not taken") << QByteArrayList{"J1H,3", "A1", "A2"} << false << QByteArray("110")
                                           << qint64(0);
        QTest::newRow("jump if low") << QByteArrayList{"J1L,3", "A1", "A2"} << false << QByteArray("010") << qint64(0);
        QTest::newRow("loop") << QByteArrayList{"L0", "+1", "L7"} << false << QByteArray("000") << qint64(7);
        QTest::newRow("loop of one pass") << QByteArrayList{"L0", "+1", "L1"} << false << QByteArray("000") << qint64(1);
        QTest::newRow("nested loops") << QByteArrayList{"L0", "L0", "+1", "L3", "-1", "L2", "A3"} << false
                                      << QByteArray("001") << qint64(4);
        QTest::newRow("loop runs again after a jump back")
            << QByteArrayList{"L0", "+1", "L2", "J1H,5", "K", "C1", "j1"} << true << QByteArray("000") << qint64(2);
        QTest::newRow("until already true") << QByteArrayList{"+3", "U1H", "A2"} << true << QByteArray("010")
                                            << qint64(3);
        QTest::newRow("kill ends early") << QByteArrayList{"A1", "K", "A2"} << false << QByteArray("100") << qint64(0);
        QTest::newRow("smooth stop ends early") << QByteArrayList{"A1", "Z", "A2"} << false << QByteArray("100")
                                                << qint64(0);
    }
    void flowControl()
    {
        QFETCH(QByteArrayList, program);
        QFETCH(bool, input1);
        QFETCH(QByteArray, expectedOutputs);
        QFETCH(qint64, expectedPosition);
        SimBench bench(configWithInputs(input1, false, false));
        bench.download(program);
        QCOMPARE(bench.take(), QByteArray());
        bench.send("E\r");
        QVERIFY(bench.runUntil("R\r", 10'000'000));
        QCOMPARE(bench.take(), QByteArray("R\r"));
        QByteArray outputs;
        for (int i = 1; i <= 3; ++i)
            outputs += bench.unit.output(i) ? '1' : '0';
        QCOMPARE(outputs, expectedOutputs);
        QCOMPARE(bench.unit.position(), expectedPosition);
    }

    void untilRepeatsFromTheStart()
    {
        SimBench bench;
        bench.download({"+10", "U2H"});
        bench.send("E\r");
        bench.run(500'000);
        QVERIFY(bench.unit.isRunningProgram());
        const qint64 passes = bench.unit.position() / 10;
        QVERIFY2(passes >= 2, QByteArray::number(bench.unit.position()).constData());
        bench.setInput(2, true);
        QVERIFY(bench.runUntil("R\r", 1'000'000));
        QCOMPARE(bench.unit.position() % 10, 0);
    }

    void goUntilStopsOnInput()
    {
        SimBench bench;
        bench.download({"g-3H", "A1"});
        bench.send("E\r");
        bench.run(300'000);
        QCOMPARE(int(bench.unit.activity()), int(VirtualUnit::Activity::Moving));
        const qint64 reached = bench.unit.position();
        QVERIFY(reached < -100);
        QCOMPARE(bench.unit.speed(), -1000.0); // past the ramp, at the slew rate
        bench.setInput(3, true);
        QCOMPARE(bench.unit.position(), reached);
        QVERIFY(bench.runUntil("R\r", 1'000'000));
        QCOMPARE(bench.unit.position(), reached);
        QVERIFY(bench.unit.output(1));
    }

    void stopHaltsTheMotorAtOnce()
    {
        SimBench bench;
        bench.download({"+50000", "A1"});
        bench.send("E\r");
        bench.run(100'000);
        const qint64 reached = bench.unit.position();
        QVERIFY(reached > 0 && reached < 50000);
        QVERIFY(bench.unit.speed() > 0);
        bench.send("K\r");
        QCOMPARE(bench.take(), QByteArray("R\r"));
        QVERIFY(!bench.unit.isBusy());
        QCOMPARE(bench.unit.speed(), 0.0);
        bench.run(1'000'000);
        QCOMPARE(bench.unit.position(), reached);
        QVERIFY(!bench.unit.output(1));
        QCOMPARE(bench.take(), QByteArray());
        QCOMPARE(bench.unit.trace().last().position, reached);
    }

    void travelLimits()
    {
        UnitConfig config;
        config.endOfTravelMinus = -300;
        config.endOfTravelPlus = 500;
        SimBench bench(config);

        bench.send("H+\r"); // homing looks for the switch: reaching it is no error
        QVERIFY(bench.runUntil("R\r", 10'000'000));
        QCOMPARE(bench.take(), QByteArray("R\r"));
        QCOMPARE(bench.unit.motorPosition(), 500);

        bench.send("H+\r");
        QCOMPARE(bench.take(), QByteArray("R\r"));

        bench.send("+1\r"); // standing on EOT+
        QCOMPARE(bench.take(), QByteArray("E7\r"));
        QCOMPARE(bench.unit.motorPosition(), 500);

        bench.send("-100\r");
        QVERIFY(bench.runUntil("R\r", 10'000'000));
        QCOMPARE(bench.unit.motorPosition(), 400);
        bench.take();

        bench.send("G-1000\r"); // runs into EOT- on the way
        QVERIFY(bench.runUntil("E7\r", 10'000'000));
        QCOMPARE(bench.take(), QByteArray("E7\r"));
        QCOMPARE(bench.unit.motorPosition(), -300);
        QVERIFY(!bench.unit.isBusy());

        bench.send("H-\r");
        QVERIFY(bench.runUntil("R\r", 1'000));
        QCOMPARE(bench.unit.motorPosition(), -300);
        bench.take();

        // The switches are where the motor is, not where the counter says.
        bench.send("f0\r");
        bench.send("+799\r");
        QVERIFY(bench.runUntil("R\rR\r", 10'000'000));
        QCOMPARE(bench.unit.position(), 799);
        QCOMPARE(bench.unit.motorPosition(), 499);
        bench.take();
        bench.send("G801\r");
        QVERIFY(bench.runUntil("E7\r", 10'000'000));
        QCOMPARE(bench.unit.position(), 800);
    }

    void endOfTravelStopsARunningProgram()
    {
        UnitConfig config;
        config.endOfTravelPlus = 150;
        SimBench bench(config);
        bench.download({"+100", "+100", "A1"});
        bench.send("E\r");
        QVERIFY(bench.runUntil("E7\r", 10'000'000));
        QCOMPARE(bench.take(), QByteArray("E7\r"));
        QCOMPARE(bench.unit.position(), 150);
        QVERIFY(!bench.unit.output(1));
        bench.run(1'000'000);
        QCOMPARE(bench.take(), QByteArray()); // no "R" after an error
    }

    // The expected times are worked by hand from the profile: with start rate v0, slew rate v1 and
    // ramp r, each full ramp takes 2r/(v0+v1) and the rest runs at v1; a move shorter than two
    // ramps peaks at sqrt(v0^2 + a*d), a = (v1^2 - v0^2)/(2r).
    void moveTiming_data()
    {
        QTest::addColumn<QByteArray>("setup");
        QTest::addColumn<QByteArray>("move");
        QTest::addColumn<double>("expectedMs");
        QTest::newRow("trapezoid") << QByteArray("X500,1000,20") << QByteArray("+200") << 213.3333;
        QTest::newRow("two full ramps") << QByteArray("X500,1000,20") << QByteArray("+40") << 53.3333;
        QTest::newRow("triangle") << QByteArray("X500,1000,20") << QByteArray("+20") << 30.9941;
        QTest::newRow("one step") << QByteArray("X500,1000,20") << QByteArray("G1") << 1.9639;
        QTest::newRow("counterclockwise") << QByteArray("X500,1000,20") << QByteArray("-200") << 213.3333;
        QTest::newRow("slew set by T") << QByteArray("T2000") << QByteArray("+200") << 112.0;
        QTest::newRow("start not below slew") << QByteArray("X1000,500,20") << QByteArray("+100") << 200.0;
        QTest::newRow("long ramps") << QByteArray("X10,6000,1599") << QByteArray("-8000") << 1864.5591;
    }
    void moveTiming()
    {
        QFETCH(QByteArray, setup);
        QFETCH(QByteArray, move);
        QFETCH(double, expectedMs);
        SimBench bench;
        bench.send(setup + '\r');
        QVERIFY(bench.runUntil("R\r", 1'000'000));
        bench.take();
        const qint64 start = bench.unit.nowUs();
        bench.send(move + '\r');
        constexpr qint64 kStepUs = 50;
        QVERIFY(bench.runUntil("R\r", 10'000'000, kStepUs));
        // "R" follows the end of the move at once and is seen at the first step after it. The core
        // rounds the end to 1 us, so the move lies within one step of the exact time; anything
        // wider would let a wrong ramp (a few ms) pass.
        const double moveUs = double(bench.unit.nowUs() - start);
        QVERIFY2(moveUs >= expectedMs * 1000 - 1 && moveUs <= expectedMs * 1000 + kStepUs + 1,
                 QByteArray::number(moveUs).constData());
    }

    void trapezoidShape()
    {
        SimBench bench;
        bench.send("+200\r");
        double lastSpeed = 0;
        qint64 lastPosition = 0;
        double topSpeed = 0;
        int rising = 0;
        int flat = 0;
        int falling = 0;
        while (bench.unit.activity() == VirtualUnit::Activity::Moving) {
            const double speed = bench.unit.speed();
            QVERIFY(bench.unit.position() >= lastPosition);
            QVERIFY(speed <= 1000.0 + 1e-9);
            if (speed > lastSpeed + 1e-9)
                ++rising;
            else if (speed < lastSpeed - 1e-9)
                ++falling;
            else
                ++flat;
            if (falling > 0)
                QVERIFY2(speed <= lastSpeed + 1e-9, "speed rose again after the ramp down began");
            topSpeed = std::max(topSpeed, speed);
            lastSpeed = speed;
            lastPosition = bench.unit.position();
            bench.run(1000);
        }
        QCOMPARE(topSpeed, 1000.0);
        // Each ramp takes 2r/(v0+v1) = 26.7 ms and the slew rate holds for 160 ms, sampled every
        // millisecond; the first sample counts as rising from standstill.
        QVERIFY2(rising >= 27 && rising <= 28, QByteArray::number(rising).constData());
        QVERIFY2(falling >= 26 && falling <= 27, QByteArray::number(falling).constData());
        QVERIFY2(flat >= 158 && flat <= 161, QByteArray::number(flat).constData());
        QCOMPARE(bench.unit.position(), 200);

        // At the end of the ramp up the motor has made the 20 ramp steps, half way the 100.
        SimBench second;
        second.send("+200\r");
        second.run(26'667);
        QVERIFY(second.unit.position() >= 19 && second.unit.position() <= 20);
        second.run(106'667 - 26'667);
        QCOMPARE(second.unit.position(), 100);
    }

    void capacityCountsTheDownload()
    {
        UnitConfig config;
        config.capacity = 3;
        SimBench bench(config);
        bench.download({"A1", "A2", "A3"});
        QCOMPARE(bench.take(), QByteArray());
        QCOMPARE(bench.unit.program().size(), 3);
        bench.download({"A1", "A2", "A3", "K"});
        QCOMPARE(bench.take(), QByteArray("E9\r"));
        QVERIFY(bench.unit.program().isEmpty());
    }

    void newDownloadReplacesTheProgram()
    {
        SimBench bench;
        bench.download({"A1"});
        bench.download({"A2"});
        QCOMPARE(bench.unit.program(), QList<QByteArray>{"A2"});
        bench.send("E\r");
        QVERIFY(bench.runUntil("R\r", 1'000'000));
        QVERIFY(!bench.unit.output(1));
        QVERIFY(bench.unit.output(2));
    }

    void reportsDuringAProgram()
    {
        SimBench bench;
        bench.download({"+100", "V1", "-30", "V1"});
        bench.send("E\r");
        QVERIFY(bench.runUntil("R\r", 10'000'000));
        QCOMPARE(bench.take(), QByteArray("100\r70\rR\r"));
    }

    // Random traffic made of pieces of real lines: every reply is one the unit is meant to give and
    // the motor never passes a switch.
    void randomTrafficGetsOnlyKnownReplies()
    {
        const QByteArrayList lines = {"P", "P", "E", "E", "K", "Z", "+300", "-400", "G800", "G-650", "H+", "H-",
                                      "g+1H", "g-2L", "D50", "W1H", "W2L", "J3H,1", "j2", "j9", "L0", "L3",
                                      "U1H", "V1", "V2", "V5", "A1", "C1", "I3", "f100", "X50,3000,200", "T6000"};
        const QByteArrayList pieces = {"+", "-", "G", "g", "H", "D", "L", "j", "J", "W", "U", "V", "A", "X", "T", "f",
                                       "I", "Q", "1", "2", "3", "0", "9", "20", "500", "-5", ",", "\b", "\n", " "};
        const QRegularExpression known(QStringLiteral(
            "^(E[234789]|E3 \\d+|B|R|-?\\d+|Inputs [LH]{3} Outputs [01]{3}|KR44 virtual unit 1.0|\\d+,\\d+,\\d+)$"));
        UnitConfig config;
        config.endOfTravelMinus = -700;
        config.endOfTravelPlus = 900;
        config.capacity = 12;
        QRandomGenerator random(4711);
        SimBench bench(config);
        for (int round = 0; round < 20000; ++round) {
            const quint32 what = random.bounded(10);
            if (what < 4)
                bench.send(lines.at(random.bounded(int(lines.size()))) + '\r');
            else if (what < 7)
                bench.send(pieces.at(random.bounded(int(pieces.size()))));
            else if (what < 9)
                bench.run(random.bounded(200'000));
            else
                bench.setInput(int(random.bounded(3)) + 1, random.bounded(2) == 1);
            QVERIFY(bench.unit.motorPosition() >= -700 && bench.unit.motorPosition() <= 900);
        }
        QByteArrayList replies = bench.out.split('\r');
        QVERIFY(replies.size() > 100);
        QVERIFY(replies.takeLast().isEmpty());
        for (const QByteArray &reply : std::as_const(replies))
            QVERIFY2(known.match(QString::fromLatin1(reply)).hasMatch(), reply.constData());
    }

    void timeStandsStillWhenIdle()
    {
        SimBench bench;
        bench.run(5'000'000);
        QCOMPARE(bench.unit.nowUs(), 5'000'000);
        QCOMPARE(bench.take(), QByteArray());
        QCOMPARE(bench.unit.currentLine(), 0);
        QVERIFY(!bench.unit.isBusy());
    }
};

KR44_TEST(TestVirtualUnit)
#include "tst_virtualunit.moc"
