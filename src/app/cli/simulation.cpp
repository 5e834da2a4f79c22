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
    : m_lines(std::move(lines)), m_setup(std::move(setup)), m_unit(configFor(m_setup)),
      m_report(m_lines)
{
    std::stable_sort(m_setup.changes.begin(), m_setup.changes.end(),
                     [](const InputChange &a, const InputChange &b) { return a.atUs < b.atUs; });
    m_unit.setInstructionHook([this](int line) { instructionFetched(line); });
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
    if (m_report.executingLine() > 0)
        finishStep();
    if (!m_report.errorReply().isEmpty())
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
    m_replies += m_report.received(output, unitLine);
}

void Simulation::instructionFetched(int unitLine)
{
    if (m_report.executingLine() > 0)
        finishStep();
    m_report.lineFetched(unitLine);
    if (m_stepHandler) {
        m_step.startUs = m_unit.nowUs();
        m_step.unitLine = unitLine;
        m_step.editorLine = m_report.editorLine(unitLine);
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

} // namespace kr44
