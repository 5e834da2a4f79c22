#include "kr44doc.h"

#include <QFileInfo>

namespace {
int s_newPrograms = 0;
}

CKR44Doc::CKR44Doc(QObject *parent) : QObject(parent) { setObjectName(QStringLiteral("CKR44Doc")); }

int CKR44Doc::newProgramCount() { return s_newPrograms; }

bool CKR44Doc::OnNewDocument()
{
    m_lines.clear();
    m_pathName.clear();
    SetModifiedFlag(false);
    SetTitle(QStringLiteral("Program%1").arg(++s_newPrograms));
    Q_EMIT linesChanged();
    return true;
}

kr44::FileError CKR44Doc::OnOpenDocument(const QString &path)
{
    kr44::LoadResult loaded = kr44::loadProgramFile(path);
    if (!loaded.error.ok())
        return loaded.error;
    m_lines = std::move(loaded.lines);
    setPathName(path);
    SetModifiedFlag(false);
    Q_EMIT linesChanged();
    return {};
}

kr44::FileError CKR44Doc::OnSaveDocument(const QString &path)
{
    const kr44::FileError error = kr44::saveProgramFile(path, m_lines);
    if (!error.ok())
        return error;
    setPathName(path);
    SetModifiedFlag(false);
    return error;
}

void CKR44Doc::setLines(kr44::LineArray lines)
{
    m_lines = std::move(lines);
    Q_EMIT linesChanged();
    SetModifiedFlag(true);
}

void CKR44Doc::SetTitle(const QString &title)
{
    if (title == m_title)
        return;
    m_title = title;
    Q_EMIT titleChanged(m_title);
}

void CKR44Doc::SetModifiedFlag(bool modified)
{
    if (modified == m_modified)
        return;
    m_modified = modified;
    Q_EMIT modifiedChanged(m_modified);
}

void CKR44Doc::setPathName(const QString &path)
{
    m_pathName = QFileInfo(path).absoluteFilePath();
    SetTitle(QFileInfo(path).fileName());
}

QString CKR44Doc::displayName() const
{
    return m_pathName.isEmpty() ? m_title : QFileInfo(m_pathName).fileName();
}

QString CKR44Doc::proposedSaveName() const
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
