// A stand-in for the application around the single-instance link, started by
// tst_singleinstance as separate processes:
//   serve OUTDIR              be the primary and carry out requests (print goes to OUTDIR/NAME.pdf)
//   start OUTDIR ARGS...      what the program does at start: hand ARGS' request to a running
//                             primary, or become the primary, carry it out and serve
//   send MESSAGE              hand MESSAGE to the primary as it is
//   rawsend SOCKET MESSAGE    connect to SOCKET directly and send one frame
// The primary writes one line per event on standard output and ends when it reads "quit".

#include "commandline.h"
#include "programfile.h"
#include "programprinter.h"
#include "shellrequest.h"
#include "singleinstance.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocalSocket>
#include <QSocketNotifier>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

void say(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

void carryOut(const kr44::ShellRequest &request, const QString &outDir)
{
    if (request.kind == kr44::ShellRequest::Kind::Open) {
        say(QStringLiteral("open ") + request.file);
        return;
    }
    const kr44::LoadResult loaded = kr44::loadProgramFile(request.file);
    if (!loaded.error.ok()) {
        say(QStringLiteral("error ") + loaded.error.message());
        return;
    }
    const QString pdf = outDir + QLatin1Char('/') + QFileInfo(request.file).completeBaseName() + QStringLiteral(".pdf");
    QString why;
    if (kr44::printProgramToPdf(pdf, loaded.lines, QFileInfo(request.file).fileName(), &why))
        say(QStringLiteral("printed ") + pdf + (request.printer.isEmpty() ? QString() : QStringLiteral(" on ") + request.printer));
    else
        say(QStringLiteral("error ") + why);
}

int serve(SingleInstance &instance, const QString &outDir)
{
    say(QStringLiteral("primary"));
    instance.setMessageFilter([](const QByteArray &m) { return kr44::parseShellRequest(m).has_value(); });
    QObject::connect(&instance, &SingleInstance::messageReceived, &instance, [outDir](const QByteArray &m) {
        carryOut(*kr44::parseShellRequest(m), outDir);
    });
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &input, [&input] {
        char buffer[64];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0 || QByteArray(buffer, int(n)).contains("quit")) {
            input.setEnabled(false);
            QCoreApplication::quit();
        }
    });
    return QCoreApplication::exec();
}

int report(SingleInstance::SendResult result)
{
    switch (result) {
    case SingleInstance::SendResult::Accepted:
        say(QStringLiteral("accepted"));
        return 0;
    case SingleInstance::SendResult::Refused:
        say(QStringLiteral("refused"));
        return 1;
    case SingleInstance::SendResult::NoAnswer:
        break;
    }
    say(QStringLiteral("noanswer"));
    return 2;
}

int rawSend(const QString &socketPath, const QByteArray &message)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(3000)) {
        say(QStringLiteral("none"));
        return 2;
    }
    socket.write(SingleInstance::frame(message));
    socket.waitForBytesWritten(3000);
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(3000)) {
            say(QStringLiteral("none"));
            return 2;
        }
    }
    say(QString::fromLatin1(socket.read(1)));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("rawsend") && argc == 4) {
        QCoreApplication app(argc, argv);
        return rawSend(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]));
    }
    if (mode == QLatin1String("send") && argc == 3) {
        QCoreApplication app(argc, argv);
        SingleInstance instance;
        if (instance.isPrimaryInstance()) {
            say(QStringLiteral("noprimary"));
            return 3;
        }
        return report(instance.sendMessage(QByteArray(argv[2])));
    }
    if ((mode == QLatin1String("serve") || mode == QLatin1String("start")) && argc >= 3) {
        QGuiApplication app(argc, argv);
        const QString outDir = QString::fromLocal8Bit(argv[2]);
        QStringList args;
        for (int i = 3; i < argc; ++i)
            args.append(QString::fromLocal8Bit(argv[i]));
        const std::optional<kr44::ShellRequest> request = kr44::shellRequestFor(parseCommandLine(args), QDir::currentPath());
        SingleInstance instance;
        if (!instance.isPrimaryInstance()) {
            if (mode == QLatin1String("serve")) {
                say(QStringLiteral("secondary"));
                return 3;
            }
            if (!request) {
                say(QStringLiteral("nothing to hand over"));
                return 3;
            }
            const SingleInstance::SendResult result = instance.sendMessage(kr44::formatShellRequest(*request));
            if (result != SingleInstance::SendResult::NoAnswer || !instance.isPrimaryInstance())
                return report(result);
            // The primary ended before it listened: this start carries on as the primary.
        }
        if (request) {
            // Serve first, so that the election's winner answers while it works.
            QMetaObject::invokeMethod(&app, [request, outDir] { carryOut(*request, outDir); }, Qt::QueuedConnection);
        }
        return serve(instance, outDir);
    }
    std::fputs("usage: helper_singleinstance serve|start|send|rawsend ...\n", stderr);
    return 64;
}
