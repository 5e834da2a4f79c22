#include "sim/virtualunit.h"

#include "model/instructionset.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace kr44 {

namespace {

constexpr qint64 kNever = std::numeric_limits<qint64>::max();

qint64 toUs(double seconds)
{
    return std::isfinite(seconds) ? std::llround(seconds * 1e6) : kNever;
}

bool isFlowControl(char code) { return code == 'j' || code == 'J' || code == 'L' || code == 'U'; }

} // namespace

qint64 VirtualUnit::later(qint64 now, qint64 us) { return us >= kNever - now ? kNever : now + us; }

LineCheck checkProgramLine(QByteArrayView line)
{
    if (line.isEmpty() || instructionIndex(line.front()) < 0)
        return LineCheck::BadCommand;
    const char code = line.front();
    const QByteArrayView params = line.sliced(1);
    const QList<FieldSpec> specs = fieldSpecs(code);
    if (specs.isEmpty())
        return params.isEmpty() ? LineCheck::Ok : LineCheck::BadParameter;
    // readParams is lenient (it reads "+ 1L" or "007"), so the text must also be exactly what
    // composing its fields gives back.
    if (params.isEmpty())
        return LineCheck::BadParameter;
    const ParamFields fields = readParams(code, params);
    for (qsizetype i = 0; i < specs.size(); ++i) {
        if (fields.at(i) < specs.at(i).minimum || fields.at(i) > specs.at(i).maximum)
            return LineCheck::BadParameter;
    }
    if (code == 'I' && fields.at(0) == 0 && fields.at(1) == 0)
        return LineCheck::BadParameter;
    return composeParams(code, fields) == params ? LineCheck::Ok : LineCheck::BadParameter;
}

VirtualUnit::VirtualUnit(const UnitConfig &config) : m_config(config)
{
    // A zero fetch time would let a program that jumps to itself spin without time passing.
    m_config.instructionTimeUs = std::max<qint64>(1, m_config.instructionTimeUs);
    m_config.capacity = std::max(0, m_config.capacity);
    m_inputs = m_config.inputs;
}

QByteArray VirtualUnit::receive(QByteArrayView bytes)
{
    for (const char byte : bytes) {
        const char c = char(byte & 0x7f); // the line carries seven data bits
        if (c == '\r') {
            const QByteArray line = std::exchange(m_rx, QByteArray());
            handleLine(line, std::exchange(m_rxOverlong, false));
        } else if (c == '\n') {
            continue;
        } else if (c == '\b' || c == 0x7f) {
            if (!m_rx.isEmpty())
                m_rx.chop(1);
        } else if (m_rx.size() < kMaxLineLength) {
            m_rx.append(c);
        } else {
            m_rxOverlong = true;
        }
    }
    return takeOutput();
}

QByteArray VirtualUnit::advance(qint64 us)
{
    runUntil(later(m_nowUs, std::max<qint64>(0, us)));
    return takeOutput();
}

QByteArray VirtualUnit::setInput(int input, bool high)
{
    if (input >= 1 && input <= 3)
        m_inputs[size_t(input - 1)] = high;
    runUntil(m_nowUs);
    return takeOutput();
}

int VirtualUnit::currentLine() const
{
    return isRunningProgram() && m_executing >= 0 ? m_executing + 1 : 0;
}

qint64 VirtualUnit::position() const { return motorPosition() - m_counterOffset; }

qint64 VirtualUnit::motorPosition() const { return physicalAt(m_nowUs); }

double VirtualUnit::speed() const
{
    if (activity() != Activity::Moving || m_nowUs >= m_motion.endUs)
        return 0;
    return m_motion.direction * m_motion.profile.speedAt(double(m_nowUs - m_motion.startUs) / 1e6);
}

bool VirtualUnit::input(int input) const
{
    return input >= 1 && input <= 3 && m_inputs[size_t(input - 1)];
}

bool VirtualUnit::output(int output) const
{
    return output >= 1 && output <= 3 && m_outputs[size_t(output - 1)];
}

QList<TracePoint> VirtualUnit::trace() const
{
    QList<TracePoint> points = m_trace;
    if (activity() == Activity::Moving)
        points.append({m_nowUs, position()});
    return points;
}

// ---- lines ------------------------------------------------------------------------------------

void VirtualUnit::handleLine(const QByteArray &line, bool overlong)
{
    switch (m_mode) {
    case Mode::Downloading:
        handleDownloadLine(line, overlong);
        break;
    case Mode::Running:
        if (line == "K") {
            stopMotionAt(m_nowUs);
            finishRun(true);
        } else if (!line.isEmpty() || overlong) {
            reply("B");
        }
        break;
    case Mode::Idle:
        handleIdleLine(line, overlong);
        break;
    }
}

void VirtualUnit::handleDownloadLine(const QByteArray &line, bool overlong)
{
    if (line == "P" && !overlong) {
        endDownload();
        return;
    }
    if (line.isEmpty() && !overlong)
        return;
    LineCheck check = checkProgramLine(line);
    if (overlong && check == LineCheck::Ok)
        check = LineCheck::BadParameter;
    if (check == LineCheck::BadCommand) {
        reply("E4");
    } else if (check == LineCheck::BadParameter) {
        reply("E2");
    } else if (m_download.size() >= m_config.capacity) {
        reply("E9");
    } else {
        m_download.append(line);
        return;
    }
    m_downloadFailed = true;
}

