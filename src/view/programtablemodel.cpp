#include "view/programtablemodel.h"

#include <QColor>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>
#include <climits>

namespace kr44 {

namespace {

QString bytesText(QByteArrayView bytes)
{
    // Lines are 8-bit text kept byte for byte; Latin-1 shows each byte as one character.
    return QString::fromLatin1(bytes.data(), bytes.size());
}

// A red dot for a breakpoint; an arrow for the current line, over the dot when it has one.
QIcon drawRunMark(bool currentLine, bool breakpoint)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return {};
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 0, 0), 1));
    if (breakpoint) {
        p.setBrush(QColor(210, 30, 30));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    }
    if (currentLine) {
        QPainterPath arrow;
        arrow.moveTo(2, 5);
        arrow.lineTo(8, 5);
        arrow.lineTo(8, 1.5);
        arrow.lineTo(14.5, 8);
        arrow.lineTo(8, 14.5);
        arrow.lineTo(8, 11);
        arrow.lineTo(2, 11);
        arrow.closeSubpath();
        p.setPen(QPen(QColor(90, 70, 0), 1));
        p.setBrush(QColor(255, 200, 0));
        p.drawPath(arrow);
    }
    return QIcon(pixmap);
}

} // namespace

ProgramTableModel::ProgramTableModel(QObject *parent) : QAbstractTableModel(parent)
{
    setObjectName(QStringLiteral("programTableModel"));
}

QString ProgramTableModel::cellText(int row, int column) const
{
    if (!m_rows.isValidRow(row))
        return {};
    switch (column) {
    case LineNumberColumn:
        return QString::number(row + 1);
    case CodeColumn:
        return bytesText(m_rows.shownCode(row));
    case InstructionColumn:
        return instructionName(m_rows.shownCode(row));
    case ParametersColumn:
        return bytesText(m_rows.params(row));
    default:
        return {};
    }
}

void ProgramTableModel::fill(const LineArray &lines)
{
    beginResetModel();
    m_rows.fill(lines);
    endResetModel();
}

LineArray ProgramTableModel::writeBack()
{
    // Rebasing moves no text and changes no cell, so views need not hear of it.
    return m_rows.writeBack();
}

void ProgramTableModel::setCode(int row, QByteArrayView code)
{
    m_rows.setCode(row, code);
    Q_EMIT dataChanged(index(row, CodeColumn), index(row, ParametersColumn));
}

void ProgramTableModel::setParams(int row, QByteArrayView params)
{
    m_rows.setParams(row, params);
    Q_EMIT dataChanged(index(row, ParametersColumn), index(row, ParametersColumn));
}

void ProgramTableModel::appendEndRow()
{
    // The new row is announced below the old end row, which stays where it is (and stays
    // selected) as an empty line: both rows are empty, so the cells agree either way.
    const int end = rowCount();
    beginInsertRows(QModelIndex(), end, end);
    m_rows.appendLine();
    endInsertRows();
}

void ProgramTableModel::insertLine(int row)
{
    beginInsertRows(QModelIndex(), row, row);
    const ProgramRows::Retargeted changed = m_rows.insertLine(row);
    endInsertRows();
    rowsRetargeted(changed);
    Q_EMIT dataChanged(index(row + 1, LineNumberColumn), index(rowCount() - 1, LineNumberColumn));
}

void ProgramTableModel::removeLine(int row)
{
    beginRemoveRows(QModelIndex(), row, row);
    const ProgramRows::Retargeted changed = m_rows.removeLine(row);
    endRemoveRows();
    rowsRetargeted(changed);
    Q_EMIT dataChanged(index(row, LineNumberColumn), index(rowCount() - 1, LineNumberColumn));
}

void ProgramTableModel::insertLines(int row, const LineArray &lines)
{
    if (lines.isEmpty())
        return;
    beginInsertRows(QModelIndex(), row, row + int(lines.size()) - 1);
    const ProgramRows::Retargeted changed = m_rows.insertLines(row, lines);
    endInsertRows();
    rowsRetargeted(changed);
    Q_EMIT dataChanged(index(row + int(lines.size()), LineNumberColumn),
                       index(rowCount() - 1, LineNumberColumn));
}

void ProgramTableModel::replay(const RowJournal &journal, bool forward)
{
    // The lowest row an entry names bounds every row changed from there on: rows inserted or
    // removed later only move the changed ones further down or up to that row.
    int first = INT_MAX;
    int last = -1;
    bool moved = false;
    const auto play = [&](const RowJournal::Entry &entry) {
        const bool resizes
                = entry.kind == RowJournal::Kind::Insert || entry.kind == RowJournal::Kind::Remove;
        if (!resizes) {
            const ProgramRows::Retargeted changed = m_rows.replay(journal, entry, forward);
            if (changed.count > 0) {
                first = std::min(first, changed.first);
                last = std::max(last, changed.last);
            }
            return;
        }
        const int top = entry.row;
        const int bottom = entry.row + entry.count - 1;
        if ((entry.kind == RowJournal::Kind::Insert) == forward) {
            beginInsertRows(QModelIndex(), top, bottom);
            m_rows.replay(journal, entry, forward);
            endInsertRows();
        } else {
            beginRemoveRows(QModelIndex(), top, bottom);
            m_rows.replay(journal, entry, forward);
            endRemoveRows();
        }
        first = std::min(first, top);
        moved = true;
    };
    const std::vector<RowJournal::Entry> &entries = journal.entries();
    if (forward)
        std::for_each(entries.cbegin(), entries.cend(), play);
    else
        std::for_each(entries.crbegin(), entries.crend(), play);
    if (moved)
        last = rowCount() - 1;
    if (last >= 0) {
        first = std::min(first, rowCount() - 1);
        Q_EMIT dataChanged(index(first, LineNumberColumn), index(last, ParametersColumn));
    }
}

