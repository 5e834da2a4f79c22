#include "app/cli/headless.h"

#include "link/linelog.h"
#include "link/replytext.h"
#include "link/seriallink.h"
#include "model/programcheck.h"
#include "model/programfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace kr44 {

namespace {

// Exit statuses of the command-line modes.
constexpr int kExitOk = 0;
constexpr int kExitFindingsOrUnitError = 1; // --check: errors found; --send: the unit refused
constexpr int kExitUnreadable = 2;          // a program file cannot be read
constexpr int kExitNoPort = 3;              // --send: the port could not be opened
constexpr int kExitLinkFailed = 4;          // --send: a write failed or the port was lost

// How long the unit's replies are shown after the download, unless a run is waited for.
constexpr int kListenMs = 3000;
// How long --stop waits for the unit's answer before it downloads anyway.
constexpr int kStopAnswerMs = 2000;
// A reply that ends the wait can be followed at once by more (an error, then "Ready"): replies
// are still shown until the line has been quiet this long.
constexpr int kQuietMs = 200;
// Progress on a terminal is redrawn at most this often.
constexpr int kProgressRedrawMs = 100;

void printLine(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

void printError(const QString &text) { printLine(stderr, QStringLiteral("kr44: ") + text); }

// The file error message; it names the file, except the generic open failure.
QString fileErrorLine(const kr44::FileError &error, const QString &fileName)
{
    const QString message = error.message();
    if (message.contains(QDir::toNativeSeparators(error.fileName)) || message.contains(fileName))
        return message;
    return QStringLiteral("%1: %2").arg(fileName, message);
}

// What a unit sends may hold any byte; control characters are shown, not obeyed.
QString terminalSafe(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            out += QStringLiteral("\\x%1").arg(int(c.unicode()), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

// Where the serial port looks for a device name: a bare name is a device in /dev.
QString devicePath(const QString &name)
{
    if (name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1String("./"))
        || name.startsWith(QLatin1String("../")))
        return name;
    return QStringLiteral("/dev/") + name;
}

// --send: one session on the port, driven by the event loop. Phases: the stop command and its
// answer (--stop), the download (FILE), then listening to the unit.
class SendSession
{
public:
    explicit SendSession(const CommandLineRequest &request) : m_request(request)
    {
        m_phaseTimer.setSingleShot(true);
    }

    int run()
    {
        if (!m_request.fileName.isEmpty()) {
            kr44::LoadResult loaded = kr44::loadProgramFile(m_request.fileName);
            if (!loaded.error.ok()) {
                printError(fileErrorLine(loaded.error, m_request.fileName));
                return kExitUnreadable;
            }
            m_lines = std::move(loaded.lines);
        }
        startLog();
        m_link.setPort(m_request.sendPort, m_request.sendBaud);
        if (!m_link.openPort()) {
            printError(
                    QFileInfo::exists(devicePath(m_request.sendPort))
                            ? QCoreApplication::translate("kr44::CommandLine",
                                                          "cannot open %1 at %2 baud (in use, no "
                                                          "access, or the baud rate is refused)")
                                      .arg(m_request.sendPort)
                                      .arg(m_request.sendBaud)
                            : QCoreApplication::translate("kr44::CommandLine", "%1: no such device")
                                      .arg(devicePath(m_request.sendPort)));
            return kExitNoPort;
        }
        wire();
        if (m_request.sendStop) {
            m_link.stopProgram();
            if (m_request.fileName.isEmpty()) {
                startListening(true);
            } else {
                m_phase = Phase::Stopping;
                m_phaseTimer.start(kStopAnswerMs);
            }
        } else {
            startDownload();
        }
        if (!m_done)
            m_loop.exec();
        m_log.flush(); // here, where a failure can still be reported
        return m_status;
    }

private:
    enum class Phase { Stopping, Downloading, Listening, Settling, Done };

    void wire()
    {
        QObject::connect(&m_link, &SerialLink::received, &m_context, [this] { takeReplies(); });
        QObject::connect(&m_link, &SerialLink::portLost, &m_context, [this](const QString &why) {
            endProgress();
            printError(QStringLiteral("%1: %2").arg(m_request.sendPort, why));
            m_linkFailed = true;
            finish();
        });
        QObject::connect(&m_link, &SerialLink::transferStarted, &m_context,
                         [this](qsizetype lines, qint64) {
                             m_linesToSend = lines;
                             showProgress(0, true);
                         });
        QObject::connect(&m_link, &SerialLink::transferProgress, &m_context,
                         [this](qsizetype sent, qsizetype) { showProgress(sent, false); });
        QObject::connect(&m_link, &SerialLink::transferFinished, &m_context,
                         [this](SerialLink::TransferResult result) { downloadFinished(result); });
        QObject::connect(&m_phaseTimer, &QTimer::timeout, &m_context, [this] { phaseTimedOut(); });
    }

    // --log LOG: a log that cannot be written is reported and dropped; the session goes on.
    void startLog()
    {
        if (m_request.sendLog.isEmpty())
            return;
        m_log.follow(&m_link);
        QObject::connect(&m_log, &LineLog::failed, &m_context, &printError);
        if (!m_log.setFile(m_request.sendLog))
            printError(QCoreApplication::translate("kr44::CommandLine",
                                                   "cannot open the line log %1 (%2); going on "
                                                   "without it")
                               .arg(m_request.sendLog, m_log.errorString()));
    }

    void startDownload()
    {
        m_phase = Phase::Downloading;
        if (m_request.sendRun)
            m_link.sendAndRun(m_lines);
        else
            m_link.sendProgram(m_lines);
    }

    void downloadFinished(SerialLink::TransferResult result)
    {
        if (m_done)
            return;
        endProgress();
        if (result != SerialLink::TransferResult::Completed) {
            printError(QCoreApplication::translate(
                               "kr44::CommandLine",
                               "Communication error: %1 of %2 lines were sent to %3")
                               .arg(m_linesSent)
                               .arg(m_linesToSend)
                               .arg(m_request.sendPort));
            m_linkFailed = true;
            finish();
            return;
        }
        printError(sentText().arg(m_linesToSend).arg(m_request.fileName, m_request.sendPort));
        startListening(m_request.sendRun);
    }

    // The report of a completed download, with %1 the line count, %2 the file and %3 the port.
    [[nodiscard]] QString sentText() const
    {
        if (m_request.sendRun) {
            return m_linesToSend == 1
                    ? QCoreApplication::translate("kr44::CommandLine",
                                                  "sent %1 line of %2 to %3 and started it")
                    : QCoreApplication::translate("kr44::CommandLine",
                                                  "sent %1 lines of %2 to %3 and started it");
        }
        return m_linesToSend == 1
                ? QCoreApplication::translate("kr44::CommandLine", "sent %1 line of %2 to %3")
                : QCoreApplication::translate("kr44::CommandLine", "sent %1 lines of %2 to %3");
    }

    // A run (or a stop) ends with "Ready"; with --wait that is waited for without a time limit.
    void startListening(bool expectReady)
    {
        m_phase = Phase::Listening;
        m_expectReady = expectReady;
        if (expectReady && m_endSeen) {
            settle();
            return;
        }
        if (!(expectReady && m_request.sendWait))
            m_phaseTimer.start(kListenMs);
    }

    void settle()
    {
        m_phase = Phase::Settling;
        m_phaseTimer.start(kQuietMs);
    }

    void phaseTimedOut()
    {
        switch (m_phase) {
        case Phase::Stopping:
            printError(QCoreApplication::translate(
                    "kr44::CommandLine", "no answer to the stop command; downloading anyway"));
            startDownload();
            break;
        case Phase::Listening:
        case Phase::Settling:
            finish();
            break;
        case Phase::Downloading:
        case Phase::Done:
            break;
        }
    }

    void finish()
    {
        if (m_done)
            return;
        m_done = true;
        m_phase = Phase::Done;
        m_phaseTimer.stop();
        if (!m_pending.isEmpty())
            showReply(std::exchange(m_pending, QByteArray()));
        if (m_busySeen && !m_request.sendStop)
            printError(QCoreApplication::translate(
                    "kr44::CommandLine",
                    "the unit was busy running a program; --stop stops it first"));
        m_status = m_linkFailed ? kExitLinkFailed
                : m_unitError   ? kExitFindingsOrUnitError
                                : kExitOk;
        m_loop.exit(m_status);
    }

    // Replies end with CR. Each is translated on its own, also when several came together.
    void takeReplies()
    {
        QByteArray text;
        while (m_link.read(text))
            m_pending += text;
        qsizetype end = 0;
        while (!m_done && (end = m_pending.indexOf('\r')) >= 0) {
            const QByteArray reply = m_pending.left(end);
            m_pending.remove(0, end + 1);
            showReply(reply);
            replied(reply);
        }
    }

    void showReply(QByteArray reply)
    {
        reply.removeIf([](char c) { return c == '\n'; });
        if (reply.isEmpty())
            return;
        endProgress();
        printLine(stdout, kr44::replyLine(reply));
        if (reply.size() >= 2 && reply.front() == 'E') {
            m_unitError = true;
            if (reply.at(1) == '3')
                explainLineNumber(reply.mid(2).trimmed().toInt());
        } else if (reply == "B") {
            m_unitError = true;
            m_busySeen = true;
        }
    }

    // The unit names a line by its own count, which leaves out the comment lines.
    void explainLineNumber(int unitLine)
    {
        if (m_lines.isEmpty())
            return;
        const std::optional<int> editorLine = kr44::editorLineOf(m_lines, unitLine);
        if (editorLine && *editorLine != unitLine) {
            printError(QCoreApplication::translate(
                               "kr44::CommandLine",
                               "the unit's line %1 is line %2 of %3 (comment lines are not sent)")
                               .arg(unitLine)
                               .arg(*editorLine)
                               .arg(m_request.fileName));
        }
    }

    void replied(const QByteArray &reply)
    {
        switch (m_phase) {
        case Phase::Stopping:
            m_phaseTimer.stop();
            startDownload();
            break;
        case Phase::Downloading:
            // The run command goes out before the download counts as finished, so a short run
            // can end before that.
            m_endSeen = m_endSeen || (m_request.sendRun && endsRun(reply));
            break;
        case Phase::Listening:
            if (m_expectReady && endsRun(reply))
                settle();
            break;
        case Phase::Settling:
            settle();
            break;
        case Phase::Done:
            break;
        }
    }

    // A run ends with "Ready", or with an error and nothing after it.
    static bool endsRun(const QByteArray &reply)
    {
        return reply == "R" || (reply.size() >= 2 && reply.front() == 'E');
    }

    void showProgress(qsizetype sent, bool first)
    {
        m_linesSent = sent;
        if (!m_onTerminal)
            return;
        if (!first && sent != m_linesToSend && m_redraw.isValid()
            && m_redraw.elapsed() < kProgressRedrawMs)
            return;
        m_redraw.start();
        m_progressShown = true;
        // The carriage return takes the cursor back over the previous progress text.
        const QString text = QLatin1Char('\r')
                + QCoreApplication::translate("kr44::CommandLine", "Sending %1: %2 of %3 lines")
                          .arg(m_request.fileName)
                          .arg(sent)
                          .arg(m_linesToSend);
        std::fputs(text.toLocal8Bit().constData(), stderr);
        std::fflush(stderr);
    }

    void endProgress()
    {
        if (!m_progressShown)
            return;
        m_progressShown = false;
        std::fputs("\n", stderr);
        std::fflush(stderr);
    }

    const CommandLineRequest &m_request;
    kr44::LineArray m_lines;
    SerialLink m_link;
    LineLog m_log;
    QTimer m_phaseTimer;
    QEventLoop m_loop;
    QElapsedTimer m_redraw;
    QByteArray m_pending;
    Phase m_phase = Phase::Downloading;
    qsizetype m_linesToSend = 0;
    qsizetype m_linesSent = 0;
    int m_status = kExitOk;
    bool m_expectReady = false;
    bool m_endSeen = false; // a reply that can end the run came during the download
    bool m_unitError = false;
    bool m_busySeen = false;
    bool m_linkFailed = false;
    bool m_done = false;
    bool m_progressShown = false;
    const bool m_onTerminal = ::isatty(STDERR_FILENO) == 1;
    // Receives the connections; declared last so that it goes first, before what it points at.
    QObject m_context;
};

} // namespace

int runCheckCommand(const CommandLineRequest &request)
{
    int status = kExitOk;
    for (const QString &fileName : request.checkFiles) {
        const kr44::LoadResult loaded = kr44::loadProgramFile(fileName);
        if (!loaded.error.ok()) {
            printError(fileErrorLine(loaded.error, fileName));
            status = std::max(status, kExitUnreadable);
            continue;
        }
        const QList<kr44::Finding> findings = kr44::checkProgram(loaded.lines);
        for (const kr44::Finding &finding : findings)
            printLine(stdout, kr44::formatFinding(fileName, finding));
        if (kr44::hasErrors(findings))
            status = std::max(status, kExitFindingsOrUnitError);
    }
    return status;
}

QString replyLine(const QByteArray &reply)
{
    QByteArray shown = translateReply(reply + '\r');
    while (shown.endsWith('\r') || shown.endsWith('\n'))
        shown.chop(1);
    return terminalSafe(fromWindows1252(shown));
}

int runSendCommand(const CommandLineRequest &request)
{
    SendSession session(request);
    return session.run();
}

} // namespace kr44
