#include "appprompt.h"
#include "commandline.h"
#include "desktopintegration.h"
#include "headless.h"
#include "shellrequest.h"
#include "singleinstance.h"
#include "kr44app.h"
#include "kr44doc.h"
#include "programprinter.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTimer>

#include <QEvent>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace {

// Prints a program into a PDF file without any window; the exit code tells how it went.
int printToPdf(const CommandLineRequest &request)
{
    CKR44Doc doc;
    const kr44::FileError error = doc.OnOpenDocument(request.fileName);
    if (!error.ok()) {
        std::fprintf(stderr, "kr44: %s\n", qPrintable(error.message()));
        return 1;
    }
    QString why;
    if (!kr44::printProgramToPdf(request.pdfPath, doc.m_lines, doc.GetTitle(), &why)) {
        std::fprintf(stderr, "kr44: %s\n", qPrintable(why));
        return 1;
    }
    return 0;
}

// With KR44_STARTUP_PROBE set, reports the monotonic clock at the main window's first paint on
// standard error and ends the run: the start-up benchmark compares it with its launch time.
class FirstPaintProbe : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->objectName() == QLatin1String("CMainFrame")) {
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            std::fprintf(stderr, "first-paint-ns %lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
            QCoreApplication::exit(0);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    const CommandLineRequest request = parseCommandLine(args);
    if (request.action == CommandLineRequest::Action::Help) {
        if (!request.error.isEmpty())
            std::fprintf(stderr, "kr44: %s\n\n", qPrintable(request.error));
        std::fputs(qPrintable(commandLineHelp(QStringLiteral("kr44"))), request.error.isEmpty() ? stdout : stderr);
        return request.error.isEmpty() ? 0 : 2;
    }
    if (request.action == CommandLineRequest::Action::Version) {
        std::fputs(qPrintable(kr44::versionText(QFileInfo(QString::fromLocal8Bit(argv[0])).fileName())), stdout);
        return 0;
    }
    if (request.action == CommandLineRequest::Action::Check
        || request.action == CommandLineRequest::Action::Send) {
        QCoreApplication app(argc, argv);
        return request.action == CommandLineRequest::Action::Check ? runCheckCommand(request)
                                                                   : runSendCommand(request);
    }
    if (request.action == CommandLineRequest::Action::PrintPdf) {
        // No display is needed to print into a file.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return printToPdf(request);
    }

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quelmark Controls"));
    QApplication::setApplicationName(QStringLiteral("KR44 Demo Program"));
    QApplication::setApplicationVersion(QStringLiteral("2.0.00"));
    QApplication::setWindowIcon(kr44::applicationIcon());

    // A file request goes to the instance already running, if there is one; this run then ends.
    SingleInstance instance;
    if (const auto shell = kr44::shellRequestFor(request, QDir::currentPath());
        shell && !instance.isPrimaryInstance()) {
        const SingleInstance::SendResult sent = instance.sendMessage(kr44::formatShellRequest(*shell));
        if (sent == SingleInstance::SendResult::Accepted)
            return 0;
        if (!instance.isPrimaryInstance()) {
            std::fprintf(stderr, "kr44: the running KR44 Controller %s\n",
                         sent == SingleInstance::SendResult::Refused ? "refused the request" : "does not answer");
            return 1;
        }
    }

    // The desktop learns of the program and its file type at every start, as the shell did.
    const kr44::XdgPaths xdg = kr44::XdgPaths::fromEnvironment();
    DesktopDatabaseUpdater databases(xdg);
    if (request.action != CommandLineRequest::Action::Unregister) {
        // After the main window is up: none of it is needed before.
        QTimer::singleShot(0, &databases, [&xdg, &databases] {
            kr44::registerFileType(xdg, QCoreApplication::applicationFilePath());
            databases.start();
        });
    }

    QSettings settings;
    AppPrompt prompt;
    FirstPaintProbe probe;
    if (qEnvironmentVariableIsSet("KR44_STARTUP_PROBE"))
        app.installEventFilter(&probe);
    CKR44App kr44App(settings, prompt);
    if (instance.isPrimaryInstance()) {
        instance.setMessageFilter([](const QByteArray &m) { return kr44::parseShellRequest(m).has_value(); });
        QObject::connect(&instance, &SingleInstance::messageReceived, &kr44App, [&kr44App](const QByteArray &m) {
            if (const auto shell = kr44::parseShellRequest(m))
                kr44App.executeShellRequest(*shell);
        });
    }
    if (!kr44App.InitInstance(request))
        return 1;
    return QApplication::exec();
}
