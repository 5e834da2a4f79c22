#include "programrows.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace kr44 {

namespace {

constexpr char kEmptyComment[] = "* ";
// Pool bytes that no row uses are tolerated up to the size of the live ones, plus this much.
constexpr qsizetype kCompactSlack = 64 * 1024;

// The form of a stored line, from its first two bytes (see splitLine).
enum class Form { EmptyComment, Comment, RawComment, Instruction };

inline Form formOf(QByteArrayView line)
{
    const qsizetype size = line.size();
    if (size == 0)
        return Form::EmptyComment;
    const char *bytes = line.data();
    if (bytes[0] != '*')
        return Form::Instruction;
    if (size == 1)
        return Form::EmptyComment;
    return bytes[1] == ' ' ? Form::Comment : Form::RawComment;
}

bool isJumpLine(QByteArrayView line)
{
    return !line.isEmpty() && (line.front() == 'j' || line.front() == 'J');
}

} // namespace

void ProgramRows::fill(const LineArray &lines)
{
    const qsizetype n = lines.size();
    m_rows.clear();
    m_rows.resize(n);
    // The lines lie in one byte arena: the stretch of it that holds them is copied in one go,
    // with whatever lies between them (line ends), rather than line by line. Offsets are taken
    // from the first line's bytes first and moved if a later line lies before them.
    const char *base = nullptr;
    qsizetype low = 0;
    qsizetype high = 0;
    const qsizetype empty = -1; // marks rows that get the shared "* "
    LineArray::Span *out = m_rows.data();
    for (qsizetype i = 0; i < n; ++i) {
        const QByteArrayView l = lines.at(i);
        if (formOf(l) == Form::EmptyComment) {
            out[i] = {empty, 2};
            continue;
        }
        if (!base)
            base = l.data();
        const qsizetype offset = l.data() - base;
        low = std::min(low, offset);
        high = std::max(high, offset + l.size());
        out[i] = {offset, l.size()};
    }
    m_text = QByteArray();
    m_text.reserve(high - low + 2);
    if (base)
        m_text.append(base + low, high - low);
    m_emptyComment = m_text.size();
    m_text.append(kEmptyComment, 2);
    for (qsizetype i = 0; i < n; ++i)
        out[i].offset = out[i].offset == empty ? m_emptyComment : out[i].offset - low;
    m_compactSize = m_text.size();
}

LineArray ProgramRows::lines() const
{
    return LineArray(m_text, std::vector<LineArray::Span>(m_rows.cbegin(), m_rows.cend()));
}

LineArray ProgramRows::writeBack()
{
    if (m_text.size() > 2 * m_compactSize + kCompactSlack)
        compact();
    return lines();
}

void ProgramRows::compact()
{
    qsizetype total = 2;
    for (const LineArray::Span &span : std::as_const(m_rows)) {
        if (span.offset != m_emptyComment)
            total += span.length;
    }
    QByteArray text(total, Qt::Uninitialized);
    char *out = text.data();
    qsizetype pos = 0;
    for (LineArray::Span &span : m_rows) {
        if (span.offset == m_emptyComment)
            continue;
        std::copy_n(m_text.constData() + span.offset, span.length, out + pos);
        span.offset = pos;
        pos += span.length;
    }
    std::copy_n(kEmptyComment, 2, out + pos);
    for (LineArray::Span &span : m_rows) {
        if (span.offset == m_emptyComment)
            span.offset = pos;
    }
    m_emptyComment = pos;
    m_text = text;
    m_compactSize = total;
}

QByteArray ProgramRows::codeAt(int row) const
{
    const QByteArrayView l = line(row);
    return formOf(l) == Form::Instruction ? l.first(1).toByteArray() : QByteArray();
}

QByteArrayView ProgramRows::code(int row) const
{
    if (row < 0 || row >= lineCount())
        return {};
    const QByteArrayView l = line(row);
    const Form form = formOf(l);
    return form == Form::Instruction || form == Form::RawComment ? l.first(1) : QByteArrayView();
}

QByteArrayView ProgramRows::params(int row) const
{
    if (row < 0 || row >= lineCount())
        return {};
    const QByteArrayView l = line(row);
    switch (formOf(l)) {
    case Form::EmptyComment:
        return {};
    case Form::Comment:
        return l.sliced(2);
    case Form::RawComment:
    case Form::Instruction:
        return l.sliced(1);
    }
    return {};
}

LineParts ProgramRows::parts(int row) const
{
    return {code(row).toByteArray(), params(row).toByteArray()};
}

QByteArrayView ProgramRows::shownCode(int row) const
{
    if (row < 0 || row >= lineCount())
        return {};
    const QByteArrayView l = line(row);
    return formOf(l) == Form::Instruction ? l.first(1) : QByteArrayView();
}

