#pragma once

#include "view/findingindex.h"
#include "view/programrows.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPersistentModelIndex>

#include <array>

// The program rows as a four-column table for a QTableView: "Line no.", "Code", "Instruction"
// and "Parameters", with the end row last. Every change to the rows goes through here so that
// attached views and selection models follow it. Cells are not editable in place.
//
// The "Line no." cell of a row with findings carries the severity's icon, the findings' sentences
// as its tooltip, and "severity: sentence" for each as its accessible description (its
// accessible name stays the number). The findings are given from outside after each check; rows
// inserted or removed meanwhile are not followed, the next check puts the markers right.

namespace kr44 {

class ProgramTableModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { LineNumberColumn, CodeColumn, InstructionColumn, ParametersColumn, ColumnCount };

    explicit ProgramTableModel(QObject *parent = nullptr);

    [[nodiscard]] const ProgramRows &rows() const { return m_rows; }

    // The text a cell shows: the bytes of a line as 8-bit characters, one character per byte.
    [[nodiscard]] QString cellText(int row, int column) const;

    // Replaces every row; the end row follows the lines.
    void fill(const LineArray &lines);
    // The document's lines for the rows (see ProgramRows::writeBack).
    [[nodiscard]] LineArray writeBack();

    void setCode(int row, QByteArrayView code);
    void setParams(int row, QByteArrayView params);
    // The end row becomes an empty line and a new end row is appended below it.
    void appendEndRow();
    // Inserts an empty line before `row` and moves the jump targets with their lines.
    void insertLine(int row);
    // Removes line `row` and moves the jump targets with their lines.
    void removeLine(int row);
    // Inserts `lines` before `row` as an insertion of that many lines (see
    // ProgramRows::insertLines).
    void insertLines(int row, const LineArray &lines);

    // The findings to mark, as of the last check.
    void setFindings(const FindingIndex &findings);
    [[nodiscard]] const FindingIndex &findings() const { return m_findings; }

    // Debugging marks in the "Line no." column: breakpoints, and the row a program run stands
    // at. They are persistent indexes, so they move with rows inserted or removed above them and
    // go with their row when it is removed. The end row takes no breakpoint.
    void setBreakpoint(int row, bool on);
    [[nodiscard]] bool hasBreakpoint(int row) const;
    [[nodiscard]] QList<int> breakpointRows() const;
    void setRunRow(int row); // -1: none
    [[nodiscard]] int runRow() const { return m_runRow.isValid() ? m_runRow.row() : -1; }

    // Records every change to the rows in `journal` while it is set (nullptr: none).
    void setJournal(RowJournal *journal) { m_rows.setJournal(journal); }
    // Takes back everything `journal` recorded (forward false), or does it again on the rows it
    // was recorded on (forward true), telling attached views of every row moved or changed.
    void replay(const RowJournal &journal, bool forward);

    [[nodiscard]] int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void rowsRetargeted(const ProgramRows::Retargeted &changed);

    [[nodiscard]] QVariant findingData(int row, int role) const;
    [[nodiscard]] QVariant lineNumberData(int row, int role) const;
    void lineNumberChanged(int row);

    ProgramRows m_rows;
    FindingIndex m_findings;
    mutable QIcon m_errorIcon; // loaded when first shown
    mutable QIcon m_warningIcon;
    mutable std::array<QIcon, 3> m_runMarkIcons; // breakpoint, current line, both
    QList<QPersistentModelIndex> m_breakpoints;
    QPersistentModelIndex m_runRow;
};

} // namespace kr44
