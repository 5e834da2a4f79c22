#include "app/desktop/fileaccess_p.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kr44::internal {

QByteArray readFile(const QString &path, bool *exists)
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

bool hasFilesWithSuffix(const QString &folder, const QString &pattern)
{
    return !QDir(folder).entryList({pattern}, QDir::Files).isEmpty();
}

} // namespace kr44::internal
