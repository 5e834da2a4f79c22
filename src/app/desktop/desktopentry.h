#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace kr44 {

struct XdgPaths;

// What the program puts on the desktop, per user: a desktop entry with open and print actions,
// the file type of programs (*.krp) and its icons, all under the XDG data home. An installed
// program has the same files, under the same names, in the system's data folder.

// KR44_APP_ID, the application id, comes from the top-level CMakeLists.txt, which names the
// installed files by it too.
inline constexpr char kProgramMimeType[] = "application/x-kr44-program";
inline constexpr char kDesktopFileId[] = KR44_APP_ID ".desktop";
inline constexpr char kMimePackageName[] = KR44_APP_ID ".xml";
inline constexpr char kAppIconName[] = KR44_APP_ID;
inline constexpr char kProgramIconName[] = "application-x-kr44-program";

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

} // namespace kr44
