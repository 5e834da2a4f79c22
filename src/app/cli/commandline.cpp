#include "app/cli/commandline.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace kr44 {

namespace {

bool equalsNoCase(const QString &a, const char *b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

bool isOptionWord(const QString &word)
{
    return word == QLatin1String("p") || word == QLatin1String("pt") || word == QLatin1String("dde")
            || equalsNoCase(word, "Unregister") || equalsNoCase(word, "Unregserver")
            || equalsNoCase(word, "Embedding") || equalsNoCase(word, "Automation");
}

void takeFlag(CommandLineRequest &r, const QString &word)
{
    using A = CommandLineRequest::Action;
    if (word == QLatin1String("p")) {
        r.action = A::Print;
    } else if (word == QLatin1String("pt")) {
        r.action = A::PrintTo;
    } else if (word == QLatin1String("dde")) {
        r.action = A::Dde;
        r.startedByUser = false;
    } else if (equalsNoCase(word, "Unregister") || equalsNoCase(word, "Unregserver")) {
        r.action = A::Unregister;
    } else if (equalsNoCase(word, "Embedding") || equalsNoCase(word, "Automation")) {
        r.embedded = true;
        r.startedByUser = false;
    }
    // Any other option word is accepted and has no effect.
}

void takeParam(CommandLineRequest &r, const QString &param)
{
    if (r.fileName.isEmpty())
        r.fileName = param;
    else if (r.action == CommandLineRequest::Action::PrintTo && r.printer.isEmpty())
        r.printer = param;
    else if (r.action == CommandLineRequest::Action::PrintTo && r.driver.isEmpty())
        r.driver = param;
    else if (r.action == CommandLineRequest::Action::PrintTo && r.port.isEmpty())
        r.port = param;
}

// The value of --port, --baud, --log or --first-start.
void takeValue(CommandLineRequest &r, const QString &option, const QString &value)
{
    if (option == QLatin1String("--port")) {
        r.sendPort = value;
    } else if (option == QLatin1String("--log")) {
        r.sendLog = value;
    } else if (option == QLatin1String("--first-start")) {
        r.firstStartFile = value;
    } else {
        bool ok = false;
        r.sendBaud = value.toInt(&ok);
        if (!ok || r.sendBaud <= 0)
            r.error = QCoreApplication::translate("kr44::CommandLine",
                                                  "--baud needs a positive number");
    }
}

QString simulateExample(const QString &option)
{
    if (option == QLatin1String("--trace"))
        return QStringLiteral("run.csv");
    if (option == QLatin1String("--inputs"))
        return QStringLiteral("LHL");
    return option == QLatin1String("--set") ? QStringLiteral("1H@2.5") : QStringLiteral("60");
}

// The value of --inputs, --set or --max-time; false when it is malformed.
bool takeSimulateValue(SimulationSetup &setup, const QString &option, const QString &value)
{
    if (option == QLatin1String("--inputs")) {
        static const QRegularExpression levels(QStringLiteral("^[HL]{3}$"));
        for (int i = 0; i < 3 && levels.match(value).hasMatch(); ++i)
            setup.inputs[size_t(i)] = value.at(i) == QLatin1Char('H');
        return levels.match(value).hasMatch();
    }
    bool ok = false;
    if (option == QLatin1String("--max-time")) {
        const double seconds = value.toDouble(&ok);
        setup.maxTimeUs = qint64(seconds * 1e6);
        return ok && seconds >= 0 && seconds < 1e9;
    }
    static const QRegularExpression change(QStringLiteral("^([123])([HL])@(.+)$"));
    const QRegularExpressionMatch m = change.match(value);
    const double at = m.captured(3).toDouble(&ok);
    if (!m.hasMatch() || !ok || !(at >= 0 && at < 1e9)) // also refuses "nan"
        return false;
    setup.changes.append({qint64(at * 1e6), m.captured(1).toInt(), m.captured(2) == u"H"});
    return true;
}

// The usage errors of a request whose options were all read: what its action needs is missing.
void requireOperands(CommandLineRequest &r)
{
    using A = CommandLineRequest::Action;
    if (r.action == A::PrintPdf && r.error.isEmpty() && r.fileName.isEmpty())
        r.error = QCoreApplication::translate("kr44::CommandLine",
                                              "--print-pdf needs a program file to print");
    if (r.action == A::Check && r.checkFiles.isEmpty() && r.error.isEmpty())
        r.error = QCoreApplication::translate("kr44::CommandLine",
                                              "--check needs at least one program file");
    if (r.action == A::Send && r.error.isEmpty()) {
        if (r.fileName.isEmpty() && !r.sendStop)
            r.error = QCoreApplication::translate("kr44::CommandLine",
                                                  "--send needs a program file");
        else if (r.sendPort.isEmpty())
            r.error = QCoreApplication::translate("kr44::CommandLine", "--send needs --port DEVICE");
    }
    if (!r.sendLog.isEmpty() && r.action != A::Send && r.error.isEmpty())
        r.error = QCoreApplication::translate("kr44::CommandLine", "--log goes with --send");
    if (r.action == A::Simulate && r.fileName.isEmpty() && r.error.isEmpty())
        r.error = QCoreApplication::translate("kr44::CommandLine",
                                              "--simulate needs a program file");
}

} // namespace

CommandLineRequest parseCommandLine(const QStringList &arguments)
{
    using A = CommandLineRequest::Action;
    CommandLineRequest r;
    bool help = false;
    bool version = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            help = true;
        } else if (arg == QLatin1String("--version")) {
            version = true;
        } else if (arg == QLatin1String("--virtual-unit")) {
            r.virtualUnit = true;
        } else if (arg == QLatin1String("--check")) {
            r.action = A::Check;
        } else if (arg == QLatin1String("--send")) {
            r.action = A::Send;
        } else if (arg == QLatin1String("--port") || arg == QLatin1String("--baud")
                   || arg == QLatin1String("--log") || arg == QLatin1String("--first-start")) {
            if (i + 1 < arguments.size())
                takeValue(r, arg, arguments.at(++i));
            else
                r.error = QCoreApplication::translate("kr44::CommandLine", "%1 needs a value")
                                  .arg(arg);
        } else if (arg == QLatin1String("--simulate")) {
            r.action = A::Simulate;
        } else if (arg == QLatin1String("--trace") || arg == QLatin1String("--inputs")
                   || arg == QLatin1String("--set") || arg == QLatin1String("--max-time")) {
            const QString value = arguments.value(++i);
            if (arg == QLatin1String("--trace"))
                r.simulateTrace = value;
            if (value.isEmpty()
                || (arg != QLatin1String("--trace")
                    && !takeSimulateValue(r.simulateSetup, arg, value)))
                r.error = QCoreApplication::translate("kr44::CommandLine",
                                                      "%1 needs a value such as %2")
                                  .arg(arg, simulateExample(arg));
        } else if (arg == QLatin1String("--run")) {
            r.sendRun = true;
        } else if (arg == QLatin1String("--stop")) {
            r.sendStop = true;
        } else if (arg == QLatin1String("--wait")) {
            r.sendWait = true;
        } else if (r.action == A::Check && !arg.startsWith(QLatin1Char('-'))) {
            r.checkFiles.append(arg);
        } else if (arg.startsWith(QLatin1String("--print-pdf"))) {
            if (arg.startsWith(QLatin1String("--print-pdf="))) {
                r.pdfPath = arg.mid(int(qstrlen("--print-pdf=")));
            } else if (arg == QLatin1String("--print-pdf") && i + 1 < arguments.size()) {
                r.pdfPath = arguments.at(++i);
            }
            if (r.pdfPath.isEmpty())
                r.error = QCoreApplication::translate(
                        "kr44::CommandLine", "--print-pdf needs the name of the PDF file to write");
            r.action = A::PrintPdf;
        } else if (arg.startsWith(QLatin1String("--"))) {
            // A long option of a later version, or a typo: starting the window instead would
            // leave a script that meant a run without one waiting for ever.
            if (r.error.isEmpty())
                r.error = QCoreApplication::translate("kr44::CommandLine", "unknown option %1")
                                  .arg(arg);
        } else if ((arg.size() > 1 && arg.front() == QLatin1Char('-'))
                   || (arg.front() == QLatin1Char('/') && isOptionWord(arg.mid(1)))) {
            // On Linux a file name may start with "/" too: only the known words are options there.
            takeFlag(r, arg.mid(1));
        } else {
            takeParam(r, arg);
        }
    }
    requireOperands(r);
    if (r.action == A::New && !r.fileName.isEmpty())
        r.action = A::Open;
    if (version)
        r.action = A::Version;
    if (help || !r.error.isEmpty())
        r.action = A::Help;
    return r;
}

