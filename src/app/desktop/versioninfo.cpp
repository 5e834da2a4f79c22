#include "app/desktop/versioninfo.h"

#include "app/desktop/version.h"

#include <QCoreApplication>

namespace kr44 {

QList<VersionEntry> versionInformation(const QString &executableFileName)
{
    return {
            {QStringLiteral("File version"), QLatin1String(kProgramVersion)},
            {QStringLiteral("FileVersion"), QLatin1String(kProductVersion)},
            {QStringLiteral("ProductVersion"), QLatin1String(kProductVersionShort)},
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

QString aboutVersionText()
{
    return QCoreApplication::translate("kr44::VersionInfo", "KR44 Controller Version %1")
            .arg(QLatin1String(kProgramVersionShort));
}

QString applicationVersion() { return QLatin1String(kProductVersion); }

} // namespace kr44
