#pragma once

#include "app/commands/commands.h"
#include "model/linearray.h"
#include "sim/runreport.h"
#include "unitpanel/virtualunitpanel.h"
#include "view/sentrows.h"

#include <QHash>
#include <QObject>
#include <QPointer>

#include <array>
#include <optional>
#include <utility>

class QAction;
class QActionGroup;

namespace kr44 {

class LinkController;
class MainWindow;
class ProgramWindow;
class PtyUnit;

// The Debug menu: breakpoints, pause, continue, step, run to cursor and the speed of simulated
// time, for a program run on the virtual unit. While the unit runs the program a window sent,
// that window marks the row the run stands at and keeps it in view; when the run ends the
// panel shows its summary. With a real unit on the port every command is disabled and says why.
class DebugCommands : public QObject
{
    Q_OBJECT

public:
    DebugCommands(MainWindow *window, LinkController *link, VirtualUnitPanel *panel);
    ~DebugCommands() override;

    // The speeds of the Speed choices, in their order: real time, 10x, 100x, flat out.
    static const std::array<double, 4> kSpeeds;

private:
    void programSent();
    void setUnit(kr44::PtyUnit *unit);
    void instructionFetched(int unitLine);
    void unitReplied(const QByteArray &bytes);
    void follow();
    void runEnded();
    void updateActions();
    void toggleBreakpoint();
    void step();
    void runToCursor();
    // How Step and Run to cursor start a run when none is going.
    struct RunStart
    {
        bool atFirstLine = false; // Step: stop before line 1
        int cursorRow = -1;       // Run to cursor: stop before this row's line
    };
    // Sends the active window's program and runs it, to stop as `start` says.
    void startRun(RunStart start);
    void sayCannotStopAtCursor();
    [[nodiscard]] bool breaksAt(int unitLine);
    [[nodiscard]] bool usesVirtualUnit() const;
    [[nodiscard]] ProgramWindow *activeWindow() const;
    [[nodiscard]] QAction *action(Command command) const;

    MainWindow *m_window;
    LinkController *m_link;
    QPointer<VirtualUnitPanel> m_panel;
    QPointer<kr44::PtyUnit> m_unit;
    QActionGroup *m_speeds = nullptr;
    QHash<QAction *, std::pair<QString, QString>> m_tips; // tooltip, status tip as in the table
    UpdateThrottle m_throttle;

    // The program last sent, as its window's rows stood.
    QPointer<ProgramWindow> m_sentWindow;
    LineArray m_sentLines;
    SentRows m_sent;
    std::optional<RunReport> m_report;
    qint64 m_runStartUs = 0;
    bool m_running = false;
    int m_followedLine = 0; // the unit line follow() last showed

    std::optional<RunStart> m_starting; // while Step or Run to cursor sends the program
    bool m_stopAtStart = false;         // stop before the first line fetched
    int m_cursorUnitLine = 0;           // Run to cursor: the line to stop before
};

} // namespace kr44
