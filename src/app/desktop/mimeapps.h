#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kr44 {

struct XdgPaths;

// The default applications for file types, as the desktop keeps them in its mimeapps.list files.

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

} // namespace kr44
