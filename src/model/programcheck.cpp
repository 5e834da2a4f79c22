#include "model/programcheck.h"

#include "model/programcheck_p.h"

#include <algorithm>
#include <climits>

namespace kr44 {

namespace checkinternal {

Checker::Checker(const LineArray &lines)
    : m_lines(lines), m_n(int(lines.size())), m_kind(size_t(m_n), Kind::Comment),
      m_target(size_t(m_n), kNone), m_sentBefore(size_t(m_n) + 1, 0), m_loopEnd(size_t(m_n), kNone),
      m_loopStart(size_t(m_n), kNone)
{}

QList<Finding> Checker::run()
{
    checkLines();
    checkJumpTargets();
    matchLoops();
    checkLoopCrossings();
    checkFlow();
    std::stable_sort(m_findings.begin(), m_findings.end(), [](const Finding &a, const Finding &b) {
        return a.line != b.line ? a.line < b.line : a.severity < b.severity;
    });
    return m_findings;
}

} // namespace checkinternal

QList<Finding> checkProgram(const LineArray &lines)
{
    if (lines.size() > INT_MAX - 1)
        return {};
    return checkinternal::Checker(lines).run();
}

bool hasErrors(const QList<Finding> &findings)
{
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding &f) { return f.severity == Severity::Error; });
}

QString severityText(Severity severity)
{
    return severity == Severity::Error ? QStringLiteral("error") : QStringLiteral("warning");
}

QString formatFinding(const QString &fileName, const Finding &finding)
{
    return QStringLiteral("%1:%2: %3: %4")
            .arg(fileName)
            .arg(finding.line)
            .arg(severityText(finding.severity), finding.sentence());
}

std::optional<int> unitLineOf(const LineArray &lines, int editorLine)
{
    if (editorLine < 1 || editorLine > lines.size() || isCommentLine(lines.at(editorLine - 1)))
        return std::nullopt;
    int count = 0;
    for (int i = 0; i < editorLine; ++i)
        count += isCommentLine(lines.at(i)) ? 0 : 1;
    return count;
}

std::optional<int> editorLineOf(const LineArray &lines, int unitLine)
{
    if (unitLine < 1)
        return std::nullopt;
    int count = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!isCommentLine(lines.at(i)) && ++count == unitLine)
            return int(i) + 1;
    }
    return std::nullopt;
}

QList<int> editorLinesOfUnit(const LineArray &lines)
{
    QList<int> editorLines;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!isCommentLine(lines.at(i)))
            editorLines.append(int(i) + 1);
    }
    return editorLines;
}

} // namespace kr44
