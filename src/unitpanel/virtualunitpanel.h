#pragma once

#include "sim/ptyunit.h"
#include "sim/virtualunit.h"

#include <QByteArray>
#include <QDockWidget>
#include <QPointer>
#include <QProperty>
#include <QString>
#include <QTimer>

#include <array>

class QAbstractButton;
class QAction;
class QLabel;

namespace kr44 {

class PositionPlot;

class PtyUnit;

// What the panel shows of a virtual unit at one moment.
struct UnitSnapshot
{
    qint64 position = 0;
    std::array<bool, 3> inputs {};
    std::array<bool, 3> outputs {};
    int motor = 1;
    double speed = 0; // steps per second, signed
    VirtualUnit::Mode mode = VirtualUnit::Mode::Idle;
    VirtualUnit::Activity activity = VirtualUnit::Activity::None;
    bool runningProgram = false;
    bool paused = false;
    int line = 0; // the unit's number of the program line it stands at; 0 for none
    QByteArray lineText;
};

[[nodiscard]] UnitSnapshot snapshotOf(const VirtualUnit &unit);
// "Idle", "Receiving a program", "Running the program", "Running a direct command", with what
// the unit is doing after a comma ("moving", "waiting for an input"...).
[[nodiscard]] QString stateText(const UnitSnapshot &s);
// "1, stopped" or "1, 1000 steps/s up".
[[nodiscard]] QString motorText(const UnitSnapshot &s);
// "4: W1H", or "none" when no program runs.
[[nodiscard]] QString lineText(const UnitSnapshot &s);

// Turns a stream of change notices into at most one due() per interval: the first poke arms a
// single-shot timer and the pokes until it fires ride along. The last change is never lost, it
// is only shown up to one interval late.
class UpdateThrottle : public QObject
{
    Q_OBJECT

public:
    // 50 ms: 20 updates a second are as smooth as the eye follows a number or a curve.
    static constexpr int kDefaultIntervalMs = 50;

    explicit UpdateThrottle(int intervalMs = kDefaultIntervalMs, QObject *parent = nullptr);

    void poke();
    [[nodiscard]] bool isPending() const { return m_timer.isActive(); }
    // isPending() as a property: each interval begins with one change to true.
    [[nodiscard]] QBindable<bool> bindablePending() { return m_timer.bindableActive(); }
    [[nodiscard]] int interval() const { return m_timer.interval(); }

Q_SIGNALS:
    void due();

private:
    QTimer m_timer;
};

// "Virtual KR44 unit": the built-in unit's position counter, motor, state, the program line it
// executes, its outputs, its three inputs as switches, and a plot of the last run. The panel
// reads the unit at most 20 times a second and only while it changes.
class VirtualUnitPanel : public QDockWidget
{
    Q_OBJECT

public:
    explicit VirtualUnitPanel(QWidget *parent = nullptr);

    // The unit to show; null shows that none is connected. The panel does not own it and copes
    // with it being deleted at any time.
    void setUnit(kr44::PtyUnit *unit);
    [[nodiscard]] kr44::PtyUnit *unit() const { return m_unit; }
    [[nodiscard]] PositionPlot *plot() const { return m_plot; }

    // A row of buttons for the debugging commands and a menu button for the speeds.
    void setDebugActions(const QList<QAction *> &run, const QList<QAction *> &speeds);
    // How the last run ended and its figures, one a line.
    void setRunSummary(const QStringList &lines);

    // Reads the unit now instead of at the next throttled update.
    void refresh();

Q_SIGNALS:
    // The panel has read the unit (or found none) and shows what it read.
    void refreshed();

private:
    void flipInput(int input, bool high);
    void showSnapshot(const kr44::UnitSnapshot &s);
    void showNoUnit();

    QPointer<kr44::PtyUnit> m_unit;
    UpdateThrottle m_throttle;
    QLabel *m_position = nullptr;
    QLabel *m_motor = nullptr;
    QLabel *m_state = nullptr;
    QLabel *m_line = nullptr;
    QLabel *m_summary = nullptr;
    std::array<QLabel *, 3> m_outputs {};
    std::array<QAbstractButton *, 3> m_inputs {};
    PositionPlot *m_plot = nullptr;
    qint64 m_runStartUs = -1; // first trace point of the run on the plot
    qint64 m_runUntilUs = 0;  // last moment that run was seen running
};

} // namespace kr44
