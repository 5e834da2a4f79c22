#pragma once

#include "model/linearray.h"

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

// What one editing command did to the program rows, change by change, holding only what it
// touched: the lines it set (before and after), the lines it inserted or removed, and the rows
// whose jump target it moved. Played backward on the rows it left, it gives back the rows it
// found, byte for byte; played forward on those, it does the command again.
//
// A moved jump target is kept as the row's number alone when the target can be moved back by
// rewriting its digits (the line ends in the plain decimal target, as retargeting writes it);
// any other moved jump line is kept as a Set of its whole text.

namespace kr44 {

class RowJournal
{
public:
    enum class Kind : quint8 {
        Set,    // line `row` changed from line(first) to line(first + 1)
        Insert, // lines first ... first + count - 1 inserted before row `row`
        Remove, // the rows from `row` on, holding lines first ... first + count - 1, removed
        Shift,  // the jump targets of `count` rows moved by `delta` (see forEachShiftRow)
    };

    struct Entry
    {
        Kind kind = Kind::Set;
        int row = 0;
        int count = 0;
        int delta = 0;
        // Set, Insert, Remove: index of the first line; Shift: where its rows start in the row
        // codes.
        qsizetype first = 0;
    };

    [[nodiscard]] bool isEmpty() const { return m_entries.empty(); }
    [[nodiscard]] const std::vector<Entry> &entries() const { return m_entries; }
    [[nodiscard]] QByteArrayView line(qsizetype index) const
    {
        const LineArray::Span &span = m_lines[size_t(index)];
        return QByteArrayView(m_text.constData() + span.offset, span.length);
    }
    // Calls f(row) for each row of a Shift entry, in ascending order.
    template<typename F>
    void forEachShiftRow(const Entry &entry, F &&f) const;

    void recordSet(int row, QByteArrayView before, QByteArrayView after);
    // An Insert or a Remove of `count` lines at `row`: the lines follow, one addLine() each.
    void recordInsert(int row, int count);
    void recordRemove(int row, int count);
    void addLine(QByteArrayView line);
    // A Shift: the rows follow in ascending order, one addShiftRow() each, then endShift().
    void beginShift(int delta);
    void addShiftRow(int row);
    void endShift();

    // Gives back the room kept for more changes: a finished journal only gets read.
    void squeeze();
    // Bytes held, capacity included.
    [[nodiscard]] qsizetype memoryBytes() const;

private:
    std::vector<Entry> m_entries;
    std::vector<LineArray::Span> m_lines;
    QByteArray m_text;
    // Shift rows as the gaps between them (the first counted from -1), 7 bits a byte, high bit
    // set on every byte but a number's last: a row number costs one or two bytes.
    QByteArray m_rowCodes;
    int m_lastShiftRow = -1;
    size_t m_shiftEntry = 0; // the Shift being recorded (Sets may follow it within its pass)
    bool m_inShift = false;
};

template<typename F>
void RowJournal::forEachShiftRow(const Entry &entry, F &&f) const
{
    const auto *p = reinterpret_cast<const uchar *>(m_rowCodes.constData() + entry.first);
    int row = -1;
    for (int i = 0; i < entry.count; ++i) {
        unsigned gap = 0;
        int shift = 0;
        uchar byte = 0;
        do {
            byte = *p++;
            gap |= unsigned(byte & 0x7f) << shift;
            shift += 7;
        } while (byte & 0x80);
        row += int(gap) + 1;
        f(row);
    }
}

} // namespace kr44
