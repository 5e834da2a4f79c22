#include "view/programrows.h"

#include <algorithm>
#include <charconv>
#include <utility>
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

// The part of a jump line that retargeting keeps: the code, and for a J its text up to the
// first comma.
qsizetype targetPrefix(QByteArrayView line)
{
    return line.front() == 'j' ? 1 : 1 + line.sliced(1).indexOf(',') + 1;
}

struct Digits
{
    explicit Digits(int value) : size(std::to_chars(text, text + sizeof text, value).ptr - text) {}
    [[nodiscard]] QByteArrayView view() const { return QByteArrayView(text, size); }

    char text[16];
    qsizetype size;
};

} // namespace

void ProgramRows::fill(const LineArray &lines)
{
    const qsizetype n = lines.size();
    m_filledForms.clear();
    // Most programs have no empty line stored as "" or "*": their rows take the document's
    // storage as it is, which copies nothing until the rows change. The "* " that empty
    // comments share joins the pool when the first one is made.
    const LineArray::Span *spans = lines.spans().constData();
    const char *arena = lines.arena().constData();
    bool emptyLines = !lines.knownFreeOfEmptyLines();
    if (emptyLines) {
        emptyLines = false;
        for (qsizetype i = 0; i < n && !emptyLines; ++i)
            emptyLines = spans[i].length == 0
                    || (spans[i].length == 1 && arena[spans[i].offset] == '*');
    }
    if (!emptyLines) {
        m_text = lines.arena();
        m_rows = lines.spans();
        m_emptyComment = -1;
        m_compactSize = m_text.size();
        return;
    }

    m_rows.clear();
    m_rows.resize(n);
    // The lines lie in one byte arena: the stretch of it that holds them is copied in one go,
    // with whatever lies between them (line ends), rather than line by line, after the "* " that
    // empty lines share. Offsets are taken from the first line's bytes and moved afterwards
    // should a later line lie before them (a loaded file's never do).
    m_emptyComment = 0;
    const qsizetype start = 2;
    const char *base = nullptr;
    qsizetype low = 0;
    qsizetype high = 0;
    LineArray::Span *out = m_rows.data();
    for (qsizetype i = 0; i < n; ++i) {
        const QByteArrayView l = lines.at(i);
        if (formOf(l) == Form::EmptyComment) {
            out[i] = {m_emptyComment, 2};
            m_filledForms.emplace_back(int(i), l.size());
            continue;
        }
        if (!base)
            base = l.data();
        const qsizetype offset = l.data() - base;
        low = std::min(low, offset);
        high = std::max(high, offset + l.size());
        out[i] = {start + offset, l.size()};
    }
    m_text = QByteArray();
    m_text.reserve(start + high - low);
    m_text.append(kEmptyComment, 2);
    if (base)
        m_text.append(base + low, high - low);
    if (low < 0) {
        for (LineArray::Span &span : m_rows) {
            if (span.offset != m_emptyComment)
                span.offset -= low;
        }
    }
    m_compactSize = m_text.size();
}

LineArray::Span ProgramRows::emptyCommentSpan()
{
    if (m_emptyComment < 0) {
        m_emptyComment = m_text.size();
        m_text.append(kEmptyComment, 2);
    }
    return {m_emptyComment, 2};
}

LineArray ProgramRows::lines() const { return LineArray(m_text, m_rows); }

std::function<LineArray()> ProgramRows::snapshot() const
{
    // Both are implicitly shared: copying them here is a reference, and the reader lets go of
    // the span list as soon as it has its own, so that an edit made meanwhile need not copy it.
    return [text = m_text, rows = m_rows]() mutable {
        QList<LineArray::Span> spans(rows.cbegin(), rows.cend());
        rows = {};
        return LineArray(std::move(text), std::move(spans));
    };
}

