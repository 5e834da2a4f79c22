// --simulate: the run of a program file on a virtual unit, printed for a script.

#include "app/cli/headless.h"
#include "app/cli/simulation.h"
#include "model/programfile.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace kr44 {

namespace {

constexpr int kExitReady = 0;
constexpr int kExitErrorReply = 1;
constexpr int kExitFileProblem = 2;
constexpr int kExitTimeLimit = 3;

void printLine(std::FILE *stream, const QString &text)
{
    std::fputs(qPrintable(text + u'\n'), stream);
}

QByteArray levelText(const std::array<bool, 3> &levels, char high, char low)
{
    QByteArray text;
    for (const bool level : levels)
        text += level ? high : low;
    return text;
}

// The instruction is quoted, a quote in it doubled: a parameter text may hold anything.
QByteArray traceRow(const SimulationStep &step)
{
    return QByteArray::number(double(step.startUs) / 1e6, 'f', 6) + ','
            + QByteArray::number(step.unitLine) + ',' + QByteArray::number(step.editorLine) + ",\""
            + QByteArray(step.instruction).replace('"', "\"\"") + "\","
            + QByteArray::number(step.position) + ',' + QByteArray::number(step.speed, 'f', 1) + ','
            + levelText(step.outputs, '1', '0') + ',' + levelText(step.inputs, 'H', 'L') + '\n';
}

} // namespace

int runSimulateCommand(const CommandLineRequest &request)
{
    LoadResult loaded = loadProgramFile(request.fileName);
    if (!loaded.error.ok()) {
        printLine(stderr,
                  QStringLiteral("kr44: %1: %2").arg(request.fileName, loaded.error.message()));
        return kExitFileProblem;
    }
    QFile trace(request.simulateTrace);
    if (!request.simulateTrace.isEmpty()) {
        if (!trace.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            printLine(
                    stderr,
                    QStringLiteral("kr44: %1: %2").arg(request.simulateTrace, trace.errorString()));
            return kExitFileProblem;
        }
        trace.write("time_s,unit_line,editor_line,instruction,position,speed,outputs,inputs\n");
    }
    Simulation simulation(std::move(loaded.lines), request.simulateSetup);
    if (trace.isOpen())
        simulation.setStepHandler(
                [&trace](const SimulationStep &step) { trace.write(traceRow(step)); });
    const Simulation::Outcome outcome = simulation.run();
    for (const QByteArray &reply : simulation.replies())
        printLine(stdout, replyLine(reply));
    for (const QString &line : simulation.summary(outcome))
        printLine(stdout, line);
    if (trace.isOpen() && !trace.flush()) {
        printLine(stderr,
                  QStringLiteral("kr44: %1: %2").arg(request.simulateTrace, trace.errorString()));
        return kExitFileProblem;
    }
    switch (outcome) {
    case Simulation::Outcome::Ready:
        return kExitReady;
    case Simulation::Outcome::Error:
        return kExitErrorReply;
    case Simulation::Outcome::TimeLimit:
        break;
    }
    return kExitTimeLimit;
}

} // namespace kr44
