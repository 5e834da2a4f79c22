// The sentence of each finding, built from what the finding keeps whenever it is shown.

#include "model/programcheck_p.h"

#include <QCoreApplication>

#include <algorithm>

namespace kr44 {

namespace {

using namespace checkinternal;

// The findings' sentences and the field names in them, all in one translation context.
struct CheckText
{
    Q_DECLARE_TR_FUNCTIONS(kr44::ProgramCheck)
};

// What the range sentence calls field `field` of `code`.
QString fieldName(char code, int field)
{
    switch (code) {
    case '+':
    case '-':
        return CheckText::tr("step count");
    case 'A':
    case 'C':
        return CheckText::tr("output");
    case 'B':
        return CheckText::tr("motor");
    case 'D':
        return CheckText::tr("delay");
    case 'f':
    case 'G':
        return CheckText::tr("position");
    case 'g':
    case 'J':
    case 'U':
    case 'W':
        return CheckText::tr("input");
    case 'h':
        return field == 0 ? CheckText::tr("hold time") : CheckText::tr("hold-current multiplier");
    case 'M': {
        static const char *const names[] = {QT_TRANSLATE_NOOP("kr44::ProgramCheck", "eighth-step"),
                                            QT_TRANSLATE_NOOP("kr44::ProgramCheck", "quarter-step"),
                                            QT_TRANSLATE_NOOP("kr44::ProgramCheck", "half-step")};
        return CheckText::tr("%1 threshold").arg(CheckText::tr(names[std::clamp(field, 0, 2)]));
    }
    case 'T':
        return CheckText::tr("slew rate");
    case 'V':
        return CheckText::tr("report number");
    case 'X': {
        static const char *const names[] = {QT_TRANSLATE_NOOP("kr44::ProgramCheck", "start rate"),
                                            QT_TRANSLATE_NOOP("kr44::ProgramCheck", "slew rate"),
                                            QT_TRANSLATE_NOOP("kr44::ProgramCheck", "ramp")};
        return CheckText::tr(names[std::clamp(field, 0, 2)]);
    }
    default:
        return CheckText::tr("value");
    }
}

// Choices of A, B, C and V are written one above their index.
int shownOffset(char code)
{
    return (code == 'A' || code == 'B' || code == 'C' || code == 'V') ? 1 : 0;
}

// Line text inside a sentence: printable ASCII as it is, every other byte as \xNN, so that a
// control character in a file cannot reach a terminal; long texts are cut.
QString quoted(QByteArrayView text)
{
    QString out = QStringLiteral("\"");
    const qsizetype n = std::min(text.size(), kQuotedMax);
    for (qsizetype i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7f && c != '\\')
            out += QLatin1Char(char(c));
        else if (c == '\\')
            out += QStringLiteral("\\\\");
        else
            out += QStringLiteral("\\x%1").arg(int(c), 2, 16, QLatin1Char('0'));
    }
    if (text.size() > kQuotedMax)
        out += QStringLiteral("...");
    out += QLatin1Char('"');
    return out;
}

QString malformedSentence(const Finding &finding)
{
    const QByteArrayView line = finding.text;
    const char code = line.isEmpty() ? '\0' : line.front();
    const QByteArrayView params = line.isEmpty() ? line : line.sliced(1);
    const QString &name = codeTable()[static_cast<unsigned char>(code)].name;
    switch (finding.form) {
    case TakesNoParameters:
        return CheckText::tr("%1 takes no parameters, so the unit refuses %2.")
                .arg(name, quoted(line));
    case NeedsParameters:
        return CheckText::tr("%1 needs parameters, so the unit refuses a bare %2.")
                .arg(name, quoted(line));
    case NotANumber:
        return CheckText::tr("The parameters %1 are not a number the unit takes, so it refuses "
                             "the line.")
                .arg(quoted(params));
    default:
        return CheckText::tr("The parameters %1 are not written as the instruction dialogs "
                             "write them (%2), so the unit refuses the line.")
                .arg(quoted(params), quoted(composeParams(code, readParams(code, params))));
    }
}

QString rangeSentence(const Finding &finding)
{
    if (finding.form == InitialisesNothing) {
        return CheckText::tr("Initialise with 0 clears nothing; it takes 1, 2 or 3, so the unit "
                             "refuses the line.");
    }
    const QByteArrayView line = finding.text;
    const char code = line.isEmpty() ? '\0' : line.front();
    const QByteArrayView params = line.isEmpty() ? line : line.sliced(1);
    QStringList outside;
    forEachOutside(
            code, codeTable()[static_cast<unsigned char>(code)].specs, fieldsOf(code, params),
            [&](int f, qint64 value, const FieldSpec &field) {
                if (code == 'L') {
                    outside.append(
                            CheckText::tr("the repeat count %1 is outside 1 to 255").arg(value));
                    return;
                }
                const int shift = field.kind == FieldKind::Choice ? shownOffset(code) : 0;
                outside.append(CheckText::tr("the %1 %2 is outside %3 to %4")
                                       .arg(fieldName(code, f))
                                       .arg(value + shift)
                                       .arg(field.minimum + shift)
                                       .arg(field.maximum + shift));
            });
    QString sentence = outside.join(CheckText::tr(" and "));
    if (!sentence.isEmpty())
        sentence[0] = sentence[0].toUpper();
    return CheckText::tr("%1, so the unit refuses the line.").arg(sentence);
}

QString badTargetSentence(const Finding &finding)
{
    const int t = finding.numbers[0];
    switch (finding.form) {
    case BeforeFirstLine:
        return CheckText::tr("Jumps to line %1, which no program has.").arg(t);
    case BeyondLastLine:
        return CheckText::tr("Jumps to line %1, beyond the last line (%2).")
                .arg(t)
                .arg(finding.numbers[1]);
    case CommentTarget:
        return CheckText::tr("Jumps to line %1, a comment line, which is never sent to the "
                             "unit.")
                .arg(t);
    default:
        return CheckText::tr("Jumps to line %1, which is itself a jump (j); a jump may not "
                             "lead to another.")
                .arg(t);
    }
}

QString numberingSentence(const Finding &finding)
{
    const auto [t, commentsAbove, third] = finding.numbers;
    const QString notCounted = commentsAbove == 1
            ? CheckText::tr("the comment line above it")
            : CheckText::tr("the %1 comment lines above it").arg(commentsAbove);
    if (finding.form == RefusedDownload) {
        return CheckText::tr("Jumps to line %1 as the editor counts, but the unit does not count "
                             "%2 and has only %3 lines, so it refuses the download.")
                .arg(t)
                .arg(notCounted)
                .arg(third);
    }
    return CheckText::tr("Jumps to line %1 as the editor counts, but the unit does not count %2 "
                         "and lands on line %3 (%4).")
            .arg(t)
            .arg(notCounted)
            .arg(third)
            .arg(quoted(finding.text));
}

QString idleSentence(const Finding &finding)
{
    switch (finding.form) {
    case EmptyLoop:
        return CheckText::tr("The loop that ends here has nothing to repeat.");
    case SpinsOnItself:
        return CheckText::tr("This line goes back to itself with no wait, move or delay, so the "
                             "unit spins here (W waits for an input without spinning).");
    default:
        return CheckText::tr("Lines %1 to %2 repeat with no wait, move or delay among them, so "
                             "the unit runs them as fast as it can.")
                .arg(finding.numbers[0])
                .arg(finding.numbers[1]);
    }
}

} // namespace

