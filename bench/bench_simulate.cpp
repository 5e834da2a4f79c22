// Simulated execution as fast as possible: a loop-heavy program of about 1,000,000 executed
// instructions run by kr44 --simulate's own code, without the trace and with it written to a
// file, against a reference measured in the same run: reading the parameters of as many
// instructions (readParams), the least a unit does to execute one. Prints executed instructions
// per CPU second (target: at least 2,000,000 without the trace) and the ratios.
// Run it from a release build (RelWithDebInfo or Release).
#include "app/cli/commandline.h"
#include "app/cli/simulation.h"
#include "model/instructionset.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <functional>

using namespace kr44;

namespace {

// Three loops, one inside the other, around two output instructions: 67 x 25 x 200 passes.
const QByteArray kProgram = "L0\r\nL0\r\nL0\r\nA1\r\nC1\r\nL200\r\nL25\r\nL67\r\nK\r\n";

double cpuSeconds(const std::function<void()> &work)
{
    const std::clock_t start = std::clock();
    work();
    return double(std::clock() - start) / CLOCKS_PER_SEC;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("loops.krp"));
    QFile file(program);
    if (!file.open(QIODevice::WriteOnly) || file.write(kProgram) != kProgram.size())
        return 1;
    file.close();

    // The instruction count of a run, taken from the simulation itself.
    QByteArrayList lines = kProgram.split('\n');
    lines.removeLast();
    for (QByteArray &line : lines)
        line.chop(1);
    Simulation counted(LineArray::fromList(lines), SimulationSetup {});
    if (counted.run() != Simulation::Outcome::Ready)
        return 1;
    const qint64 executed = counted.stats().executed;

    CommandLineRequest request;
    request.action = CommandLineRequest::Action::Simulate;
    request.fileName = program;
    int status = 0;
    // Its replies and summary go to standard output, as kr44 --simulate prints them.
    const double plain = cpuSeconds([&] { status |= runSimulateCommand(request); });
    request.simulateTrace = dir.filePath(QStringLiteral("trace.csv"));
    const double traced = cpuSeconds([&] { status |= runSimulateCommand(request); });

    qint64 fields = 0;
    const double reference = cpuSeconds([&] {
        for (qint64 i = 0; i < executed; ++i) {
            const QByteArray &line = lines.at(3 + i % 3);
            fields += readParams(line.front(), QByteArrayView(line).sliced(1)).size();
        }
    });

    std::printf("\nexecuted instructions: %lld (%lld fields read by the reference)\n",
                (long long)executed, (long long)fields);
    std::printf("trace file: %lld bytes\n", (long long)QFile(request.simulateTrace).size());
    std::printf("reference   %8.3f s CPU  %12.0f per s\n", reference, executed / reference);
    std::printf("no trace    %8.3f s CPU  %12.0f per s (target >= 2000000)  ratio %.1f\n", plain,
                executed / plain, plain / reference);
    std::printf("trace       %8.3f s CPU  %12.0f per s  ratio %.1f\n", traced, executed / traced,
                traced / reference);
    return status;
}
