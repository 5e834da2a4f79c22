#pragma once

#include "app/cli/commandline.h"

// The command-line modes that run without a window. Each returns the process exit status.

// --check FILE...: prints every finding as FILE:LINE: severity: sentence. 0 when every file is
// clean, 1 when a file has errors, 2 when a file cannot be read.

namespace kr44 {

int runCheckCommand(const CommandLineRequest &request);

// --send FILE --port DEVICE [--baud N] [--run] [--stop] [--wait]: downloads the program with
// the same bytes as the "Send program" command, prints the unit's replies, and exits with a
// status that says what happened.
int runSendCommand(const CommandLineRequest &request);

// A reply of the unit (without its CR) as one line on a terminal: translated, and its control
// characters shown as \xNN rather than obeyed.
[[nodiscard]] QString replyLine(const QByteArray &reply);

} // namespace kr44
