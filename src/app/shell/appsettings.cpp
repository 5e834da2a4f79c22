#include "app/shell/appsettings.h"

#include "model/instructionset.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace kr44 {

void CommSettings::load(QSettings &settings)
{
    settings.beginGroup(QStringLiteral("Communication"));
    port = settings.value(QStringLiteral("COMPort"), QStringLiteral("COM1")).toString();
    // The rate is stored as text and read like the unit's numbers: leading digits, 0 for none.
    baud = kr44::leadingInt(settings.value(QStringLiteral("BaudRate"), QStringLiteral("19200"))
                                    .toString()
                                    .toLatin1());
    settings.endGroup();
}

void CommSettings::save(QSettings &settings) const
{
    settings.beginGroup(QStringLiteral("Communication"));
    settings.setValue(QStringLiteral("COMPort"), port);
    settings.setValue(QStringLiteral("BaudRate"), QString::number(baud));
    settings.endGroup();
}

void RecentFileList::load(QSettings &settings)
{
    m_entries.clear();
    settings.beginGroup(QStringLiteral("Recent File List"));
    for (int i = 1; i <= kMaxEntries; ++i) {
        const QString path = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty())
            m_entries.append(path);
    }
    settings.endGroup();
}

void RecentFileList::save(QSettings &settings) const
{
    settings.beginGroup(QStringLiteral("Recent File List"));
    for (int i = 1; i <= kMaxEntries; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= m_entries.size())
            settings.setValue(key, m_entries.at(i - 1));
        else
            settings.remove(key);
    }
    settings.endGroup();
}

void RecentFileList::add(const QString &path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    m_entries.removeAll(full);
    m_entries.prepend(full);
    while (m_entries.size() > kMaxEntries)
        m_entries.removeLast();
}

void RecentFileList::remove(const QString &path)
{
    m_entries.removeAll(QFileInfo(path).absoluteFilePath());
}

QString RecentFileList::menuText(int index) const
{
    QString shown = abbreviatePath(QDir::toNativeSeparators(m_entries.at(index)), kDisplayLength);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

QString abbreviatePath(const QString &path, int length)
{
    if (path.size() <= length)
        return path;
    const QString ellipsis = QStringLiteral("...");
    const int slash = int(path.lastIndexOf(QLatin1Char('/')));
    const QString name = path.mid(slash + 1);
    if (slash < 0 || name.size() + ellipsis.size() + 1 > length)
        return name.size() <= length ? name : name.left(length - ellipsis.size()) + ellipsis;
    // Keep the root folder and as many of the last folders as fit before the file name.
    const int firstSlash = int(path.indexOf(QLatin1Char('/'), 1));
    QString head = path.left(firstSlash + 1);
    QString tail = QLatin1Char('/') + name;
    int cut = slash;
    while (cut > firstSlash) {
        const int prev = int(path.lastIndexOf(QLatin1Char('/'), cut - 1));
        if (prev < firstSlash)
            break;
        const QString candidate = path.mid(prev, cut - prev) + tail;
        if (head.size() + ellipsis.size() + candidate.size() > length)
            break;
        tail = candidate;
        cut = prev;
    }
    if (head.size() + ellipsis.size() + tail.size() > length)
        head.clear();
    return head + ellipsis + tail;
}

int loadPreviewPages(QSettings &settings)
{
    return settings.value(QStringLiteral("Settings/PreviewPages"), 0).toInt();
}

void savePreviewPages(QSettings &settings, int pages)
{
    settings.setValue(QStringLiteral("Settings/PreviewPages"), pages);
}

QString loadLineLogFile(QSettings &settings)
{
    return settings.value(QStringLiteral("Communication/LineLog")).toString();
}

void saveLineLogFile(QSettings &settings, const QString &path)
{
    if (path.isEmpty())
        settings.remove(QStringLiteral("Communication/LineLog"));
    else
        settings.setValue(QStringLiteral("Communication/LineLog"), path);
}

} // namespace kr44
