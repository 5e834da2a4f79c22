#include "app/desktop/desktopintegration.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

namespace kr44 {

namespace {

QByteArray resource(const QString &name)
{
    QFile file(QStringLiteral(":/kr44/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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

// The escapes of a desktop entry's string values.
QString escapeValue(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QByteArray readFile(const QString &path, bool *exists = nullptr)
{
    QFile file(path);
    const bool opened = file.open(QIODevice::ReadOnly);
    if (exists)
        *exists = opened;
    return opened ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &contents)
{
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(contents) != contents.size())
        return false;
    return file.commit();
}

QString userMimeAppsList(const XdgPaths &paths)
{
    return paths.configHome + QStringLiteral("/mimeapps.list");
}

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

bool removeFileIfPresent(const QString &path)
{
    return !QFileInfo::exists(path) || QFile::remove(path);
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

bool hasFilesWithSuffix(const QString &folder, const QString &pattern)
{
    return !QDir(folder).entryList({pattern}, QDir::Files).isEmpty();
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
    if (!hasFilesWithSuffix(folder, pattern))
        return !QFileInfo::exists(database);
    const QFileInfo db(database);
    return db.exists()
            && db.lastModified().toMSecsSinceEpoch() > newestModification(folder, pattern);
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

QString desktopExecArgument(const QString &argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString arg = argument;
    arg.replace(QLatin1Char('%'), QLatin1String("%%"));
    bool needsQuotes = arg.isEmpty();
    for (const QChar c : arg)
        needsQuotes = needsQuotes || reserved.contains(c);
    if (needsQuotes) {
        QString quoted = QStringLiteral("\"");
        for (const QChar c : arg) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$')
                || c == QLatin1Char('\\'))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        quoted += QLatin1Char('"');
        arg = quoted;
    }
    return escapeValue(arg);
}

QByteArray desktopEntry(const QString &executablePath)
{
    QByteArray text = resource(QStringLiteral("desktop/kr44.desktop"));
    text.replace("@TRYEXEC@", escapeValue(executablePath).toUtf8());
    text.replace("@EXEC@", desktopExecArgument(executablePath).toUtf8());
    return text;
}

QByteArray mimePackage() { return resource(QStringLiteral("desktop/kr44-program.xml")); }

QList<RegistrationFile> registrationFiles(const XdgPaths &paths, const QString &executablePath)
{
    const QString icons = paths.dataHome + QStringLiteral("/icons/hicolor/scalable/");
    return {
            {paths.dataHome + QStringLiteral("/applications/") + QLatin1String(kDesktopFileId),
             desktopEntry(executablePath)},
            {paths.dataHome + QStringLiteral("/mime/packages/") + QLatin1String(kMimePackageName),
             mimePackage()},
            {icons + QStringLiteral("apps/") + QLatin1String(kAppIconName) + QStringLiteral(".svg"),
             resource(QStringLiteral("icons/kr44.svg"))},
            {icons + QStringLiteral("mimetypes/") + QLatin1String(kProgramIconName)
                     + QStringLiteral(".svg"),
             resource(QStringLiteral("icons/application-x-kr44-program.svg"))},
    };
}

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
        const QStringList ids = mimeAppsDefaults(readFile(list), mimeType);
        if (!ids.isEmpty())
            return ids.first();
    }
    return {};
}

RegisterResult registerFileType(const XdgPaths &paths, const QString &executablePath)
{
    RegisterResult result;
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
    for (const RegistrationFile &file : registrationFiles(paths, QString())) {
        if (!removeFileIfPresent(file.path))
            result.remaining.append(file.path);
    }

    const QString list = userMimeAppsList(paths);
    bool exists = false;
    const QByteArray before = readFile(list, &exists);
    if (exists) {
        const QByteArray after = withoutMimeAppsDefault(before, QLatin1String(kProgramMimeType),
                                                        QLatin1String(kDesktopFileId));
        const bool done = after == before
                || (after.trimmed().isEmpty() ? QFile::remove(list) : writeFile(list, after));
        if (!done)
            result.remaining.append(list);
    }

    const QString mime = paths.dataHome + QStringLiteral("/mime");
    if (!hasFilesWithSuffix(mime + QStringLiteral("/packages"), QStringLiteral("*.xml"))
        && !removeGeneratedMimeDatabase(mime))
        result.remaining.append(mime);
    const QString applications = paths.dataHome + QStringLiteral("/applications");
    if (!hasFilesWithSuffix(applications, QStringLiteral("*.desktop"))
        && !removeFileIfPresent(applications + QStringLiteral("/mimeinfo.cache")))
        result.remaining.append(applications + QStringLiteral("/mimeinfo.cache"));

    for (const RegistrationFile &file : registrationFiles(paths, QString()))
        removeEmptyFolders(QFileInfo(file.path).path(), paths.dataHome);
    removeEmptyFolders(mime, paths.dataHome);
    removeEmptyFolders(applications, paths.dataHome);
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
    return allRemoved
            ? QStringLiteral("System registry entries have been removed and the INI file (if any) "
                             "was deleted.")
            : QStringLiteral("Not all of the system registry entries (or INI file) were removed.");
}

QList<VersionEntry> versionInformation(const QString &executableFileName)
{
    return {
            {QStringLiteral("File version"), QStringLiteral("1.0.0.1")},
            {QStringLiteral("FileVersion"), QStringLiteral("2.0.00")},
            {QStringLiteral("ProductVersion"), QStringLiteral("2.0")},
            {QStringLiteral("ProductName"), QStringLiteral("KR44 Application")},
            {QStringLiteral("FileDescription"), QStringLiteral("KR44 Controller  Application")},
            {QStringLiteral("InternalName"), QStringLiteral("KR44")},
            {QStringLiteral("OriginalFilename"), executableFileName},
            {QStringLiteral("CompanyName"), QString()},
    };
}

QString versionText(const QString &executableFileName)
{
    const QList<VersionEntry> entries = versionInformation(executableFileName);
    const auto value = [&entries](const char *name) {
        for (const VersionEntry &e : entries) {
            if (e.name == QLatin1String(name))
                return e.value;
        }
        return QString();
    };
    QString out = QStringLiteral("%1 (%2) %3\n")
                          .arg(executableFileName, value("ProductName"), value("ProductVersion"));
    for (const VersionEntry &e : entries)
        out += (e.name + QLatin1Char(':')).leftJustified(18) + e.value + QLatin1Char('\n');
    return out;
}

QString aboutVersionText() { return QStringLiteral("KR44 Controller Version 1.0"); }

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
    return kr44::readFile(cache).contains(QByteArray(kr44::kDesktopFileId) + ';') == registered;
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
