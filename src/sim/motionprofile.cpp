#include "sim/motionprofile.h"

#include <algorithm>
#include <cmath>

namespace kr44 {

MotionProfile::MotionProfile(const AccelProfile &profile, double distance)
    : m_distance(std::max(0.0, distance))
{
    const double v0 = std::max(1, profile.startRate);
    const double v1 = std::max(1, profile.slewRate);
    const double ramp = std::max(1, profile.ramp);
    if (v0 >= v1) {
        // Nothing to ramp: the motor can start straight at the slew rate.
        m_start = m_peak = v1;
        m_flatDist = m_distance;
        return;
    }
    m_start = v0;
    m_accel = (v1 * v1 - v0 * v0) / (2.0 * ramp);
    m_rampDist = isUnbounded() ? ramp : std::min(ramp, m_distance / 2.0);
    m_peak = std::sqrt(v0 * v0 + 2.0 * m_accel * m_rampDist);
    m_rampTime = (m_peak - m_start) / m_accel;
    m_flatDist = isUnbounded() ? kUnbounded : m_distance - 2.0 * m_rampDist;
}

double MotionProfile::duration() const
{
    if (isUnbounded())
        return kUnbounded;
    const double ramps = m_accel > 0 ? 2.0 * m_rampTime : 0.0;
    return ramps + m_flatDist / m_peak;
}

double MotionProfile::timeAt(double x) const
{
    x = std::clamp(x, 0.0, m_distance);
    if (x <= m_rampDist && m_accel > 0)
        return (std::sqrt(m_start * m_start + 2.0 * m_accel * x) - m_start) / m_accel;
    const double flatEnd = m_rampDist + m_flatDist;
    if (x <= flatEnd)
        return m_rampTime + (x - m_rampDist) / m_peak;
    const double into = x - flatEnd;
    const double v = std::sqrt(std::max(0.0, m_peak * m_peak - 2.0 * m_accel * into));
    return m_rampTime + m_flatDist / m_peak + (m_peak - v) / m_accel;
}

double MotionProfile::distanceAt(double t) const
{
    if (t <= 0)
        return 0;
    if (t <= m_rampTime)
        return std::min(m_distance, m_start * t + m_accel * t * t / 2.0);
    const double flatTime = m_flatDist / m_peak;
    t -= m_rampTime;
    if (t <= flatTime)
        return std::min(m_distance, m_rampDist + m_peak * t);
    t = std::min(t - flatTime, m_rampTime);
    return std::min(m_distance, m_rampDist + m_flatDist + m_peak * t - m_accel * t * t / 2.0);
}

double MotionProfile::speedAt(double t) const
{
    if (t < 0 || (!isUnbounded() && t >= duration()))
        return 0;
    if (t < m_rampTime)
        return m_start + m_accel * t;
    const double flatTime = m_flatDist / m_peak;
    t -= m_rampTime;
    if (t <= flatTime)
        return m_peak;
    return m_peak - m_accel * (t - flatTime);
}

} // namespace kr44
