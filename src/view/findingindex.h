#pragma once

#include "model/programcheck.h"

#include <QCoreApplication>
#include <QIcon>
#include <QList>
#include <QString>

#include <optional>

// The findings of one check, looked up by row: row r of the program list is line r + 1. Copying
// it is cheap (the list is shared), so the program list and the problems list each keep one.

namespace kr44 {

class FindingIndex
{
    Q_DECLARE_TR_FUNCTIONS(kr44::FindingIndex)

public:
    // An inclusive range of rows; empty when first is -1.
    struct RowRange
    {
        int first = -1;
        int last = -1;
        [[nodiscard]] bool isEmpty() const { return first < 0; }
        friend bool operator==(const RowRange &a, const RowRange &b)
        {
            return a.first == b.first && a.last == b.last;
        }
    };

    FindingIndex() = default;
    // The findings in any order; they are kept ordered by line, each line's in the given order.
    explicit FindingIndex(QList<Finding> findings);

    [[nodiscard]] const QList<Finding> &findings() const { return m_findings; }
    [[nodiscard]] bool isEmpty() const { return m_findings.isEmpty(); }
    [[nodiscard]] qsizetype size() const { return m_findings.size(); }
    [[nodiscard]] int errorCount() const { return m_errors; }
    [[nodiscard]] int warningCount() const { return int(m_findings.size()) - m_errors; }

    // The worst severity among the findings on `row`, or none when the row has no finding.
    [[nodiscard]] std::optional<Severity> severityAt(int row) const;
    // The sentences of the row's findings, one a line; empty when it has none.
    [[nodiscard]] QString sentencesAt(int row) const;
    // Each of the row's findings as "error: sentence", one a line, for those who cannot see the
    // marker; empty when it has none.
    [[nodiscard]] QString descriptionAt(int row) const;

    // The rows whose marker (severity or sentences) differs between `before` and this.
    [[nodiscard]] RowRange changedRows(const FindingIndex &before) const;

    friend bool operator==(const FindingIndex &a, const FindingIndex &b)
    {
        return a.m_findings == b.m_findings;
    }
    friend bool operator!=(const FindingIndex &a, const FindingIndex &b) { return !(a == b); }

private:
    // The findings of `row` are [first, last).
    [[nodiscard]] std::pair<qsizetype, qsizetype> span(int row) const;

    QList<Finding> m_findings;
    int m_errors = 0;
};

// The standard message-box icon of the style for a severity (critical for an error, warning for
// a warning). Null without a QApplication.
[[nodiscard]] QIcon severityIcon(Severity severity);

} // namespace kr44
