#include "programchecker.h"

#include <QTimer>

namespace kr44 {

ProgramChecker::ProgramChecker(QObject *parent) : QObject(parent), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("programChecker"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(0);
    connect(m_timer, &QTimer::timeout, this, &ProgramChecker::checkNow);
}

void ProgramChecker::setDelay(int milliseconds)
{
    m_timer->setInterval(std::max(milliseconds, 0));
}

int ProgramChecker::delay() const
{
    return m_timer->interval();
}

bool ProgramChecker::isPending() const
{
    return m_timer->isActive();
}

void ProgramChecker::schedule()
{
    // Restarting would let a steady stream of changes put the check off for good.
    if (!m_timer->isActive())
        m_timer->start();
}

void ProgramChecker::checkNow()
{
    m_timer->stop();
    FindingIndex next(m_source ? checkProgram(m_source()) : QList<Finding>());
    ++m_checks;
    const bool changed = next != m_findings;
    if (changed)
        m_findings = std::move(next);
    if (changed)
        Q_EMIT findingsChanged();
    Q_EMIT checked();
}

} // namespace kr44
