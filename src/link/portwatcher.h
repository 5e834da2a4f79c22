#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

namespace kr44 {

class SerialLink;

// Brings a lost port back. Once the link's open port is lost (an adapter pulled out), the
// watcher looks for a device under the same name and, when there is one, opens the port again
// with the link's settings. Nothing is sent on the reopened port.
//
// It looks when the folders on the name's way change (the device's folder and up to two above
// it: /dev/serial/by-id, /dev/serial and /dev, which udev creates and removes with the
// adapters) and once a second besides, for a device whose node came before its permissions.
// Any open of the link, by the watcher or anyone else, ends the watch; so does stop().
class PortWatcher : public QObject
{
    Q_OBJECT

public:
    static constexpr int kIntervalMs = 1000;

    explicit PortWatcher(kr44::SerialLink *link, QObject *parent = nullptr);

    // Watches for `name`, as after losing it.
    void watch(const QString &name);
    void stop();
    [[nodiscard]] bool isWatching() const { return !m_name.isEmpty(); }
    // Looks now; reopens the port when the device is there.
    void check();

Q_SIGNALS:
    // The port has been opened again.
    void reopened(const QString &name);

private:
    void watchFolders();

    kr44::SerialLink *m_link;
    QString m_name;
    QTimer m_timer;
    QFileSystemWatcher m_folders;
};

} // namespace kr44
