#include "app/shell/firstframe.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace kr44 {

FirstFrame::FirstFrame(QWidget *window, int fallbackMs)
    : QObject(window), m_window(window), m_fallback(new QTimer(this))
{
    setObjectName(QStringLiteral("firstFrame"));
    m_fallback->setSingleShot(true);
    m_fallback->setInterval(fallbackMs);
    connect(m_fallback, &QTimer::timeout, this, &FirstFrame::release);
    window->installEventFilter(this);
}

void FirstFrame::whenShown(std::function<void()> work)
{
    if (m_shown)
        work();
    else
        m_work.push_back(std::move(work));
}

void FirstFrame::release()
{
    if (m_shown)
        return;
    m_shown = true;
    m_fallback->stop();
    m_window->removeEventFilter(this);
    Q_EMIT shown();
    // Work queued from here on runs at once.
    std::vector<std::function<void()>> work;
    work.swap(m_work);
    for (auto &w : work)
        w();
}

bool FirstFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && !m_shown) {
        if (event->type() == QEvent::Show && !m_fallback->isActive() && !m_painted) {
            m_fallback->start();
        } else if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            // The children paint after the window within the same frame: wait until it is out.
            QTimer::singleShot(0, this, &FirstFrame::release);
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kr44
