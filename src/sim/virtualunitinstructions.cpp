// What each instruction does when the virtual unit executes it.

#include "sim/virtualunit.h"

namespace kr44 {

namespace {

char levelChar(bool high) { return high ? 'H' : 'L'; }

} // namespace

void VirtualUnit::executeNext()
{
    if (m_pc < 0 || m_pc >= m_exec.size()) {
        finishRun(true);
        return;
    }
    m_executing = m_pc;
    if (!m_direct) {
        if (m_hook)
            m_hook(m_pc + 1);
        ++m_stats.executed;
        m_stats.lastMoveSpeed = 0;
    }
    const QByteArray &line = m_exec.at(m_pc++);
    const char code = line.front();
    const ParamFields f = readParams(code, QByteArrayView(line).sliced(1));

    switch (code) {
    case '+':
    case '-':
    case 'G':
    case 'g':
    case 'H':
    case 'D':
    case 'W':
        if (startTimed(code, f))
            return;
        break;
    case 'j':
    case 'J':
    case 'U':
        jump(code, f);
        break;
    case 'L':
        if (!runLoopLine(f.at(0)))
            return;
        break;
    case 'K':
    case 'Z':
        // The motor stands still between instructions, so a smooth stop has nothing to ramp down.
        finishRun(true);
        return;
    default:
        applySetting(code, f);
        break;
    }
    endInstruction();
}

bool VirtualUnit::startTimed(char code, const ParamFields &f)
{
    switch (code) {
    case '+':
    case '-':
        startMove(code == '+' ? 1 : -1, f.at(0), true);
        return true;
    case 'G': {
        const qint64 delta = f.at(0) - position();
        if (delta == 0)
            return false;
        startMove(delta > 0 ? 1 : -1, double(delta > 0 ? delta : -delta), true);
        return true;
    }
    case 'g':
        if (inputIs(f.at(1), f.at(2)))
            return false;
        startMove(f.at(0) == 1 ? -1 : 1, MotionProfile::kUnbounded, true);
        if (m_activity == Activity::Moving) {
            m_motion.untilInput = f.at(1);
            m_motion.untilHigh = f.at(2) == 1;
        }
        return true;
    case 'H':
        startMove(f.at(0) == 1 ? -1 : 1, MotionProfile::kUnbounded, false);
        return true;
    case 'D':
        m_activity = Activity::Delaying;
        m_activityEndUs = later(m_nowUs, qint64(f.at(0)) * 1000);
        return true;
    case 'W':
        if (inputIs(f.at(0), f.at(1)))
            return false;
        m_activity = Activity::Waiting;
        m_waitInput = f.at(0);
        m_waitHigh = f.at(1) == 1;
        return true;
    default:
        return false;
    }
}

void VirtualUnit::jump(char code, const ParamFields &f)
{
    switch (code) {
    case 'j':
        m_pc = f.at(0) - 1;
        break;
    case 'J':
        if (inputIs(f.at(0), f.at(1)))
            m_pc = f.at(2) - 1;
        break;
    case 'U':
        if (!inputIs(f.at(0), f.at(1))) {
            m_pc = 0;
            m_loops.clear();
        }
        break;
    default:
        break;
    }
}

bool VirtualUnit::runLoopLine(int count)
{
    if (count == 0) {
        if (m_loops.size() >= kMaxLoopDepth) {
            abortRun("E8");
            return false;
        }
        m_loops.append({m_pc, -1});
        return true;
    }
    if (m_loops.isEmpty()) {
        abortRun("E8");
        return false;
    }
    LoopFrame &loop = m_loops.last();
    if (loop.remaining < 0)
        loop.remaining = count - 1;
    if (loop.remaining > 0) {
        --loop.remaining;
        m_pc = loop.bodyStart;
    } else {
        m_loops.removeLast();
    }
    return true;
}

void VirtualUnit::applySetting(char code, const ParamFields &f)
{
    switch (code) {
    case 'A':
    case 'C':
        m_outputs[size_t(f.at(0))] = code == 'A';
        break;
    case 'B':
        m_motor = f.at(0) + 1;
        break;
    case 'f':
        m_counterOffset = m_physical - f.at(0);
        record(m_nowUs, position());
        break;
    case 'I':
        if (f.at(0))
            m_counterOffset = m_physical;
        if (f.at(1))
            m_outputs = {};
        record(m_nowUs, position());
        break;
    case 'h':
        m_hold = {f.at(0), f.at(1)};
        break;
    case 'M':
        m_ministep = {f.at(0), f.at(1), f.at(2)};
        break;
    case 'T':
        m_accel.slewRate = f.at(0);
        break;
    case 'X':
        m_accel = {f.at(0), f.at(1), f.at(2)};
        break;
    case 'V':
        reply(report(f.at(0) + 1));
        break;
    default:
        break;
    }
}

bool VirtualUnit::inputIs(int input, int level) const
{
    return m_inputs[size_t(input - 1)] == (level == 1);
}

QByteArray VirtualUnit::report(int item) const
{
    switch (item) {
    case 1:
        return QByteArray::number(position());
    case 2: {
        QByteArray text = "Inputs ";
        for (const bool level : m_inputs)
            text += levelChar(level);
        text += " Outputs ";
        for (const bool on : m_outputs)
            text += on ? '1' : '0';
        return text;
    }
    case 3:
        return "25";
    case 4:
        return "KR44 virtual unit 1.0";
    default:
        return QByteArray::number(m_accel.startRate) + ',' + QByteArray::number(m_accel.slewRate)
                + ',' + QByteArray::number(m_accel.ramp);
    }
}

} // namespace kr44
