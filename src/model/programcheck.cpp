#include "model/programcheck.h"

#include "model/canonicalparams.h"
#include "model/instructionset.h"

#include <algorithm>
#include <array>
#include <climits>
#include <vector>

namespace kr44 {

namespace {

constexpr int kNone = -1;

// What the flow passes need to know of a line.
enum class Kind : unsigned char {
    Comment,   // never sent, never run
    Plain,     // runs and goes on to the next line
    Timed,     // a wait, a move or a delay: takes time whenever it runs
    Jump,      // j
    JumpIf,    // J
    LoopStart, // L0
    LoopEnd,   // L1 to L255 (and beyond: the range check reports those)
    Until,     // U: back to the first line, or on
    Stop,      // K, Z: the program ends
};

struct CodeInfo
{
    bool known = false;
    QList<FieldSpec> specs;
    QString name;
};

const std::array<CodeInfo, 256> &codeTable()
{
    static const std::array<CodeInfo, 256> table = [] {
        std::array<CodeInfo, 256> t;
        for (int i = 0; i < kInstructionCount; ++i) {
            const char code = instructionCode(i);
            CodeInfo &info = t[static_cast<unsigned char>(code)];
            info.known = true;
            info.specs = fieldSpecs(code);
            info.name = QString::fromLatin1(instructionName(QByteArrayView(&code, 1)));
        }
        return t;
    }();
    return table;
}

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

// A quotation shows at most this many bytes and marks a longer text as cut.
constexpr qsizetype kQuotedMax = 40;

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

// The wordings of the problems that have more than one.
enum MalformedForm { TakesNoParameters, NeedsParameters, NotANumber, NotAsWritten };
enum RangeForm { FieldsOutside, InitialisesNothing };
enum TargetForm { BeforeFirstLine, BeyondLastLine, CommentTarget, JumpTarget };
enum NumberingForm { RefusedDownload, LandsElsewhere };
enum UnreachableForm { OneLine, SeveralLines };
enum IdleForm { EmptyLoop, SpinsOnItself, IdleLines };

CanonicalFields toCanonical(const ParamFields &fields)
{
    CanonicalFields out;
    out.count = int(std::min<qsizetype>(fields.size(), qsizetype(out.values.size())));
    for (int f = 0; f < out.count; ++f)
        out.values[size_t(f)] = fields.at(f);
    return out;
}

// The fields of parameter text that reads back to itself, as the check reads them.
CanonicalFields fieldsOf(char code, QByteArrayView params)
{
    CanonicalFields fields;
    if (!readCanonicalParams(code, params, fields))
        fields = toCanonical(readParams(code, params));
    return fields;
}

// Calls visit(index, value, fieldSpec) for each field outside its range. Jump targets have their
// own check against the program.
template<typename Visit>
void forEachOutside(char code, const QList<FieldSpec> &specs, const CanonicalFields &fields,
                    Visit visit)
{
    for (int f = 0; f < specs.size() && f < fields.count; ++f) {
        if ((code == 'j' && f == 0) || (code == 'J' && f == 2))
            continue;
        const FieldSpec &field = specs.at(f);
        const qint64 value = fields.values[size_t(f)];
        if (value < field.minimum || value > field.maximum)
            visit(f, value, field);
    }
}

// The jump checks need the codes of the lines as ProgramCodes; this one reads them off the
// array without splitting every line.
class LineCodes final : public ProgramCodes
{
public:
    explicit LineCodes(const LineArray &lines) : m_lines(lines) {}
    [[nodiscard]] int lineCount() const override { return int(m_lines.size()); }
    [[nodiscard]] QByteArray codeAt(int index) const override
    {
        const QByteArrayView line = m_lines.at(index);
        return isCommentLine(line) ? QByteArray() : QByteArray(1, line.front());
    }

private:
    const LineArray &m_lines;
};

class Checker
{
public:
    explicit Checker(const LineArray &lines)
        : m_lines(lines), m_n(int(lines.size())), m_kind(size_t(m_n), Kind::Comment),
          m_target(size_t(m_n), kNone), m_sentBefore(size_t(m_n) + 1, 0),
          m_loopEnd(size_t(m_n), kNone), m_loopStart(size_t(m_n), kNone)
    {}

