#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QProcess;
class QSettings;

namespace kr44 {

// The program's place on the desktop, per user: a desktop entry with open and print actions, the
// file type of programs (*.krp) and its icons under the XDG data home, and the default
// application for that type in mimeapps.list when no other application has it.

inline constexpr char kProgramMimeType[] = "application/x-kr44-program";
inline constexpr char kDesktopFileId[] = "kr44.desktop";
inline constexpr char kMimePackageName[] = "kr44-program.xml";
inline constexpr char kAppIconName[] = "kr44";
inline constexpr char kProgramIconName[] = "application-x-kr44-program";

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

// One argument of a desktop entry's Exec key: quoted where the entry's rules ask for it, with
// '%' doubled and the value escapes applied.
[[nodiscard]] QString desktopExecArgument(const QString &argument);

// The desktop entry for the program at `executablePath`.
[[nodiscard]] QByteArray desktopEntry(const QString &executablePath);
// The shared-mime-info package that defines the program file type.
[[nodiscard]] QByteArray mimePackage();

struct RegistrationFile
{
    QString path;
    QByteArray contents;
};

// Every file the registration writes: desktop entry, file type, application and file icons.
[[nodiscard]] QList<RegistrationFile> registrationFiles(const XdgPaths &paths,
                                                        const QString &executablePath);

// ---- mimeapps.list ---------------------------------------------------------------------------
// The desktop ids listed as defaults for `mimeType` in one mimeapps.list text.
[[nodiscard]] QStringList mimeAppsDefaults(const QByteArray &text, const QString &mimeType);
// The text with `desktopId` as the default for `mimeType`; every other line is kept.
[[nodiscard]] QByteArray withMimeAppsDefault(const QByteArray &text, const QString &mimeType,
                                             const QString &desktopId);
// The text without `desktopId` among the defaults for `mimeType`: the key goes when nothing else
// is listed, the section header when its section is left empty.
[[nodiscard]] QByteArray withoutMimeAppsDefault(const QByteArray &text, const QString &mimeType,
                                                const QString &desktopId);
// The first default application for `mimeType` that the desktop would use, by the lookup order of
// the mimeapps.list files; empty when none is set.
[[nodiscard]] QString currentDefaultApplication(const XdgPaths &paths, const QString &mimeType);

// ---- registering and unregistering ------------------------------------------------------------
struct RegisterResult
{
    QStringList written;         // files that were missing or different
    bool claimedDefault = false; // mimeapps.list gained the default line
    QStringList failed;          // files that could not be written
    [[nodiscard]] bool ok() const { return failed.isEmpty(); }
    [[nodiscard]] bool changed() const { return !written.isEmpty() || claimedDefault; }
};

// Writes the registration files that are missing or differ (so a start that finds them in place
// writes nothing), and makes the program the default for its file type when no application is.
RegisterResult registerFileType(const XdgPaths &paths, const QString &executablePath);

struct UnregisterResult
{
    QStringList remaining; // what could not be removed
    [[nodiscard]] bool ok() const { return remaining.isEmpty(); }
};

// Removes the registration files, the default line it added to mimeapps.list (only while it
// still names this program) and the folders that are left empty.
UnregisterResult unregisterFileType(const XdgPaths &paths);

// Empties the application's settings and deletes their file, and the organisation's folder when
// that is left empty. False when something remained.
bool removeApplicationSettings(QSettings &settings);

// "Unregister" in full: file type and settings. The text to report is unregisterMessage(ok()).
UnregisterResult unregisterApplication(const XdgPaths &paths, QSettings &settings);
[[nodiscard]] QString unregisterMessage(bool allRemoved);

// ---- version information -----------------------------------------------------------------------
struct VersionEntry
{
    QString name;
    QString value;
};

// The executable's version information, in table order.
[[nodiscard]] QList<VersionEntry> versionInformation(const QString &executableFileName);
// What --version prints: a first line in the usual "program (product) version" form, then the
// entries one per line.
[[nodiscard]] QString versionText(const QString &executableFileName);
// The About box's line.
[[nodiscard]] QString aboutVersionText();

// Brings the desktop's file-type and application databases in step with the registration, in the
// background: update-mime-database and update-desktop-database run where they are installed and
// their database is older than the files it is built from. A folder whose last entry was removed
// gets its generated database removed instead.
class DesktopDatabaseUpdater : public QObject
{
    Q_OBJECT

public:
    explicit DesktopDatabaseUpdater(kr44::XdgPaths paths, QObject *parent = nullptr);
    // A tool still running is stopped; the next start finds its database old and runs it again.
    ~DesktopDatabaseUpdater() override;

    // Starts what is needed and returns how many tools it started; finished() follows them.
    int start();
    [[nodiscard]] bool isRunning() const;

    [[nodiscard]] bool mimeDatabaseIsCurrent() const;
    [[nodiscard]] bool desktopDatabaseIsCurrent() const;

Q_SIGNALS:
    // Every tool that start() began has ended.
    void finished();

private:
    bool launch(const QString &tool, const QString &folder);

    kr44::XdgPaths m_paths;
    QList<QProcess *> m_running;
};

} // namespace kr44
