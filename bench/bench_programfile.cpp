// Load and save of a 1,000,000-line program, each timed against a plain sequential read or write
// of the same bytes in the same run. Prints ratios; the targets are 4x for both and under 96 bytes
// a line of memory beyond the line bytes.
#include "benchsupport.h"
#include "model/programfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <unistd.h>
#include <vector>

using namespace kr44;

namespace {

QByteArray makeProgram(int lines)
{
    static const char *const samples[]
            = {"+200",   "-50",  "W1H",   "J2L,4", "L5", "X500,1000,20", "* set up the axis",
               "G25000", "D500", "h50,3", "K"};
    QByteArray out;
    out.reserve(qsizetype(lines) * 9);
    QRandomGenerator rng(44);
    for (int i = 0; i < lines; ++i) {
        out.append(samples[rng.bounded(int(std::size(samples)))]);
        out.append("\r\n");
    }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    constexpr int kLines = 1000000;
    const QByteArray bytes = makeProgram(kLines);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.krp"));
    const QString plainPath = dir.filePath(QStringLiteral("plain.bin"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return 1;
    }

    qsizetype sink = 0;
    // The reference reads the bytes into memory that stays allocated, as a loaded program's bytes
    // do; both sides then pay for fresh pages alike.
    std::vector<std::vector<char>> kept;
    const double plainRead = kr44bench::bestOfMs(7, [&] {
        std::FILE *f = std::fopen(QFile::encodeName(path).constData(), "rb");
        std::vector<char> buf(size_t(bytes.size()));
        size_t n, at = 0;
        while ((n = std::fread(buf.data() + at, 1, std::min<size_t>(1 << 16, buf.size() - at), f))
               > 0)
            at += n;
        sink += qsizetype(at);
        std::fclose(f);
        kept.push_back(std::move(buf));
    });
    kept.clear();
    std::vector<kr44::LineArray> keptPrograms;
    const double load = kr44bench::bestOfMs(7, [&] {
        kr44::LoadResult r = kr44::loadProgramFile(path);
        keptPrograms.push_back(std::move(r.lines));
    });
    kr44::LineArray loaded = keptPrograms.back();
    keptPrograms.clear();
    const double plainWrite = kr44bench::bestOfMs(7, [&] {
        std::FILE *f = std::fopen(QFile::encodeName(plainPath).constData(), "wb");
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
        std::fclose(f);
    });
    const double plainWriteSynced = kr44bench::bestOfMs(7, [&] {
        std::FILE *f = std::fopen(QFile::encodeName(plainPath).constData(), "wb");
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
        std::fflush(f);
        ::fdatasync(fileno(f));
        std::fclose(f);
    });
    bool saved = true;
    const double save = kr44bench::bestOfMs(
            7, [&] { saved = saved && kr44::saveProgramFile(path, loaded).ok(); });

    std::printf("program: %d lines, %lld bytes (read %lld)\n", kLines, (long long)bytes.size(),
                (long long)sink / 7);
    std::printf("lines loaded: %lld, saved ok: %s\n", (long long)loaded.size(),
                saved ? "yes" : "no");
    std::printf("plain read  %8.2f ms\n", plainRead);
    std::printf("load        %8.2f ms   ratio %.2f (target <= 4)\n", load, load / plainRead);
    std::printf("plain write %8.2f ms\n", plainWrite);
    std::printf("save        %8.2f ms   ratio %.2f (target <= 4)\n", save, save / plainWrite);
    // The save flushes the new file to the disk before it replaces the old one; this reference
    // does the same, which shows what the save costs beyond that flush.
    std::printf("plain write + fdatasync %8.2f ms, save ratio to it %.2f\n", plainWriteSynced,
                save / plainWriteSynced);
    std::printf("memory beyond line bytes: %.1f bytes per line (target < 96)\n",
                double(loaded.overheadBytes()) / double(loaded.size()));
    return loaded.size() == kLines && saved ? 0 : 1;
}
