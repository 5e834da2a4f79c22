// The sentence of each finding, built from what the finding keeps whenever it is shown.

#include "model/programcheck_p.h"

#include <algorithm>

namespace kr44 {

namespace {

using namespace checkinternal;

// What the range sentence calls field `field` of `code`.
QString fieldName(char code, int field)
{
    switch (code) {
    case '+':
    case '-':
        return QStringLiteral("step count");
    case 'A':
    case 'C':
        return QStringLiteral("output");
    case 'B':
        return QStringLiteral("motor");
    case 'D':
        return QStringLiteral("delay");
    case 'f':
    case 'G':
        return QStringLiteral("position");
    case 'g':
    case 'J':
    case 'U':
    case 'W':
        return QStringLiteral("input");
    case 'h':
        return field == 0 ? QStringLiteral("hold time") : QStringLiteral("hold-current multiplier");
    case 'M': {
        static const char *const names[] = {"eighth-step", "quarter-step", "half-step"};
        return QStringLiteral("%1 threshold").arg(QLatin1String(names[std::clamp(field, 0, 2)]));
    }
    case 'T':
        return QStringLiteral("slew rate");
    case 'V':
        return QStringLiteral("report number");
    case 'X': {
        static const char *const names[] = {"start rate", "slew rate", "ramp"};
        return QLatin1String(names[std::clamp(field, 0, 2)]);
    }
    default:
        return QStringLiteral("value");
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
        return QStringLiteral("%1 takes no parameters, so the unit refuses %2.")
                .arg(name, quoted(line));
    case NeedsParameters:
        return QStringLiteral("%1 needs parameters, so the unit refuses a bare %2.")
                .arg(name, quoted(line));
    case NotANumber:
        return QStringLiteral("The parameters %1 are not a number the unit takes, so it refuses "
                              "the line.")
                .arg(quoted(params));
    default:
        return QStringLiteral("The parameters %1 are not written as the instruction dialogs "
                              "write them (%2), so the unit refuses the line.")
                .arg(quoted(params), quoted(composeParams(code, readParams(code, params))));
    }
}

QString rangeSentence(const Finding &finding)
{
    if (finding.form == InitialisesNothing) {
        return QStringLiteral("Initialise with 0 clears nothing; it takes 1, 2 or 3, so the unit "
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
                            QStringLiteral("the repeat count %1 is outside 1 to 255").arg(value));
                    return;
                }
                const int shift = field.kind == FieldKind::Choice ? shownOffset(code) : 0;
                outside.append(QStringLiteral("the %1 %2 is outside %3 to %4")
                                       .arg(fieldName(code, f))
                                       .arg(value + shift)
                                       .arg(field.minimum + shift)
                                       .arg(field.maximum + shift));
            });
    QString sentence = outside.join(QStringLiteral(" and "));
    if (!sentence.isEmpty())
        sentence[0] = sentence[0].toUpper();
    return sentence + QStringLiteral(", so the unit refuses the line.");
}

QString badTargetSentence(const Finding &finding)
{
    const int t = finding.numbers[0];
    switch (finding.form) {
    case BeforeFirstLine:
        return QStringLiteral("Jumps to line %1, which no program has.").arg(t);
    case BeyondLastLine:
        return QStringLiteral("Jumps to line %1, beyond the last line (%2).")
                .arg(t)
                .arg(finding.numbers[1]);
    case CommentTarget:
        return QStringLiteral("Jumps to line %1, a comment line, which is never sent to the "
                              "unit.")
                .arg(t);
    default:
        return QStringLiteral("Jumps to line %1, which is itself a jump (j); a jump may not "
                              "lead to another.")
                .arg(t);
    }
}

QString numberingSentence(const Finding &finding)
{
    const auto [t, commentsAbove, third] = finding.numbers;
    const QString notCounted = commentsAbove == 1
            ? QStringLiteral("the comment line above it")
            : QStringLiteral("the %1 comment lines above it").arg(commentsAbove);
    if (finding.form == RefusedDownload) {
        return QStringLiteral("Jumps to line %1 as the editor counts, but the unit does not count "
                              "%2 and has only %3 lines, so it refuses the download.")
                .arg(t)
                .arg(notCounted)
                .arg(third);
    }
    return QStringLiteral("Jumps to line %1 as the editor counts, but the unit does not count %2 "
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
        return QStringLiteral("The loop that ends here has nothing to repeat.");
    case SpinsOnItself:
        return QStringLiteral("This line goes back to itself with no wait, move or delay, so the "
                              "unit spins here (W waits for an input without spinning).");
    default:
        return QStringLiteral("Lines %1 to %2 repeat with no wait, move or delay among them, so "
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
        return QStringLiteral("%1 is not an instruction code, so the unit refuses this line.")
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
        return QStringLiteral("This loop end has no loop start (L0) before it, so the unit "
                              "refuses the download.");
    case Problem::LoopStartWithoutEnd:
        return QStringLiteral("This loop start has no loop end (L1 to L255) after it, so what "
                              "follows never repeats.");
    case Problem::LoopTooDeep:
        return QStringLiteral("This loop start is the %1th loop open at once, but the unit keeps "
                              "only %2 open and stops with a loop error.")
                .arg(kMaxOpenLoops + 1)
                .arg(kMaxOpenLoops);
    case Problem::JumpIntoLoop:
        return QStringLiteral("Jumps into the loop of lines %1 to %2 past its start, so its loop "
                              "end finds no loop open (a loop error on the unit).")
                .arg(numbers[0])
                .arg(numbers[1]);
    case Problem::JumpOutOfLoop:
        return QStringLiteral("Leaves the loop of lines %1 to %2 before its end, so the unit keeps "
                              "that loop open.")
                .arg(numbers[0])
                .arg(numbers[1]);
    case Problem::Unreachable:
        if (form == checkinternal::OneLine) {
            return QStringLiteral("This line never runs: no jump leads here and the line before "
                                  "it never goes on to it.");
        }
        return QStringLiteral("Lines %1 to %2 never run: no jump leads into them and the line "
                              "before them never goes on to them.")
                .arg(numbers[0])
                .arg(numbers[1]);
    case Problem::IdleCycle:
        return idleSentence(*this);
    }
    return {};
}

} // namespace kr44
