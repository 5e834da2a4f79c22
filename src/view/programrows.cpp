#include "programrows.h"

#include <cstring>
#include <vector>

namespace kr44 {

namespace {

// The bytes a row adds in front of its text when it is written back.
qsizetype prefixLength(const detail::RowCell &r)
{
    return r.hasCode ? 1 : 2;
}

QByteArrayView codeView(const detail::RowCell &r)
{
    return r.hasCode ? QByteArrayView(&r.code, 1) : QByteArrayView();
}

bool isJump(const detail::RowCell &r)
{
    return r.hasCode && (r.code == 'j' || r.code == 'J');
}

} // namespace

void ProgramRows::fill(const LineArray &lines)
{
    const qsizetype n = lines.size();
    m_rows.clear();
    m_rows.reserve(n);
    m_edits.clear();
    QByteArray base;
    base.reserve(lines.byteCount());
    for (qsizetype i = 0; i < n; ++i) {
        // The same split as splitLine(), without a temporary per line.
        const QByteArrayView line = lines.at(i);
        detail::RowCell r;
        QByteArrayView rest;
        if (line.isEmpty() || line == "*") {
            // an empty comment
        } else if (line.front() == '*') {
            if (line.at(1) == ' ') {
                rest = line.sliced(2);
            } else {
                r.hasCode = true;
                r.code = kRawCommentCode;
                rest = line.sliced(1);
            }
        } else {
            r.hasCode = true;
            r.code = line.front();
            rest = line.sliced(1);
        }
        r.offset = base.size();
        r.length = rest.size();
        base.append(rest.data(), rest.size());
        m_rows.append(r);
    }
    m_base = base;
}

void ProgramRows::compose(QByteArray &arena, std::vector<LineArray::Span> &spans) const
{
    qsizetype total = 0;
    for (const detail::RowCell &r : m_rows)
        total += prefixLength(r) + r.length;
    arena = QByteArray(total, Qt::Uninitialized);
    spans.resize(size_t(m_rows.size()));
    char *out = arena.data();
    qsizetype pos = 0;
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        const detail::RowCell &r = m_rows.at(i);
        const qsizetype start = pos;
        if (r.hasCode) {
            out[pos++] = r.code;
        } else {
            out[pos++] = '*';
            out[pos++] = ' ';
        }
        if (r.length > 0)
            std::memcpy(out + pos, textData(r), size_t(r.length));
        pos += r.length;
        spans[size_t(i)] = {start, pos - start};
    }
}

LineArray ProgramRows::lines() const
{
    QByteArray arena;
    std::vector<LineArray::Span> spans;
    compose(arena, spans);
    return LineArray(std::move(arena), std::move(spans));
}

LineArray ProgramRows::writeBack()
{
    QByteArray arena;
    std::vector<LineArray::Span> spans;
    compose(arena, spans);
    // Point every row at its text inside the new lines' bytes: the document and the rows then
    // share one buffer, and the text edited since the last write-back is released.
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        detail::RowCell &r = m_rows[i];
        r.offset = spans[size_t(i)].offset + prefixLength(r);
        r.inEdits = false;
    }
    m_base = arena;
    m_edits.clear();
    return LineArray(std::move(arena), std::move(spans));
}

QByteArray ProgramRows::codeAt(int row) const
{
    const detail::RowCell &r = m_rows.at(row);
    if (!r.hasCode || r.code == kRawCommentCode)
        return {};
    return QByteArray(1, r.code);
}

QByteArrayView ProgramRows::code(int row) const
{
    if (row < 0 || row >= lineCount())
        return {};
    return codeView(m_rows.at(row));
}

QByteArrayView ProgramRows::params(int row) const
{
    if (row < 0 || row >= lineCount())
        return {};
    return text(m_rows.at(row));
}

LineParts ProgramRows::parts(int row) const
{
    return {code(row).toByteArray(), params(row).toByteArray()};
}

QByteArrayView ProgramRows::shownCode(int row) const
{
    const QByteArrayView c = code(row);
    return c == QByteArrayView(&kRawCommentCode, 1) ? QByteArrayView() : c;
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
    detail::RowCell &r = m_rows[row];
    r.hasCode = !code.isEmpty();
    r.code = r.hasCode ? code.front() : '\0';
}

void ProgramRows::setParams(int row, QByteArrayView params)
{
    Q_ASSERT(row >= 0 && row < lineCount());
    storeText(m_rows[row], params);
}

void ProgramRows::storeText(detail::RowCell &r, QByteArrayView text)
{
    r.length = text.size();
    if (text.isEmpty()) {
        r.offset = 0;
        r.inEdits = false;
        return;
    }
    // Appending a view of the edit pool to itself would read freed bytes if the pool grows.
    const char *edits = m_edits.constData();
    if (text.data() >= edits && text.data() < edits + m_edits.size()) {
        const QByteArray copy = text.toByteArray();
        storeText(r, copy);
        return;
    }
    r.offset = m_edits.size();
    r.inEdits = true;
    m_edits.append(text.data(), text.size());
}

void ProgramRows::appendLine()
{
    m_rows.append(detail::RowCell{});
}

ProgramRows::Retargeted ProgramRows::insertLine(int row)
{
    Q_ASSERT(row >= 0 && row <= lineCount());
    const int oldRowCount = rowCount();
    m_rows.insert(row, detail::RowCell{});
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
    for (int i = 0; i < lineCount(); ++i) {
        const detail::RowCell &r = m_rows.at(i);
        if (!isJump(r))
            continue;
        const QByteArrayView code = codeView(r);
        const std::optional<int> target = jumpTarget(code, text(r));
        if (!target || *target < lo || *target > hi)
            continue;
        const QByteArray moved = retarget(code, text(r), *target + delta);
        storeText(m_rows[i], moved);
        if (result.count++ == 0)
            result.first = i;
        result.last = i;
    }
    return result;
}

std::optional<int> ProgramRows::firstReferenceTo(int line) const
{
    for (int i = 0; i < lineCount(); ++i) {
        const detail::RowCell &r = m_rows.at(i);
        if (isJump(r) && jumpTarget(codeView(r), text(r)) == line)
            return i;
    }
    return std::nullopt;
}

} // namespace kr44
