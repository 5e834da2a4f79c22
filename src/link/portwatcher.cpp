#include "link/portwatcher.h"

#include "link/seriallink.h"

#include <QDir>
#include <QFileInfo>

namespace kr44 {

namespace {
// The device's folder and the two above it.
constexpr int kFolderLevels = 3;
} // namespace

PortWatcher::PortWatcher(kr44::SerialLink *link, QObject *parent) : QObject(parent), m_link(link)
{
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &PortWatcher::check);
    connect(&m_folders, &QFileSystemWatcher::directoryChanged, this, &PortWatcher::check);
    connect(m_link, &SerialLink::portLost, this, [this] { watch(m_link->portName()); });
    connect(m_link, &SerialLink::linkStateChanged, this, [this](bool connected) {
        if (connected)
            stop();
    });
}

void PortWatcher::watch(const QString &name)
{
    stop();
    if (name.isEmpty())
        return;
    m_name = name;
    watchFolders();
    m_timer.start();
}

void PortWatcher::stop()
{
    m_name.clear();
    m_timer.stop();
    if (const QStringList watched = m_folders.directories(); !watched.isEmpty())
        m_folders.removePaths(watched);
}

void PortWatcher::check()
{
    if (m_name.isEmpty())
        return;
    // A folder that has just appeared (the first adapter plugged in) is watched from now on.
    watchFolders();
    if (!QFileInfo::exists(m_name))
        return;
    const QString name = m_name;
    // An open that fails (the device not yet usable) leaves the watch on for the next look.
    if (m_link->openPort())
        Q_EMIT reopened(name);
}

void PortWatcher::watchFolders()
{
    // The serial port takes a bare name as a device in /dev.
    QString folder = QFileInfo(m_name.startsWith(u'/') ? m_name : QStringLiteral("/dev/") + m_name)
                             .absolutePath();
    QStringList folders;
    for (int level = 0; level < kFolderLevels && folder != QDir::rootPath(); ++level) {
        if (QFileInfo(folder).isDir() && !m_folders.directories().contains(folder))
            folders << folder;
        folder = QFileInfo(folder).absolutePath();
    }
    if (!folders.isEmpty())
        m_folders.addPaths(folders);
}

} // namespace kr44
