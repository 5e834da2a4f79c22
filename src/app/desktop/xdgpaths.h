#pragma once

#include <QString>
#include <QStringList>

namespace kr44 {

// The per-user and system folders of the XDG base directories.
struct XdgPaths
{
    QString dataHome;       // $XDG_DATA_HOME, else ~/.local/share
    QString configHome;     // $XDG_CONFIG_HOME, else ~/.config
    QStringList dataDirs;   // $XDG_DATA_DIRS, else /usr/local/share and /usr/share
    QStringList configDirs; // $XDG_CONFIG_DIRS, else /etc/xdg
    QStringList desktops;   // $XDG_CURRENT_DESKTOP, lower case

    // Relative values are ignored, as the base directory rules say.
    [[nodiscard]] static XdgPaths fromEnvironment();
};

} // namespace kr44
