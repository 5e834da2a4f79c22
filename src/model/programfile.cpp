#include "model/programfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <cstring>
#include <sys/statvfs.h>

namespace kr44 {

QString fileErrorText(FileErrorCause cause, const QString &fileName)
{
    const char *text = nullptr;
    switch (cause) {
    case FileErrorCause::None:
        return {};
    case FileErrorCause::NotFound:
        text = QT_TRANSLATE_NOOP("kr44::ProgramFile", "%1 was not found.");
        break;
    case FileErrorCause::BadPath:
        text = QT_TRANSLATE_NOOP("kr44::ProgramFile", "%1 contains an invalid path.");
        break;
    case FileErrorCause::TooManyOpenFiles:
        text = QT_TRANSLATE_NOOP("kr44::ProgramFile",
                                 "%1 could not be opened because there are too many open files.");
        break;
    case FileErrorCause::AccessDenied:
        text = QT_TRANSLATE_NOOP("kr44::ProgramFile", "Access to %1 was denied.");
        break;
    case FileErrorCause::InvalidFile:
        text = QT_TRANSLATE_NOOP("kr44::ProgramFile",
                                 "An invalid file handle was associated with %1.");
        break;
    case FileErrorCause::RemoveCurrentDir:
        text = QT_TRANSLATE_NOOP("kr44::ProgramFile",
                                 "%1 could not be removed because it is the current directory.");
        break;
    case FileErrorCause::DirectoryFull:
        text = QT_TRANSLATE_NOOP("kr44::ProgramFile",
                                 "%1 could not be created because the directory is full.");
        break;
    case FileErrorCause::BadSeek:
        text = QT_TRANSLATE_NOOP("kr44::ProgramFile", "Seek failed on %1");
        break;
    case FileErrorCause::HardIO:
        text = QT_TRANSLATE_NOOP("kr44::ProgramFile",
                                 "A hardware I/O error was reported while accessing %1.");
        break;
    case FileErrorCause::SharingViolation:
        text = QT_TRANSLATE_NOOP("kr44::ProgramFile",
                                 "A sharing violation occurred while accessing %1.");
        break;
    case FileErrorCause::LockViolation:
        text = QT_TRANSLATE_NOOP("kr44::ProgramFile",
                                 "A locking violation occurred while accessing %1.");
        break;
    case FileErrorCause::DiskFull:
        text = QT_TRANSLATE_NOOP("kr44::ProgramFile", "Disk full while accessing %1.");
        break;
    case FileErrorCause::EndOfFile:
        text = QT_TRANSLATE_NOOP("kr44::ProgramFile",
                                 "An attempt was made to access %1 past its end.");
        break;
    case FileErrorCause::Generic:
        text = QT_TRANSLATE_NOOP("kr44::ProgramFile",
                                 "An unknown error occurred while accessing %1.");
        break;
    case FileErrorCause::OpenFailed:
        return QCoreApplication::translate("kr44::ProgramFile", "Failed to open document.");
    case FileErrorCause::SaveFailed:
        return QCoreApplication::translate("kr44::ProgramFile", "Failed to save document.");
    }
    return QCoreApplication::translate("kr44::ProgramFile", text).arg(fileName);
}

QString FileError::message() const
{
    return fileErrorText(cause, QDir::toNativeSeparators(fileName));
}

FileErrorCause causeFromErrno(int err)
{
    switch (err) {
    case 0:
        return FileErrorCause::Generic;
    case ENOENT:
        return FileErrorCause::NotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
        return FileErrorCause::BadPath;
    case EMFILE:
    case ENFILE:
        return FileErrorCause::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return FileErrorCause::AccessDenied;
    case EBADF:
        return FileErrorCause::InvalidFile;
    case ESPIPE:
        return FileErrorCause::BadSeek;
    case EIO:
        return FileErrorCause::HardIO;
    case ENOLCK:
    case EDEADLK:
        return FileErrorCause::LockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FileErrorCause::DiskFull;
    default:
        return FileErrorCause::Generic;
    }
}

namespace {

// Records the line that ends at `end` (a CR or LF) and returns where the next line starts.
// `emptyLines` becomes true at a line that is empty or a lone "*".
inline qsizetype endLine(const char *data, qsizetype n, qsizetype start, qsizetype end,
                         QList<LineArray::Span> &spans, bool &emptyLines)
{
    emptyLines |= end - start == 0 || (end - start == 1 && data[start] == '*');
    spans.append({start, end - start});
    return (data[end] == '\r' && end + 1 < n && data[end + 1] == '\n') ? end + 2 : end + 1;
}

} // namespace

LineArray parseProgram(QByteArray bytes)
{
    QList<LineArray::Span> spans;
    const char *data = bytes.constData();
    qsizetype n = bytes.size();
    // A CR that is the last byte ends the final line and is no part of it; right after another
    // line end, or alone, it ends no line at all, so a file ending CR LF CR has no empty last line.
    if (n > 0 && data[n - 1] == '\r' && (n == 1 || data[n - 2] == '\n' || data[n - 2] == '\r'))
        --n;
    // Programs run about eight bytes a line: a guess that spares most re-allocations.
    spans.reserve(n / 7 + 1);
    bool emptyLines = false;
    qsizetype start = 0;
    qsizetype i = 0;
#ifdef __SSE2__
    // Sixteen bytes at a time: a bit per CR or LF, less every LF that completes a CR LF.
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 16 <= n; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i));
        unsigned mask = unsigned(_mm_movemask_epi8(
                _mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf))));
        while (mask) {
            const qsizetype end = i + __builtin_ctz(mask);
            mask &= mask - 1;
            if (end < start)
                continue; // the LF of a CR LF counted with its CR
            start = endLine(data, n, start, end, spans, emptyLines);
        }
    }
