#pragma once

// File helpers that several parts of the desktop registration share; not for use outside this
// folder.

#include <QByteArray>
#include <QString>

namespace kr44::internal {

// The whole file, or nothing when it cannot be opened; `exists` tells which of the two an empty
// result means.
[[nodiscard]] QByteArray readFile(const QString &path, bool *exists = nullptr);
// Writes the file in one piece (never half), making its folder first.
bool writeFile(const QString &path, const QByteArray &contents);
// Whether `folder` holds a file whose name matches `pattern` ("*.xml").
[[nodiscard]] bool hasFilesWithSuffix(const QString &folder, const QString &pattern);

} // namespace kr44::internal
