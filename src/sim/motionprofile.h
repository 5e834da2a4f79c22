#pragma once

#include <limits>

// The acceleration profile set by X (and the slew rate also set by T).

namespace kr44 {

struct AccelProfile
{
    int startRate = 500; // steps per second the motor starts and stops at without a ramp
    int slewRate = 1000; // top speed, steps per second
    int ramp = 20;       // steps over which the speed goes from the start rate to the slew rate

    friend bool operator==(const AccelProfile &a, const AccelProfile &b)
    {
        return a.startRate == b.startRate && a.slewRate == b.slewRate && a.ramp == b.ramp;
    }
};

// The speed over one move: a trapezoid with constant acceleration from the start rate to the slew
// rate over `ramp` steps, a run at the slew rate, and the mirror ramp down to the start rate at the
// end. A move shorter than two ramps turns into a triangle that peaks half way. A move of unbounded
// length (homing, go-until) never ramps down: something else stops it.
//
// Distances are in steps, times in seconds, both as doubles; the caller decides how to round.
class MotionProfile
{
public:
    static constexpr double kUnbounded = std::numeric_limits<double>::infinity();

    MotionProfile() = default;
    MotionProfile(const AccelProfile &profile, double distance);

    [[nodiscard]] double distance() const { return m_distance; }
    [[nodiscard]] bool isUnbounded() const { return m_distance == kUnbounded; }
    // Time to complete the move; infinite for an unbounded one.
    [[nodiscard]] double duration() const;
    [[nodiscard]] double topSpeed() const { return m_peak; }
    [[nodiscard]] double acceleration() const { return m_accel; }
    // Length in time of each ramp; 0 when there is none.
    [[nodiscard]] double rampTime() const { return m_rampTime; }
    // Time at which `x` steps have been travelled (0 <= x <= distance).
    [[nodiscard]] double timeAt(double x) const;
    // Steps travelled after `t` seconds, clamped to the distance.
    [[nodiscard]] double distanceAt(double t) const;
    [[nodiscard]] double speedAt(double t) const;

private:
    double m_distance = 0;
    double m_start = 0;    // speed at t = 0
    double m_peak = 0;     // speed on the flat part
    double m_accel = 0;    // steps/s^2, 0 when the start rate is not below the slew rate
    double m_rampDist = 0; // length of each ramp
    double m_rampTime = 0;
    double m_flatDist = 0; // may be infinite
};

} // namespace kr44
