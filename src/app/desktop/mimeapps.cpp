#include "app/desktop/mimeapps.h"

#include "app/desktop/fileaccess_p.h"
#include "app/desktop/xdgpaths.h"

#include <QList>

namespace kr44 {

namespace {

// The mimeapps.list files in the order the desktop reads them for defaults.
QStringList mimeAppsLookupOrder(const XdgPaths &paths)
{
    QStringList out;
    const auto addFolder = [&out, &paths](const QString &folder) {
        for (const QString &desktop : paths.desktops)
            out.append(folder + QLatin1Char('/') + desktop + QStringLiteral("-mimeapps.list"));
        out.append(folder + QStringLiteral("/mimeapps.list"));
    };
    addFolder(paths.configHome);
    for (const QString &dir : paths.configDirs)
        addFolder(dir);
    addFolder(paths.dataHome + QStringLiteral("/applications"));
    for (const QString &dir : paths.dataDirs)
        addFolder(dir + QStringLiteral("/applications"));
    // The older name, still read by the desktop tools.
    for (const QString &dir : paths.dataDirs)
        out.append(dir + QStringLiteral("/applications/defaults.list"));
    return out;
}

bool isSectionHeader(const QByteArray &trimmed)
{
    return trimmed.startsWith('[') && trimmed.endsWith(']');
}

// The key of a "key=value" line (blanks around '=' allowed), or nothing.
QByteArray lineKey(const QByteArray &trimmed)
{
    const qsizetype eq = trimmed.indexOf('=');
    if (eq <= 0 || trimmed.startsWith('#'))
        return {};
    return trimmed.left(eq).trimmed();
}

QStringList splitIds(const QByteArray &value)
{
    QStringList out;
    for (const QByteArray &id : value.split(';')) {
        const QByteArray t = id.trimmed();
        if (!t.isEmpty())
            out.append(QString::fromUtf8(t));
    }
    return out;
}

QList<QByteArray> splitLines(const QByteArray &text)
{
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QByteArray joinLines(const QList<QByteArray> &lines)
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + '\n';
    return out;
}

constexpr char kDefaultsSection[] = "[Default Applications]";

} // namespace

QStringList mimeAppsDefaults(const QByteArray &text, const QString &mimeType)
{
    const QByteArray key = mimeType.toUtf8();
    bool inDefaults = false;
    for (const QByteArray &line : splitLines(text)) {
        const QByteArray t = line.trimmed();
        if (isSectionHeader(t)) {
            inDefaults = t == kDefaultsSection;
        } else if (inDefaults && lineKey(t) == key) {
            return splitIds(t.mid(t.indexOf('=') + 1));
        }
    }
    return {};
}

QByteArray withMimeAppsDefault(const QByteArray &text, const QString &mimeType,
                               const QString &desktopId)
{
    const QByteArray key = mimeType.toUtf8();
    const QByteArray entry = key + '=' + desktopId.toUtf8() + ';';
    QList<QByteArray> lines = splitLines(text);
    qsizetype section = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray t = lines.at(i).trimmed();
        if (isSectionHeader(t)) {
            if (section >= 0)
                break;
            if (t == kDefaultsSection)
                section = i;
        } else if (section >= 0 && lineKey(t) == key) {
            lines[i] = entry;
            return joinLines(lines);
        }
    }
    if (section < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QByteArray());
        lines.append(kDefaultsSection);
        lines.append(entry);
        return joinLines(lines);
    }
    // After the section's last key, before any blank lines that end it.
    qsizetype insertAt = section + 1;
    for (qsizetype i = section + 1; i < lines.size() && !isSectionHeader(lines.at(i).trimmed());
         ++i) {
        if (!lines.at(i).trimmed().isEmpty())
            insertAt = i + 1;
    }
    lines.insert(insertAt, entry);
    return joinLines(lines);
}

QByteArray withoutMimeAppsDefault(const QByteArray &text, const QString &mimeType,
                                  const QString &desktopId)
{
    const QByteArray key = mimeType.toUtf8();
    QList<QByteArray> lines = splitLines(text);
    qsizetype section = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray t = lines.at(i).trimmed();
        if (isSectionHeader(t)) {
            section = t == kDefaultsSection ? i : -1;
            continue;
        }
        if (section < 0 || lineKey(t) != key)
            continue;
        QStringList ids = splitIds(t.mid(t.indexOf('=') + 1));
        if (!ids.removeAll(desktopId))
            return text;
        if (!ids.isEmpty()) {
            lines[i] = key + '=' + ids.join(QLatin1Char(';')).toUtf8() + ';';
            return joinLines(lines);
        }
        lines.removeAt(i);
        // A section left without any line goes too, with the blank line that set it apart.
        qsizetype end = section + 1;
        bool empty = true;
        for (; end < lines.size() && !isSectionHeader(lines.at(end).trimmed()); ++end)
            empty = empty && lines.at(end).trimmed().isEmpty();
        if (empty) {
            lines.erase(lines.begin() + section, lines.begin() + end);
            if (section > 0 && lines.at(section - 1).trimmed().isEmpty())
                lines.removeAt(section - 1);
        }
        return joinLines(lines);
    }
    return text;
}

QString currentDefaultApplication(const XdgPaths &paths, const QString &mimeType)
{
    for (const QString &list : mimeAppsLookupOrder(paths)) {
        const QStringList ids = mimeAppsDefaults(internal::readFile(list), mimeType);
        if (!ids.isEmpty())
            return ids.first();
    }
    return {};
}

} // namespace kr44
