#pragma once

#include "link/replytext.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

namespace kr44 {

class SerialLink;

// Collects what the unit sends every 50 ms, translates its replies and error codes, each
// recognised up to its CR (kr44::ReplyStream), and hands the text on through replyText(). A
// reply changes no other state.
//
// It starts paused; start() begins the ticks and the polling. Pauses do not nest: one
// resume() ends any number of pause() calls. Bytes that arrive while paused wait in the link
// and are shown at the first tick after resume().
//
// A tick never waits on the wire. If bytes are still arriving when it fires it looks again once
// the line has been quiet for quietGap() ms, so that a reply is not cut in two by the tick; a
// line that never goes quiet is taken as it is after quietGap() plus one period.
class ReplyMonitor : public QObject
{
    Q_OBJECT

public:
    static constexpr int kPeriodMs = 50;
    // A reply read goes on while bytes keep coming less than this far apart.
    static constexpr int kDefaultQuietGapMs = 10;

    explicit ReplyMonitor(SerialLink *link, QObject *parent = nullptr);

    // Starts the 50 ms ticks and ends the pause.
    void start();
    // Stops the ticks (main window closing).
    void stop();
    [[nodiscard]] bool isRunning() const { return m_timer.isActive(); }

    // While a modal dialog is open, what arrives waits in the link.
    void pause();
    void resume();
    [[nodiscard]] bool isPaused() const { return m_pollPaused; }

    // A tick already waiting for the line to go quiet looks again at once under the new gap.
    void setQuietGap(int ms);
    [[nodiscard]] int quietGap() const { return m_quietGapMs; }

    // One tick's work; the timer calls it.
    void tick();

Q_SIGNALS:
    // Translated text for the command window.
    void replyText(const QByteArray &text);
    // The port status text, once, on the first tick.
    void statusMessage(const QString &text);

private:
    void collect();

    SerialLink *m_link;
    QTimer m_timer;
    QTimer m_settle;
    int m_quietGapMs = kDefaultQuietGapMs;
    bool m_pollPaused = true;
    bool m_statusShown = false;
    ReplyStream m_stream;
    // A tick is waiting for the line to go quiet; m_settleStarted is when that tick fired.
    bool m_settling = false;
    QElapsedTimer m_settleStarted;
};

} // namespace kr44
