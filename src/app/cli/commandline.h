#pragma once

#include "app/cli/simulationsetup.h"

#include <QString>
#include <QStringList>

// What the command line asks the application to do at start-up.

namespace kr44 {

struct CommandLineRequest
{
    enum class Action {
        New,        // a new program (or, on a plain start, the most recent one)
        Open,       // open `fileName`
        Print,      // "p": open and print `fileName` without a dialog
        PrintTo,    // "pt": print on `printer` (with `driver` and `port`)
        Dde,        // "dde": serve shell requests
        Unregister, // "Unregister" / "Unregserver"
        PrintPdf,   // --print-pdf: print `fileName` to `pdfPath` and exit without a window
        Check,      // --check FILE...: report the findings of the program check
        Send,       // --send FILE --port DEVICE: download without a window
        Simulate,   // --simulate FILE: run on a virtual unit in simulated time
        Help,       // --help
        Version,    // --version
    };

    Action action = Action::New;
    QString fileName;
    QString printer;
    QString driver;
    QString port;
    QString pdfPath;
    QStringList checkFiles; // --check
    // --send: the device, its baud rate, and whether to run, stop, or wait for "Ready".
    QString sendPort;
    int sendBaud = 19200;
    bool sendRun = false;
    bool sendStop = false;
    bool sendWait = false;
    QString sendLog;               // --log FILE: every byte over the line appended to FILE
    SimulationSetup simulateSetup; // --inputs, --set, --max-time
    QString simulateTrace;         // --trace FILE.csv
    bool embedded = false;         // "Embedding" or "Automation"
    bool virtualUnit = false;      // --virtual-unit: connect to the built-in virtual unit
    QString firstStartFile;        // --first-start FILE: a plain start with no recent file opens it
    bool startedByUser = true;     // false for "dde", "Embedding", "Automation"
    QString error;                 // a usage error of the Linux options, for --help's text

    // A plain start: no file and no option that makes a request.
    [[nodiscard]] bool isPlainStart() const { return action == Action::New; }
};

// Parses the arguments after the program name. Options begin with "/" or "-"; "p", "pt" and
// "dde" match exactly, the other words without regard to case. Long options in the Linux form
// (--help, --version, --print-pdf=FILE) are taken besides.
[[nodiscard]] CommandLineRequest parseCommandLine(const QStringList &arguments);

[[nodiscard]] QString commandLineHelp(const QString &programName);

} // namespace kr44
