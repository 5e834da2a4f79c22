#pragma once

#include <QString>
#include <QStringList>

class QSettings;

namespace kr44 {

struct XdgPaths;

// Putting the program on the desktop and taking it off again: its registration files (see
// desktopentry.h), the default application for its file type, and its settings.

struct RegisterResult
{
    QStringList written;         // files that were missing or different
    QStringList removed;         // files of an earlier per-user registration taken away
    bool claimedDefault = false; // mimeapps.list gained the default line
    QStringList failed;          // files that could not be written or removed
    [[nodiscard]] bool ok() const { return failed.isEmpty(); }
    [[nodiscard]] bool changed() const
    {
        return !written.isEmpty() || !removed.isEmpty() || claimedDefault;
    }
};

// Writes the registration files that are missing or differ (so a start that finds them in place
// writes nothing), and makes the program the default for its file type when no application is.
// Files the registration wrote under its names from before the application id are removed: they
// would be a second menu entry.
RegisterResult registerFileType(const XdgPaths &paths, const QString &executablePath);

// Whether the program at `executablePath` is installed: it lies in PREFIX/bin, and PREFIX/share
// is one of the XDG data folders and holds the program's desktop entry, so that the desktop finds
// the entry, the file type and the icons there.
[[nodiscard]] bool isInstalledProgram(const XdgPaths &paths, const QString &executablePath);

// What a start does for the desktop. A program run from a build tree registers itself for the
// user (registerFileType()). An installed one writes nothing; it takes away the files of a
// per-user registration found in place, whose entry would hide the system's under the same id.
RegisterResult registerForDesktop(const XdgPaths &paths, const QString &executablePath);

struct UnregisterResult
{
    QStringList remaining; // what could not be removed
    [[nodiscard]] bool ok() const { return remaining.isEmpty(); }
};

// Removes the registration files (those under the old names too), the default line it added to
// mimeapps.list (only while it still names this program) and the folders that are left empty.
UnregisterResult unregisterFileType(const XdgPaths &paths);

// Empties the application's settings and deletes their file, and the organisation's folder when
// that is left empty. False when something remained.
bool removeApplicationSettings(QSettings &settings);

// "Unregister" in full: file type and settings. The text to report is unregisterMessage(ok()).
UnregisterResult unregisterApplication(const XdgPaths &paths, QSettings &settings);
[[nodiscard]] QString unregisterMessage(bool allRemoved);

} // namespace kr44
