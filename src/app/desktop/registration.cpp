#include "app/desktop/registration.h"

#include "app/desktop/desktopentry.h"
#include "app/desktop/fileaccess_p.h"
#include "app/desktop/mimeapps.h"
#include "app/desktop/xdgpaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace kr44 {

using internal::hasFilesWithSuffix;
using internal::readFile;
using internal::writeFile;

namespace {

QString userMimeAppsList(const XdgPaths &paths)
{
    return paths.configHome + QStringLiteral("/mimeapps.list");
}

bool removeFileIfPresent(const QString &path)
{
    return !QFileInfo::exists(path) || QFile::remove(path);
}

constexpr char kLegacyDesktopFileId[] = "kr44.desktop";

// The files the per-user registration wrote under its names from before the application id.
QStringList legacyFiles(const XdgPaths &paths)
{
    return {paths.dataHome + QStringLiteral("/applications/") + QLatin1String(kLegacyDesktopFileId),
            paths.dataHome + QStringLiteral("/mime/packages/kr44-program.xml"),
            paths.dataHome + QStringLiteral("/icons/hicolor/scalable/apps/kr44.svg")};
}

// Every file the per-user registration may have written, under its old names and its new.
QStringList ownFiles(const XdgPaths &paths)
{
    QStringList files = legacyFiles(paths);
    for (const RegistrationFile &file : registrationFiles(paths, QString()))
        files.append(file.path);
    return files;
}

// Takes `desktopId` out of the program type's defaults in the user's mimeapps.list; the file
// goes when nothing else is left in it. False when it could not be changed.
bool removeDefault(const XdgPaths &paths, const char *desktopId)
{
    const QString list = userMimeAppsList(paths);
    bool exists = false;
    const QByteArray before = readFile(list, &exists);
    if (!exists)
        return true;
    const QByteArray after = withoutMimeAppsDefault(before, QLatin1String(kProgramMimeType),
                                                    QLatin1String(desktopId));
    return after == before
            || (after.trimmed().isEmpty() ? QFile::remove(list) : writeFile(list, after));
}

// Removes `folder` and its parents while they are empty, stopping at `top` (kept).
void removeEmptyFolders(QString folder, const QString &top)
{
    while (folder.startsWith(top + QLatin1Char('/')) && QDir(folder).isEmpty()) {
        if (!QDir().rmdir(folder))
            return;
        folder = QFileInfo(folder).path();
    }
}

// The files update-mime-database writes beside packages/.
const char *const kGeneratedMimeFiles[]
        = {"XMLnamespaces", "aliases",    "generic-icons", "globs",     "globs2", "icons",
           "magic",         "mime.cache", "subclasses",    "treemagic", "types",  "version"};

// With no package left the generated database describes nothing: remove it, and each media
// type folder that holds nothing but generated type files.
bool removeGeneratedMimeDatabase(const QString &mimeFolder)
{
    bool ok = true;
    for (const char *name : kGeneratedMimeFiles)
        ok = removeFileIfPresent(mimeFolder + QLatin1Char('/') + QLatin1String(name)) && ok;
    const QDir dir(mimeFolder);
    for (const QString &sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (sub == QLatin1String("packages"))
            continue;
        QDir media(dir.filePath(sub));
        const QStringList all
                = media.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        const QStringList xml = media.entryList({QStringLiteral("*.xml")}, QDir::Files);
        if (all.size() != xml.size())
            continue;
        for (const QString &f : xml)
            ok = media.remove(f) && ok;
        ok = dir.rmdir(sub) && ok;
    }
    return ok;
}

} // namespace

RegisterResult registerFileType(const XdgPaths &paths, const QString &executablePath)
{
    RegisterResult result;
    for (const QString &path : legacyFiles(paths)) {
        if (QFileInfo::exists(path))
            (QFile::remove(path) ? result.removed : result.failed).append(path);
    }
    if (!removeDefault(paths, kLegacyDesktopFileId))
        result.failed.append(userMimeAppsList(paths));
    for (const RegistrationFile &file : registrationFiles(paths, executablePath)) {
        bool exists = false;
        if (readFile(file.path, &exists) == file.contents && exists)
            continue;
        if (writeFile(file.path, file.contents))
            result.written.append(file.path);
        else
            result.failed.append(file.path);
    }
    const QString mime = QLatin1String(kProgramMimeType);
    if (currentDefaultApplication(paths, mime).isEmpty()) {
        const QString list = userMimeAppsList(paths);
        if (writeFile(list,
                      withMimeAppsDefault(readFile(list), mime, QLatin1String(kDesktopFileId))))
            result.claimedDefault = true;
        else
            result.failed.append(list);
    }
    return result;
}

