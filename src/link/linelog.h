#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

namespace kr44 {

class SerialLink;

// Which way a chunk of bytes went over the line.
enum class LineDirection { ToUnit, FromUnit };

// The bytes of a chunk as the line log writes them: printable ASCII as it is, CR and LF as <CR>
// and <LF>, every other byte, and '<' itself so that the text reads back unambiguously, as
// <0xHH>.
[[nodiscard]] QByteArray lineLogBytes(QByteArrayView bytes);

// One entry of the line log: "yyyy-MM-dd hh:mm:ss.zzz", then "-> " (to the unit) or "<- " (from
// it), the chunk's bytes as lineLogBytes() writes them, and a line feed.
[[nodiscard]] QByteArray lineLogEntry(const QDateTime &when, LineDirection direction,
                                      QByteArrayView bytes);

// A record of every byte that goes over the line, appended to a file: one entry per chunk, in
// the order the link handed the chunks over. Entries are collected and written at least once a
// second, so that the line never waits on the disk.
//
// A file that cannot be written (a full disk, a removed medium) is closed and the log stops; the
// failure is announced once through failed().
class LineLog : public QObject
{
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;

    // The longest time an entry waits before it is written to the file.
    static constexpr int kFlushIntervalMs = 500;
    // Collected entries beyond this size are written at the next turn of the event loop.
    static constexpr qsizetype kMaxCollected = 64 * 1024;

    explicit LineLog(QObject *parent = nullptr);
    // Writes what is collected.
    ~LineLog() override;

    // Starts logging to the end of `path`, creating it if need be; an empty path stops logging.
    // False, with errorString() set, when the file cannot be opened (failed() is not emitted).
    bool setFile(const QString &path);
    [[nodiscard]] QString fileName() const { return m_file.fileName(); }
    [[nodiscard]] bool isActive() const { return m_file.isOpen(); }
    [[nodiscard]] QString errorString() const { return m_error; }

    // Replaces the wall clock that stamps the entries (tests).
    void setClock(Clock clock) { m_clock = std::move(clock); }

    // Logs the link's traffic: what it hands to the driver and what it reads, as it happens.
    void follow(const SerialLink *link);

    void sent(const QByteArray &bytes) { add(LineDirection::ToUnit, bytes); }
    void received(const QByteArray &bytes) { add(LineDirection::FromUnit, bytes); }
    // Writes what is collected; false when the file failed (and the log has stopped).
    bool flush();

Q_SIGNALS:
    // The file could not be written and logging has stopped; `message` names the file and the
    // cause. Once per file.
    void failed(const QString &message);

private:
    void add(LineDirection direction, QByteArrayView bytes);

    QFile m_file;
    QByteArray m_collected;
    QTimer m_flushTimer;
    Clock m_clock;
    QString m_error;
};

} // namespace kr44
