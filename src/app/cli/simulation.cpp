#include "app/cli/simulation.h"

#include "link/download.h"
#include "model/programcheck.h"

#include <QCoreApplication>

#include <algorithm>

namespace kr44 {

namespace {

UnitConfig configFor(const SimulationSetup &setup)
{
    UnitConfig config;
    config.inputs = setup.inputs;
    return config;
}

std::array<bool, 3> levels(const VirtualUnit &unit, bool (VirtualUnit::*level)(int) const)
{
    return {(unit.*level)(1), (unit.*level)(2), (unit.*level)(3)};
}

} // namespace

Simulation::Simulation(LineArray lines, SimulationSetup setup)
    : m_lines(std::move(lines)), m_setup(std::move(setup)), m_unit(configFor(m_setup))
{
    for (int unitLine = 1;; ++unitLine) {
        const std::optional<int> editor = editorLineOf(m_lines, unitLine);
        if (!editor)
            break;
        m_editorLines.append(*editor);
        const QByteArrayView text = m_lines.at(*editor - 1);
        m_loopPasses.append(text.front() == 'L' && text != "L0" ? 0 : -1);
    }
    std::stable_sort(m_setup.changes.begin(), m_setup.changes.end(),
                     [](const InputChange &a, const InputChange &b) { return a.atUs < b.atUs; });
    m_unit.setInstructionHook([this](int line) { instructionFetched(line); });
}

int Simulation::editorLine(int unitLine) const
{
    return unitLine >= 1 && unitLine <= m_editorLines.size() ? m_editorLines.at(unitLine - 1) : 0;
}

qint64 Simulation::runTimeUs() const { return stats().endUs >= 0 ? stats().endUs : m_unit.nowUs(); }

Simulation::Outcome Simulation::run()
{
    download();
    for (const InputChange &change : std::as_const(m_setup.changes)) {
        if (!m_unit.isRunningProgram() || change.atUs > m_setup.maxTimeUs)
            break;
        take(m_unit.advance(change.atUs - m_unit.nowUs()), 0);
        take(m_unit.setInput(change.input, change.high), 0);
    }
    if (m_unit.isRunningProgram())
        take(m_unit.advance(m_setup.maxTimeUs - m_unit.nowUs()), 0);
    // The last instruction, also one still running at the time limit, as it stands now.
    if (m_executingLine > 0)
        finishStep();
    if (!m_error.isEmpty())
        return Outcome::Error;
    return m_unit.isRunningProgram() ? Outcome::TimeLimit : Outcome::Ready;
}

// The writes of a real "Send and run"; a refused line is answered while it is written, so the
// reply names that line.
void Simulation::download()
{
    QList<int> sentEditorLines;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (!isKeptFromUnit(m_lines.at(i)))
            sentEditorLines.append(int(i + 1));
    }
    Download writes(m_lines, Download::Kind::SendAndRun);
    qsizetype lineWrites = 0;
    while (!writes.atEnd()) {
        const Download::Write write = writes.next();
        int unitLine = 0;
        if (write.type == Download::Write::Type::Line)
            unitLine = unitLineOf(m_lines, sentEditorLines.value(lineWrites++)).value_or(0);
        else if (write.bytes == "E")
            m_program = m_unit.program();
        take(m_unit.receive(write.bytes), unitLine);
    }
}

void Simulation::take(const QByteArray &output, int unitLine)
{
    m_pendingOutput += output;
    qsizetype end = 0;
    while ((end = m_pendingOutput.indexOf('\r')) >= 0) {
        const QByteArray reply = m_pendingOutput.left(end);
        m_pendingOutput.remove(0, end + 1);
        m_replies.append(reply);
        if (reply.startsWith('E') && m_error.isEmpty()) {
            m_error = reply;
            // "E3 n" names the line itself; a run error concerns the line being executed.
            m_errorUnitLine = reply.startsWith("E3") ? reply.mid(2).trimmed().toInt()
                    : unitLine > 0                   ? unitLine
                                                     : m_executingLine;
        }
    }
}

void Simulation::instructionFetched(int unitLine)
{
    if (m_executingLine > 0)
        finishStep();
    m_executingLine = unitLine;
    qint64 &passes = m_loopPasses[unitLine - 1];
    if (passes >= 0)
        ++passes;
    if (m_stepHandler) {
        m_step.startUs = m_unit.nowUs();
        m_step.unitLine = unitLine;
        m_step.editorLine = editorLine(unitLine);
        m_step.instruction = m_program.value(unitLine - 1);
    }
}

void Simulation::finishStep()
{
    if (!m_stepHandler)
        return;
    m_step.position = m_unit.position();
    m_step.speed = m_unit.runStats().lastMoveSpeed;
    m_step.outputs = levels(m_unit, &VirtualUnit::output);
    m_step.inputs = levels(m_unit, &VirtualUnit::input);
    m_stepHandler(m_step);
}

QList<Simulation::LoopPasses> Simulation::loopPasses() const
{
    QList<LoopPasses> loops;
    for (qsizetype i = 0; i < m_loopPasses.size(); ++i) {
        if (m_loopPasses.at(i) >= 0)
            loops.append({m_editorLines.at(i), m_loopPasses.at(i)});
    }
    return loops;
}

QStringList Simulation::summary(Outcome outcome) const
{
    QStringList lines;
    if (outcome == Outcome::Ready) {
        lines << tr("Ended: Ready");
    } else if (outcome == Outcome::TimeLimit) {
        lines << tr("Ended: still running at the time limit");
    } else if (m_errorUnitLine > 0) {
        lines << tr("Ended: error %1 on line %2 (unit line %3)")
                         .arg(QString::fromLatin1(m_error.left(2)))
                         .arg(errorEditorLine())
                         .arg(m_errorUnitLine);
    } else {
        lines << tr("Ended: error %1").arg(QString::fromLatin1(m_error.left(2)));
    }
    lines << tr("Run time: %1 s").arg(double(runTimeUs()) / 1e6, 0, 'f', 4)
          << tr("Distance moved: %1 steps").arg(stats().distance)
          << tr("Peak speed: %1 steps/s").arg(stats().peakSpeed, 0, 'f', 0)
          << tr("Instructions executed: %1").arg(stats().executed);
    for (const LoopPasses &loop : loopPasses())
        lines << tr("Loop ending on line %1: %2 passes").arg(loop.editorLine).arg(loop.passes);
    return lines;
}

} // namespace kr44