LineArray ProgramRows::linesAsFilled() const
{
    QList<LineArray::Span> spans = m_rows;
    for (const auto &[row, length] : m_filledForms) {
        if (row < spans.size())
            spans[row] = {m_emptyComment, length};
    }
    return LineArray(m_text, std::move(spans));
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
    // The rows of the shared "* " are marked rather than recognised by the old offset later:
    // a moved line may land on that very offset.
    constexpr qsizetype kShared = -1;
    for (LineArray::Span &span : m_rows) {
        if (span.offset == m_emptyComment) {
            span.offset = kShared;
            continue;
        }
        std::copy_n(m_text.constData() + span.offset, span.length, out + pos);
        span.offset = pos;
        pos += span.length;
    }
    std::copy_n(kEmptyComment, 2, out + pos);
    for (LineArray::Span &span : m_rows) {
        if (span.offset == kShared)
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
    const QByteArray before = m_journal ? line(row).toByteArray() : QByteArray();
    storeLine(row, code.isEmpty() ? QByteArrayView(kEmptyComment, 2) : code, params(row));
    recordChange(row, before);
}

void ProgramRows::setParams(int row, QByteArrayView params)
{
    Q_ASSERT(row >= 0 && row < lineCount());
    const QByteArray before = m_journal ? line(row).toByteArray() : QByteArray();
    const QByteArrayView c = code(row);
    storeLine(row, c.isEmpty() ? QByteArrayView(kEmptyComment, 2) : c, params);
    recordChange(row, before);
}

void ProgramRows::recordChange(int row, const QByteArray &before)
{
    if (m_journal && line(row) != before)
        m_journal->recordSet(row, before, line(row));
}

void ProgramRows::storeLine(int row, QByteArrayView prefix, QByteArrayView rest)
{
    const qsizetype length = prefix.size() + rest.size();
    if (length == 0 || (length == 1 && (prefix.isEmpty() ? rest : prefix).front() == '*')
        || (prefix == kEmptyComment && rest.isEmpty())) {
        m_rows[row] = emptyCommentSpan();
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
    m_rows.append(emptyCommentSpan());
    if (m_journal) {
        m_journal->recordInsert(lineCount() - 1, 1);
        m_journal->addLine(line(lineCount() - 1));
    }
}

ProgramRows::Retargeted ProgramRows::insertLine(int row)
{
    Q_ASSERT(row >= 0 && row <= lineCount());
    const int oldRowCount = rowCount();
    m_rows.insert(row, emptyCommentSpan());
    if (m_journal) {
        m_journal->recordInsert(row, 1);
        m_journal->addLine(line(row));
    }
    // Line numbers row + 1 ... oldRowCount (the end row's) each moved down by one. A target
    // outside that range, 0 and unreadable ones among them, names no moved row and stays.
    return shiftTargets(row + 1, oldRowCount, +1);
}

ProgramRows::Retargeted ProgramRows::insertLines(int row, const LineArray &lines)
{
    Q_ASSERT(row >= 0 && row <= lineCount());
    const int count = int(lines.size());
    if (count == 0)
        return {};
    const int oldRowCount = rowCount();
    m_rows.insert(row, count, emptyCommentSpan());
    for (int i = 0; i < count; ++i)
        storeLine(row + i, lines.at(i), {});
    if (m_journal) {
        m_journal->recordInsert(row, count);
        for (int i = 0; i < count; ++i)
            m_journal->addLine(line(row + i));
    }
    return shiftTargets(row + 1, oldRowCount, count, row, row + count);
}

ProgramRows::Retargeted ProgramRows::removeLine(int row)
{
    Q_ASSERT(row >= 0 && row < lineCount());
    const int oldRowCount = rowCount();
    if (m_journal) {
        m_journal->recordRemove(row, 1);
        m_journal->addLine(line(row));
    }
    m_rows.remove(row);
    return shiftTargets(row + 2, oldRowCount, -1);
}

ProgramRows::Retargeted ProgramRows::shiftTargets(int lo, int hi, int delta, int skipFrom,
                                                  int skipTo)
{
    Retargeted result;
    if (m_journal)
        m_journal->beginShift(delta);
    const int n = lineCount();
    for (int i = 0; i < n; ++i) {
        if (i == skipFrom && skipFrom < skipTo) {
            i = skipTo - 1;
            continue;
        }
        const QByteArrayView l = line(i);
        if (!isJumpLine(l))
            continue;
        const std::optional<int> target = jumpTarget(l.first(1), l.sliced(1));
        if (!target || *target < lo || *target > hi)
            continue;
        // The same text retarget() gives, written straight into the pool.
        const qsizetype keep = targetPrefix(l);
        // A line in exactly that form is journalled by its row alone: moving its target back
        // gives its text back.
        QByteArray before;
        if (m_journal) {
            if (l.sliced(keep) == Digits(*target).view())
                m_journal->addShiftRow(i);
            else
                before = l.toByteArray();
        }
        storeLine(i, l.first(keep), Digits(*target + delta).view());
        if (!before.isNull())
            m_journal->recordSet(i, before, line(i));
        if (result.count++ == 0)
            result.first = i;
        result.last = i;
    }
    if (m_journal)
        m_journal->endShift();
    return result;
}

void ProgramRows::moveTarget(int row, int delta)
{
    const QByteArrayView l = line(row);
    const std::optional<int> target
            = isJumpLine(l) ? jumpTarget(l.first(1), l.sliced(1)) : std::nullopt;
    Q_ASSERT(target);
    if (target)
        storeLine(row, l.first(targetPrefix(l)), Digits(*target + delta).view());
}

ProgramRows::Retargeted ProgramRows::replay(const RowJournal &journal,
                                            const RowJournal::Entry &entry, bool forward)
{
    RowJournal *const recording = std::exchange(m_journal, nullptr);
    Retargeted changed;
    const auto note = [&changed](int row) {
        changed.first = changed.count++ == 0 ? row : std::min(changed.first, row);
        changed.last = std::max(changed.last, row);
    };
    const bool inserts = (entry.kind == RowJournal::Kind::Insert) == forward;
    switch (entry.kind) {
    case RowJournal::Kind::Set:
        storeLine(entry.row, journal.line(entry.first + (forward ? 1 : 0)), {});
        note(entry.row);
        break;
    case RowJournal::Kind::Insert:
    case RowJournal::Kind::Remove:
        if (inserts) {
            m_rows.insert(entry.row, entry.count, emptyCommentSpan());
            for (int i = 0; i < entry.count; ++i)
                storeLine(entry.row + i, journal.line(entry.first + i), {});
        } else {
            m_rows.remove(entry.row, entry.count);
        }
        break;
    case RowJournal::Kind::Shift: {
        const int delta = forward ? entry.delta : -entry.delta;
        journal.forEachShiftRow(entry, [&](int row) {
            moveTarget(row, delta);
            note(row);
        });
        break;
    }
    }
    m_journal = recording;
    return changed;
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
