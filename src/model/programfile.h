#pragma once

#include "model/linearray.h"

#include <QString>

// Why a program file could not be read or written, in the terms the user is shown.

namespace kr44 {

enum class FileErrorCause {
    None,
    NotFound,
    BadPath,
    TooManyOpenFiles,
    AccessDenied,
    InvalidFile,
    RemoveCurrentDir,
    DirectoryFull,
    BadSeek,
    HardIO,
    SharingViolation,
    LockViolation,
    DiskFull,
    EndOfFile,
    Generic,    // a file error of no listed cause
    OpenFailed, // any other failure while opening
    SaveFailed, // any other failure while saving
};

struct FileError
{
    FileErrorCause cause = FileErrorCause::None;
    QString fileName;
    int systemError = 0; // errno, where there was one

    [[nodiscard]] bool ok() const { return cause == FileErrorCause::None; }
    // The message box text, naming the file.
    [[nodiscard]] QString message() const;
};

[[nodiscard]] FileErrorCause causeFromErrno(int err);
[[nodiscard]] QString fileErrorText(FileErrorCause cause, const QString &fileName);

// Splits file bytes into lines. LF, CR LF and a CR followed by any other byte each end a line;
// nothing else is dropped, so every byte but the line ends stays in its line.
[[nodiscard]] LineArray parseProgram(QByteArray bytes);
// Every line followed by CR LF, nothing else.
[[nodiscard]] QByteArray serializeProgram(const LineArray &lines);

struct LoadResult
{
    LineArray lines;
    FileError error;
};

// Reads a whole program file. Any read failure is a failure: no partial program is returned.
[[nodiscard]] LoadResult loadProgramFile(const QString &path);

// Writes the lines through a temporary file that replaces `path` only when every byte was
// written; on any failure the old file is left as it was and the temporary file removed.
[[nodiscard]] FileError saveProgramFile(const QString &path, const LineArray &lines);

} // namespace kr44
