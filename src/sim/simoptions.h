#pragma once

#include "sim/virtualunit.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

class QCommandLineParser;

namespace kr44 {

struct SimOptions
{
    UnitConfig unit;
    double timeScale = 1.0;
    QString linkPath; // a symbolic link to the device is made here when not empty
    bool quiet = false;
};

void addSimOptions(QCommandLineParser &parser);
// Reads the options from a parser that has parsed its arguments; false with `error` set when a
// value cannot be used.
[[nodiscard]] bool readSimOptions(const QCommandLineParser &parser, SimOptions &options,
                                  QString &error);

struct InputCommand
{
    int input = 0;
    bool high = false;
};
// A line typed to the simulator to flip an input: the input number and "H" or "L", as in "2H".
[[nodiscard]] std::optional<InputCommand> parseInputCommand(QByteArrayView line);

// Line bytes as one readable log text: printable ASCII as it is, CR as "\r", LF as "\n", any
// other byte as "\xNN".
[[nodiscard]] QByteArray printableBytes(QByteArrayView bytes);

} // namespace kr44
