#pragma once

#include <QList>
#include <QString>

namespace kr44 {

// The texts that tell the program's version. The numbers come from the top-level CMakeLists.txt.

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
// The version the application object reports (QCoreApplication::applicationVersion()).
[[nodiscard]] QString applicationVersion();

} // namespace kr44
