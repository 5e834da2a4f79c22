#pragma once

#include "model/linearray.h"
#include "view/programtablemodel.h"

#include <QByteArray>
#include <QList>
#include <QPersistentModelIndex>
#include <QPointer>

namespace kr44 {

// The rows of a program window as they were sent to a unit. The unit numbers only the lines it
// was sent, 1, 2, 3..., comment lines left out; this maps its numbers to the rows that hold
// those lines now, following rows inserted and removed since. A line whose row was removed, or
// whose text changed, maps to no row: the unit runs something the window no longer shows.
class SentRows
{
public:
    SentRows() = default;
    // `lines`: what was sent, as the model's rows stood at that moment.
    SentRows(ProgramTableModel *model, const LineArray &lines);

    [[nodiscard]] ProgramTableModel *model() const { return m_model; }
    [[nodiscard]] int unitLineCount() const { return int(m_rows.size()); }
    // The row of unit line `unitLine` (1-based), or -1.
    [[nodiscard]] int rowOf(int unitLine) const;
    // The unit line that `row` holds, or 0 for a row that was not sent or changed since.
    [[nodiscard]] int unitLineOf(int row) const;

private:
    QPointer<ProgramTableModel> m_model;
    QList<QPersistentModelIndex> m_rows; // by unit line - 1
    QList<QByteArray> m_texts;           // by unit line - 1
};

} // namespace kr44
