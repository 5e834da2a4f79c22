#include "sim/runreport.h"

#include "model/programcheck.h"

namespace kr44 {

RunReport::RunReport(const LineArray &lines) : m_editorLines(editorLinesOfUnit(lines))
{
    m_loopPasses.reserve(m_editorLines.size());
    for (const int editor : std::as_const(m_editorLines)) {
        const QByteArrayView text = lines.at(editor - 1);
        m_loopPasses.append(!text.isEmpty() && text.front() == 'L' && text != "L0" ? 0 : -1);
    }
}

void RunReport::lineFetched(int unitLine)
{
    m_executingLine = unitLine;
    if (unitLine < 1 || unitLine > m_loopPasses.size())
        return;
    qint64 &passes = m_loopPasses[unitLine - 1];
    if (passes >= 0)
        ++passes;
}

QList<QByteArray> RunReport::received(QByteArrayView bytes, int downloadLine)
{
    m_pending += bytes;
    QList<QByteArray> replies;
    qsizetype start = 0;
    for (qsizetype end = 0; (end = m_pending.indexOf('\r', start)) >= 0; start = end + 1) {
        replies.append(m_pending.sliced(start, end - start));
        replied(replies.last(), downloadLine);
    }
    m_pending.remove(0, start);
    return replies;
}

void RunReport::replied(const QByteArray &reply, int downloadLine)
{
    if (!reply.startsWith('E') || !m_error.isEmpty())
        return;
    m_error = reply;
    // "E3 n" names the line itself; a run error concerns the line being executed.
    m_errorUnitLine = reply.startsWith("E3") ? reply.mid(2).trimmed().toInt()
            : downloadLine > 0               ? downloadLine
                                             : m_executingLine;
}

int RunReport::editorLine(int unitLine) const
{
    return unitLine >= 1 && unitLine <= m_editorLines.size() ? m_editorLines.at(unitLine - 1) : 0;
}

QList<RunReport::LoopPasses> RunReport::loopPasses() const
{
    QList<LoopPasses> loops;
    for (qsizetype i = 0; i < m_loopPasses.size(); ++i) {
        if (m_loopPasses.at(i) >= 0)
            loops.append({m_editorLines.at(i), m_loopPasses.at(i)});
    }
    return loops;
}

QStringList RunReport::summary(Outcome outcome, const RunStats &stats, qint64 runTimeUs) const
{
    QStringList lines;
    if (outcome == Outcome::Ready) {
        lines << tr("Ended: Ready");
    } else if (outcome == Outcome::TimeLimit) {
        lines << tr("Ended: still running at the time limit");
    } else if (m_errorUnitLine > 0) {
        lines << tr("Ended: error %1 on line %2 (unit line %3)")
                         .arg(QString::fromLatin1(m_error.left(2)))
                         .arg(errorEditorLine())
                         .arg(m_errorUnitLine);
    } else {
        lines << tr("Ended: error %1").arg(QString::fromLatin1(m_error.left(2)));
    }
    lines << tr("Run time: %1 s").arg(double(runTimeUs) / 1e6, 0, 'f', 4)
          << tr("Distance moved: %1 steps").arg(stats.distance)
          << tr("Peak speed: %1 steps/s").arg(stats.peakSpeed, 0, 'f', 0)
          << tr("Instructions executed: %1").arg(stats.executed);
    for (const LoopPasses &loop : loopPasses())
        lines << tr("Loop ending on line %1: %2 passes").arg(loop.editorLine).arg(loop.passes);
    return lines;
}

} // namespace kr44
