#pragma once

// Pieces the benchmarks share: the programs they time and how they time them.

#include <QByteArray>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <functional>
#include <iterator>

namespace kr44bench {

// A program in stored form (CR LF line ends) of `lines` random lines; one line in eight is a
// jump to anywhere, so that an insertion or deletion near the top moves many targets.
inline QByteArray makeJumpyProgram(int lines)
{
    static const char *const samples[]
            = {"+200",   "-50",  "W1H",   "L0", "L5", "X500,1000,20", "* set up the axis",
               "G25000", "D500", "h50,3", "K"};
    QByteArray out;
    out.reserve(qsizetype(lines) * 10);
    QRandomGenerator rng(44);
    for (int i = 0; i < lines; ++i) {
        const int kind = rng.bounded(16);
        if (kind == 0)
            out.append("j" + QByteArray::number(1 + rng.bounded(lines)));
        else if (kind == 1)
            out.append("J2L," + QByteArray::number(1 + rng.bounded(lines)));
        else
            out.append(samples[rng.bounded(int(std::size(samples)))]);
        out.append("\r\n");
    }
    return out;
}

inline double ms(const QElapsedTimer &t) { return double(t.nsecsElapsed()) / 1e6; }

// The shortest of `runs` timings of `work`, in milliseconds.
inline double bestOfMs(int runs, const std::function<void()> &work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, ms(t));
    }
    return best;
}

} // namespace kr44bench
