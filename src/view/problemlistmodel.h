#pragma once

#include "view/findingindex.h"

#include <QAbstractTableModel>

// The findings of a program as a list for the problems panel: "Line", "Severity" and
// "Problem" (the sentence), in line order.

namespace kr44 {

class ProblemListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { LineColumn, SeverityColumn, ProblemColumn, ColumnCount };

    explicit ProblemListModel(QObject *parent = nullptr);

    // Replaces the list; attached views are reset only when the findings differ. Returns
    // whether they did.
    bool setFindings(const FindingIndex &findings);
    [[nodiscard]] const FindingIndex &findings() const { return m_findings; }
    // The program list's row that entry `index` is about, or -1.
    [[nodiscard]] int programRow(const QModelIndex &index) const;

    [[nodiscard]] int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    FindingIndex m_findings;
    mutable QIcon m_errorIcon; // loaded when first shown
    mutable QIcon m_warningIcon;
};

} // namespace kr44
