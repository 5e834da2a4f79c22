#pragma once

#include "model/linearray.h"
#include "model/programfile.h"

#include <QObject>
#include <QString>

// One motion program in memory: its lines, its file, its title and whether it has unsaved
// changes. It does not interpret its lines.

namespace kr44 {

class ProgramDocument : public QObject
{
    Q_OBJECT

public:
    explicit ProgramDocument(QObject *parent = nullptr);

    // A new, empty, unmodified program titled Program1, Program2, ... in the order of creation.
    bool newProgram();
    // Loads a file into this (fresh) document. On failure the document is left as it was.
    kr44::FileError load(const QString &path);
    // Saves to `path`. On success the path, title and modified flag follow the file; on failure
    // nothing about the document changes.
    kr44::FileError save(const QString &path);

    // Line i is the line the user sees as line number i + 1.
    [[nodiscard]] const kr44::LineArray &lines() const { return m_lines; }
    // The write-back: the lines become `lines` and the program counts as modified.
    void setLines(kr44::LineArray lines);

    [[nodiscard]] QString title() const { return m_title; }
    void setTitle(const QString &title);
    [[nodiscard]] QString filePath() const { return m_pathName; }
    [[nodiscard]] bool isModified() const { return m_modified; }
    void setModified(bool modified = true);

    // The name the save prompt shows: the file's name, or the title of a never-saved program.
    [[nodiscard]] QString displayName() const;
    // The name proposed in the Save As dialog.
    [[nodiscard]] QString proposedSaveName() const;

    // Enabling of the program-dependent commands.
    [[nodiscard]] bool canSendProgram() const { return !m_lines.isEmpty(); }
    [[nodiscard]] bool canPrint() const { return !m_lines.isEmpty(); }

    // How many new programs this run has created so far.
    [[nodiscard]] static int newProgramCount();

Q_SIGNALS:
    void titleChanged(const QString &title);
    void modifiedChanged(bool modified);
    void linesChanged();

private:
    void setPathName(const QString &path);

    kr44::LineArray m_lines;
    QString m_title;
    QString m_pathName;
    bool m_modified = false;
};

} // namespace kr44
