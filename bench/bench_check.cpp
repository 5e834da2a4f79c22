// The program check of a 100,000-line program against loading the same program from its file, in
// the same run. Prints both times and their ratio; the target is a check within 10x of the load.
// Run it from a release build (RelWithDebInfo or Release).
#include "benchsupport.h"
#include "model/programcheck.h"
#include "model/programfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace kr44;

namespace {

// A program as a user would write it, at length: moves, waits and settings with varied values,
// loops, and jumps back into the loop they are in. The comments close the program, below every
// jump target, where they do not shift the unit's line numbers.
QByteArray makeProgram(int lines)
{
    QRandomGenerator rng(44);
    QByteArray out;
    out.reserve(qsizetype(lines) * 10);
    int written = 0;
    const auto line = [&](const QByteArray &text) {
        out += text;
        out += "\r\n";
        ++written;
    };
    while (written < lines - 15) {
        const int start = written + 1;
        line("L0");
        line('+' + QByteArray::number(rng.bounded(1, 50000)));
        line("W" + QByteArray::number(rng.bounded(1, 4)) + (rng.bounded(2) ? 'H' : 'L'));
        line('G' + QByteArray::number(rng.bounded(-8388608, 8388607)));
        line("X" + QByteArray::number(rng.bounded(10, 6001)) + ','
             + QByteArray::number(rng.bounded(10, 6001)) + ','
             + QByteArray::number(rng.bounded(1, 1600)));
        line("J" + QByteArray::number(rng.bounded(1, 4)) + "H," + QByteArray::number(start + 1));
        line('D' + QByteArray::number(rng.bounded(1, 65536)));
        line('A' + QByteArray::number(rng.bounded(1, 4)));
        line("h" + QByteArray::number(rng.bounded(100)) + ',' + QByteArray::number(rng.bounded(8)));
        line("g-2H");
        line('L' + QByteArray::number(rng.bounded(1, 256)));
        line("M30,60,120");
        line('T' + QByteArray::number(rng.bounded(10, 6001)));
        line("V" + QByteArray::number(rng.bounded(1, 6)));
    }
    line("K");
    while (written < lines)
        line("* notes on the program, line " + QByteArray::number(written + 1));
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    constexpr int kLines = 100000;
    const QByteArray bytes = makeProgram(kLines);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.krp"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return 1;
    }

    kr44::LineArray loaded;
    const double load
            = kr44bench::bestOfMs(11, [&] { loaded = kr44::loadProgramFile(path).lines; });
    QList<kr44::Finding> findings;
    const double check = kr44bench::bestOfMs(11, [&] { findings = kr44::checkProgram(loaded); });

    std::printf("program: %lld lines, %lld bytes\n", (long long)loaded.size(),
                (long long)bytes.size());
    std::printf("findings: %lld\n", (long long)findings.size());
    for (qsizetype i = 0; i < std::min<qsizetype>(findings.size(), 5); ++i)
        std::printf("  %s\n",
                    qPrintable(kr44::formatFinding(QStringLiteral("big.krp"), findings.at(i))));
    std::printf("load   %8.2f ms\n", load);
    std::printf("check  %8.2f ms   ratio %.2f (target <= 10)\n", check, check / load);
    return loaded.size() == kLines && findings.isEmpty() ? 0 : 1;
}
