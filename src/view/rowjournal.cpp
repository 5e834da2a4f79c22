#include "view/rowjournal.h"

namespace kr44 {

void RowJournal::recordSet(int row, QByteArrayView before, QByteArrayView after)
{
    m_entries.push_back({Kind::Set, row, 1, 0, qsizetype(m_lines.size())});
    addLine(before);
    addLine(after);
}

void RowJournal::recordInsert(int row, int count)
{
    m_entries.push_back({Kind::Insert, row, count, 0, qsizetype(m_lines.size())});
}

void RowJournal::recordRemove(int row, int count)
{
    m_entries.push_back({Kind::Remove, row, count, 0, qsizetype(m_lines.size())});
}

void RowJournal::addLine(QByteArrayView line)
{
    m_lines.push_back({m_text.size(), line.size()});
    m_text.append(line.data(), line.size());
}

void RowJournal::beginShift(int delta)
{
    Q_ASSERT(!m_inShift);
    m_inShift = true;
    m_lastShiftRow = -1;
    m_shiftEntry = m_entries.size();
    m_entries.push_back({Kind::Shift, 0, 0, delta, m_rowCodes.size()});
}

void RowJournal::addShiftRow(int row)
{
    Q_ASSERT(m_inShift && row > m_lastShiftRow);
    ++m_entries[m_shiftEntry].count;
    unsigned gap = unsigned(row - m_lastShiftRow - 1);
    m_lastShiftRow = row;
    while (gap >= 0x80) {
        m_rowCodes.append(char(0x80 | (gap & 0x7f)));
        gap >>= 7;
    }
    m_rowCodes.append(char(gap));
}

void RowJournal::endShift()
{
    Q_ASSERT(m_inShift);
    m_inShift = false;
    // A pass that moved no plain target leaves no Shift entry behind.
    if (m_entries[m_shiftEntry].count == 0)
        m_entries.erase(m_entries.begin() + qsizetype(m_shiftEntry));
}

void RowJournal::squeeze()
{
    m_entries.shrink_to_fit();
    m_lines.shrink_to_fit();
    m_text.squeeze();
    m_rowCodes.squeeze();
}

qsizetype RowJournal::memoryBytes() const
{
    return qsizetype(sizeof(*this)) + qsizetype(m_entries.capacity() * sizeof(Entry))
            + qsizetype(m_lines.capacity() * sizeof(LineArray::Span)) + m_text.capacity()
            + m_rowCodes.capacity();
}

} // namespace kr44
