#include "sim/motionprofile.h"
#include "sim/virtualunit.h"
#include "simbench.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <cmath>

using namespace kr44;

// A KR44 unit on simulated time: what it answers, how it runs a program, how long it takes.
class TestVirtualUnit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The parameter ranges are the model's; these rows prove the unit consults them at each
    // kind of check: the code, a parameter where none belongs or missing, a field out of range
    // at either end, the I0 that initialises nothing, and the text composing back the same.
    void lineCheck()
    {
        const auto ok = LineCheck::Ok, code = LineCheck::BadCommand, bad = LineCheck::BadParameter;
        for (const auto &[line, check] : {std::pair {"+8388607", ok},
                                          {"K", ok},
                                          {"Q", code},
                                          {"", code},
                                          {" +", code},
                                          {"K1", bad},
                                          {"+", bad},
                                          {"+0", bad},
                                          {"+8388608", bad},
                                          {"I0", bad},
                                          {"+0200", bad}})
            QVERIFY2(checkProgramLine(line) == check, line);
    }

    // Every kind of reply, for bytes sent in one piece and one byte at a time (the command
    // window sends a byte per key). Lines are numbered as the unit receives them.
    void replies()
    {
        const QByteArray n200(200, '1'); // overlong
        const std::initializer_list<std::pair<QByteArray, QByteArray>> table = {
                {"P\rA1\rK\rP\r", ""},
                {"P\rQ7\r+0\rA1\rP\r", "E4\rE2\r"},
                {"P\rA1\rL3\rP\r", "E3 2\r"},
                {"P\rA1\rj3\rP\r", "E3 2\r"},
                {"P\rA1\rj2\rP\r", ""},
                {"Q\r", "E4\r"},
                {"A4\r", "E2\r"},
                {"P\rA1\rA1\rA1\rA1\rA2\rP\r", "E9\r"},
                {"j1\r", "E4\r"},
                {"A1\r", "R\r"},
                {"K\r", "R\r"},
                {"+1000\r", "E7\r"},
                {"P\rL0\rA1\rL2\rj3\rP\rE\r", "E8\r"},
                {"P\rL0\rj1\rP\rE\r", "E8\r"},
                {"P\rD100\rP\rE\rP\r", "B\rR\r"},
                {"D100\rK\r", "R\r"},
                {"P\rA1\rQ\rP\rE\rV2\r", "E4\rR\rInputs LLL Outputs 000\r"},
                {"\r\rP\r\rA1\r\rP\r", ""},
                {"V2\b1\r\n", "0\r"},
                {"\xD6\xB1\r", "0\r"},
                {"+" + n200 + "\r", "E2\r"},
                {"P\r+" + n200 + "\rP\r", "E2\r"},
                {"V1\r", "0\r"},
                {"E\r", "R\r"},
        };
        const UnitConfig config {{}, -100000, 1000, 4};
        for (const auto &[sent, expected] : table) {
            for (const qsizetype piece : {sent.size(), qsizetype(1)}) {
                SimBench bench(config);
                for (qsizetype i = 0; i < sent.size(); i += piece)
                    bench.send(sent.mid(i, piece));
                bench.run(5'000'000);
                QCOMPARE(bench.out, expected);
            }
        }
    }

    // The example program (examples/axis-demo.krp; its comment lines are never sent): five
    // times out and back, each once input 1 is high, and over again from line 2 while input 2
    // is high (here it is low). Ten moves of 213.3 ms and 23 fetches of 0.1 ms take 2135.6 ms.
    void exampleProgram()
    {
        SimBench bench(UnitConfig {{true, false, false}});
        bench.download({"X500,1000,20", "L0", "+200", "W1H", "-200", "L5", "J2H,2", "K"});
        bench.send("E\r");
        QVERIFY(bench.runUntil("R\r", 10'000'000, 100));
        QVERIFY(bench.unit.nowUs() >= 2'135'600 && bench.unit.nowUs() <= 2'135'700);
        int passes = 0;
        const QList<TracePoint> trace = bench.unit.trace();
        for (qsizetype i = 1; i < trace.size(); ++i)
            passes += trace[i].position == 200 && trace[i - 1].position != 200;
        QCOMPARE(passes, 5);
        QCOMPARE(bench.unit.position(), 0);
    }

    // A breakpoint pauses the run before its line: the line has not acted, time stands still
    // and a changed input waits for the run to go on. Step runs one instruction, a move to its
    // end; resume runs past the line paused before, and stops at the breakpoint again.
    void pauseStepAndBreakpoints()
    {
        SimBench bench(UnitConfig {{true, false, false}});
        bench.unit.setBreakCheck([](int line) { return line == 4 || line == 6; });
        bench.download({"X500,1000,20", "L0", "+200", "A1", "W2H", "-200", "L2"});
        bench.send("E\r");
        bench.run(1'000'000);
        QVERIFY(bench.unit.isPaused());
        QCOMPARE(bench.unit.activeLine(), 4);
        const qint64 pausedAt = bench.unit.nowUs();
        QVERIFY(pausedAt < 1'000'000);
        bench.run(5'000'000);
        QCOMPARE(bench.unit.nowUs(), pausedAt);
        QCOMPARE(bench.unit.position(), 200);
        QVERIFY(!bench.unit.output(1));

        bench.unit.step();
        bench.run(1'000'000);
        QVERIFY(bench.unit.output(1));
        QCOMPARE(bench.unit.activeLine(), 5);
        QCOMPARE(bench.unit.nowUs(), pausedAt + 100);
        bench.setInput(2, true); // recorded while paused
        bench.unit.resume();     // W2H passes at once, then the breakpoint on -200 holds
        bench.run(1'000'000);
        QCOMPARE(bench.unit.activeLine(), 6);
        QCOMPARE(bench.unit.nowUs(), pausedAt + 200);
        bench.unit.step(); // the whole move
        bench.run(5'000'000);
        QCOMPARE(bench.unit.position(), 0);
        QCOMPARE(bench.unit.activeLine(), 7);
        bench.unit.resume();
        bench.run(1'000'000);
        QCOMPARE(bench.unit.activeLine(), 4);
        bench.unit.setBreakCheck({});
        bench.unit.pause(); // a pause during a run holds it where it stands
        bench.unit.resume();
        QVERIFY(bench.runUntil("R\r", 10'000'000));
        QVERIFY(!bench.unit.isPaused());
        QCOMPARE(bench.unit.runStats().executed, 12);
    }

    // A program run counts its instructions, the steps moved each way and the top speed reached
    // (the triangle of a move shorter than two ramps peaks below the slew rate).
    void runStats()
    {
        SimBench bench(UnitConfig {{true, false, false}});
        bench.download({"X500,1000,20", "L0", "+10", "-30", "L2", "A1"});
        bench.send("E\r");
        QVERIFY(bench.runUntil("R\r", 10'000'000, 1));
        const RunStats &stats = bench.unit.runStats();
        QCOMPARE(stats.executed, 9);
        QCOMPARE(stats.distance, 80);
        QVERIFY(std::abs(stats.peakSpeed - std::sqrt(500.0 * 500 + 18750.0 * 30)) < 0.01);
        QCOMPARE(stats.endUs, bench.unit.nowUs());
    }

    // What each instruction does to the position counter and the outputs, seen in the reports
    // after the program ran to its "R".
    void programEffects()
    {
        const std::initializer_list<std::tuple<QByteArrayList, int, QByteArray>> table = {
                {{"A2", "A3", "C3"}, 0, "010"},
                {{"A1", "A3", "+30", "I2"}, 30, "000"},
                {{"A2", "+30", "I1"}, 0, "010"},
                {{"f-1000"}, -1000, "000"},
                {{"f50", "+10", "-15"}, 45, "000"},
                {{"G-250", "W1H", "g+1H"}, -250, "000"},
                {{"j3", "A1", "A2"}, 0, "010"},
                {{"J1H,3", "A1", "A2"}, 0, "010"},
                {{"J1L,3", "A1", "A2"}, 0, "110"},
                {{"L0", "+1", "L7"}, 7, "000"},
                {{"L0", "L0", "+1", "L3", "-1", "L2"}, 4, "000"},
                {{"+3", "U1H", "+5"}, 8, "000"},
                {{"A1", "Z", "A2"}, 0, "100"},
        };
        for (const auto &[program, n, outs] : table) {
            SimBench bench(UnitConfig {{true, false, false}});
            bench.download(program);
            bench.send("E\r");
            QVERIFY2(bench.runUntil("R\r", 10'000'000) && bench.take() == "R\r", program.join(' '));
            bench.send("V1\rV2\r");
            QCOMPARE(bench.take(), QByteArray::number(n) + "\rInputs HLL Outputs " + outs + "\r");
        }
    }

    // A delay and moves take their time: with start rate v0, slew rate v1 and ramp r each full
    // ramp takes 2r/(v0+v1), the rest runs at v1; a move shorter than two ramps peaks at
    // sqrt(v0^2 + a*d), a = (v1^2 - v0^2)/(2r). "R" is seen at the first 50 us step after.
    void timing()
    {
        const std::initializer_list<std::tuple<QByteArray, QByteArray, double>> table = {
                {"X500,1000,20", "D250", 250.0},
                {"X500,1000,20", "-20", 30.9941},
                {"T2000", "+200", 112.0},
                {"X1000,500,20", "+100", 200.0},
        };
        for (const auto &[setup, command, expectedMs] : table) {
            SimBench bench; // the setup takes no time
            bench.send(setup + '\r' + command + '\r');
            QVERIFY(bench.runUntil("R\rR\r", 10'000'000, 50));
            const double late = double(bench.unit.nowUs()) - expectedMs * 1000;
            QVERIFY2(late >= -1 && late <= 51, command);
        }
    }

    // The switches are where the motor is, not where the counter says; homing looks for them,
    // every other move stops on one with E7; K stops a moving motor at once.
    void travelLimitsAndStop()
    {
        SimBench bench(UnitConfig {{}, -300, 500});
        for (const auto &[command, reply] : {std::pair {"H+", "R\r"},
                                             {"f0", "R\r"},
                                             {"+1", "E7\r"},
                                             {"G-1000", "E7\r"},
                                             {"V1", "-800\r"}}) {
            bench.send(QByteArray(command) + '\r');
            QVERIFY2(bench.runUntil("\r", 10'000'000) && bench.take() == reply, command);
        }
        QCOMPARE(bench.unit.motorPosition(), -300);
        bench.send("+50000\r");
        bench.run(100'000);
        const qint64 reached = bench.unit.position();
        QVERIFY(reached > -800 && reached < 0 && bench.unit.speed() > 0);
        bench.send("K\r");
        bench.run(1'000'000);
        QVERIFY(bench.take() == "R\r" && bench.unit.position() == reached);
    }

    // Random traffic made of pieces of real lines: every reply is one the unit is meant to give
    // and the motor never passes a switch.
    void randomTrafficGetsOnlyKnownReplies()
    {
        const QByteArrayList lines
                = {"P",    "P",     "E",  "E",  "K",    "Z",    "+300",         "-400",
                   "G800", "G-650", "H+", "H-", "g+1H", "g-2L", "D50",          "W1H",
                   "W2L",  "J3H,1", "j2", "j9", "L0",   "L3",   "U1H",          "V1",
                   "V2",   "V5",    "A1", "C1", "I3",   "f100", "X50,3000,200", "T6000",
                   "\b",   "\n",    " "};
        const QRegularExpression known(
                QStringLiteral("^(E[234789]|E3 \\d+|B|R|-?\\d+|KR44 virtual "
                               "unit 1.0|Inputs [LH]{3} Outputs [01]{3}|\\d+,\\d+,\\d+)$"));
        QRandomGenerator random(4711);
        SimBench bench(UnitConfig {{}, -700, 900, 12});
        for (int round = 0; round < 20000; ++round) {
            const quint32 what = random.bounded(10);
            const QByteArray &line = lines.at(random.bounded(int(lines.size())));
            if (what < 4)
                bench.send(line + '\r');
            else if (what < 7) // a piece of a line
                bench.send(line.mid(random.bounded(int(line.size()))));
            else if (what < 9)
                bench.run(random.bounded(200'000));
            else
                bench.setInput(int(random.bounded(3)) + 1, random.bounded(2) == 1);
            QVERIFY(bench.unit.motorPosition() >= -700 && bench.unit.motorPosition() <= 900);
        }
        QByteArrayList replies = bench.out.split('\r');
        QVERIFY(replies.size() > 100 && replies.takeLast().isEmpty());
        for (const QByteArray &reply : std::as_const(replies))
            QVERIFY2(known.match(QString::fromLatin1(reply)).hasMatch(), reply.constData());
    }

    // Time and distance are inverse to each other, the speed is continuous and never above
    // the slew rate, and the move ends at rest at its distance.
    void motionProfileIsConsistent()
    {
        const std::initializer_list<std::tuple<int, int, int, double>> table = {
                {500, 1000, 20, 200},
                {500, 1000, 20, 25},
                {10, 6000, 1599, 8000},
                {1000, 500, 20, 100},
        };
        for (const auto &[start, slew, ramp, distance] : table) {
            const MotionProfile p({start, slew, ramp}, distance);
            const double duration = p.duration();
            QVERIFY(duration > 0 && std::abs(p.distanceAt(duration) - distance) < 1e-6 * distance);
            QVERIFY(p.speedAt(duration + 1e-3) == 0 && p.topSpeed() <= slew + 1e-9);
            const double dt = duration / 500;
            for (double t = dt; t < duration; t += dt) {
                const double x = p.distanceAt(t), v = p.speedAt(t), before = p.speedAt(t - dt);
                QVERIFY(std::abs(p.timeAt(x) - t) < 1e-9 + 1e-9 * duration
                        && std::abs(v - before) <= p.acceleration() * dt + 1e-6
                        && std::abs(x - p.distanceAt(t - dt) - (v + before) / 2 * dt)
                                < p.acceleration() * dt * dt / 2 + 1e-9 * distance + 1e-9);
            }
        }
    }
};

KR44_TEST(TestVirtualUnit)
#include "tst_virtualunit.moc"
