#pragma once

// The program check's own parts, shared by its files and by nothing else:
//   programcheck.cpp           the entry point and the order of the passes
//   programchecklines.cpp      each line on its own: code, parameter text, ranges
//   programcheckstructure.cpp  jump targets, their numbering on the unit, loop pairs and nesting
//   programcheckflow.cpp       which lines run, and cycles that take no time
//   programchecksentences.cpp  the sentence of each finding, built when it is shown
//
// The passes run over every line of programs of 100,000 lines and more: keep the per-line work
// inside one file's loop, free of allocation and of virtual calls.

#include "model/canonicalparams.h"
#include "model/instructionset.h"
#include "model/programcheck.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <array>
#include <utility>
#include <vector>

namespace kr44::checkinternal {

inline constexpr int kNone = -1;

// A quotation shows at most this many bytes and marks a longer text as cut.
inline constexpr qsizetype kQuotedMax = 40;

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

// The wordings of the problems that have more than one.
enum MalformedForm { TakesNoParameters, NeedsParameters, NotANumber, NotAsWritten };
enum RangeForm { FieldsOutside, InitialisesNothing };
enum TargetForm { BeforeFirstLine, BeyondLastLine, CommentTarget, JumpTarget };
enum NumberingForm { RefusedDownload, LandsElsewhere };
enum UnreachableForm { OneLine, SeveralLines };
enum IdleForm { EmptyLoop, SpinsOnItself, IdleLines };

struct CodeInfo
{
    bool known = false;
    QList<FieldSpec> specs;
    QString name;
};

// Indexed by the code's byte; built once.
[[nodiscard]] const std::array<CodeInfo, 256> &codeTable();

[[nodiscard]] CanonicalFields toCanonical(const ParamFields &fields);

// The fields of parameter text that reads back to itself, as the check reads them.
[[nodiscard]] CanonicalFields fieldsOf(char code, QByteArrayView params);

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

// One run of the check over one program. Each pass reads what the passes before it filled in.
class Checker
{
public:
    explicit Checker(const LineArray &lines);

    [[nodiscard]] QList<Finding> run();

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

    // programchecklines.cpp
    void checkLines();
    void checkLine(int i, QByteArrayView line);
    bool checkWritten(int i, char code, const CodeInfo &info, QByteArrayView line,
                      CanonicalFields &out);
    void checkRanges(int i, char code, const QList<FieldSpec> &specs, const CanonicalFields &fields,
                     QByteArrayView line);

    // programcheckstructure.cpp
    void checkJumpTargets();
    [[nodiscard]] TargetForm badTargetForm(int t) const;
    void checkNumbering(int i, int t);
    [[nodiscard]] int sentIndex(int unitLine) const;
    void matchLoops();
    void checkLoopCrossings();

    // programcheckflow.cpp
    void successors(int i, int out[2]) const;
    void checkFlow();
    void reportUnreachable(const std::vector<char> &reached);
    void findIdleCycles(const std::vector<char> &reached);
    void reportIdleCycle(int lowest, int highest, bool self);

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

} // namespace kr44::checkinternal
