#include "app/desktop/databaseupdater.h"

#include "app/desktop/desktopentry.h"
#include "app/desktop/fileaccess_p.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace kr44 {

namespace {

qint64 newestModification(const QString &folder, const QString &pattern)
{
    qint64 newest = QFileInfo(folder).lastModified().toMSecsSinceEpoch();
    const QDir dir(folder);
    for (const QFileInfo &info : dir.entryInfoList({pattern}, QDir::Files))
        newest = qMax(newest, info.lastModified().toMSecsSinceEpoch());
    return newest;
}

bool databaseIsCurrent(const QString &folder, const QString &pattern, const QString &database)
{
    if (!internal::hasFilesWithSuffix(folder, pattern))
        return !QFileInfo::exists(database);
    const QFileInfo db(database);
    return db.exists()
            && db.lastModified().toMSecsSinceEpoch() > newestModification(folder, pattern);
}

} // namespace

DesktopDatabaseUpdater::DesktopDatabaseUpdater(kr44::XdgPaths paths, QObject *parent)
    : QObject(parent), m_paths(std::move(paths))
{}

DesktopDatabaseUpdater::~DesktopDatabaseUpdater()
{
    for (QProcess *process : m_running) {
        process->disconnect(this);
        process->kill();
        process->waitForFinished(1000);
    }
}

bool DesktopDatabaseUpdater::mimeDatabaseIsCurrent() const
{
    const QString mime = m_paths.dataHome + QStringLiteral("/mime");
    return kr44::databaseIsCurrent(mime + QStringLiteral("/packages"), QStringLiteral("*.xml"),
                                   mime + QStringLiteral("/mime.cache"));
}

bool DesktopDatabaseUpdater::desktopDatabaseIsCurrent() const
{
    // The cache lives in the folder it describes, so the folder's own time says nothing; whether
    // the cache names this program tells whether it saw the last registration or removal.
    const QString applications = m_paths.dataHome + QStringLiteral("/applications");
    const QString cache = applications + QStringLiteral("/mimeinfo.cache");
    const QStringList entries
            = QDir(applications).entryList({QStringLiteral("*.desktop")}, QDir::Files);
    if (entries.isEmpty())
        return !QFileInfo::exists(cache);
    const QFileInfo info(cache);
    if (!info.exists())
        return false;
    for (const QString &entry : entries) {
        if (QFileInfo(QDir(applications).filePath(entry)).lastModified() >= info.lastModified())
            return false;
    }
    const bool registered = entries.contains(QLatin1String(kr44::kDesktopFileId));
    return internal::readFile(cache).contains(QByteArray(kr44::kDesktopFileId) + ';') == registered;
}

int DesktopDatabaseUpdater::start()
{
    int started = 0;
    if (!mimeDatabaseIsCurrent()
        && launch(QStringLiteral("update-mime-database"),
                  m_paths.dataHome + QStringLiteral("/mime")))
        ++started;
    if (!desktopDatabaseIsCurrent()
        && launch(QStringLiteral("update-desktop-database"),
                  m_paths.dataHome + QStringLiteral("/applications")))
        ++started;
    return started;
}

bool DesktopDatabaseUpdater::isRunning() const { return !m_running.isEmpty(); }

bool DesktopDatabaseUpdater::launch(const QString &tool, const QString &folder)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty() || !QFileInfo::exists(folder))
        return false;
    auto *process = new QProcess(this);
    // Their notes (such as a folder not being on the search path) are for people, not for us.
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    const auto done = [this, process] {
        if (!m_running.removeOne(process))
            return;
        process->deleteLater();
        if (m_running.isEmpty())
            Q_EMIT finished();
    };
    connect(process, &QProcess::finished, this, done);
    connect(process, &QProcess::errorOccurred, this, [done](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            done();
    });
    m_running.append(process);
    process->start(program, {folder});
    return true;
}

} // namespace kr44
