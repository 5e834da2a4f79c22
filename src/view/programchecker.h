#pragma once

#include "model/linearray.h"
#include "view/findingindex.h"

#include <QObject>

#include <functional>
#include <memory>

class QTimer;

namespace kr44 {

// Keeps the findings of a program up to date without slowing its editing: a change only asks
// for a check (schedule()), and once the event loop is free again the lines are read (a cheap
// copy) and checked on a worker thread, however many changes asked for it in the meantime. The
// findings come back to this object's thread; findings of lines that have changed since are
// dropped and the newest lines are checked instead, so what findings() holds always answers some
// state the rows have had, and in the end their last one.
class ProgramChecker final : public QObject
{
    Q_OBJECT

public:
    // Builds the lines to check. Runs on the worker, so it must hold its own copies of what it
    // reads (implicitly shared Qt containers are fine: they copy themselves when written to).
    using LineReader = std::function<LineArray()>;
    // Called on this object's thread when a check starts: a reader of the lines as they are now.
    using LineSource = std::function<LineReader()>;

    explicit ProgramChecker(QObject *parent = nullptr);
    // Does not wait for a check still running: its findings are dropped.
    ~ProgramChecker() override;

    void setSource(LineSource source) { m_source = std::move(source); }
    // How long a requested check waits before it starts, in milliseconds: 0 (the default) starts
    // it at the next turn of the event loop. Requests made meanwhile join it.
    void setDelay(int milliseconds);
    [[nodiscard]] int delay() const;

    [[nodiscard]] const FindingIndex &findings() const { return m_findings; }
    // A check has been asked for and its findings are not in yet: it is waiting for its turn, or
    // running on the worker.
    [[nodiscard]] bool isPending() const { return m_answered != m_requested; }
    // Checks whose findings have come in so far (dropped ones not counted).
    [[nodiscard]] int checkCount() const { return m_checks; }

public Q_SLOTS:
    void schedule();
    // Checks at once on this thread, taking the place of a pending or running check.
    void checkNow();

Q_SIGNALS:
    // The findings differ from those of the previous check.
    void findingsChanged();
    // After every check, whether or not the findings changed (after findingsChanged()).
    void checked();

private:
    struct Mailbox;

    void startCheck();
    void takeResult(quint64 request, const FindingIndex &findings);
    void deliver(quint64 request, FindingIndex findings);

    QTimer *m_timer;
    LineSource m_source;
    FindingIndex m_findings;
    int m_checks = 0;
    quint64 m_requested = 0; // changes asked about so far
    quint64 m_answered = 0;  // the last of them that findings() answers
    bool m_running = false;  // a check is on the worker
    std::shared_ptr<Mailbox> m_mailbox;
};

} // namespace kr44
