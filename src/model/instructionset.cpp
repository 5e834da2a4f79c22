#include "model/instructionset.h"

#include <QCoreApplication>

#include <climits>

namespace kr44 {

const InstructionEntry kInstructionTable[kInstructionCount] = {
        {'+', QT_TRANSLATE_NOOP("kr44::Instruction", "Move CW")},
        {'-', QT_TRANSLATE_NOOP("kr44::Instruction", "Move CCW")},
        {'A', QT_TRANSLATE_NOOP("kr44::Instruction", "Activate")},
        {'B', QT_TRANSLATE_NOOP("kr44::Instruction", "Motor")},
        {'C', QT_TRANSLATE_NOOP("kr44::Instruction", "Clear")},
        {'D', QT_TRANSLATE_NOOP("kr44::Instruction", "Delay")},
        {'f', QT_TRANSLATE_NOOP("kr44::Instruction", "Force")},
        {'G', QT_TRANSLATE_NOOP("kr44::Instruction", "Go to")},
        {'g', QT_TRANSLATE_NOOP("kr44::Instruction", "Go until")},
        {'h', QT_TRANSLATE_NOOP("kr44::Instruction", "Hold time")},
        {'H', QT_TRANSLATE_NOOP("kr44::Instruction", "Home")},
        {'I', QT_TRANSLATE_NOOP("kr44::Instruction", "Initialise")},
        {'j', QT_TRANSLATE_NOOP("kr44::Instruction", "Jump")},
        {'J', QT_TRANSLATE_NOOP("kr44::Instruction", "Jump if")},
        {'K', QT_TRANSLATE_NOOP("kr44::Instruction", "Kill")},
        {'L', QT_TRANSLATE_NOOP("kr44::Instruction", "Loop")},
        {'M', QT_TRANSLATE_NOOP("kr44::Instruction", "Ministep")},
        {'T', QT_TRANSLATE_NOOP("kr44::Instruction", "Slew")},
        {'U', QT_TRANSLATE_NOOP("kr44::Instruction", "Until")},
        {'V', QT_TRANSLATE_NOOP("kr44::Instruction", "Verify")},
        {'W', QT_TRANSLATE_NOOP("kr44::Instruction", "Wait")},
        {'X', QT_TRANSLATE_NOOP("kr44::Instruction", "Acc Profile")},
        {'Z', QT_TRANSLATE_NOOP("kr44::Instruction", "Smooth stop")},
};

int instructionIndex(char code)
{
    for (int i = 0; i < kInstructionCount; ++i) {
        if (kInstructionTable[i].code == code)
            return i;
    }
    return -1;
}

char instructionCode(int index)
{
    return (index >= 0 && index < kInstructionCount) ? kInstructionTable[index].code : '\0';
}

QString instructionName(QByteArrayView code)
{
    if (code.size() != 1)
        return {};
    const int i = instructionIndex(code.at(0));
    return i < 0 ? QString()
                 : QCoreApplication::translate("kr44::Instruction", kInstructionTable[i].name);
}

bool isCommentLine(QByteArrayView line) { return line.isEmpty() || line.front() == '*'; }

bool isCommentCode(QByteArrayView code)
{
    return code.isEmpty() || (code.size() == 1 && code.front() == kRawCommentCode);
}

LineParts splitLine(QByteArrayView line)
{
    if (line.isEmpty())
        return {};
    if (line.front() == '*') {
        if (line.size() == 1)
            return {};
        if (line.at(1) == ' ')
            return {QByteArray(), line.sliced(2).toByteArray()};
        return {QByteArray(1, kRawCommentCode), line.sliced(1).toByteArray()};
    }
    return {line.first(1).toByteArray(), line.sliced(1).toByteArray()};
}

QByteArray composeLine(QByteArrayView code, QByteArrayView params)
{
    QByteArray out;
    out.reserve(code.size() + params.size() + 2);
    if (code.isEmpty())
        out.append("* ");
    else
        out.append(code.data(), code.size());
    out.append(params.data(), params.size());
    return out;
}

int leadingInt(QByteArrayView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n
           && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r'
               || text[i] == '\v' || text[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value <= LLONG_MAX / 16)
            value = value * 10 + (text[i] - '0');
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return int(value);
}

namespace {

constexpr int kPositionMin = -8388608;
constexpr int kPositionMax = 8388607;

FieldSpec number(int def, int min, int max) { return {FieldKind::Number, def, min, max}; }
FieldSpec choice(int def, int count) { return {FieldKind::Choice, def, 0, count - 1}; }
FieldSpec check(int def) { return {FieldKind::Check, def, 0, 1}; }

int firstCharNumber(QByteArrayView text) { return text.isEmpty() ? 0 : leadingInt(text.first(1)); }

bool charIs(QByteArrayView text, qsizetype pos, char c)
{
    return pos < text.size() && text[pos] == c;
}

// The comma walk of h, M and X: the first number goes to the first field, then while the rest
// has a comma after its first character, the text after that comma feeds the next field.
void commaWalk(QByteArrayView text, ParamFields &fields, int maxFields)
{
    fields[0] = leadingInt(text);
    QByteArrayView rest = text;
    for (int f = 1; f < maxFields; ++f) {
        const qsizetype comma = rest.indexOf(',');
        if (comma <= 0)
            break;
        rest = rest.sliced(comma + 1);
        fields[f] = leadingInt(rest);
    }
}

QByteArray num(int v) { return QByteArray::number(v); }
char level(int highIndex) { return highIndex == 1 ? 'H' : 'L'; }
char direction(int index) { return index == 1 ? '-' : '+'; }

} // namespace

bool hasParamFields(char code) { return !fieldSpecs(code).isEmpty(); }

QList<FieldSpec> fieldSpecs(char code)
{
    switch (code) {
    case '+':
    case '-':
        return {number(1, 1, kPositionMax)};
    case 'A':
    case 'C':
        return {choice(0, 3)};
    case 'B':
        return {choice(0, 2)};
    case 'D':
        return {number(0, 1, 65535)};
    case 'f':
    case 'G':
        return {number(0, kPositionMin, kPositionMax)};
    case 'g':
        return {choice(0, 2), number(1, 1, 3), choice(0, 2)};
    case 'h':
        return {number(10, 0, 99), choice(0, 8)};
    case 'H':
        return {choice(0, 2)};
    case 'I':
        return {check(1), check(0)};
    case 'j':
        return {number(0, 1, INT_MAX)};
    case 'J':
        return {number(1, 1, 3), choice(0, 2), number(0, 1, INT_MAX)};
    case 'L':
        return {number(0, 0, 255)};
    case 'M':
        return {number(30, 30, 600), number(60, 30, 600), number(120, 30, 600)};
    case 'T':
        return {number(1000, 10, 6000)};
    case 'U':
    case 'W':
        return {number(1, 1, 3), choice(0, 2)};
    case 'V':
        return {choice(0, 5)};
    case 'X':
        return {number(500, 10, 6000), number(1000, 10, 6000), number(20, 1, 1599)};
    default:
        return {};
    }
}

ParamFields defaultFields(char code)
{
    ParamFields fields;
    for (const FieldSpec &field : fieldSpecs(code))
        fields.append(field.defaultValue);
    return fields;
}

ParamFields readParams(char code, QByteArrayView text)
{
    ParamFields f = defaultFields(code);
    if (text.isEmpty() || f.isEmpty())
        return f;
    switch (code) {
    case '+':
    case '-':
    case 'D':
    case 'f':
    case 'G':
    case 'T':
    case 'j':
    case 'L':
        f[0] = leadingInt(text);
        break;
    case 'A':
    case 'B':
    case 'C':
        // Index = number - 1, without stepping below the smallest int.
        f[0] = qMax(leadingInt(text), INT_MIN + 1) - 1;
        break;
    case 'V':
        f[0] = firstCharNumber(text) - 1;
        break;
    case 'H':
        f[0] = text.front() == '-' ? 1 : 0;
        break;
    case 'g':
        f[0] = text.front() == '-' ? 1 : 0;
        f[1] = leadingInt(text.sliced(1));
        f[2] = text.back() == 'H' ? 1 : 0;
        break;
    case 'h':
        commaWalk(text, f, 2);
        break;
    case 'I': {
        const int mask = leadingInt(text);
        f[0] = (mask & 1) ? 1 : 0;
        f[1] = (mask & 2) ? 1 : 0;
        break;
    }
    case 'J':
        // Fixed positions: input, level, the comma assumed third, the target from the fourth on.
        f[0] = firstCharNumber(text);
        f[1] = charIs(text, 1, 'H') ? 1 : 0;
        f[2] = text.size() > 3 ? leadingInt(text.sliced(3)) : 0;
        break;
    case 'M':
    case 'X':
        commaWalk(text, f, 3);
        break;
    case 'U':
    case 'W':
        f[0] = firstCharNumber(text);
        f[1] = charIs(text, 1, 'H') ? 1 : 0;
        break;
    default:
        break;
    }
    return f;
}

QByteArray composeParams(char code, const ParamFields &f)
{
    const ParamFields d = defaultFields(code);
    if (d.isEmpty())
        return {};
    const auto at = [&](int i) { return i < f.size() ? f.at(i) : d.at(i); };
    switch (code) {
    case '+':
    case '-':
    case 'D':
    case 'f':
    case 'G':
    case 'T':
    case 'j':
        return num(at(0));
    case 'A':
    case 'B':
    case 'C':
    case 'V':
        return QByteArray::number(qint64(at(0)) + 1);
    case 'H':
        return QByteArray(1, direction(at(0)));
    case 'g':
        return direction(at(0)) + num(at(1)) + level(at(2));
    case 'h':
        return num(at(0)) + ',' + num(at(1));
    case 'I':
        return num((at(0) ? 1 : 0) | (at(1) ? 2 : 0));
    case 'J':
        return num(at(0)) + level(at(1)) + ',' + num(at(2));
    case 'L':
        return at(0) > 0 ? num(at(0)) : QByteArray("0");
    case 'M':
    case 'X':
        return num(at(0)) + ',' + num(at(1)) + ',' + num(at(2));
    case 'U':
    case 'W':
        return num(at(0)) + level(at(1));
    default:
        return {};
    }
}

std::optional<int> jumpTarget(QByteArrayView code, QByteArrayView params)
{
    if (code == "j")
        return leadingInt(params);
    if (code == "J") {
        const qsizetype comma = params.indexOf(',');
        if (comma > 0)
            return leadingInt(params.sliced(comma + 1));
    }
    return std::nullopt;
}

QByteArray retarget(QByteArrayView code, QByteArrayView params, int target)
{
    if (code == "j")
        return num(target);
    if (code == "J") {
        const qsizetype comma = params.indexOf(',');
        if (comma > 0)
            return params.first(comma + 1).toByteArray() + num(target);
    }
    return params.toByteArray();
}

bool isValidTarget(const ProgramCodes &program, int target)
{
    if (target < 1 || target > program.lineCount())
        return false;
    const QByteArray code = program.codeAt(target - 1);
    return !isCommentCode(code) && code != "j";
}

std::optional<int> defaultTarget(const ProgramCodes &program)
{
    const int n = program.lineCount();
    for (int i = 0; i < n; ++i) {
        const QByteArray code = program.codeAt(i);
        if (!isCommentCode(code) && code != "j" && code != "J")
            return i + 1;
    }
    return std::nullopt;
}

} // namespace kr44
