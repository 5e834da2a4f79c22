#pragma once

#include "sim/virtualunit.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QSocketNotifier;

namespace kr44 {

// Serves a VirtualUnit on a pseudo-terminal: whatever opens devicePath() (a QSerialPort, a
// terminal program) talks to the unit exactly as to one on a serial line. Simulated time follows
// the real clock, multiplied by the time scale.
class PtyUnit : public QObject
{
    Q_OBJECT

public:
    // Replies are dropped beyond this many unread bytes, as a unit's would be with nobody reading.
    static constexpr qsizetype kMaxPendingOutput = 64 * 1024;
    static constexpr int kTickMs = 5;

    explicit PtyUnit(const UnitConfig &config = {}, QObject *parent = nullptr);
    ~PtyUnit() override;

    // Creates the pseudo-terminal; false with errorString() set when the system refuses one.
    [[nodiscard]] bool open();
    void close();
    [[nodiscard]] bool isOpen() const { return m_master >= 0; }
    // Path of the terminal side that a serial port opens, e.g. /dev/pts/3; empty when closed.
    [[nodiscard]] QString devicePath() const { return m_devicePath; }
    [[nodiscard]] QString errorString() const { return m_errorString; }

    [[nodiscard]] const VirtualUnit &unit() const { return m_unit; }
    // Simulated seconds per real second; infinity runs the unit as fast as it can while
    // keeping the event loop turning.
    void setTimeScale(double scale);
    [[nodiscard]] double timeScale() const { return m_timeScale; }
    // Replaces the real clock that simulated time follows (nanoseconds); simulated time goes on
    // from where it stands.
    void setClock(std::function<qint64()> nanoseconds);
    void setInput(int input, bool high);

    // Debugging the running program (see VirtualUnit::pause()): simulated time stands still
    // while it is paused.
    void pause();
    void resume();
    void step();
    void setBreakCheck(std::function<bool(int line)> check);
    // See VirtualUnit::setInstructionHook().
    void setInstructionHook(std::function<void(int line)> hook);

Q_SIGNALS:
    void bytesReceived(const QByteArray &bytes);
    void bytesSent(const QByteArray &bytes);
    // Simulated time passed or the unit's state may have changed.
    void stateChanged();

private:
    void readMaster();
    void flushOutput();
    void catchUp();
    void send(const QByteArray &bytes);
    void updateTimer();
    void runFlatOut();
    // Simulated time goes on from the unit's time at the clock's present reading.
    void markNow();
    [[nodiscard]] qint64 simulatedNowUs() const;

    VirtualUnit m_unit;
    int m_master = -1;
    int m_slave = -1;
    QString m_devicePath;
    QString m_errorString;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QByteArray m_pending;
    QTimer m_tick;
    struct Clock
    {
        QElapsedTimer monotonic;
        std::function<qint64()> nanoseconds; // set: used instead of the monotonic clock
        [[nodiscard]] qint64 nsecsElapsed() const
        {
            return nanoseconds ? nanoseconds() : monotonic.nsecsElapsed();
        }
    };

    Clock m_clock;
    qint64 m_simAtMarkUs = 0; // simulated time when the scale last changed
    qint64 m_markNs = 0;      // real clock reading at that moment
    double m_timeScale = 1.0;
    qint64 m_flatOutChunkUs = 1000000; // simulated time per tick when running flat out
};

} // namespace kr44
