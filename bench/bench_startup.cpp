// Start-up to the first painted main window: kr44 against a bare Qt widget application built
// with the same Qt (bare_widget_app). Both print "first-paint-ns N" (CLOCK_MONOTONIC) once their
// main window's first frame is up (the event loop's next turn after its first paint, when every
// child widget has painted too) and end; the time from the launcher's own CLOCK_MONOTONIC stamp,
// taken right before QProcess::start, to that N is one run. The two programs take turns, after
// one unmeasured warm-up run each, so that both meet the same load and the same file cache.
// Target: the median of kr44's plain start within 1.5x of the median of the bare application.
//
// Two more programs take the same turns. kr44 --virtual-unit shows the virtual unit's panel in
// its first frame as well. The bare application with --text has a menu bar and a status bar
// text: it shows what any window with text pays for its fonts before its first frame (the bare
// window has none), so that kr44's own share can be told from it.
//
// Every kr44 run gets a fresh settings folder (no recent file reopens; the port settings dialog,
// which comes after the first frame, never shows: the run ends at the first frame) and a private
// instance name and runtime folder, so it can never hand its start over to a kr44 that is
// already running. The runtime folder is made in
// /dev/shm where there is one: a desktop session's runtime folder is in memory (/run/user/UID),
// and the instance lock kr44 takes there costs a disk flush on a folder on disk.
//
// Usage: bench_startup [--runs N] [--platform offscreen|xcb] [--kr44 PATH] [--bare PATH]
// Exit code: 0 target met, 1 target missed, 2 a run failed.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <iterator>
#include <optional>
#include <vector>

namespace {

constexpr double kTarget = 1.5;
constexpr int kRunTimeoutMs = 60000;

qint64 monotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

struct Program
{
    const char *label;
    QString path;
    QStringList arguments;
};

// Milliseconds from the launch to the first paint, or nothing (with the reason printed).
std::optional<double> launchOnce(const Program &program, const QString &platform)
{
    QTemporaryDir home;
    if (!home.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder\n");
        return std::nullopt;
    }
    const QTemporaryDir memory(QStringLiteral("/dev/shm/bench-startup-XXXXXX"));
    const QString runtime
            = memory.isValid() ? memory.path() : home.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    env.insert(QStringLiteral("KR44_STARTUP_PROBE"), QStringLiteral("1"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("KR44_INSTANCE_NAME"),
               QStringLiteral("bench-startup-%1").arg(QCoreApplication::applicationPid()));

    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(home.path());
    process.setProgram(program.path);
    process.setArguments(program.arguments);
    const qint64 launched = monotonicNs();
    process.start();
    if (!process.waitForStarted(kRunTimeoutMs) || !process.waitForFinished(kRunTimeoutMs)) {
        std::fprintf(stderr, "%s: %s\n", program.label, qPrintable(process.errorString()));
        process.kill();
        process.waitForFinished(kRunTimeoutMs);
        return std::nullopt;
    }
    const QByteArray err = process.readAllStandardError();
    static const QByteArray key("first-paint-ns ");
    const qsizetype at = err.indexOf(key);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 || at < 0) {
        std::fprintf(stderr, "%s: exit code %d, no first paint reported; its output:\n%s\n",
                     program.label, process.exitCode(), err.constData());
        return std::nullopt;
    }
    const qsizetype end = err.indexOf('\n', at);
    bool ok = false;
    const qsizetype from = at + key.size();
    const qint64 painted = err.mid(from, end < 0 ? -1 : end - from).toLongLong(&ok);
    if (!ok || painted < launched) {
        std::fprintf(stderr, "%s: unreadable first-paint time\n", program.label);
        return std::nullopt;
    }
    return double(painted - launched) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

void printRuns(const char *label, const std::vector<double> &runs)
{
    std::printf("%-19s runs (ms):", label);
    for (double ms : runs)
        std::printf(" %.1f", ms);
    std::printf("\n");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    int runs = 9;
    QString platform = QStringLiteral("offscreen");
    Program kr44 {"kr44", QStringLiteral(KR44_EXECUTABLE), {}};
    Program bare {"bare", QStringLiteral(BARE_EXECUTABLE), {}};
    Program text {"bare with text", QStringLiteral(BARE_EXECUTABLE), {QStringLiteral("--text")}};

    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--runs") && hasValue)
            runs = std::max(1, args.at(++i).toInt());
        else if (arg == QLatin1String("--platform") && hasValue)
            platform = args.at(++i);
        else if (arg == QLatin1String("--kr44") && hasValue)
            kr44.path = args.at(++i);
        else if (arg == QLatin1String("--bare") && hasValue)
            text.path = bare.path = args.at(++i);
        else {
            std::fprintf(stderr,
                         "usage: bench_startup [--runs N] [--platform offscreen|xcb]"
                         " [--kr44 PATH] [--bare PATH]\n");
            return 2;
        }
    }

    std::printf("start-up to the first painted main window, platform %s, %d runs each\n",
                qPrintable(platform), runs);
    Program virtualUnit {"kr44 --virtual-unit", kr44.path, {QStringLiteral("--virtual-unit")}};
    const Program *programs[] = {&kr44, &virtualUnit, &bare, &text};
    std::vector<double> times[std::size(programs)];
    // The warm-up runs fill the file cache for all of them and are not counted.
    for (int i = -1; i < runs; ++i) {
        for (size_t p = 0; p < std::size(programs); ++p) {
            const std::optional<double> ms = launchOnce(*programs[p], platform);
            if (!ms)
                return 2;
            if (i >= 0)
                times[p].push_back(*ms);
        }
    }
    double medians[std::size(programs)];
    for (size_t p = 0; p < std::size(programs); ++p) {
        printRuns(programs[p]->label, times[p]);
        medians[p] = median(times[p]);
    }
    const double bareMedian = medians[2];
    const double textMedian = medians[3];
    std::printf("medians: kr44 %.1f ms, kr44 --virtual-unit %.1f ms, bare %.1f ms, bare with text"
                " %.1f ms\n",
                medians[0], medians[1], bareMedian, textMedian);
    const double ratio = medians[0] / bareMedian;
    std::printf("kr44/bare %.2f (target within %.1fx: %s), kr44 --virtual-unit/bare %.2f,"
                " bare with text/bare %.2f\n",
                ratio, kTarget, ratio <= kTarget ? "met" : "MISSED", medians[1] / bareMedian,
                textMedian / bareMedian);
    std::printf("against the bare window with text: kr44 %.2f, kr44 --virtual-unit %.2f\n",
                medians[0] / textMedian, medians[1] / textMedian);
    return ratio <= kTarget ? 0 : 1;
}
