#pragma once

#include "app/cli/commandline.h"
#include "app/cli/simulationsetup.h"
#include "model/linearray.h"
#include "sim/runreport.h"
#include "sim/virtualunit.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

#include <array>
#include <functional>

// A program run on a virtual unit in simulated time, as fast as the processor allows: the
// download goes to the unit as the same bytes a real send writes, and every line number the unit
// uses is mapped back to the editor's.

namespace kr44 {

// One executed instruction: when it began, and the unit as it left it.
struct SimulationStep
{
    qint64 startUs = 0;
    int unitLine = 0;
    int editorLine = 0;
    QByteArray instruction;
    qint64 position = 0;
    double speed = 0; // the top speed of its move, steps per second; 0 without one
    std::array<bool, 3> outputs {};
    std::array<bool, 3> inputs {};
};

class Simulation
{
    Q_DECLARE_TR_FUNCTIONS(kr44::Simulation)

public:
    using Outcome = RunReport::Outcome;

    Simulation(LineArray lines, SimulationSetup setup);

    // Receives every executed instruction as it ends; without one no step is built.
    void setStepHandler(std::function<void(const SimulationStep &)> handler)
    {
        m_stepHandler = std::move(handler);
    }
    Outcome run();

    [[nodiscard]] const QList<QByteArray> &replies() const { return m_replies; } // without CR
    [[nodiscard]] const RunStats &stats() const { return m_unit.runStats(); }
    [[nodiscard]] qint64 runTimeUs() const;
    [[nodiscard]] const RunReport &report() const { return m_report; }
    // How it ended and the figures of the run, one finding a line.
    [[nodiscard]] QStringList summary(Outcome outcome) const
    {
        return m_report.summary(outcome, stats(), runTimeUs());
    }

private:
    void download();
    void take(const QByteArray &output, int unitLine);
    void instructionFetched(int unitLine);
    void finishStep();

    LineArray m_lines;
    SimulationSetup m_setup;
    VirtualUnit m_unit;
    RunReport m_report;
    QList<QByteArray> m_program;
    QList<QByteArray> m_replies;
    SimulationStep m_step; // the instruction being executed
    std::function<void(const SimulationStep &)> m_stepHandler;
};

// --simulate FILE: runs FILE, prints the replies and the summary, and writes the trace.
// 0 Ready, 1 an error reply, 2 a file problem, 3 still running at the time limit.
int runSimulateCommand(const CommandLineRequest &request);

} // namespace kr44