    QList<Finding> run()
    {
        for (int i = 0; i < m_n; ++i) {
            const QByteArrayView line = m_lines.at(i);
            const bool sent = !isCommentLine(line);
            m_sentBefore[size_t(i) + 1] = m_sentBefore[size_t(i)] + (sent ? 1 : 0);
            if (sent)
                checkLine(i, line);
        }
        checkJumpTargets();
        matchLoops();
        checkLoopCrossings();
        checkFlow();
        std::stable_sort(m_findings.begin(), m_findings.end(),
                         [](const Finding &a, const Finding &b) {
                             return a.line != b.line ? a.line < b.line : a.severity < b.severity;
                         });
        return m_findings;
    }

private:
    void add(int index, Severity severity, Problem problem, int form = 0,
             std::array<int, 3> numbers = {}, QByteArray text = {})
    {
        m_findings.append({index + 1, severity, problem, form, numbers, std::move(text)});
    }

    [[nodiscard]] bool isSent(int index) const
    {
        return m_sentBefore[size_t(index) + 1] != m_sentBefore[size_t(index)];
    }

    void checkLine(int i, QByteArrayView line)
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
    bool checkWritten(int i, char code, const CodeInfo &info, QByteArrayView line,
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

    void checkRanges(int i, char code, const QList<FieldSpec> &specs, const CanonicalFields &fields,
                     QByteArrayView line)
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

    void checkJumpTargets()
    {
        const LineCodes codes(m_lines);
        for (int i = 0; i < m_n; ++i) {
            const Kind kind = m_kind[size_t(i)];
            if (kind != Kind::Jump && kind != Kind::JumpIf)
                continue;
            const QByteArrayView line = m_lines.at(i);
            const std::optional<int> target = jumpTarget(line.first(1), line.sliced(1));
            if (!target)
                continue; // a J without its comma: the parameter check has said so
            const int t = *target;
            if (!isValidTarget(codes, t)) {
                add(i, Severity::Error, Problem::BadJumpTarget, badTargetForm(t), {t, m_n, 0});
                continue;
            }
            m_target[size_t(i)] = t - 1;
            checkNumbering(i, t);
        }
    }

    [[nodiscard]] TargetForm badTargetForm(int t) const
    {
        if (t < 1)
            return BeforeFirstLine;
        if (t > m_n)
            return BeyondLastLine;
        return isSent(t - 1) ? JumpTarget : CommentTarget;
    }

    // The unit takes the target as a count of the lines it was sent.
    void checkNumbering(int i, int t)
    {
        const int commentsAbove = (t - 1) - m_sentBefore[size_t(t) - 1];
        if (commentsAbove == 0)
            return;
        const int sentCount = m_sentBefore[size_t(m_n)];
        if (t > sentCount) {
            add(i, Severity::Error, Problem::JumpNumbering, RefusedDownload,
                {t, commentsAbove, sentCount});
            return;
        }
        const int landing = sentIndex(t);
        const QByteArrayView landed = m_lines.at(landing);
        add(i, Severity::Warning, Problem::JumpNumbering, LandsElsewhere,
            {t, commentsAbove, landing + 1},
            landed.first(std::min(landed.size(), kQuotedMax + 1)).toByteArray());
    }

    // Index of the unit's line `unitLine` (1-based) in the program.
    [[nodiscard]] int sentIndex(int unitLine) const
    {
        const auto it = std::lower_bound(m_sentBefore.begin() + 1, m_sentBefore.end(), unitLine);
        return int(it - m_sentBefore.begin()) - 1;
    }

    void matchLoops()
    {
        std::vector<int> open;
        for (int i = 0; i < m_n; ++i) {
            const Kind kind = m_kind[size_t(i)];
            if (kind == Kind::LoopStart) {
                open.push_back(i);
                if (open.size() == size_t(kMaxOpenLoops) + 1) {
                    add(i, Severity::Error, Problem::LoopTooDeep);
                }
            } else if (kind == Kind::LoopEnd) {
                if (open.empty()) {
                    add(i, Severity::Error, Problem::LoopEndWithoutStart);
                    continue;
                }
                m_loopStart[size_t(i)] = open.back();
                m_loopEnd[size_t(open.back())] = i;
                open.pop_back();
            }
        }
        for (const int start : open) {
            add(start, Severity::Warning, Problem::LoopStartWithoutEnd);
        }
    }

    // Loops are intervals start..end, properly nested. A jump may stay within the loops it is
    // in; landing inside another loop skips that loop's start, and leaving one early leaves it
    // open on the unit.
    void checkLoopCrossings()
    {
        std::vector<int> inner(size_t(m_n), kNone); // innermost loop with start < i <= end
        std::vector<int> open;
        for (int i = 0; i < m_n; ++i) {
            while (!open.empty() && m_loopEnd[size_t(open.back())] < i)
                open.pop_back();
            inner[size_t(i)] = open.empty() ? kNone : open.back();
            if (m_loopEnd[size_t(i)] != kNone)
                open.push_back(i);
        }
        const auto contains = [this](int outer, int loop) {
            return outer == kNone
                    || (loop != kNone && outer <= loop
                        && m_loopEnd[size_t(loop)] <= m_loopEnd[size_t(outer)]);
        };
        for (int i = 0; i < m_n; ++i) {
            const int t = m_target[size_t(i)];
            if (t == kNone)
                continue;
            const int from = inner[size_t(i)];
            const int to = inner[size_t(t)];
            if (from == to)
                continue;
            if (!contains(to, from)) {
                add(i, Severity::Warning, Problem::JumpIntoLoop, 0,
                    {to + 1, m_loopEnd[size_t(to)] + 1, 0});
            } else {
                add(i, Severity::Warning, Problem::JumpOutOfLoop, 0,
                    {from + 1, m_loopEnd[size_t(from)] + 1, 0});
            }
        }
    }

    // Successors of line i when it runs (at most two), by index.
    void successors(int i, int out[2]) const
    {
        out[0] = out[1] = kNone;
        const int next = m_nextSent[size_t(i)];
        switch (m_kind[size_t(i)]) {
        case Kind::Comment:
        case Kind::Stop:
            break;
        case Kind::Jump:
            out[0] = m_target[size_t(i)];
            break;
        case Kind::JumpIf:
            out[0] = next;
            out[1] = m_target[size_t(i)];
            break;
        case Kind::LoopEnd:
            out[0] = next;
            if (m_loopStart[size_t(i)] != kNone)
                out[1] = m_nextSent[size_t(m_loopStart[size_t(i)])];
            break;
        case Kind::Until:
            out[0] = next;
            out[1] = m_firstSent;
            break;
        default:
            out[0] = next;
            break;
        }
    }

    void checkFlow()
    {
        m_nextSent.assign(size_t(m_n), kNone);
        int next = kNone;
        for (int i = m_n - 1; i >= 0; --i) {
            m_nextSent[size_t(i)] = next;
            if (isSent(i))
                next = i;
        }
        m_firstSent = next;
        if (m_firstSent == kNone)
            return;

        std::vector<char> reached(size_t(m_n), 0);
        std::vector<int> todo {m_firstSent};
        reached[size_t(m_firstSent)] = 1;
        while (!todo.empty()) {
            const int i = todo.back();
            todo.pop_back();
            int succ[2];
            successors(i, succ);
            for (const int s : succ) {
                if (s != kNone && !reached[size_t(s)]) {
                    reached[size_t(s)] = 1;
                    todo.push_back(s);
                }
            }
        }
        reportUnreachable(reached);
        findIdleCycles(reached);
    }

    void reportUnreachable(const std::vector<char> &reached)
    {
        int first = kNone;
        int last = kNone;
        const auto flush = [&] {
            if (first == kNone)
                return;
            add(first, Severity::Warning, Problem::Unreachable,
                first == last ? OneLine : SeveralLines, {first + 1, last + 1, 0});
            first = last = kNone;
        };
        for (int i = 0; i < m_n; ++i) {
            if (!isSent(i))
                continue;
            if (reached[size_t(i)]) {
                flush();
            } else {
                if (first == kNone)
                    first = i;
                last = i;
            }
        }
        flush();
    }

    // Strongly connected components (Tarjan, without recursion) of the lines that run and take
    // no time: any component with a cycle repeats without a wait, a move or a delay.
    void findIdleCycles(const std::vector<char> &reached)
    {
        const auto idle = [&](int i) {
            return i != kNone && reached[size_t(i)] && m_kind[size_t(i)] != Kind::Timed;
        };
        std::vector<int> order(size_t(m_n), kNone);
        std::vector<int> low(size_t(m_n), 0);
        std::vector<char> onStack(size_t(m_n), 0);
        std::vector<int> stack;
        struct Frame
        {
            int node;
            int edge;
        };
        std::vector<Frame> calls;
        int counter = 0;
        for (int root = 0; root < m_n; ++root) {
            if (!idle(root) || order[size_t(root)] != kNone)
                continue;
            calls.push_back({root, 0});
            order[size_t(root)] = low[size_t(root)] = counter++;
            stack.push_back(root);
            onStack[size_t(root)] = 1;
            while (!calls.empty()) {
                Frame &frame = calls.back();
                const int v = frame.node;
                int succ[2];
                successors(v, succ);
                if (frame.edge < 2) {
                    const int w = succ[frame.edge++];
                    if (!idle(w))
                        continue;
                    if (order[size_t(w)] == kNone) {
                        order[size_t(w)] = low[size_t(w)] = counter++;
                        stack.push_back(w);
                        onStack[size_t(w)] = 1;
                        calls.push_back({w, 0});
                    } else if (onStack[size_t(w)]) {
                        low[size_t(v)] = std::min(low[size_t(v)], order[size_t(w)]);
                    }
                    continue;
                }
                calls.pop_back();
                if (!calls.empty()) {
                    const int parent = calls.back().node;
                    low[size_t(parent)] = std::min(low[size_t(parent)], low[size_t(v)]);
                }
                if (low[size_t(v)] != order[size_t(v)])
                    continue;
                int lowest = v;
                int highest = v;
                int size = 0;
                int w = kNone;
                do {
                    w = stack.back();
                    stack.pop_back();
                    onStack[size_t(w)] = 0;
                    lowest = std::min(lowest, w);
                    highest = std::max(highest, w);
                    ++size;
                } while (w != v);
                if (size > 1 || succ[0] == v || succ[1] == v)
                    reportIdleCycle(lowest, highest, size == 1);
            }
        }
    }

    // The highest line of a cycle is the one that goes back: a loop end, a jump or an until.
    void reportIdleCycle(int lowest, int highest, bool self)
    {
        const Kind kind = m_kind[size_t(highest)];
        const IdleForm form = !self ? IdleLines : kind == Kind::LoopEnd ? EmptyLoop : SpinsOnItself;
        add(highest, Severity::Warning, Problem::IdleCycle, form, {lowest + 1, highest + 1, 0});
    }

    const LineArray &m_lines;
    const int m_n;
    std::vector<Kind> m_kind;
    std::vector<int> m_target;     // index of a jump's valid target, or kNone
    std::vector<int> m_sentBefore; // lines sent before index i; [n] is all of them
    std::vector<int> m_loopEnd;    // for a matched loop start, the index of its end
    std::vector<int> m_loopStart;  // for a matched loop end, the index of its start
    std::vector<int> m_nextSent;
    int m_firstSent = kNone;
    QList<Finding> m_findings;
};

} // namespace

QList<Finding> checkProgram(const LineArray &lines)
{
    if (lines.size() > INT_MAX - 1)
        return {};
    return Checker(lines).run();
}

bool hasErrors(const QList<Finding> &findings)
{
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding &f) { return f.severity == Severity::Error; });
}

QString severityText(Severity severity)
{
    return severity == Severity::Error ? QStringLiteral("error") : QStringLiteral("warning");
}

QString formatFinding(const QString &fileName, const Finding &finding)
{
    return QStringLiteral("%1:%2: %3: %4")
            .arg(fileName)
            .arg(finding.line)
            .arg(severityText(finding.severity), finding.sentence());
}

namespace {

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
        if (form == OneLine) {
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

std::optional<int> unitLineOf(const LineArray &lines, int editorLine)
{
    if (editorLine < 1 || editorLine > lines.size() || isCommentLine(lines.at(editorLine - 1)))
        return std::nullopt;
    int count = 0;
    for (int i = 0; i < editorLine; ++i)
        count += isCommentLine(lines.at(i)) ? 0 : 1;
    return count;
}

std::optional<int> editorLineOf(const LineArray &lines, int unitLine)
{
    if (unitLine < 1)
        return std::nullopt;
    int count = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!isCommentLine(lines.at(i)) && ++count == unitLine)
            return int(i) + 1;
    }
    return std::nullopt;
}

} // namespace kr44