#endif
    for (; i < n; ++i) {
        const char c = data[i];
        if ((c == '\n' || c == '\r') && i >= start)
            start = endLine(data, n, start, i, spans, emptyLines);
    }
    if (start < n) {
        emptyLines |= n - start == 1 && data[start] == '*';
        spans.append({start, n - start});
    }
    return LineArray(std::move(bytes), std::move(spans), !emptyLines);
}

namespace {

// Chunks of output are built in memory and handed to the file in large writes.
constexpr qsizetype kChunk = 1 << 20;

template<typename Sink>
bool writeLines(const LineArray &lines, Sink &&sink)
{
    QByteArray chunk(kChunk, Qt::Uninitialized);
    char *const begin = chunk.data();
    char *out = begin;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArrayView line = lines.at(i);
        if (line.size() + 2 > kChunk - (out - begin)) {
            if (out != begin && !sink(QByteArrayView(begin, out - begin)))
                return false;
            out = begin;
            if (line.size() + 2 > kChunk) {
                if (!sink(line) || !sink(QByteArrayView("\r\n", 2)))
                    return false;
                continue;
            }
        }
        std::memcpy(out, line.data(), size_t(line.size()));
        out += line.size();
        *out++ = '\r';
        *out++ = '\n';
    }
    return out == begin || sink(QByteArrayView(begin, out - begin));
}

bool diskIsFull(const QString &path)
{
    struct statvfs st
    {};
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    return statvfs(dir.constData(), &st) == 0 && st.f_bavail == 0;
}

} // namespace

QByteArray serializeProgram(const LineArray &lines)
{
    QByteArray out;
    out.reserve(lines.byteCount() + 2 * lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArrayView line = lines.at(i);
        out.append(line.data(), line.size());
        out.append("\r\n", 2);
    }
    return out;
}

LoadResult loadProgramFile(const QString &path)
{
    LoadResult result;
    result.error.fileName = path;
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        int err = errno;
        // QFile refuses a folder itself, without a system error.
        if (err == 0 && QFileInfo(path).isDir())
            err = EISDIR;
        result.error.systemError = err;
        result.error.cause = err ? causeFromErrno(err) : FileErrorCause::OpenFailed;
        return result;
    }
    // Read to the end of the stream rather than trusting the size: the file may be growing, a
    // pipe, or a special file that reports no size.
    const qint64 expected = file.size();
    QByteArray bytes(qsizetype(expected > 0 ? expected + 1 : 1 << 16), Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size())
            bytes.resize(bytes.size() * 2);
        errno = 0;
        const qint64 got = file.read(bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            const int err = errno;
            result.error.systemError = err;
            result.error.cause = err ? causeFromErrno(err) : FileErrorCause::OpenFailed;
            return result;
        }
        if (got == 0)
            break;
        filled += qsizetype(got);
    }
    bytes.resize(filled);
    result.lines = parseProgram(std::move(bytes));
    return result;
}

FileError saveProgramFile(const QString &path, const LineArray &lines)
{
    FileError error;
    error.fileName = path;
    const auto fail = [&](int err) {
        error.systemError = err;
        error.cause = causeFromErrno(err);
        if (err == 0)
            error.cause = diskIsFull(path) ? FileErrorCause::DiskFull : FileErrorCause::SaveFailed;
        return error;
    };

    QSaveFile file(path);
    // Writing straight into the old file cannot keep it intact on failure, so never fall back.
    file.setDirectWriteFallback(false);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(errno);

    int writeErrno = 0;
    const bool written = writeLines(lines, [&](QByteArrayView chunk) {
        errno = 0;
        const qint64 n = file.write(chunk.data(), chunk.size());
        if (n != chunk.size()) {
            // A short write without errno is a full disk on most file systems; find out by
            // trying the rest, which then reports the cause.
            writeErrno = errno;
            if (writeErrno == 0 && n >= 0) {
                errno = 0;
                const qint64 more = file.write(chunk.constData() + n, chunk.size() - n);
                writeErrno = more == chunk.size() - n ? 0 : errno;
                return more == chunk.size() - n;
            }
            return false;
        }
        return true;
    });
    if (!written) {
        file.cancelWriting();
        return fail(writeErrno);
    }
    errno = 0;
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        const int err = errno;
        file.cancelWriting();
        return fail(err);
    }
    errno = 0;
    if (!file.commit())
        return fail(errno);
    return error;
}

} // namespace kr44
