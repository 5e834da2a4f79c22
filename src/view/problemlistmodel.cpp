#include "view/problemlistmodel.h"

namespace kr44 {

ProblemListModel::ProblemListModel(QObject *parent) : QAbstractTableModel(parent)
{
    setObjectName(QStringLiteral("problemListModel"));
}

bool ProblemListModel::setFindings(const FindingIndex &findings)
{
    if (findings == m_findings)
        return false;
    beginResetModel();
    m_findings = findings;
    endResetModel();
    return true;
}

int ProblemListModel::programRow(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this || index.row() >= m_findings.size())
        return -1;
    return m_findings.findings().at(index.row()).line - 1;
}

int ProblemListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_findings.size());
}

int ProblemListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ProblemListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_findings.size())
        return {};
    const Finding &finding = m_findings.findings().at(index.row());
    const bool error = finding.severity == Severity::Error;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        switch (index.column()) {
        case LineColumn:
            return QString::number(finding.line);
        case SeverityColumn:
            return error ? tr("Error") : tr("Warning");
        case ProblemColumn:
            return finding.sentence();
        default:
            return {};
        }
    case Qt::ToolTipRole:
        // The sentence is often wider than its column.
        return index.column() == ProblemColumn ? QVariant(finding.sentence()) : QVariant();
    case Qt::DecorationRole: {
        if (index.column() != SeverityColumn)
            return {};
        QIcon &icon = error ? m_errorIcon : m_warningIcon;
        if (icon.isNull())
            icon = severityIcon(finding.severity);
        return icon;
    }
    default:
        return {};
    }
}

QVariant ProblemListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case LineColumn:
        return tr("Line");
    case SeverityColumn:
        return tr("Severity");
    case ProblemColumn:
        return tr("Problem");
    default:
        return {};
    }
}

Qt::ItemFlags ProblemListModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace kr44
