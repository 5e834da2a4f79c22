#pragma once

#include <QByteArray>
#include <QString>

namespace kr44test {

// Reads a whole file as bytes; an empty array when it cannot be read.
QByteArray readAll(const QString &path);
// Writes bytes to a file, replacing it; false on failure.
bool writeAll(const QString &path, const QByteArray &bytes);

} // namespace kr44test
