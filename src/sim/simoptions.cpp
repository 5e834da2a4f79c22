#include "sim/simoptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cmath>

namespace kr44 {

namespace {

constexpr qint64 kMaxTravel = 1000000000;
constexpr double kMaxTimeScale = 1e6;

// The options' texts, all in one translation context.
struct SimText
{
    Q_DECLARE_TR_FUNCTIONS(kr44::SimOptions)
};

bool readLevels(const QString &text, std::array<bool, 3> &levels)
{
    if (text.size() != 3)
        return false;
    for (int i = 0; i < 3; ++i) {
        const QChar c = text.at(i).toUpper();
        if (c != u'L' && c != u'H')
            return false;
        levels[size_t(i)] = c == u'H';
    }
    return true;
}

} // namespace

void addSimOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("inputs"),
                      SimText::tr("Levels of inputs 1 to 3 at start, each L or H (default LLL)."),
                      QStringLiteral("levels"), QStringLiteral("LLL")});
    parser.addOption(
            {QStringLiteral("eot-minus"),
             SimText::tr("Position of the negative end of travel, in steps below the start "
                         "(default -100000)."),
             QStringLiteral("steps"), QStringLiteral("-100000")});
    parser.addOption(
            {QStringLiteral("eot-plus"),
             SimText::tr("Position of the positive end of travel, in steps above the start "
                         "(default 100000)."),
             QStringLiteral("steps"), QStringLiteral("100000")});
    parser.addOption(
            {QStringLiteral("time-scale"),
             SimText::tr("Simulated seconds per real second; 100 runs a 10 s program in 100 ms "
                         "(default 1)."),
             QStringLiteral("factor"), QStringLiteral("1")});
    parser.addOption(
            {QStringLiteral("capacity"),
             SimText::tr("Program lines the unit holds; more are answered with E9 (default 2000)."),
             QStringLiteral("lines"), QStringLiteral("2000")});
    parser.addOption({QStringLiteral("link"),
                      SimText::tr("Also make a symbolic link to the device at this path."),
                      QStringLiteral("path")});
    parser.addOption(
            {QStringLiteral("quiet"), SimText::tr("Do not log the traffic on standard error.")});
}

bool readSimOptions(const QCommandLineParser &parser, SimOptions &options, QString &error)
{
    SimOptions out;
    if (!readLevels(parser.value(QStringLiteral("inputs")), out.unit.inputs)) {
        error = SimText::tr("--inputs needs three levels, each L or H, such as LHL.");
        return false;
    }
    bool okMinus = false;
    bool okPlus = false;
    out.unit.endOfTravelMinus = parser.value(QStringLiteral("eot-minus")).toLongLong(&okMinus);
    out.unit.endOfTravelPlus = parser.value(QStringLiteral("eot-plus")).toLongLong(&okPlus);
    if (!okMinus || out.unit.endOfTravelMinus >= 0 || out.unit.endOfTravelMinus < -kMaxTravel) {
        error = SimText::tr(
                "--eot-minus needs a whole number of steps below 0, down to -1000000000.");
        return false;
    }
    if (!okPlus || out.unit.endOfTravelPlus <= 0 || out.unit.endOfTravelPlus > kMaxTravel) {
        error = SimText::tr("--eot-plus needs a whole number of steps above 0, up to 1000000000.");
        return false;
    }
    bool ok = false;
    out.timeScale = parser.value(QStringLiteral("time-scale")).toDouble(&ok);
    if (!ok || !std::isfinite(out.timeScale) || out.timeScale <= 0
        || out.timeScale > kMaxTimeScale) {
        error = SimText::tr("--time-scale needs a number above 0, up to 1000000.");
        return false;
    }
    out.unit.capacity = parser.value(QStringLiteral("capacity")).toInt(&ok);
    if (!ok || out.unit.capacity < 1) {
        error = SimText::tr("--capacity needs a whole number of lines, at least 1.");
        return false;
    }
    out.linkPath = parser.value(QStringLiteral("link"));
    out.quiet = parser.isSet(QStringLiteral("quiet"));
    options = out;
    return true;
}

std::optional<InputCommand> parseInputCommand(QByteArrayView line)
{
    line = line.trimmed();
    if (line.size() != 2 || line[0] < '1' || line[0] > '3')
        return std::nullopt;
    const char level = char(line[1] & ~0x20); // upper case
    if (level != 'H' && level != 'L')
        return std::nullopt;
    return InputCommand {line[0] - '0', level == 'H'};
}

QByteArray printableBytes(QByteArrayView bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto u = uchar(c);
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (u >= 0x20 && u < 0x7f) {
            out += c;
        } else {
            out += "\\x";
            out += hex[u >> 4];
            out += hex[u & 0xf];
        }
    }
    return out;
}

} // namespace kr44
