#include "link/download.h"

namespace kr44 {

Download::Download(LineArray lines, Kind kind) : m_lines(std::move(lines)), m_kind(kind)
{
    m_totalBytes = 4; // "P" CR twice
    if (m_kind == Kind::SendAndRun)
        m_totalBytes += 2;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QByteArrayView line = m_lines.at(i);
        if (isKeptFromUnit(line))
            continue;
        ++m_linesToSend;
        m_totalBytes += line.size() + 1;
    }
}

bool Download::atEnd() const { return m_phase == Phase::Done; }

bool Download::nextIsLine() const { return m_phase == Phase::Lines; }

void Download::skipComments()
{
    while (m_index < m_lines.size() && isKeptFromUnit(m_lines.at(m_index)))
        ++m_index;
}

Download::Phase Download::phaseAfter(Phase p) const
{
    switch (p) {
    case Phase::OpenP:
        return Phase::OpenCr;
    case Phase::OpenCr:
        return Phase::Lines;
    case Phase::Lines:
        return Phase::CloseP;
    case Phase::CloseP:
        return Phase::CloseCr;
    case Phase::CloseCr:
        if (m_kind == Kind::SendAndRun && !m_cut)
            return Phase::RunE;
        return m_stop ? Phase::StopK : Phase::Done;
    case Phase::RunE:
        return Phase::RunCr;
    case Phase::RunCr:
        return m_stop ? Phase::StopK : Phase::Done;
    case Phase::StopK:
        return Phase::StopCr;
    case Phase::StopCr:
    case Phase::Done:
        break;
    }
    return Phase::Done;
}

Download::Write Download::next()
{
    Write w;
    switch (m_phase) {
    case Phase::OpenP:
    case Phase::CloseP:
        w.bytes = QByteArrayLiteral("P");
        break;
    case Phase::OpenCr:
    case Phase::CloseCr:
    case Phase::RunCr:
    case Phase::StopCr:
        w.bytes = QByteArrayLiteral("\r");
        break;
    case Phase::RunE:
        w.bytes = QByteArrayLiteral("E");
        break;
    case Phase::StopK:
        w.bytes = QByteArrayLiteral("K");
        break;
    case Phase::Lines: {
        const QByteArrayView line = m_lines.at(m_index++);
        w.type = Write::Type::Line;
        w.bytes.reserve(line.size() + 1);
        w.bytes.append(line.data(), line.size());
        w.bytes.append('\r');
        ++m_linesSent;
        skipComments();
        if (m_index >= m_lines.size())
            m_phase = Phase::CloseP;
        return w;
    }
    case Phase::Done:
        return w;
    }
    m_phase = phaseAfter(m_phase);
    if (m_phase == Phase::Lines) {
        skipComments();
        if (m_index >= m_lines.size())
            m_phase = Phase::CloseP;
    }
    return w;
}

void Download::cancel()
{
    if (m_phase == Phase::Done)
        return;
    m_cut = true;
    if (m_phase == Phase::Lines || m_phase == Phase::OpenCr || m_phase == Phase::OpenP)
        m_index = m_lines.size();
    if (m_phase == Phase::Lines)
        m_phase = Phase::CloseP;
    // A run command not begun yet is dropped; one already begun is finished so the unit is
    // never left holding half a command.
    if (m_phase == Phase::RunE)
        m_phase = m_stop ? Phase::StopK : Phase::Done;
}

void Download::stop()
{
    if (m_phase == Phase::Done)
        return;
    m_stop = true;
    cancel();
}

} // namespace kr44
