#include "view/findingindex.h"

#include <QApplication>
#include <QStyle>

#include <algorithm>

namespace kr44 {

namespace {

bool lineBefore(const Finding &a, const Finding &b) { return a.line < b.line; }

} // namespace

FindingIndex::FindingIndex(QList<Finding> findings) : m_findings(std::move(findings))
{
    if (!std::is_sorted(m_findings.cbegin(), m_findings.cend(), lineBefore))
        std::stable_sort(m_findings.begin(), m_findings.end(), lineBefore);
    m_errors = int(std::count_if(m_findings.cbegin(), m_findings.cend(),
                                 [](const Finding &f) { return f.severity == Severity::Error; }));
}

std::pair<qsizetype, qsizetype> FindingIndex::span(int row) const
{
    Finding key;
    key.line = row + 1;
    const auto range = std::equal_range(m_findings.cbegin(), m_findings.cend(), key, lineBefore);
    return {range.first - m_findings.cbegin(), range.second - m_findings.cbegin()};
}

std::optional<Severity> FindingIndex::severityAt(int row) const
{
    const auto [first, last] = span(row);
    if (first == last)
        return std::nullopt;
    for (qsizetype i = first; i < last; ++i) {
        if (m_findings.at(i).severity == Severity::Error)
            return Severity::Error;
    }
    return Severity::Warning;
}

QString FindingIndex::sentencesAt(int row) const
{
    const auto [first, last] = span(row);
    QString text;
    for (qsizetype i = first; i < last; ++i) {
        if (i > first)
            text += QLatin1Char('\n');
        text += m_findings.at(i).sentence();
    }
    return text;
}

QString FindingIndex::descriptionAt(int row) const
{
    const auto [first, last] = span(row);
    QString text;
    for (qsizetype i = first; i < last; ++i) {
        if (i > first)
            text += QLatin1Char('\n');
        const Finding &finding = m_findings.at(i);
        text += tr("%1: %2").arg(severityText(finding.severity), finding.sentence());
    }
    return text;
}

FindingIndex::RowRange FindingIndex::changedRows(const FindingIndex &before) const
{
    const QList<Finding> &a = before.m_findings;
    const QList<Finding> &b = m_findings;
    const qsizetype common = std::min(a.size(), b.size());
    qsizetype head = 0;
    while (head < common && a.at(head) == b.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < common - head && a.at(a.size() - 1 - tail) == b.at(b.size() - 1 - tail))
        ++tail;
    // Only the findings between the equal head and tail differ, and a row whose findings all lie
    // in the head (or all in the tail) is marked alike before and after.
    int first = 0;
    int last = 0;
    bool any = false;
    const auto cover = [&](const QList<Finding> &list, qsizetype from, qsizetype to) {
        if (from >= to)
            return;
        first = any ? std::min(first, list.at(from).line - 1) : list.at(from).line - 1;
        last = any ? std::max(last, list.at(to - 1).line - 1) : list.at(to - 1).line - 1;
        any = true;
    };
    cover(a, head, a.size() - tail);
    cover(b, head, b.size() - tail);
    if (!any)
        return {};
    // Lines below 1 name no row.
    RowRange range;
    range.first = std::max(first, 0);
    range.last = std::max(last, range.first);
    return range;
}

QIcon severityIcon(Severity severity)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return {};
    return QApplication::style()->standardIcon(severity == Severity::Error
                                                       ? QStyle::SP_MessageBoxCritical
                                                       : QStyle::SP_MessageBoxWarning);
}

} // namespace kr44