void ProgramTableModel::setFindings(const FindingIndex &findings)
{
    const FindingIndex::RowRange changed = findings.changedRows(m_findings);
    m_findings = findings;
    if (changed.isEmpty() || changed.first >= rowCount())
        return;
    const int last = std::min(changed.last, rowCount() - 1);
    Q_EMIT dataChanged(index(changed.first, LineNumberColumn), index(last, LineNumberColumn),
                       {Qt::DecorationRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
}

void ProgramTableModel::setBreakpoint(int row, bool on)
{
    if (row < 0 || row >= rowCount() - 1 || hasBreakpoint(row) == on)
        return;
    if (on)
        m_breakpoints.append(index(row, LineNumberColumn));
    else
        m_breakpoints.removeIf([row](const QPersistentModelIndex &i) { return i.row() == row; });
    lineNumberChanged(row);
}

bool ProgramTableModel::hasBreakpoint(int row) const
{
    return std::any_of(
            m_breakpoints.cbegin(), m_breakpoints.cend(),
            [row](const QPersistentModelIndex &i) { return i.isValid() && i.row() == row; });
}

QList<int> ProgramTableModel::breakpointRows() const
{
    QList<int> rows;
    for (const QPersistentModelIndex &i : m_breakpoints) {
        if (i.isValid())
            rows.append(i.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void ProgramTableModel::setRunRow(int row)
{
    const int old = runRow();
    if (row == old)
        return;
    m_runRow = row >= 0 && row < rowCount() ? index(row, LineNumberColumn) : QModelIndex();
    for (const int changed : {old, runRow()}) {
        if (changed >= 0)
            Q_EMIT dataChanged(index(changed, LineNumberColumn), index(changed, ParametersColumn));
    }
}

void ProgramTableModel::lineNumberChanged(int row)
{
    Q_EMIT dataChanged(index(row, LineNumberColumn), index(row, LineNumberColumn));
}

QVariant ProgramTableModel::lineNumberData(int row, int role) const
{
    const bool breakpoint = hasBreakpoint(row);
    const bool run = row == runRow();
    switch (role) {
    case Qt::AccessibleTextRole: {
        QString text = cellText(row, LineNumberColumn);
        if (breakpoint)
            text = tr("%1, breakpoint").arg(text);
        if (run)
            text = tr("%1, current line").arg(text);
        return text;
    }
    case Qt::DecorationRole:
        if (run || breakpoint) {
            QIcon &icon = m_runMarkIcons[size_t(run) * 2 + size_t(breakpoint) - 1];
            if (icon.isNull())
                icon = drawRunMark(run, breakpoint);
            return icon;
        }
        return findingData(row, role);
    case Qt::ToolTipRole: {
        QStringList parts;
        if (breakpoint)
            parts << tr("Breakpoint: a run stops before this line");
        if (const QVariant findings = findingData(row, role); findings.isValid())
            parts << findings.toString();
        return parts.isEmpty() ? QVariant() : QVariant(parts.join(u'\n'));
    }
    default:
        return findingData(row, role);
    }
}

QVariant ProgramTableModel::findingData(int row, int role) const
{
    switch (role) {
    case Qt::DecorationRole: {
        const std::optional<Severity> severity = m_findings.severityAt(row);
        if (!severity)
            return {};
        QIcon &icon = *severity == Severity::Error ? m_errorIcon : m_warningIcon;
        if (icon.isNull())
            icon = severityIcon(*severity);
        return icon;
    }
    case Qt::ToolTipRole: {
        const QString text = m_findings.sentencesAt(row);
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    case Qt::AccessibleDescriptionRole: {
        const QString text = m_findings.descriptionAt(row);
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    default:
        return {};
    }
}

void ProgramTableModel::rowsRetargeted(const ProgramRows::Retargeted &changed)
{
    if (changed.count > 0)
        Q_EMIT dataChanged(index(changed.first, ParametersColumn),
                           index(changed.last, ParametersColumn));
}

int ProgramTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.rowCount();
}

int ProgramTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ProgramTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::AccessibleTextRole:
        if (index.column() == LineNumberColumn)
            return lineNumberData(index.row(), role);
        return cellText(index.row(), index.column());
    case Qt::DisplayRole:
        return cellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    case Qt::BackgroundRole:
        if (index.row() == runRow())
            return QColor(255, 236, 140);
        return {};
    case Qt::DecorationRole:
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        if (index.column() == LineNumberColumn)
            return lineNumberData(index.row(), role);
        return {};
    default:
        return {};
    }
}

QVariant ProgramTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    if (role != Qt::DisplayRole)
        return {};
    switch (section) {
    case LineNumberColumn:
        return tr("Line no.");
    case CodeColumn:
        return tr("Code");
    case InstructionColumn:
        return tr("Instruction");
    case ParametersColumn:
        return tr("Parameters");
    default:
        return {};
    }
}

Qt::ItemFlags ProgramTableModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace kr44
