#include "app/help/instructionhelp.h"

#include "app/help/helptext_p.h"
#include "model/instructionset.h"

#include <QCoreApplication>

#include <climits>

namespace kr44 {

using internal::escaped;
using internal::headerRow;
using internal::helpText;

namespace {

// What each instruction does; the names, ranges and defaults come from the instruction table. The
// format and meaning are source texts of the context "kr44::Help" (HTML), the example is a line.
constexpr InstructionHelp kInstructionTexts[] = {
        {'+', QT_TRANSLATE_NOOP("kr44::Help", "<i>steps</i>"),
         QT_TRANSLATE_NOOP("kr44::Help", "moves clockwise by <i>steps</i> steps"), "+200"},
        {'-', QT_TRANSLATE_NOOP("kr44::Help", "<i>steps</i>"),
         QT_TRANSLATE_NOOP("kr44::Help", "moves counterclockwise by <i>steps</i> steps"), "-50"},
        {'A', QT_TRANSLATE_NOOP("kr44::Help", "<i>output</i>"),
         QT_TRANSLATE_NOOP("kr44::Help", "sets user output <i>output</i>"), "A2"},
        {'B', QT_TRANSLATE_NOOP("kr44::Help", "<i>motor</i>"),
         QT_TRANSLATE_NOOP("kr44::Help", "selects motor <i>motor</i>"), "B2"},
        {'C', QT_TRANSLATE_NOOP("kr44::Help", "<i>output</i>"),
         QT_TRANSLATE_NOOP("kr44::Help", "clears user output <i>output</i>"), "C3"},
        {'D', QT_TRANSLATE_NOOP("kr44::Help", "<i>time</i>"),
         QT_TRANSLATE_NOOP("kr44::Help", "waits <i>time</i> milliseconds"), "D500"},
        {'f', QT_TRANSLATE_NOOP("kr44::Help", "<i>position</i>"),
         QT_TRANSLATE_NOOP("kr44::Help",
                           "sets the position counter to <i>position</i>; the motor does not move"),
         "f-1000"},
        {'G', QT_TRANSLATE_NOOP("kr44::Help", "<i>position</i>"),
         QT_TRANSLATE_NOOP("kr44::Help", "moves to position <i>position</i>"), "G25000"},
        {'g', QT_TRANSLATE_NOOP("kr44::Help", "<i>dir</i><i>input</i><i>level</i>"),
         QT_TRANSLATE_NOOP(
                 "kr44::Help",
                 "moves in direction <i>dir</i> until user input <i>input</i> is at <i>level</i>"),
         "g-2H"},
        {'h', QT_TRANSLATE_NOOP("kr44::Help", "<i>time</i>,<i>mult</i>"),
         QT_TRANSLATE_NOOP(
                 "kr44::Help",
                 "holds the current for <i>time</i> milliseconds with the hold-current multiplier "
                 "<i>mult</i>"),
         "h50,3"},
        {'H', QT_TRANSLATE_NOOP("kr44::Help", "<i>end</i>"),
         QT_TRANSLATE_NOOP("kr44::Help", "travels to an end of travel and stops on its switch"),
         "H-"},
        {'I', QT_TRANSLATE_NOOP("kr44::Help", "<i>mask</i>"),
         QT_TRANSLATE_NOOP("kr44::Help",
                           "clears the position counter (1), all user outputs (2), or both (3); at "
                           "least one of them"),
         "I3"},
        {'j', QT_TRANSLATE_NOOP("kr44::Help", "<i>line</i>"),
         QT_TRANSLATE_NOOP("kr44::Help", "jumps to program line <i>line</i>"), "j4"},
        {'J', QT_TRANSLATE_NOOP("kr44::Help", "<i>input</i><i>level</i>,<i>line</i>"),
         QT_TRANSLATE_NOOP(
                 "kr44::Help",
                 "jumps to program line <i>line</i> if user input <i>input</i> is at <i>level</i>"),
         "J1H,6"},
        {'K', "",
         QT_TRANSLATE_NOOP(
                 "kr44::Help",
                 "kill: ends the program; the same letter is what <b>Stop program</b> sends"),
         "K"},
        {'L', QT_TRANSLATE_NOOP("kr44::Help", "<i>count</i>"),
         QT_TRANSLATE_NOOP("kr44::Help",
                           "<code>0</code> marks a loop start; 1 to 255 marks a loop end that "
                           "repeats the loop <i>count</i> times in all"),
         "L10"},
        {'M', QT_TRANSLATE_NOOP("kr44::Help", "<i>eighth</i>,<i>quarter</i>,<i>half</i>"),
         QT_TRANSLATE_NOOP("kr44::Help",
                           "ministepping thresholds in steps per second: eighth steps below "
                           "<i>eighth</i>, quarter steps below <i>quarter</i>, half steps below "
                           "<i>half</i>"),
         "M30,60,120"},
        {'T', QT_TRANSLATE_NOOP("kr44::Help", "<i>rate</i>"),
         QT_TRANSLATE_NOOP("kr44::Help", "sets the slew rate to <i>rate</i> steps per second"),
         "T1000"},
        {'U', QT_TRANSLATE_NOOP("kr44::Help", "<i>input</i><i>level</i>"),
         QT_TRANSLATE_NOOP("kr44::Help",
                           "repeats the program from its start until user input <i>input</i> is at "
                           "<i>level</i>"),
         "U2H"},
        {'V', QT_TRANSLATE_NOOP("kr44::Help", "<i>item</i>"),
         QT_TRANSLATE_NOOP("kr44::Help", "asks the unit to report an item"), "V3"},
        {'W', QT_TRANSLATE_NOOP("kr44::Help", "<i>input</i><i>level</i>"),
         QT_TRANSLATE_NOOP("kr44::Help", "waits until user input <i>input</i> is at <i>level</i>"),
         "W1H"},
        {'X', QT_TRANSLATE_NOOP("kr44::Help", "<i>start</i>,<i>slew</i>,<i>ramp</i>"),
         QT_TRANSLATE_NOOP("kr44::Help",
                           "acceleration profile: start rate and slew rate in steps per second, "
                           "ramp in steps"),
         "X500,1000,20"},
        {'Z', "", QT_TRANSLATE_NOOP("kr44::Help", "smooth stop"), "Z"},
};

QStringList levels()
{
    return {QCoreApplication::translate("kr44::Help", "L low"),
            QCoreApplication::translate("kr44::Help", "H high")};
}

QString rangeText(const FieldSpec &field, const FieldHelp &help)
{
    switch (field.kind) {
    case FieldKind::Number:
        if (field.maximum == INT_MAX)
            return QCoreApplication::translate("kr44::Help", "a line number of the program, from %1")
                    .arg(field.minimum);
        return QCoreApplication::translate("kr44::Help", "%1 to %2")
                .arg(field.minimum)
                .arg(field.maximum);
    case FieldKind::Choice:
        return escaped(help.choices.join(QStringLiteral(", ")));
    case FieldKind::Check:
        return QCoreApplication::translate("kr44::Help", "on or off");
    }
    return {};
}

QString newInstructionText(char code)
{
    if (code == 'j' || code == 'J')
        return QCoreApplication::translate("kr44::Help",
                                           "target: the first line that is not a jump");
    if (!hasParamFields(code))
        return QStringLiteral("&mdash;");
    QString text
            = QStringLiteral("<code>%1</code>")
                      .arg(escaped(QString::fromLatin1(
                              QByteArray(1, code) + composeParams(code, defaultFields(code)))));
    const QList<FieldSpec> specs = fieldSpecs(code);
    for (const FieldSpec &field : specs) {
        if (field.kind == FieldKind::Number
            && (field.defaultValue < field.minimum || field.defaultValue > field.maximum))
            return QCoreApplication::translate("kr44::Help", "%1, to be changed before OK").arg(text);
    }
    return text;
}

} // namespace

const InstructionHelp *instructionHelp(char code)
{
    for (const InstructionHelp &t : kInstructionTexts) {
        if (t.code == code)
            return &t;
    }
    return nullptr;
}

QList<FieldHelp> fieldHelp(char code)
{
    const QString input = QCoreApplication::translate("kr44::Help", "input");
    const QString level = QCoreApplication::translate("kr44::Help", "level");
    switch (code) {
    case '+':
    case '-':
        return {{QCoreApplication::translate("kr44::Help", "steps"), {}}};
    case 'A':
    case 'C':
        return {{QCoreApplication::translate("kr44::Help", "output"),
                 {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}}};
    case 'B':
        return {{QCoreApplication::translate("kr44::Help", "motor"),
                 {QStringLiteral("1"), QStringLiteral("2")}}};
    case 'D':
        return {{QCoreApplication::translate("kr44::Help", "time"), {}}};
    case 'f':
    case 'G':
        return {{QCoreApplication::translate("kr44::Help", "position"), {}}};
    case 'g':
        return {{QCoreApplication::translate("kr44::Help", "dir"),
                 {QCoreApplication::translate("kr44::Help", "+ clockwise"),
                  QCoreApplication::translate("kr44::Help", "- counterclockwise")}},
                {input, {}},
                {level, levels()}};
    case 'h': {
        QStringList multipliers {QCoreApplication::translate("kr44::Help", "0 Off")};
        for (int m = 1; m <= 7; ++m)
            multipliers.append(QString::number(m));
        return {{QCoreApplication::translate("kr44::Help", "time"), {}},
                {QCoreApplication::translate("kr44::Help", "mult"), multipliers}};
    }
    case 'H':
        return {{QCoreApplication::translate("kr44::Help", "end"),
                 {QCoreApplication::translate("kr44::Help", "+ EOT+"),
                  QCoreApplication::translate("kr44::Help", "- EOT-")}}};
    case 'I':
        return {{QCoreApplication::translate("kr44::Help", "clear the position counter"), {}},
                {QCoreApplication::translate("kr44::Help", "clear all user outputs"), {}}};
    case 'j':
        return {{QCoreApplication::translate("kr44::Help", "line"), {}}};
    case 'J':
        return {{input, {}},
                {level, levels()},
                {QCoreApplication::translate("kr44::Help", "line"), {}}};
    case 'L':
        return {{QCoreApplication::translate("kr44::Help", "count"), {}}};
    case 'M':
        return {{QCoreApplication::translate("kr44::Help", "eighth"), {}},
                {QCoreApplication::translate("kr44::Help", "quarter"), {}},
                {QCoreApplication::translate("kr44::Help", "half"), {}}};
    case 'T':
        return {{QCoreApplication::translate("kr44::Help", "rate"), {}}};
    case 'U':
    case 'W':
        return {{input, {}}, {level, levels()}};
    case 'V':
        return {{QCoreApplication::translate("kr44::Help", "item"),
                 {QCoreApplication::translate("kr44::Help", "1 position counter"),
                  QCoreApplication::translate("kr44::Help", "2 user inputs and outputs"),
                  QCoreApplication::translate("kr44::Help", "3 temperature"),
                  QCoreApplication::translate("kr44::Help", "4 program version"),
                  QCoreApplication::translate("kr44::Help", "5 acceleration profile")}}};
    case 'X':
        return {{QCoreApplication::translate("kr44::Help", "start"), {}},
                {QCoreApplication::translate("kr44::Help", "slew"), {}},
                {QCoreApplication::translate("kr44::Help", "ramp"), {}}};
    default:
        return {};
    }
}

QString instructionTableHtml()
{
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">\n")
            + headerRow({QT_TRANSLATE_NOOP("kr44::Help", "Code"),
                         QT_TRANSLATE_NOOP("kr44::Help", "Name"),
                         QT_TRANSLATE_NOOP("kr44::Help", "Parameter text"),
                         QT_TRANSLATE_NOOP("kr44::Help", "What it does"),
                         QT_TRANSLATE_NOOP("kr44::Help", "Fields and ranges"),
                         QT_TRANSLATE_NOOP("kr44::Help", "New instruction"),
                         QT_TRANSLATE_NOOP("kr44::Help", "Example")});
    for (int i = 0; i < kInstructionCount; ++i) {
        const char code = instructionCode(i);
        const QString name = instructionName(QByteArrayView(&kInstructionTable[i].code, 1));
        const InstructionHelp *text = instructionHelp(code);
        const QList<FieldSpec> specs = fieldSpecs(code);
        const QList<FieldHelp> helps = fieldHelp(code);
        QStringList fields;
        for (qsizetype f = 0; f < specs.size() && f < helps.size(); ++f)
            fields.append(
                    QStringLiteral("<i>%1</i>: %2")
                            .arg(escaped(helps.at(f).name), rangeText(specs.at(f), helps.at(f))));
        html += QStringLiteral("<tr><td><code>%1</code></td><td>%2</td><td><code>%1</code>%3</"
                               "td><td>%4</td>"
                               "<td>%5</td><td>%6</td><td><code>%7</code></td></tr>\n")
                        .arg(escaped(QString(QLatin1Char(code))), escaped(name),
                             text ? helpText(text->format) : QString(),
                             text ? helpText(text->meaning) : QString(),
                             fields.isEmpty()
                                     ? escaped(QCoreApplication::translate("kr44::Help", "none"))
                                     : fields.join(QStringLiteral("<br>")),
                             newInstructionText(code),
                             text ? escaped(QString::fromLatin1(text->example)) : QString());
    }
    html += QStringLiteral("</table>\n");
    return html;
}

} // namespace kr44
