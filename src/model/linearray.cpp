#include "model/linearray.h"

namespace kr44 {

LineArray::LineArray(QByteArray arena, QList<Span> spans, bool noEmptyLines)
    : m_arena(std::move(arena)), m_spans(std::move(spans)), m_noEmptyLines(noEmptyLines)
{}

LineArray LineArray::fromList(const QList<QByteArray> &lines)
{
    LineArray out;
    qsizetype bytes = 0;
    for (const QByteArray &l : lines)
        bytes += l.size();
    out.reserve(lines.size(), bytes);
    for (const QByteArray &l : lines)
        out.append(l);
    return out;
}

QList<QByteArray> LineArray::toList() const
{
    QList<QByteArray> out;
    out.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        out.append(line(i));
    return out;
}

qsizetype LineArray::byteCount() const
{
    qsizetype total = 0;
    for (const Span &s : m_spans)
        total += s.length;
    return total;
}

void LineArray::append(QByteArrayView line)
{
    // A view into our own arena would dangle if the arena grows: copy it out first.
    const char *begin = m_arena.constData();
    if (!line.isEmpty() && line.data() >= begin && line.data() < begin + m_arena.size()) {
        const QByteArray copy = line.toByteArray();
        append(QByteArrayView(copy));
        return;
    }
    if (line.isEmpty() || line == "*")
        m_noEmptyLines = false;
    m_spans.append({m_arena.size(), line.size()});
    m_arena.append(line.data(), line.size());
}

void LineArray::clear()
{
    m_noEmptyLines = true;
    m_spans.clear();
    m_arena.resize(0);
}

void LineArray::reserve(qsizetype lines, qsizetype bytes)
{
    m_spans.reserve(lines);
    m_arena.reserve(bytes);
}

qsizetype LineArray::overheadBytes() const
{
    return m_spans.capacity() * qsizetype(sizeof(Span)) + m_arena.capacity() - byteCount()
            + qsizetype(sizeof(*this));
}

bool operator==(const LineArray &a, const LineArray &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a.at(i) != b.at(i))
            return false;
    }
    return true;
}

} // namespace kr44
