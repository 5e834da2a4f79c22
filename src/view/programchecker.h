#pragma once

#include "findingindex.h"
#include "linearray.h"

#include <QObject>

#include <functional>

class QTimer;

namespace kr44 {

// Keeps the findings of a program up to date without slowing its editing: a change only asks
// for a check (schedule()), and the check runs once the event loop is free again, however many
// changes asked for it in the meantime. The lines are read when the check runs.
class ProgramChecker final : public QObject
{
    Q_OBJECT

public:
    using LineSource = std::function<LineArray()>;

    explicit ProgramChecker(QObject *parent = nullptr);

    void setSource(LineSource source) { m_source = std::move(source); }
    // How long a requested check waits, in milliseconds: 0 (the default) runs it at the next
    // turn of the event loop. Requests made meanwhile join it.
    void setDelay(int milliseconds);
    [[nodiscard]] int delay() const;

    [[nodiscard]] const FindingIndex &findings() const { return m_findings; }
    // A check has been asked for and has not run yet.
    [[nodiscard]] bool isPending() const;
    // Checks run so far.
    [[nodiscard]] int checkCount() const { return m_checks; }

public Q_SLOTS:
    void schedule();
    // Checks at once, taking the place of a pending check.
    void checkNow();

Q_SIGNALS:
    // The findings differ from those of the previous check.
    void findingsChanged();
    // After every check, whether or not the findings changed (after findingsChanged()).
    void checked();

private:
    QTimer *m_timer;
    LineSource m_source;
    FindingIndex m_findings;
    int m_checks = 0;
};

} // namespace kr44
