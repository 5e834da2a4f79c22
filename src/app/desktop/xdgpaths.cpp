#include "app/desktop/xdgpaths.h"

#include <QDir>

namespace kr44 {

namespace {

QString absoluteFromEnv(const char *variable, const QString &fallback)
{
    const QString value = qEnvironmentVariable(variable);
    return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : fallback;
}

QStringList absoluteListFromEnv(const char *variable, const QStringList &fallback)
{
    QStringList out;
    for (const QString &part :
         qEnvironmentVariable(variable).split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(part))
            out.append(QDir::cleanPath(part));
    }
    return out.isEmpty() ? fallback : out;
}

} // namespace

XdgPaths XdgPaths::fromEnvironment()
{
    const QString home = QDir::homePath();
    XdgPaths p;
    p.dataHome = absoluteFromEnv("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
    p.configHome = absoluteFromEnv("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
    p.dataDirs = absoluteListFromEnv(
            "XDG_DATA_DIRS", {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")});
    p.configDirs = absoluteListFromEnv("XDG_CONFIG_DIRS", {QStringLiteral("/etc/xdg")});
    for (const QString &desktop :
         qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        p.desktops.append(desktop.toLower());
    return p;
}

} // namespace kr44
