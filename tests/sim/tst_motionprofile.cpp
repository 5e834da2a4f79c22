#include "motionprofile.h"
#include "testmain.h"

#include <QTest>

#include <cmath>

using namespace kr44;

class TestMotionProfile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void consistency_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("slew");
        QTest::addColumn<int>("ramp");
        QTest::addColumn<double>("distance");
        QTest::newRow("trapezoid") << 500 << 1000 << 20 << 200.0;
        QTest::newRow("exactly two ramps") << 500 << 1000 << 20 << 40.0;
        QTest::newRow("triangle") << 500 << 1000 << 20 << 25.0;
        QTest::newRow("one step") << 500 << 1000 << 20 << 1.0;
        QTest::newRow("steep") << 10 << 6000 << 1 << 1000.0;
        QTest::newRow("long ramps") << 10 << 6000 << 1599 << 8000.0;
        QTest::newRow("no ramp") << 1000 << 500 << 20 << 100.0;
        QTest::newRow("equal rates") << 800 << 800 << 20 << 100.0;
        QTest::newRow("far") << 500 << 1000 << 20 << 8388607.0;
    }
    // Time and distance are inverse to each other, the speed is continuous, never above the slew
    // rate, and the move ends at its distance at rest.
    void consistency()
    {
        QFETCH(int, start);
        QFETCH(int, slew);
        QFETCH(int, ramp);
        QFETCH(double, distance);
        const MotionProfile p({start, slew, ramp}, distance);
        const double duration = p.duration();
        QVERIFY(duration > 0);
        QVERIFY(std::abs(p.distanceAt(duration) - distance) < 1e-6 * distance);
        QCOMPARE(p.distanceAt(duration * 2), distance);
        QCOMPARE(p.distanceAt(-1), 0.0);
        QCOMPARE(p.speedAt(duration + 1e-3), 0.0);
        QVERIFY(p.topSpeed() <= slew + 1e-9);
        QVERIFY(p.topSpeed() >= std::min(start, slew) - 1e-9);

        constexpr int kSamples = 500;
        double lastDistance = 0;
        double lastSpeed = p.speedAt(0);
        QCOMPARE(lastSpeed, double(std::min(start, slew)));
        for (int i = 1; i < kSamples; ++i) {
            const double t = duration * i / kSamples;
            const double x = p.distanceAt(t);
            QVERIFY(x >= lastDistance);
            QVERIFY2(std::abs(p.timeAt(x) - t) < 1e-9 + 1e-9 * duration, QByteArray::number(t).constData());
            const double v = p.speedAt(t);
            // Between two samples the speed changes by at most the acceleration times the step.
            QVERIFY(std::abs(v - lastSpeed) <= p.acceleration() * duration / kSamples + 1e-6);
            // The distance covered between samples matches the mean speed over them; only a step
            // across a corner of the trapezoid may differ, by less than a*dt^2/2.
            const double dt = duration / kSamples;
            QVERIFY(std::abs((x - lastDistance) - (v + lastSpeed) / 2 * dt)
                    < p.acceleration() * dt * dt / 2 + 1e-9 * distance + 1e-9);
            lastDistance = x;
            lastSpeed = v;
        }
    }

    void rampReachesSlewAfterRampSteps()
    {
        const MotionProfile p({500, 1000, 20}, 200);
        QCOMPARE(p.topSpeed(), 1000.0);
        QVERIFY(std::abs(p.rampTime() - 40.0 / 1500.0) < 1e-12);
        QVERIFY(std::abs(p.distanceAt(p.rampTime()) - 20.0) < 1e-9);
        QVERIFY(std::abs(p.timeAt(180) - (p.duration() - p.rampTime())) < 1e-9);
    }

    void unboundedNeverRampsDown()
    {
        const MotionProfile p({500, 1000, 20}, MotionProfile::kUnbounded);
        QVERIFY(p.isUnbounded());
        QVERIFY(std::isinf(p.duration()));
        QCOMPARE(p.speedAt(3600), 1000.0);
        QVERIFY(std::abs(p.distanceAt(p.rampTime() + 10) - (20 + 10000)) < 1e-6);
        QVERIFY(std::abs(p.timeAt(10020) - (p.rampTime() + 10)) < 1e-9);
    }
};

KR44_TEST(TestMotionProfile)
#include "tst_motionprofile.moc"
