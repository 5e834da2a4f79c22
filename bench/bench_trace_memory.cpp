// The memory the virtual unit panel's position trace takes over a long run: a loop-heavy
// program of about 1,000,000 executed instructions, half of them moves, run on the unit the
// window serves. At each checkpoint it prints the bytes held by the unit's trace and by the
// plot's curve made from it, against the same run's figures after 10,000 instructions (the
// reference) and against what a trace that kept every point would hold by then. The held bytes
// must stay flat once the trace has reached its limit, however long the run.
#include "sim/virtualunit.h"
#include "unitpanel/positionplot.h"

#include <QByteArray>
#include <QList>
#include <QPointF>

#include <cstdio>

using namespace kr44;

namespace {

qint64 heldBytes(const VirtualUnit &unit)
{
    const QList<TracePoint> trace = unit.trace();
    const QList<QPointF> curve = runCurve(trace, unit.nowUs());
    return qint64(trace.capacity() * sizeof(TracePoint) + curve.capacity() * sizeof(QPointF));
}

} // namespace

int main()
{
    VirtualUnit unit(UnitConfig {{true, false, false}});
    QByteArray download = "P\r";
    for (const char *line : {"X500,1000,20", "L0", "L0", "L0", "+5", "-5", "L100", "L100", "L34"})
        download += QByteArray(line) + '\r';
    (void)unit.receive(download + "P\rE\r");

    std::printf("%14s %14s %14s %10s %14s\n", "executed", "trace points", "held bytes", "ratio",
                "kept-all est.");
    qint64 reference = 0;
    double pointsPerInstruction = 0;
    qint64 next = 10'000;
    while (unit.isRunningProgram()) {
        (void)unit.advance(1'000'000);
        const qint64 executed = unit.runStats().executed;
        if (executed < next && unit.isRunningProgram())
            continue;
        const qint64 held = heldBytes(unit);
        const qsizetype points = unit.trace().size();
        if (reference == 0) {
            reference = held;
            pointsPerInstruction = double(points) / double(executed);
        }
        const double keptAll = pointsPerInstruction * double(executed)
                * double(sizeof(TracePoint) + sizeof(QPointF));
        std::printf("%14lld %14lld %14lld %10.2f %14.0f\n", (long long)executed, (long long)points,
                    (long long)held, double(held) / double(reference), keptAll);
        next *= 10;
    }
    std::printf("trace limit: %d points\n", VirtualUnit::kTraceLimit);
    return 0;
}
