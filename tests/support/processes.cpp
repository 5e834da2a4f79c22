#include "processes.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>

namespace kr44test {

QString buildPath(const char *relative)
{
    return QStringLiteral(KR44_BUILD_ROOT "/") + QLatin1String(relative);
}

bool waitFinished(QProcess &process, int timeoutMs)
{
    return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, timeoutMs);
}

void stopProcess(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!waitFinished(process, 10000)) {
        process.kill();
        process.waitForFinished(10000);
    }
}

ProcessResult runProcess(const QString &program, const QStringList &args,
                         const QStringList &environment, int timeoutMs)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &entry : environment) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        env.insert(entry.left(eq), entry.mid(eq + 1));
    }
    process.setProcessEnvironment(env);
    process.start(program, args);
    ProcessResult result;
    if (!process.waitForStarted(timeoutMs))
        return result;
    if (!waitFinished(process, timeoutMs)) {
        stopProcess(process);
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

bool startProcess(QProcess &process, const QStringList &command, const QStringList &environment)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &entry : environment) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        env.insert(entry.left(eq), entry.mid(eq + 1));
    }
    process.setProcessEnvironment(env);
    process.start(command.first(), command.mid(1));
    return process.waitForStarted(kProcessTimeoutMs);
}

QStringList outputLines(QProcess &process, QByteArray &seen)
{
    seen += process.readAllStandardOutput();
    return QString::fromUtf8(seen).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

ProcessResult runCommand(const QStringList &command, int timeoutMs)
{
    return runProcess(command.first(), command.mid(1), {}, timeoutMs);
}

bool SimProcess::start(const QStringList &args)
{
    m_process.start(buildPath("src/sim/kr44-sim"), args);
    if (!m_process.waitForStarted()
        || !QTest::qWaitFor([&] { return m_process.canReadLine(); }, kProcessTimeoutMs))
        return false;
    m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    return m_device.startsWith(QLatin1String("/dev/"));
}

QByteArrayList SimProcess::log()
{
    m_log += m_process.readAllStandardError();
    return m_log.split('\n');
}

QByteArrayList SimProcess::received()
{
    QByteArrayList out;
    for (const QByteArray &line : log()) {
        if (line.startsWith("<- "))
            out.append(line);
    }
    return out;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size()
            && f.flush();
}

QByteArray crlf(const QByteArrayList &lines)
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + "\r\n";
    return out;
}

} // namespace kr44test