void VirtualUnit::handleIdleLine(const QByteArray &line, bool overlong)
{
    if (line.isEmpty() && !overlong)
        return;
    if (line == "P" && !overlong) {
        m_mode = Mode::Downloading;
        m_program.clear();
        m_download.clear();
        m_downloadFailed = false;
        return;
    }
    if (line == "E" && !overlong) {
        startRun(m_program, false);
        return;
    }
    LineCheck check = checkProgramLine(line);
    if (overlong && check == LineCheck::Ok)
        check = LineCheck::BadParameter;
    // Jumps and loops only mean something inside a stored program.
    if (check == LineCheck::BadCommand || isFlowControl(line.front()))
        reply("E4");
    else if (check == LineCheck::BadParameter)
        reply("E2");
    else
        startRun({line}, true);
}

void VirtualUnit::endDownload()
{
    m_mode = Mode::Idle;
    const QList<QByteArray> lines = std::exchange(m_download, {});
    // A program with a refused line is never kept: running what is left of it would move the
    // motor through a program nobody wrote.
    if (std::exchange(m_downloadFailed, false))
        return;
    int depth = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArrayView line = lines.at(i);
        bool bad = false;
        if (line.front() == 'L') {
            if (readParams('L', line.sliced(1)).at(0) == 0)
                ++depth;
            else if (depth == 0)
                bad = true;
            else
                --depth;
        } else if (const auto target = jumpTarget(line.first(1), line.sliced(1))) {
            bad = *target < 1 || *target > lines.size();
        }
        if (bad) {
            reply("E3 " + QByteArray::number(i + 1));
            return;
        }
    }
    m_program = lines;
}

// ---- running ----------------------------------------------------------------------------------

void VirtualUnit::startRun(const QList<QByteArray> &lines, bool direct)
{
    m_mode = Mode::Running;
    m_exec = lines;
    m_direct = direct;
    m_pc = 0;
    m_executing = -1;
    m_loops.clear();
    m_activity = Activity::None;
    m_paused = m_stepping = false;
    m_passPc = -1;
    if (!direct) {
        m_stats = {};
        m_trace.clear();
        record(m_nowUs, position());
    }
    runUntil(m_nowUs);
}

void VirtualUnit::finishRun(bool sendReady)
{
    // A direct report is its own answer; "R" after it would arrive glued to the report.
    const bool directReport = m_direct && !m_exec.isEmpty() && m_exec.first().front() == 'V';
    if (sendReady && !directReport)
        reply("R");
    if (!m_direct)
        m_stats.endUs = m_nowUs;
    m_mode = Mode::Idle;
    m_activity = Activity::None;
    m_executing = -1;
    m_paused = m_stepping = false;
    m_direct = false;
    m_exec.clear();
    m_loops.clear();
}

void VirtualUnit::abortRun(QByteArrayView error)
{
    stopMotionAt(m_nowUs);
    reply(error);
    finishRun(false);
}

void VirtualUnit::pause()
{
    if (isRunningProgram())
        m_paused = true;
}

void VirtualUnit::resume()
{
    m_paused = false;
    runUntil(m_nowUs);
}

void VirtualUnit::step()
{
    if (!isPaused())
        return;
    m_stepping = true;
    resume();
}

bool VirtualUnit::pausesBeforeFetch()
{
    if (m_direct || m_pc < 0 || m_pc >= m_exec.size())
        return false;
    if (m_passPc == m_pc) {
        m_passPc = -1;
        return false;
    }
    if (!m_stepping && !(m_breakCheck && m_breakCheck(m_pc + 1)))
        return false;
    m_stepping = false;
    m_paused = true;
    m_passPc = m_pc;
    return true;
}

void VirtualUnit::runUntil(qint64 targetUs)
{
    while (m_mode == Mode::Running) {
        if (isPaused())
            return;
        switch (m_activity) {
        case Activity::None:
            if (!pausesBeforeFetch())
                executeNext();
            break;
        case Activity::Instruction:
        case Activity::Delaying:
            if (m_activityEndUs > targetUs) {
                m_nowUs = targetUs;
                return;
            }
            m_nowUs = m_activityEndUs;
            if (m_activity == Activity::Delaying)
                endInstruction();
            else
                m_activity = Activity::None;
            break;
        case Activity::Waiting:
            if (m_inputs[size_t(m_waitInput - 1)] != m_waitHigh) {
                m_nowUs = targetUs;
                return;
            }
            endInstruction();
            break;
        case Activity::Moving:
            if (m_motion.untilInput != 0
                && m_inputs[size_t(m_motion.untilInput - 1)] == m_motion.untilHigh) {
                stopMotionAt(m_nowUs);
                endInstruction();
                break;
            }
            if (m_motion.endUs > targetUs) {
                m_nowUs = targetUs;
                return;
            }
            m_nowUs = m_motion.endUs;
            if (m_motion.hitsEndOfTravel && m_motion.errorAtSwitch) {
                abortRun("E7");
            } else {
                stopMotionAt(m_nowUs);
                endInstruction();
            }
            break;
        }
    }
    m_nowUs = std::max(m_nowUs, targetUs);
}

