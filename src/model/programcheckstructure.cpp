// The structure of jumps and loops: each jump's target, where the unit lands when comment lines
// shift its count, loop starts and ends paired, and jumps that cross into or out of a loop.

#include "model/programcheck_p.h"

#include <algorithm>

namespace kr44::checkinternal {

namespace {

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

} // namespace

void Checker::checkJumpTargets()
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

TargetForm Checker::badTargetForm(int t) const
{
    if (t < 1)
        return BeforeFirstLine;
    if (t > m_n)
        return BeyondLastLine;
    return isSent(t - 1) ? JumpTarget : CommentTarget;
}

// The unit takes the target as a count of the lines it was sent.
void Checker::checkNumbering(int i, int t)
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
int Checker::sentIndex(int unitLine) const
{
    const auto it = std::lower_bound(m_sentBefore.begin() + 1, m_sentBefore.end(), unitLine);
    return int(it - m_sentBefore.begin()) - 1;
}

void Checker::matchLoops()
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
void Checker::checkLoopCrossings()
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

} // namespace kr44::checkinternal
