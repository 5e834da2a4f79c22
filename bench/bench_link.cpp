// The device link's costs, each as a ratio against a reference measured in the same run:
//  - an idle poll tick of the reply monitor, against its 50 ms period (target under 0.5%), called
//    directly and as the extra CPU time a running poll adds to an idle event loop;
//  - the application's own CPU time for a 10,000-line download to a pseudo-terminal whose other
//    side is read as fast as possible, against the time the bytes take on a 19200-baud wire
//    (target under 1%), and against writing the same bytes to the terminal in one call;
//  - appending one tick of data at the wire's full rate to a full Direct Command Window, against
//    a bare repaint of the same window (target under 5x);
//  - the window's text length after 10 MB have streamed in (bounded by its capacity).
// Figures only: nothing here fails on a slow machine. Run it from a release build
// (RelWithDebInfo); it uses the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "link/download.h"
#include "link/replymonitor.h"
#include "link/seriallink.h"
#include "linkwidgets/commandwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

using namespace kr44;

namespace {

constexpr qint32 kBaud = 19200;
constexpr int kDownloadLines = 10000;

double cpuMs(clockid_t clock)
{
    timespec ts {};
    ::clock_gettime(clock, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double threadCpuMs() { return cpuMs(CLOCK_THREAD_CPUTIME_ID); }

double processCpuMs() { return cpuMs(CLOCK_PROCESS_CPUTIME_ID); }

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Runs the event loop for `ms` of wall time.
void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A pseudo-terminal standing in for a unit: the link opens path(), the master side is ours.
class Pty
{
public:
    Pty()
    {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            return;
        m_path = QString::fromLocal8Bit(name);
        termios t {};
        ::tcgetattr(m_slave, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(m_slave, TCSANOW, &t);
    }
    ~Pty()
    {
        if (m_master >= 0)
            ::close(m_master);
        if (m_slave >= 0)
            ::close(m_slave);
    }
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;

    [[nodiscard]] bool isValid() const { return m_master >= 0; }
    [[nodiscard]] QString path() const { return m_path; }
    [[nodiscard]] int master() const { return m_master; }
    [[nodiscard]] int slave() const { return m_slave; }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

// Reads the master side on its own thread as fast as the terminal delivers, until `expected`
// bytes have come or stop() is called.
class Drain
{
public:
    Drain(int fd, qint64 expected) : m_fd(fd), m_expected(expected)
    {
        m_thread = std::thread([this] { run(); });
    }
    ~Drain() { stop(); }
    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    [[nodiscard]] qint64 received() const { return m_received; }
    [[nodiscard]] bool done() const { return m_received >= m_expected; }

private:
    void run()
    {
        char buffer[65536];
        while (!m_stop && m_received < m_expected) {
            pollfd p {m_fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n > 0)
                m_received += n;
            else if (n < 0 && errno != EINTR && errno != EAGAIN)
                return;
        }
    }

    int m_fd;
    qint64 m_expected;
    std::atomic<qint64> m_received {0};
    std::atomic<bool> m_stop {false};
    std::thread m_thread;
};

bool openLink(SerialLink &link, const Pty &pty)
{
    link.setPort(pty.path(), kBaud);
    return link.openPort();
}

void benchIdleTick()
{
    std::printf("== Idle poll tick (period %d ms)\n", ReplyMonitor::kPeriodMs);
    Pty pty;
    SerialLink link;
    if (!pty.isValid() || !openLink(link, pty)) {
        std::printf("   no pseudo-terminal: skipped\n");
        return;
    }
    ReplyMonitor monitor(&link);
    monitor.tick(); // the one-time status text
    monitor.resume();

    constexpr int kTicks = 200000;
    std::vector<double> perTickNs;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < kTicks; ++i)
            monitor.tick();
        perTickNs.push_back(double(t.nsecsElapsed()) / kTicks);
    }
    const double tickNs = *std::min_element(perTickNs.begin(), perTickNs.end());
    std::printf("   direct call: %.1f ns per tick = %.5f%% of the period\n", tickNs,
                100.0 * tickNs / (ReplyMonitor::kPeriodMs * 1e6));

    // The same poll from its timer, with the event loop's wake-ups: process CPU time per wall
    // time, with and without the poll running, over the same stretch of time.
    constexpr int kWallMs = 3000;
    double before = processCpuMs();
    QElapsedTimer wall;
    wall.start();
    runFor(kWallMs);
    const double idleCpu = processCpuMs() - before;
    const double idleWall = double(wall.elapsed());

    monitor.start();
    before = processCpuMs();
    wall.restart();
    runFor(kWallMs);
    const double pollCpu = processCpuMs() - before;
    const double pollWall = double(wall.elapsed());
    monitor.stop();
    const double ticks = pollWall / ReplyMonitor::kPeriodMs;
    const double extraPerTick = std::max(0.0, pollCpu - idleCpu * pollWall / idleWall) / ticks;
    std::printf("   event loop: %.3f%% CPU while polling, %.3f%% without; %.1f us per tick "
                "= %.4f%% of the period (target under 0.5%%)\n",
                100.0 * pollCpu / pollWall, 100.0 * idleCpu / idleWall, extraPerTick * 1e3,
                100.0 * extraPerTick / ReplyMonitor::kPeriodMs);
}

kr44::LineArray makeProgram(int lines)
{
    static const char *const samples[]
            = {"+200", "-50",   "W1H", "L0", "L5", "X500,1000,20",    "G25000",
               "D500", "J2L,4", "A1",  "C1", "V1", "* a comment line"};
    kr44::LineArray out;
    for (int i = 0; i < lines; ++i)
        out.append(QByteArray(samples[i % int(std::size(samples))]));
    return out;
}

void benchDownload()
{
    std::printf("== Download of %d lines to a pseudo-terminal\n", kDownloadLines);
    const kr44::LineArray program = makeProgram(kDownloadLines);
    const kr44::Download plan(program, kr44::Download::Kind::Send);
    const qint64 bytes = plan.totalBytes();
    const qint64 wireMs = kr44::wireMilliseconds(bytes, kBaud);

    // Reference: the same bytes handed to the terminal in one write.
    double rawMs = 0;
    {
        Pty pty;
        if (!pty.isValid()) {
            std::printf("   no pseudo-terminal: skipped\n");
            return;
        }
        QByteArray all;
        kr44::Download d(program, kr44::Download::Kind::Send);
        while (!d.atEnd())
            all += d.next().bytes;
        Drain drain(pty.master(), all.size());
        const double c0 = threadCpuMs();
        qsizetype done = 0;
        while (done < all.size()) {
            const ssize_t n
                    = ::write(pty.slave(), all.constData() + done, size_t(all.size() - done));
            if (n > 0)
                done += n;
            else if (errno != EINTR && errno != EAGAIN)
                break;
        }
        rawMs = threadCpuMs() - c0;
        drain.stop();
    }

    Pty pty;
    SerialLink link;
    if (!openLink(link, pty)) {
        std::printf("   cannot open %s: skipped\n", qPrintable(pty.path()));
        return;
    }
    Drain drain(pty.master(), bytes);
    QEventLoop loop;
    bool finished = false;
    SerialLink::TransferResult result = SerialLink::TransferResult::Failed;
    QObject::connect(&link, &SerialLink::transferFinished, &loop, [&](SerialLink::TransferResult r) {
        finished = true;
        result = r;
    });
    QTimer check;
    check.setInterval(1);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (finished && drain.done())
            loop.quit();
    });
    QTimer::singleShot(600000, &loop, &QEventLoop::quit);

    QElapsedTimer wall;
    wall.start();
    const double c0 = threadCpuMs();
    link.sendProgram(program);
    check.start();
    loop.exec();
    const double appMs = threadCpuMs() - c0;
    const double wallMs = double(wall.nsecsElapsed()) / 1e6;
    drain.stop();

    std::printf("   %lld bytes, %lld received, %s; %lld ms on a %d-baud wire\n", (long long)bytes,
                (long long)drain.received(),
                result == SerialLink::TransferResult::Completed ? "completed" : "NOT completed",
                (long long)wireMs, kBaud);
    std::printf("   application CPU %.1f ms = %.3f%% of the wire time (target under 1%%); "
                "%.1fx one raw write of the same bytes (%.2f ms)\n",
                appMs, 100.0 * appMs / double(wireMs), rawMs > 0 ? appMs / rawMs : 0.0, rawMs);
    std::printf("   wall time %.0f ms = %.1f%% of the wire time (the terminal drains faster than a "
                "wire)\n",
                wallMs, 100.0 * wallMs / double(wireMs));
}

// Replies as a unit sends them, about one poll's worth at the wire's full rate.
QByteArray tickOfData(qsizetype bytes)
{
    static const char *const replies[] = {
            "R\r",           "-250\r", "Inputs LHL Outputs 100\r", "B\r", "KR44 virtual unit 1.0\r",
            "500,1000,20\r", "25\r"};
    QByteArray out;
    for (int i = 0; out.size() < bytes; ++i)
        out += replies[i % int(std::size(replies))];
    return out.left(bytes - 1) + '\r';
}

void benchCommandWindow()
{
    const qsizetype tickBytes
            = qsizetype(kBaud / kr44::kBitsPerCharacter) * ReplyMonitor::kPeriodMs / 1000;
    std::printf("== Direct Command Window, full (%lld characters); one tick at %d baud = %lld "
                "bytes (%s)\n",
                (long long)CommandWindow::kCapacity, kBaud, (long long)tickBytes,
                qPrintable(QGuiApplication::platformName()));
    CommandWindow window;
    window.show();
    QPlainTextEdit *edit = window.editField();
    const QByteArray tick = tickOfData(tickBytes);
    while (window.text().size() < CommandWindow::kCapacity - tickBytes)
        window.appendText(tickOfData(4096));
    QCoreApplication::processEvents();

    // Each pair goes through the same paint path: in the event loop, the way a tick's text is
    // shown (update() posts the paint that processEvents() carries out), and synchronously with
    // repaint(). A tick's append is followed by its own paint in both.
    constexpr int kRounds = 400;
    std::vector<double> bareLoop;
    std::vector<double> appendLoop;
    std::vector<double> appendAlone;
    std::vector<double> bareRepaint;
    std::vector<double> appendRepaint;
    for (int i = 0; i < kRounds; ++i) {
        QElapsedTimer t;
        t.start();
        edit->viewport()->update();
        QCoreApplication::processEvents();
        bareLoop.push_back(double(t.nsecsElapsed()) / 1e3);

        t.restart();
        window.appendText(tick);
        appendAlone.push_back(double(t.nsecsElapsed()) / 1e3);
        QCoreApplication::processEvents();
        appendLoop.push_back(double(t.nsecsElapsed()) / 1e3);

        t.restart();
        edit->viewport()->repaint();
        bareRepaint.push_back(double(t.nsecsElapsed()) / 1e3);

        t.restart();
        window.appendText(tick);
        edit->viewport()->repaint();
        appendRepaint.push_back(double(t.nsecsElapsed()) / 1e3);
        QCoreApplication::processEvents();
    }
    std::printf("   event loop: bare repaint %.0f us; append + its repaint %.0f us = %.2fx (target "
                "under 5x); "
                "the append call alone %.0f us = %.2fx\n",
                median(bareLoop), median(appendLoop), median(appendLoop) / median(bareLoop),
                median(appendAlone), median(appendAlone) / median(bareLoop));
    std::printf(
            "   repaint(): bare %.0f us; append + repaint %.0f us = %.2fx; text %lld characters\n",
            median(bareRepaint), median(appendRepaint), median(appendRepaint) / median(bareRepaint),
            (long long)window.text().size());

    // 10 MB streamed in, in 4 KB pieces with the window painted every so often.
    constexpr qint64 kStream = 10LL * 1024 * 1024;
    const QByteArray piece = tickOfData(4096);
    QElapsedTimer t;
    t.start();
    qint64 streamed = 0;
    for (int i = 0; streamed < kStream; ++i) {
        window.appendText(piece);
        streamed += piece.size();
        if (i % 16 == 0) {
            QCoreApplication::processEvents();
            edit->viewport()->repaint();
        }
    }
    QCoreApplication::processEvents();
    std::printf("   after %lld bytes streamed in (%.0f ms): text %lld characters, %d lines held, "
                "capacity %lld\n",
                (long long)streamed, double(t.nsecsElapsed()) / 1e6,
                (long long)window.text().size(), edit->document()->blockCount(),
                (long long)CommandWindow::kCapacity);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchIdleTick();
    benchDownload();
    benchCommandWindow();
    std::fflush(stdout);
    return 0;
}
