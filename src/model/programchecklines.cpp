// The check of each line on its own: a known code, parameter text as the dialogs write it, and
// every field in its range.

#include "model/programcheck_p.h"

#include <algorithm>
#include <climits>

namespace kr44::checkinternal {

namespace {

Kind kindOf(char code)
{
    switch (code) {
    case '+':
    case '-':
    case 'G':
    case 'g':
    case 'H':
    case 'W':
    case 'D':
        return Kind::Timed;
    case 'j':
        return Kind::Jump;
    case 'J':
        return Kind::JumpIf;
    case 'U':
        return Kind::Until;
    case 'K':
    case 'Z':
        return Kind::Stop;
    default:
        return Kind::Plain;
    }
}

} // namespace

const std::array<CodeInfo, 256> &codeTable()
{
    static const std::array<CodeInfo, 256> table = [] {
        std::array<CodeInfo, 256> t;
        for (int i = 0; i < kInstructionCount; ++i) {
            const char code = instructionCode(i);
            CodeInfo &info = t[static_cast<unsigned char>(code)];
            info.known = true;
            info.specs = fieldSpecs(code);
            info.name = instructionName(QByteArrayView(&code, 1));
        }
        return t;
    }();
    return table;
}

CanonicalFields toCanonical(const ParamFields &fields)
{
    CanonicalFields out;
    out.count = int(std::min<qsizetype>(fields.size(), qsizetype(out.values.size())));
    for (int f = 0; f < out.count; ++f)
        out.values[size_t(f)] = fields.at(f);
    return out;
}

CanonicalFields fieldsOf(char code, QByteArrayView params)
{
    CanonicalFields fields;
    if (!readCanonicalParams(code, params, fields))
        fields = toCanonical(readParams(code, params));
    return fields;
}

// Also counts the lines sent before each line, which the later passes read.
void Checker::checkLines()
{
    for (int i = 0; i < m_n; ++i) {
        const QByteArrayView line = m_lines.at(i);
        const bool sent = !isCommentLine(line);
        m_sentBefore[size_t(i) + 1] = m_sentBefore[size_t(i)] + (sent ? 1 : 0);
        if (sent)
            checkLine(i, line);
    }
}

void Checker::checkLine(int i, QByteArrayView line)
{
    const char code = line.front();
    const CodeInfo &info = codeTable()[static_cast<unsigned char>(code)];
    m_kind[size_t(i)] = Kind::Plain;
    if (!info.known) {
        add(i, Severity::Error, Problem::UnknownInstruction, 0,
            {static_cast<unsigned char>(code), 0, 0});
        return;
    }
    m_kind[size_t(i)] = kindOf(code);
    const QByteArrayView params = line.sliced(1);
    CanonicalFields fields;
    if (!readCanonicalParams(code, params, fields) && !checkWritten(i, code, info, line, fields))
        return;
    if (code == 'L')
        m_kind[size_t(i)] = fields.values[0] == 0 ? Kind::LoopStart : Kind::LoopEnd;
    checkRanges(i, code, info.specs, fields, line);
}

// Parameter text that is not in the form the dialogs write: the reading and composing rules
// decide. True, with the fields, when it reads back to itself after all.
bool Checker::checkWritten(int i, char code, const CodeInfo &info, QByteArrayView line,
                           CanonicalFields &out)
{
    const QByteArrayView params = line.sliced(1);
    const auto refuse = [&](MalformedForm form) {
        add(i, Severity::Error, Problem::MalformedParameters, form, {}, line.toByteArray());
        return false;
    };
    if (info.specs.isEmpty())
        return refuse(TakesNoParameters);
    if (params.isEmpty())
        return refuse(NeedsParameters);
    // Choices are read as the number minus one, which leaves the int range at its bottom.
    if ((code == 'A' || code == 'B' || code == 'C') && leadingInt(params) == INT_MIN)
        return refuse(NotANumber);
    const ParamFields fields = readParams(code, params);
    if (code == 'L' && fields.at(0) >= 0)
        m_kind[size_t(i)] = fields.at(0) == 0 ? Kind::LoopStart : Kind::LoopEnd;
    if (composeParams(code, fields) != params)
        return refuse(NotAsWritten);
    out = toCanonical(fields);
    return true;
}

void Checker::checkRanges(int i, char code, const QList<FieldSpec> &specs,
                          const CanonicalFields &fields, QByteArrayView line)
{
    if (code == 'I' && fields.values[0] == 0 && fields.values[1] == 0) {
        add(i, Severity::Error, Problem::OutOfRange, InitialisesNothing);
        return;
    }
    bool outside = false;
    forEachOutside(code, specs, fields, [&](int, qint64, const FieldSpec &) { outside = true; });
    if (outside)
        add(i, Severity::Error, Problem::OutOfRange, FieldsOutside, {}, line.toByteArray());
}

} // namespace kr44::checkinternal
