#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QProcess>
#include <QString>
#include <QStringList>

// Other processes as tests meet them: the programs of the build, run to their end or kept
// running beside the test. Every wait runs the event loop and has a deadline.
namespace kr44test {

inline constexpr int kProcessTimeoutMs = 60000;

// A program of this build, by its path below the build folder ("src/app/kr44").
[[nodiscard]] QString buildPath(const char *relative);

struct ProcessResult
{
    int exitCode = -1; // -1: did not start or did not end in time; -2: crashed
    QByteArray out;
    QByteArray err;
};

// Runs a program to its end; `environment` adds to the test's own.
ProcessResult runProcess(const QString &program, const QStringList &args,
                         const QStringList &environment = {}, int timeoutMs = kProcessTimeoutMs);
// Runs `command` (program first) to its end.
ProcessResult runCommand(const QStringList &command, int timeoutMs = kProcessTimeoutMs);

// Starts `command` (program first) beside the test; `environment` adds to the test's own.
bool startProcess(QProcess &process, const QStringList &command,
                  const QStringList &environment = {});
// The lines a running process has written to its standard output so far, kept in `seen`.
QStringList outputLines(QProcess &process, QByteArray &seen);

bool waitFinished(QProcess &process, int timeoutMs = kProcessTimeoutMs);
// Ends a process that is still running: terminate, then kill.
void stopProcess(QProcess &process);

// kr44-sim in a process of its own, reached through the pseudo-terminal whose path it prints.
class SimProcess
{
public:
    SimProcess() = default;
    ~SimProcess() { stopProcess(m_process); }
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    bool start(const QStringList &args);
    [[nodiscard]] QString device() const { return m_device; }
    // Lines the unit logged so far: "<- " what it received, "-> " what it answered.
    QByteArrayList log();
    QByteArrayList received();
    QProcess &process() { return m_process; }

private:
    QProcess m_process;
    QString m_device;
    QByteArray m_log;
};

// Reads a whole file as bytes; an empty array when it cannot be read.
QByteArray readAll(const QString &path);
// Writes bytes to a file, replacing it; false on failure.
bool writeAll(const QString &path, const QByteArray &bytes);
// The lines as a program file stores them: each followed by CR LF.
QByteArray crlf(const QByteArrayList &lines);

} // namespace kr44test
