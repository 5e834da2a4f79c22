#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// The program's lines, stored back to back in one byte arena with an offset and a length per
// line. A loaded file's bytes become the arena as they are, so loading a large program costs one
// read and one scan rather than an allocation per line.
//
// The arena and the span list are both implicitly shared: copying a LineArray copies neither,
// and a copy that is changed copies what it changes, once.
//
// at() returns a view into the arena: it is valid until the array is next changed.

namespace kr44 {

class LineArray
{
public:
    struct Span
    {
        qsizetype offset = 0;
        qsizetype length = 0;
    };

    LineArray() = default;
    // Adopts `arena` and the spans that index it (each span must lie inside the arena).
    // `noEmptyLines`: the caller knows that no line is "" or "*".
    LineArray(QByteArray arena, QList<Span> spans, bool noEmptyLines = false);
    static LineArray fromList(const QList<QByteArray> &lines);

    [[nodiscard]] qsizetype size() const { return m_spans.size(); }
    [[nodiscard]] bool isEmpty() const { return m_spans.isEmpty(); }
    // True when the array is known to hold no empty line, stored as "" or as a lone "*": a
    // parsed file's array knows it, as does one filled by append() alone; one made from
    // spans does not, and answers false.
    [[nodiscard]] bool knownFreeOfEmptyLines() const { return m_noEmptyLines; }
    // The storage itself, for code that shares it rather than copying the lines.
    [[nodiscard]] const QByteArray &arena() const { return m_arena; }
    [[nodiscard]] const QList<Span> &spans() const { return m_spans; }
    [[nodiscard]] QByteArrayView at(qsizetype i) const
    {
        const Span &s = m_spans.constData()[i];
        return QByteArrayView(m_arena.constData() + s.offset, s.length);
    }
    [[nodiscard]] QByteArray line(qsizetype i) const { return at(i).toByteArray(); }
    [[nodiscard]] QList<QByteArray> toList() const;
    // Total bytes of all lines, without line ends.
    [[nodiscard]] qsizetype byteCount() const;

    void append(QByteArrayView line);
    // Empties the array but keeps its capacity for the lines stored next.
    void clear();
    void reserve(qsizetype lines, qsizetype bytes);
    // Memory held beyond the line bytes themselves.
    [[nodiscard]] qsizetype overheadBytes() const;

    friend bool operator==(const LineArray &a, const LineArray &b);
    friend bool operator!=(const LineArray &a, const LineArray &b) { return !(a == b); }

private:
    QByteArray m_arena;
    QList<Span> m_spans;
    bool m_noEmptyLines = true;
};

} // namespace kr44