void VirtualUnit::endInstruction()
{
    // The last instruction ends the run at once, so a direct command that takes no time is
    // answered before the next command can find the unit busy.
    if (m_pc < 0 || m_pc >= m_exec.size()) {
        finishRun(true);
        return;
    }
    m_activity = Activity::Instruction;
    m_activityEndUs = later(m_nowUs, m_config.instructionTimeUs);
}

void VirtualUnit::startMove(int direction, double distance, bool errorAtSwitch)
{
    const qint64 switchAt = direction > 0 ? m_config.endOfTravelPlus : m_config.endOfTravelMinus;
    const double toSwitch = double((switchAt - m_physical) * direction);
    if (toSwitch <= 0) {
        // Already standing on the switch in the direction of travel.
        if (errorAtSwitch)
            abortRun("E7");
        else
            endInstruction();
        return;
    }
    m_motion = Motion();
    m_motion.profile = MotionProfile(m_accel, distance);
    m_motion.startUs = m_nowUs;
    m_motion.startPhysical = m_physical;
    m_motion.direction = direction;
    m_motion.errorAtSwitch = errorAtSwitch;
    if (toSwitch <= distance) {
        m_motion.hitsEndOfTravel = true;
        m_motion.endUs = later(m_nowUs, toUs(m_motion.profile.timeAt(toSwitch)));
    } else {
        m_motion.endUs = later(m_nowUs, toUs(m_motion.profile.duration()));
    }
    m_activity = Activity::Moving;
    record(m_nowUs, position());
}

qint64 VirtualUnit::physicalAt(qint64 us) const
{
    if (m_mode != Mode::Running || m_activity != Activity::Moving)
        return m_physical;
    const qint64 limit = m_motion.hitsEndOfTravel
            ? (m_motion.direction > 0 ? m_config.endOfTravelPlus : m_config.endOfTravelMinus)
                    - m_motion.startPhysical
            : qint64(m_motion.profile.distance()) * m_motion.direction;
    if (us >= m_motion.endUs)
        return m_motion.startPhysical + limit;
    const double travelled = m_motion.profile.distanceAt(double(us - m_motion.startUs) / 1e6);
    // The small epsilon keeps a step that is complete in exact arithmetic from reading one short.
    const qint64 steps = std::min(qint64(std::floor(travelled + 1e-6)), limit * m_motion.direction);
    return m_motion.startPhysical + steps * m_motion.direction;
}

void VirtualUnit::stopMotionAt(qint64 us)
{
    if (m_mode != Mode::Running || m_activity != Activity::Moving)
        return;
    recordMotion(us);
    const qint64 reached = physicalAt(us);
    if (!m_direct) {
        m_stats.distance += reached > m_motion.startPhysical ? reached - m_motion.startPhysical
                                                             : m_motion.startPhysical - reached;
        // The speed only rises over the first ramp, so the top speed is reached by its end.
        const double elapsed = double(us - m_motion.startUs) / 1e6;
        const double top = m_motion.profile.speedAt(std::min(elapsed, m_motion.profile.rampTime()));
        m_stats.lastMoveSpeed = top;
        m_stats.peakSpeed = std::max(m_stats.peakSpeed, top);
    }
    m_physical = reached;
    m_activity = Activity::None;
}

void VirtualUnit::recordMotion(qint64 untilUs)
{
    const MotionProfile &p = m_motion.profile;
    const double until = double(untilUs - m_motion.startUs) / 1e6;
    const auto sample = [&](double t) {
        if (t > 0 && t < until) {
            const qint64 steps = qint64(std::floor(p.distanceAt(t) + 1e-6));
            record(m_motion.startUs + toUs(t),
                   m_motion.startPhysical + steps * m_motion.direction - m_counterOffset);
        }
    };
    const double rampTime = p.rampTime();
    constexpr int kRampSamples = 8;
    for (int k = 1; k <= kRampSamples; ++k)
        sample(rampTime * k / kRampSamples);
    if (!p.isUnbounded()) {
        const double decelStart = p.duration() - rampTime;
        for (int k = 0; k < kRampSamples; ++k)
            sample(decelStart + rampTime * k / kRampSamples);
    }
    record(untilUs, physicalAt(untilUs) - m_counterOffset);
}

void VirtualUnit::record(qint64 us, qint64 position)
{
    if (m_trace.size() >= kTraceLimit)
        m_trace.remove(0, kTraceLimit / 2);
    m_trace.append({us, position});
}

void VirtualUnit::reply(QByteArrayView text)
{
    m_out.append(text.data(), text.size());
    m_out.append('\r');
}

QByteArray VirtualUnit::takeOutput() { return std::exchange(m_out, QByteArray()); }

} // namespace kr44