UnregisterResult unregisterFileType(const XdgPaths &paths)
{
    UnregisterResult result;
    for (const QString &path : ownFiles(paths)) {
        if (!removeFileIfPresent(path))
            result.remaining.append(path);
    }
    const bool defaultRemoved = removeDefault(paths, kDesktopFileId);
    if (!removeDefault(paths, kLegacyDesktopFileId) || !defaultRemoved)
        result.remaining.append(userMimeAppsList(paths));

    const QString mime = paths.dataHome + QStringLiteral("/mime");
    if (!hasFilesWithSuffix(mime + QStringLiteral("/packages"), QStringLiteral("*.xml"))
        && !removeGeneratedMimeDatabase(mime))
        result.remaining.append(mime);
    const QString applications = paths.dataHome + QStringLiteral("/applications");
    if (!hasFilesWithSuffix(applications, QStringLiteral("*.desktop"))
        && !removeFileIfPresent(applications + QStringLiteral("/mimeinfo.cache")))
        result.remaining.append(applications + QStringLiteral("/mimeinfo.cache"));

    for (const QString &path : ownFiles(paths))
        removeEmptyFolders(QFileInfo(path).path(), paths.dataHome);
    removeEmptyFolders(mime, paths.dataHome);
    removeEmptyFolders(applications, paths.dataHome);
    return result;
}

bool isInstalledProgram(const XdgPaths &paths, const QString &executablePath)
{
    const QDir bin = QFileInfo(executablePath).absoluteDir();
    const QString share = QFileInfo(bin.filePath(QStringLiteral("../share"))).canonicalFilePath();
    if (bin.dirName() != QLatin1String("bin") || share.isEmpty())
        return false;
    for (const QString &dataDir : paths.dataDirs) {
        if (QFileInfo(dataDir).canonicalFilePath() == share)
            return QFileInfo::exists(share + QStringLiteral("/applications/")
                                     + QLatin1String(kDesktopFileId));
    }
    return false;
}

RegisterResult registerForDesktop(const XdgPaths &paths, const QString &executablePath)
{
    if (!isInstalledProgram(paths, executablePath))
        return registerFileType(paths, executablePath);
    RegisterResult result;
    for (const QString &path : ownFiles(paths)) {
        if (QFileInfo::exists(path))
            result.removed.append(path);
    }
    // Only then: taking away a registration also removes generated databases it finds alone.
    if (!result.removed.isEmpty())
        result.failed = unregisterFileType(paths).remaining;
    for (const QString &path : std::as_const(result.failed))
        result.removed.removeAll(path);
    return result;
}

bool removeApplicationSettings(QSettings &settings)
{
    settings.clear();
    settings.sync();
    const QString path = settings.fileName();
    bool ok = settings.status() == QSettings::NoError && removeFileIfPresent(path);
    const QString organisation = settings.organizationName();
    const QFileInfo folder(QFileInfo(path).path());
    if (!organisation.isEmpty() && folder.fileName() == organisation
        && QDir(folder.filePath()).isEmpty())
        ok = QDir().rmdir(folder.filePath()) && ok;
    return ok;
}

UnregisterResult unregisterApplication(const XdgPaths &paths, QSettings &settings)
{
    UnregisterResult result = unregisterFileType(paths);
    if (!removeApplicationSettings(settings))
        result.remaining.append(settings.fileName());
    return result;
}

QString unregisterMessage(bool allRemoved)
{
    return allRemoved ? QCoreApplication::translate("kr44::Registration",
                                                    "System registry entries have been removed "
                                                    "and the INI file (if any) was deleted.")
                      : QCoreApplication::translate(
                              "kr44::Registration",
                              "Not all of the system registry entries (or INI file) were removed.");
}

} // namespace kr44