QString commandLineHelp(const QString &programName)
{
    return QCoreApplication::translate(
                   "kr44::CommandLine",
                   "Usage: %1 [options] [FILE]\n"
                   "Edit, print and download KR44 motion programs (.krp files).\n"
                   "\n"
                   "  FILE                      open this program (otherwise the most recent one)\n"
                   "  /p FILE                   open FILE and print it on the default printer\n"
                   "  /pt FILE PRINTER [DRIVER PORT]\n"
                   "                            open FILE and print it on PRINTER\n"
                   "  /dde                      wait for open and print requests from the desktop\n"
                   "  /Unregister, /Unregserver remove the file-type registration and the "
                   "settings\n"
                   "  /Embedding, /Automation   accepted; the run counts as not started by the "
                   "user\n"
                   "  --virtual-unit            connect to the built-in virtual KR44 unit, not the "
                   "COM port\n"
                   "  --first-start FILE        open FILE on a start without a file when no "
                   "program "
                   "has\n"
                   "                            been opened before (no recent file)\n"
                   "  --print-pdf=PDF FILE      print FILE to the PDF file PDF without showing a "
                   "window\n"
                   "  --check FILE...           check programs; prints FILE:LINE: severity: "
                   "sentence\n"
                   "                            (exit 0 clean, 1 errors found, 2 a file cannot be "
                   "read)\n"
                   "  --send FILE --port DEVICE [--baud N] [--run] [--stop] [--wait] [--log LOG]\n"
                   "                            download FILE to the unit on DEVICE without a "
                   "window;\n"
                   "                            --run starts it,\n"
                   "                            --stop stops a running program before the "
                   "download,\n"
                   "                            --wait waits, without a time limit, for the run to "
                   "end,\n"
                   "                            --log appends every byte sent and received to "
                   "LOG;\n"
                   "                            exit 0 done, 1 the unit answered an error or was "
                   "busy,\n"
                   "                            2 a file cannot be read, 3 the port cannot be "
                   "opened,\n"
                   "                            4 a write failed or the port was lost\n"
                   "  --simulate FILE [--inputs LHL] [--set 1H@2.5]... [--max-time SECONDS]\n"
                   "                 [--trace FILE.csv]\n"
                   "                            run FILE on a virtual unit in simulated time, as "
                   "fast as\n"
                   "                            possible; prints the replies and a summary;\n"
                   "                            --inputs sets inputs 1 to 3 at the start (H high, "
                   "L low),\n"
                   "                            --set switches an input at a simulated time "
                   "(repeatable),\n"
                   "                            --max-time ends a run that does not end (default "
                   "600),\n"
                   "                            --trace writes one CSV row per executed "
                   "instruction;\n"
                   "                            exit 0 Ready, 1 an error reply, 2 a file or "
                   "argument\n"
                   "                            problem, 3 still running at the time limit\n"
                   "  --help                    show this help and exit\n"
                   "  --version                 show the version and exit\n"
                   "\n"
                   "Options may also start with '-' instead of '/'.\n")
            .arg(programName);
}

} // namespace kr44
