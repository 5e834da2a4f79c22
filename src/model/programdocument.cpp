#include "model/programdocument.h"

#include <QFileInfo>

namespace kr44 {

namespace {
int s_newPrograms = 0;
}

ProgramDocument::ProgramDocument(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("ProgramDocument"));
}

int ProgramDocument::newProgramCount() { return s_newPrograms; }

bool ProgramDocument::newProgram()
{
    m_lines.clear();
    m_pathName.clear();
    setModified(false);
    setTitle(tr("Program%1").arg(++s_newPrograms));
    Q_EMIT linesChanged();
    return true;
}

kr44::FileError ProgramDocument::load(const QString &path)
{
    kr44::LoadResult loaded = kr44::loadProgramFile(path);
    if (!loaded.error.ok())
        return loaded.error;
    m_lines = std::move(loaded.lines);
    setPathName(path);
    setModified(false);
    Q_EMIT linesChanged();
    return {};
}

kr44::FileError ProgramDocument::save(const QString &path)
{
    const kr44::FileError error = kr44::saveProgramFile(path, m_lines);
    if (!error.ok())
        return error;
    setPathName(path);
    setModified(false);
    return error;
}

void ProgramDocument::setLines(kr44::LineArray lines)
{
    m_lines = std::move(lines);
    Q_EMIT linesChanged();
    setModified(true);
}

void ProgramDocument::setTitle(const QString &title)
{
    if (title == m_title)
        return;
    m_title = title;
    Q_EMIT titleChanged(m_title);
}

void ProgramDocument::setModified(bool modified)
{
    if (modified == m_modified)
        return;
    m_modified = modified;
    Q_EMIT modifiedChanged(m_modified);
}

void ProgramDocument::setPathName(const QString &path)
{
    m_pathName = QFileInfo(path).absoluteFilePath();
    setTitle(QFileInfo(path).fileName());
}

QString ProgramDocument::displayName() const
{
    return m_pathName.isEmpty() ? m_title : QFileInfo(m_pathName).fileName();
}

QString ProgramDocument::proposedSaveName() const
{
    if (!m_pathName.isEmpty())
        return m_pathName;
    QString base = m_title;
    for (int i = 0; i < base.size(); ++i) {
        if (QStringLiteral(" #%;/\\").contains(base.at(i))) {
            base.truncate(i);
            break;
        }
    }
    return base + QStringLiteral(".krp");
}

} // namespace kr44
