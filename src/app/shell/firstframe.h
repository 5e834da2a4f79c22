#pragma once

#include <QObject>

#include <functional>
#include <vector>

class QTimer;
class QWidget;

namespace kr44 {

// Runs work once a window has shown its first frame: after its first paint has finished (the
// next turn of the event loop, when every child has painted too), or, should no paint come, a
// while after the window was first shown. Work that the first frame does not need waits here,
// so the window appears sooner.
class FirstFrame final : public QObject
{
    Q_OBJECT

public:
    // Watches `window`; `fallbackMs` after its first show the work runs even without a paint.
    explicit FirstFrame(QWidget *window, int fallbackMs = 1000);

    // Runs `work` once the first frame is up, or at once if it already is. Work runs in the
    // order it was queued.
    void whenShown(std::function<void()> work);
    // Runs the queued work now and everything queued later at once (a window that is never
    // going to be shown, or a caller that cannot wait).
    void release();
    [[nodiscard]] bool isShown() const { return m_shown; }

Q_SIGNALS:
    // The first frame is up; the queued work runs right after this.
    void shown();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QTimer *m_fallback;
    std::vector<std::function<void()>> m_work;
    bool m_painted = false;
    bool m_shown = false;
};

} // namespace kr44