QString Finding::sentence() const
{
    switch (problem) {
    case Problem::UnknownInstruction: {
        const char code = char(numbers[0]);
        return CheckText::tr("%1 is not an instruction code, so the unit refuses this line.")
                .arg(quoted(QByteArrayView(&code, 1)));
    }
    case Problem::MalformedParameters:
        return malformedSentence(*this);
    case Problem::OutOfRange:
        return rangeSentence(*this);
    case Problem::BadJumpTarget:
        return badTargetSentence(*this);
    case Problem::JumpNumbering:
        return numberingSentence(*this);
    case Problem::LoopEndWithoutStart:
        return CheckText::tr("This loop end has no loop start (L0) before it, so the unit "
                             "refuses the download.");
    case Problem::LoopStartWithoutEnd:
        return CheckText::tr("This loop start has no loop end (L1 to L255) after it, so what "
                             "follows never repeats.");
    case Problem::LoopTooDeep:
        return CheckText::tr("This loop start is the %1th loop open at once, but the unit keeps "
                             "only %2 open and stops with a loop error.")
                .arg(kMaxOpenLoops + 1)
                .arg(kMaxOpenLoops);
    case Problem::JumpIntoLoop:
        return CheckText::tr("Jumps into the loop of lines %1 to %2 past its start, so its loop "
                             "end finds no loop open (a loop error on the unit).")
                .arg(numbers[0])
                .arg(numbers[1]);
    case Problem::JumpOutOfLoop:
        return CheckText::tr("Leaves the loop of lines %1 to %2 before its end, so the unit keeps "
                             "that loop open.")
                .arg(numbers[0])
                .arg(numbers[1]);
    case Problem::Unreachable:
        if (form == checkinternal::OneLine) {
            return CheckText::tr("This line never runs: no jump leads here and the line before "
                                 "it never goes on to it.");
        }
        return CheckText::tr("Lines %1 to %2 never run: no jump leads into them and the line "
                             "before them never goes on to them.")
                .arg(numbers[0])
                .arg(numbers[1]);
    case Problem::IdleCycle:
        return idleSentence(*this);
    }
    return {};
}

} // namespace kr44
