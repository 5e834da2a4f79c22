// The flow of a run: which lines no path from the first line reaches, and which cycles repeat
// without a wait, a move or a delay.

#include "model/programcheck_p.h"

#include <algorithm>

namespace kr44::checkinternal {

// Successors of line i when it runs (at most two), by index.
void Checker::successors(int i, int out[2]) const
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

void Checker::checkFlow()
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

void Checker::reportUnreachable(const std::vector<char> &reached)
{
    int first = kNone;
    int last = kNone;
    const auto flush = [&] {
        if (first == kNone)
            return;
        add(first, Severity::Warning, Problem::Unreachable, first == last ? OneLine : SeveralLines,
            {first + 1, last + 1, 0});
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
void Checker::findIdleCycles(const std::vector<char> &reached)
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
void Checker::reportIdleCycle(int lowest, int highest, bool self)
{
    const Kind kind = m_kind[size_t(highest)];
    const IdleForm form = !self ? IdleLines : kind == Kind::LoopEnd ? EmptyLoop : SpinsOnItself;
    add(highest, Severity::Warning, Problem::IdleCycle, form, {lowest + 1, highest + 1, 0});
}

} // namespace kr44::checkinternal
