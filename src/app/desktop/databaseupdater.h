#pragma once

#include "app/desktop/xdgpaths.h"

#include <QList>
#include <QObject>

class QProcess;

namespace kr44 {

// Brings the desktop's file-type and application databases in step with the registration, in the
// background: update-mime-database and update-desktop-database run where they are installed and
// their database is older than the files it is built from. A folder whose last entry was removed
// gets its generated database removed instead.
class DesktopDatabaseUpdater : public QObject
{
    Q_OBJECT

public:
    explicit DesktopDatabaseUpdater(kr44::XdgPaths paths, QObject *parent = nullptr);
    // A tool still running is stopped; the next start finds its database old and runs it again.
    ~DesktopDatabaseUpdater() override;

    // Starts what is needed and returns how many tools it started; finished() follows them.
    int start();
    [[nodiscard]] bool isRunning() const;

    [[nodiscard]] bool mimeDatabaseIsCurrent() const;
    [[nodiscard]] bool desktopDatabaseIsCurrent() const;

Q_SIGNALS:
    // Every tool that start() began has ended.
    void finished();

private:
    bool launch(const QString &tool, const QString &folder);

    kr44::XdgPaths m_paths;
    QList<QProcess *> m_running;
};

} // namespace kr44
