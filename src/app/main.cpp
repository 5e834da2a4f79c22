#include "app/cli/commandline.h"
#include "app/cli/headless.h"
#include "app/cli/simulation.h"
#include "app/desktop/databaseupdater.h"
#include "app/desktop/registration.h"
#include "app/desktop/shellrequest.h"
#include "app/desktop/singleinstance.h"
#include "app/desktop/versioninfo.h"
#include "app/desktop/xdgpaths.h"
#include "app/shell/application.h"
#include "app/shell/appprompt.h"
#include "app/shell/fileiconengine.h"
#include "app/shell/firstframe.h"
#include "model/programdocument.h"
#include "view/programprinter.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QScopeGuard>
#include <QSettings>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <thread>

using namespace kr44;

namespace {

// Prints a program into a PDF file without any window; the exit code tells how it went.
int printToPdf(const CommandLineRequest &request)
{
    ProgramDocument doc;
    const kr44::FileError error = doc.load(request.fileName);
    if (!error.ok()) {
        std::fprintf(stderr, "kr44: %s\n", qPrintable(error.message()));
        return 1;
    }
    QString why;
    if (!kr44::printProgramToPdf(request.pdfPath, doc.lines(), doc.title(), &why)) {
        std::fprintf(stderr, "kr44: %s\n", qPrintable(why));
        return 1;
    }
    return 0;
}

// With KR44_STARTUP_PROBE set, reports the monotonic clock once the main window's first frame is
// up on standard error and ends the run at once: the start-up benchmark compares it with its
// launch time. Nothing that would follow the first frame runs, a port settings dialog included.
void reportFirstFrame()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "first-paint-ns %lld\n",
                 (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
    std::fflush(stderr);
    std::_Exit(0);
}

// The runs that need no window: help, version, check, send, simulate and printing into a PDF file.
// Their exit code, or nothing when the request is for the windows.
std::optional<int> runWithoutWindow(const CommandLineRequest &request, int &argc, char *argv[])
{
    if (request.action == CommandLineRequest::Action::Help) {
        if (!request.error.isEmpty())
            std::fprintf(stderr, "kr44: %s\n\n", qPrintable(request.error));
        std::fputs(qPrintable(commandLineHelp(QStringLiteral("kr44"))),
                   request.error.isEmpty() ? stdout : stderr);
        return request.error.isEmpty() ? 0 : 2;
    }
    if (request.action == CommandLineRequest::Action::Version) {
        std::fputs(qPrintable(kr44::versionText(
                           QFileInfo(QString::fromLocal8Bit(argv[0])).fileName())),
                   stdout);
        return 0;
    }
    if (request.action == CommandLineRequest::Action::Check
        || request.action == CommandLineRequest::Action::Send) {
        QCoreApplication app(argc, argv);
        return request.action == CommandLineRequest::Action::Check ? runCheckCommand(request)
                                                                   : runSendCommand(request);
    }
    if (request.action == CommandLineRequest::Action::Simulate) {
        QCoreApplication app(argc, argv);
        return runSimulateCommand(request);
    }
    if (request.action == CommandLineRequest::Action::PrintPdf) {
        // No display is needed to print into a file.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return printToPdf(request);
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    const CommandLineRequest request = parseCommandLine(args);
    if (const std::optional<int> exitCode = runWithoutWindow(request, argc, argv))
        return *exitCode;

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quelmark Controls"));
    QApplication::setApplicationName(QStringLiteral("KR44 Demo Program"));
    QApplication::setApplicationVersion(kr44::applicationVersion());
    QApplication::setWindowIcon(kr44::applicationIcon());
    // Lets a Wayland desktop match the windows to the menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral(KR44_APP_ID));
    // Reading the system's font list is the longest single step before the first frame; it
    // runs beside the work that needs no font (QFontDatabase is thread-safe).
    std::thread fontList([] { (void)QFontDatabase::families(); });
    const auto joinFontList = qScopeGuard([&fontList] { fontList.join(); });

    // A file request goes to the instance already running, if there is one; this run then ends.
    SingleInstance instance;
    if (const auto shell = kr44::shellRequestFor(request, QDir::currentPath());
        shell && !instance.isPrimaryInstance()) {
        const SingleInstance::SendResult sent
                = instance.sendMessage(kr44::formatShellRequest(*shell));
        if (sent == SingleInstance::SendResult::Accepted)
            return 0;
        if (!instance.isPrimaryInstance()) {
            const QString why = sent == SingleInstance::SendResult::Refused
                    ? QCoreApplication::translate("kr44::CommandLine",
                                                  "the running KR44 Controller refused the request")
                    : QCoreApplication::translate("kr44::CommandLine",
                                                  "the running KR44 Controller does not answer");
            std::fprintf(stderr, "kr44: %s\n", qPrintable(why));
            return 1;
        }
    }

    const kr44::XdgPaths xdg = kr44::XdgPaths::fromEnvironment();
    DesktopDatabaseUpdater databases(xdg);
    QSettings settings;
    AppPrompt prompt;
    Application application(settings, prompt);
    if (instance.isPrimaryInstance()) {
        instance.setMessageFilter(
                [](const QByteArray &m) { return kr44::parseShellRequest(m).has_value(); });
        QObject::connect(&instance, &SingleInstance::messageReceived, &application,
                         [&application](const QByteArray &m) {
                             if (const auto shell = kr44::parseShellRequest(m))
                                 application.executeShellRequest(*shell);
                         });
    }
    if (!application.start(request))
        return 1;
    if (qEnvironmentVariableIsSet("KR44_STARTUP_PROBE"))
        QObject::connect(application.firstFrame(), &FirstFrame::shown, &app, &reportFirstFrame);
    // A program run from a build tree tells the desktop of itself and its file type at every
    // start (an installed one is known from the system's folders); none of it is needed for the
    // first frame.
    if (request.action != CommandLineRequest::Action::Unregister) {
        application.firstFrame()->whenShown([&xdg, &databases] {
            kr44::registerForDesktop(xdg, QCoreApplication::applicationFilePath());
            databases.start();
        });
    }
    return QApplication::exec();
}
