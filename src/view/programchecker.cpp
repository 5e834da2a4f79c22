#include "view/programchecker.h"

#include <QThreadPool>
#include <QTimer>

#include <mutex>

// Where a worker hands its findings in. A worker outlives its checker when the program window is
// closed mid-check; the lock keeps the checker from going while a worker posts to it, and after
// that the receiver is gone and the findings go nowhere.

namespace kr44 {

struct ProgramChecker::Mailbox
{
    std::mutex mutex;
    ProgramChecker *receiver = nullptr;
};

ProgramChecker::ProgramChecker(QObject *parent)
    : QObject(parent), m_timer(new QTimer(this)), m_mailbox(std::make_shared<Mailbox>())
{
    setObjectName(QStringLiteral("programChecker"));
    m_mailbox->receiver = this;
    m_timer->setSingleShot(true);
    m_timer->setInterval(0);
    connect(m_timer, &QTimer::timeout, this, &ProgramChecker::startCheck);
}

ProgramChecker::~ProgramChecker()
{
    const std::lock_guard<std::mutex> lock(m_mailbox->mutex);
    m_mailbox->receiver = nullptr;
}

void ProgramChecker::setDelay(int milliseconds) { m_timer->setInterval(std::max(milliseconds, 0)); }

int ProgramChecker::delay() const { return m_timer->interval(); }

void ProgramChecker::schedule()
{
    ++m_requested;
    // Restarting would let a steady stream of changes put the check off for good. A check on the
    // worker is answered first; its findings are then stale and the next check follows.
    if (!m_timer->isActive() && !m_running)
        m_timer->start();
}

void ProgramChecker::startCheck()
{
    if (m_running || !isPending())
        return;
    if (!m_source) {
        deliver(m_requested, FindingIndex());
        return;
    }
    m_running = true;
    QThreadPool::globalInstance()->start([mailbox = m_mailbox, read = m_source(),
                                          request = m_requested] {
        const FindingIndex findings(checkProgram(read()));
        const std::lock_guard<std::mutex> lock(mailbox->mutex);
        if (ProgramChecker *receiver = mailbox->receiver) {
            QMetaObject::invokeMethod(
                    receiver,
                    [receiver, request, findings] { receiver->takeResult(request, findings); },
                    Qt::QueuedConnection);
        }
    });
}

void ProgramChecker::takeResult(quint64 request, const FindingIndex &findings)
{
    m_running = false;
    if (request > m_answered && request == m_requested)
        deliver(request, findings);
    else if (isPending() && !m_timer->isActive())
        m_timer->start();
}

void ProgramChecker::checkNow()
{
    m_timer->stop();
    // A check still on the worker saw no newer lines than these: its findings will be dropped.
    deliver(m_requested, FindingIndex(m_source ? checkProgram(m_source()()) : QList<Finding>()));
}

void ProgramChecker::deliver(quint64 request, FindingIndex findings)
{
    m_answered = request;
    ++m_checks;
    const bool changed = findings != m_findings;
    if (changed) {
        m_findings = std::move(findings);
        Q_EMIT findingsChanged();
    }
    Q_EMIT checked();
}

} // namespace kr44
