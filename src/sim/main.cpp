// kr44-sim: a virtual KR44 unit on a pseudo-terminal, for trying programs without hardware.

#include "sim/ptyunit.h"
#include "sim/simoptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

using namespace kr44;

namespace {

// The simulator's messages, all in one translation context.
struct SimText
{
    Q_DECLARE_TR_FUNCTIONS(kr44::Simulator)
};

int g_signalFds[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalFds[0], &byte, 1);
}

// Quits the event loop on SIGINT, SIGTERM or SIGHUP so that the symbolic link is removed on the
// way out; a signal handler may do no more than write to a socket.
bool installQuitSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalFds) != 0)
        return false;
    auto *notifier = new QSocketNotifier(qintptr(g_signalFds[1]), QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] { app.quit(); });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(sig, &action, nullptr);
    return true;
}

// Writes the traffic one line at a time, however the bytes were split on the line.
class LineLogger
{
public:
    explicit LineLogger(const char *prefix) : m_prefix(prefix) {}
    void add(const QByteArray &bytes)
    {
        for (const char c : bytes) {
            m_line += c;
            if (c == '\r' || m_line.size() >= 200) {
                std::fprintf(stderr, "%s%s\n", m_prefix, kr44::printableBytes(m_line).constData());
                std::fflush(stderr);
                m_line.clear();
            }
        }
    }

private:
    const char *m_prefix;
    QByteArray m_line;
};

// Sets the unit's inputs from lines typed on standard input, such as 2H; `typed` keeps a line
// that has not ended yet.
void readTypedInputs(QSocketNotifier &notifier, QByteArray &typed, kr44::PtyUnit &unit)
{
    char buffer[256];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
        // End of input (or none at all, as under a test runner): keep serving the unit.
        notifier.setEnabled(false);
        return;
    }
    typed.append(buffer, qsizetype(n));
    qsizetype end;
    while ((end = typed.indexOf('\n')) >= 0) {
        const QByteArray line = typed.left(end);
        typed.remove(0, end + 1);
        if (const auto command = kr44::parseInputCommand(line)) {
            unit.setInput(command->input, command->high);
            std::fprintf(stderr, "input %d %s\n", command->input, command->high ? "high" : "low");
        } else if (!line.trimmed().isEmpty()) {
            std::fprintf(stderr, "kr44-sim: %s\n",
                         qPrintable(SimText::tr("type an input and a level, such as 2H")));
        }
    }
    if (typed.size() > 1024)
        typed.clear();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kr44-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KR44_SIM_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
            SimText::tr("A virtual KR44 unit on a pseudo-terminal. Prints the device path, then "
                        "serves the unit until interrupted. Type 1H, 2L and so on to set an input "
                        "high or low."));
    parser.addHelpOption();
    parser.addVersionOption();
    kr44::addSimOptions(parser);
    parser.process(app);

    kr44::SimOptions options;
    QString error;
    if (!kr44::readSimOptions(parser, options, error)) {
        std::fprintf(stderr, "kr44-sim: %s\n", qPrintable(error));
        return 2;
    }

    kr44::PtyUnit unit(options.unit);
    unit.setTimeScale(options.timeScale);
    if (!unit.open()) {
        std::fprintf(stderr, "kr44-sim: %s\n", qPrintable(unit.errorString()));
        return 1;
    }
    bool linked = false;
    if (!options.linkPath.isEmpty()) {
        // Only a stale link of our own kind is replaced, never a file someone else put there.
        if (QFileInfo(options.linkPath).isSymLink())
            QFile::remove(options.linkPath);
        if (!QFile::link(unit.devicePath(), options.linkPath)) {
            std::fprintf(stderr, "kr44-sim: %s\n",
                         qPrintable(SimText::tr("cannot make the link %1").arg(options.linkPath)));
            return 1;
        }
        linked = true;
    }
    if (!installQuitSignals(app))
        std::fprintf(
                stderr, "kr44-sim: %s\n",
                qPrintable(SimText::tr("cannot catch signals; the link is left behind on exit")));

    std::printf("%s\n", qPrintable(unit.devicePath()));
    std::fflush(stdout);

    LineLogger received("<- ");
    LineLogger sent("-> ");
    if (!options.quiet) {
        QObject::connect(&unit, &kr44::PtyUnit::bytesReceived, &app,
                         [&received](const QByteArray &bytes) { received.add(bytes); });
        QObject::connect(&unit, &kr44::PtyUnit::bytesSent, &app,
                         [&sent](const QByteArray &bytes) { sent.add(bytes); });
    }

    QSocketNotifier stdinNotifier(qintptr(STDIN_FILENO), QSocketNotifier::Read);
    QByteArray typed;
    QObject::connect(&stdinNotifier, &QSocketNotifier::activated, &app,
                     [&] { readTypedInputs(stdinNotifier, typed, unit); });

    const int rc = QCoreApplication::exec();
    if (linked)
        QFile::remove(options.linkPath);
    return rc;
}