RowKind ProgramRows::kind(int row) const
{
    if (row == endRow())
        return RowKind::End;
    if (!shownCode(row).isEmpty())
        return RowKind::Instruction;
    return params(row).isEmpty() ? RowKind::Empty : RowKind::Comment;
}

bool ProgramRows::isEmptyRow(int row) const
{
    return shownCode(row).isEmpty() && params(row).isEmpty();
}

void ProgramRows::setCode(int row, QByteArrayView code)
{
    Q_ASSERT(row >= 0 && row < lineCount());
    Q_ASSERT(code.size() <= 1);
    storeLine(row, code.isEmpty() ? QByteArrayView(kEmptyComment, 2) : code, params(row));
}

void ProgramRows::setParams(int row, QByteArrayView params)
{
    Q_ASSERT(row >= 0 && row < lineCount());
    const QByteArrayView c = code(row);
    storeLine(row, c.isEmpty() ? QByteArrayView(kEmptyComment, 2) : c, params);
}

void ProgramRows::storeLine(int row, QByteArrayView prefix, QByteArrayView rest)
{
    const qsizetype length = prefix.size() + rest.size();
    if (length == 0 || (length == 1 && (prefix.isEmpty() ? rest : prefix).front() == '*')
        || (prefix == kEmptyComment && rest.isEmpty())) {
        m_rows[row] = {m_emptyComment, 2};
        return;
    }
    // Both parts may lie in the pool, which may move when it grows: hold them as offsets.
    const char *pool = m_text.constData();
    const auto offsetIn = [&](QByteArrayView v) -> qsizetype {
        return !v.isEmpty() && v.data() >= pool && v.data() < pool + m_text.size()
                ? qsizetype(v.data() - pool)
                : -1;
    };
    const qsizetype prefixAt = offsetIn(prefix);
    const qsizetype restAt = offsetIn(rest);
    // Reserve first, so that neither append below moves the pool under the parts. A pool still
    // shared with the document is copied here, once, with room for the next lines.
    const qsizetype needed = m_text.size() + length;
    if (!m_text.isDetached() || needed > m_text.capacity())
        m_text.reserve(needed + needed / 2);
    const char *base = m_text.constData();
    const qsizetype at = m_text.size();
    m_text.append(prefixAt >= 0 ? base + prefixAt : prefix.data(), prefix.size());
    base = m_text.constData();
    m_text.append(restAt >= 0 ? base + restAt : rest.data(), rest.size());
    m_rows[row] = {at, length};
}

void ProgramRows::appendLine()
{
    m_rows.append({m_emptyComment, 2});
}

ProgramRows::Retargeted ProgramRows::insertLine(int row)
{
    Q_ASSERT(row >= 0 && row <= lineCount());
    const int oldRowCount = rowCount();
    m_rows.insert(row, {m_emptyComment, 2});
    // Line numbers row + 1 ... oldRowCount (the end row's) each moved down by one. A target
    // outside that range, 0 and unreadable ones among them, names no moved row and stays.
    return shiftTargets(row + 1, oldRowCount, +1);
}

ProgramRows::Retargeted ProgramRows::removeLine(int row)
{
    Q_ASSERT(row >= 0 && row < lineCount());
    const int oldRowCount = rowCount();
    m_rows.remove(row);
    return shiftTargets(row + 2, oldRowCount, -1);
}

ProgramRows::Retargeted ProgramRows::shiftTargets(int lo, int hi, int delta)
{
    Retargeted result;
    const int n = lineCount();
    for (int i = 0; i < n; ++i) {
        const QByteArrayView l = line(i);
        if (!isJumpLine(l))
            continue;
        const QByteArrayView code = l.first(1);
        const QByteArrayView params = l.sliced(1);
        const std::optional<int> target = jumpTarget(code, params);
        if (!target || *target < lo || *target > hi)
            continue;
        // The same text retarget() gives, written straight into the pool.
        const qsizetype keep = code == "j" ? 1 : 1 + params.indexOf(',') + 1;
        char digits[16];
        const std::to_chars_result printed =
                std::to_chars(digits, digits + sizeof digits, *target + delta);
        storeLine(i, l.first(keep), QByteArrayView(digits, printed.ptr - digits));
        if (result.count++ == 0)
            result.first = i;
        result.last = i;
    }
    return result;
}

std::optional<int> ProgramRows::firstReferenceTo(int line) const
{
    const int n = lineCount();
    for (int i = 0; i < n; ++i) {
        const QByteArrayView l = this->line(i);
        if (isJumpLine(l) && jumpTarget(l.first(1), l.sliced(1)) == line)
            return i;
    }
    return std::nullopt;
}

} // namespace kr44
