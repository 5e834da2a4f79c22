#include "app/shell/debugcommands.h"

#include "app/shell/linkcontroller.h"
#include "app/shell/mainwindow.h"
#include "app/shell/programwindow.h"
#include "link/seriallink.h"
#include "model/programdocument.h"
#include "sim/ptyunit.h"
#include "view/programtablemodel.h"
#include "view/programview.h"

#include <QAction>
#include <QActionGroup>
#include <QMdiArea>
#include <QMenu>
#include <QTableView>

#include <limits>

namespace kr44 {

const std::array<double, 4> DebugCommands::kSpeeds
        = {1.0, 10.0, 100.0, std::numeric_limits<double>::infinity()};

namespace {

constexpr std::array<Command, 4> kSpeedCommands = {Command::SpeedRealTime, Command::SpeedTimes10,
                                                   Command::SpeedTimes100, Command::SpeedMaximum};
constexpr std::array<Command, 5> kRunCommands = {Command::Pause, Command::Continue, Command::Step,
                                                 Command::RunToCursor, Command::ToggleBreakpoint};

} // namespace

DebugCommands::DebugCommands(MainWindow *window, LinkController *link, VirtualUnitPanel *panel)
    : QObject(window), m_window(window), m_link(link), m_panel(panel)
{
    m_speeds = new QActionGroup(this);
    for (size_t i = 0; i < kSpeedCommands.size(); ++i) {
        QAction *speed = action(kSpeedCommands[i]);
        speed->setCheckable(true);
        speed->setChecked(i == 0);
        m_speeds->addAction(speed);
        connect(speed, &QAction::triggered, this, [this, i] {
            if (m_unit)
                m_unit->setTimeScale(kSpeeds[i]);
        });
    }
    connect(action(Command::Pause), &QAction::triggered, this, [this] {
        if (m_unit)
            m_unit->pause();
    });
    connect(action(Command::Continue), &QAction::triggered, this, [this] {
        if (m_unit)
            m_unit->resume();
    });
    connect(action(Command::Step), &QAction::triggered, this, &DebugCommands::step);
    connect(action(Command::RunToCursor), &QAction::triggered, this, &DebugCommands::runToCursor);
    connect(action(Command::ToggleBreakpoint), &QAction::triggered, this,
            &DebugCommands::toggleBreakpoint);
    // After the application's own handlers, which start the download.
    for (const Command send : {Command::SendProgram, Command::SendAndRun})
        connect(action(send), &QAction::triggered, this, &DebugCommands::programSent);

    if (m_panel) {
        QList<QAction *> run;
        for (const Command c : {Command::Pause, Command::Continue, Command::Step})
            run << action(c);
        m_panel->setDebugActions(run, m_speeds->actions());
    }
    connect(&m_throttle, &UpdateThrottle::due, this, &DebugCommands::follow);
    connect(m_link, &LinkController::virtualUnitChanged, this, &DebugCommands::setUnit);
    connect(m_link, &LinkController::statusText, this, &DebugCommands::updateActions);
    connect(m_window->mdiArea(), &QMdiArea::subWindowActivated, this, &DebugCommands::updateActions);
    for (const Command c : kRunCommands) {
        m_tips.insert(action(c), {action(c)->toolTip(), action(c)->statusTip()});
        // Buttons show the name alone; the key is in the menu and the tooltip.
        action(c)->setIconText(action(c)->text().section(u'\t', 0, 0).remove(u'&'));
    }
    for (QAction *a : m_speeds->actions())
        m_tips.insert(a, {a->toolTip(), a->statusTip()});
    // The menus show the tooltips, which say why a command is disabled.
    for (QObject *menu : action(Command::Pause)->associatedObjects()) {
        if (auto *m = qobject_cast<QMenu *>(menu))
            m->setToolTipsVisible(true);
    }
    setUnit(m_link->virtualUnit());
}

DebugCommands::~DebugCommands()
{
    // The unit may outlive the window; it must not call back into a deleted object.
    if (m_unit) {
        m_unit->setBreakCheck({});
        m_unit->setInstructionHook({});
    }
}

QAction *DebugCommands::action(Command command) const { return m_window->action(command); }

ProgramWindow *DebugCommands::activeWindow() const { return m_window->activeProgramWindow(); }

bool DebugCommands::usesVirtualUnit() const
{
    const SerialLink *link = m_link->link();
    return m_unit && link && link->isConnected() && link->portName() == m_unit->devicePath();
}

void DebugCommands::setUnit(kr44::PtyUnit *unit)
{
    if (m_unit)
        m_unit->disconnect(this);
    m_unit = unit;
    m_running = false;
    if (unit) {
        unit->setTimeScale(kSpeeds[size_t(m_speeds->actions().indexOf(m_speeds->checkedAction()))]);
        unit->setBreakCheck([this](int line) { return breaksAt(line); });
        unit->setInstructionHook([this](int line) { instructionFetched(line); });
        connect(unit, &PtyUnit::bytesSent, this, &DebugCommands::unitReplied);
        connect(unit, &PtyUnit::stateChanged, &m_throttle, &UpdateThrottle::poke);
    }
    updateActions();
}

void DebugCommands::programSent()
{
    // What an earlier Step or Run to cursor asked for ends with the next send.
    const RunStart start = m_starting.value_or(RunStart {});
    m_stopAtStart = start.atFirstLine;
    m_cursorUnitLine = 0;
    ProgramWindow *window = activeWindow();
    if (!window || !usesVirtualUnit())
        return;
    if (ProgramTableModel *old = m_sent.model()) {
        old->setRunRow(-1);
        old->disconnect(&m_throttle);
    }
    ProgramTableModel *model = window->view()->tableModel();
    m_sentWindow = window;
    m_sentLines = window->document()->lines();
    m_sent = SentRows(model, m_sentLines);
    // An edit while the run is paused can take the marked row away or change its text.
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(model, signal, &m_throttle, &UpdateThrottle::poke);
    connect(model, &QAbstractItemModel::dataChanged, &m_throttle, &UpdateThrottle::poke);
    connect(model, &QAbstractItemModel::modelReset, &m_throttle, &UpdateThrottle::poke);
    m_report.reset();
    if (start.cursorRow >= 0) {
        m_cursorUnitLine = m_sent.unitLineOf(start.cursorRow);
        if (m_cursorUnitLine == 0)
            sayCannotStopAtCursor();
    }
}

void DebugCommands::instructionFetched(int unitLine)
{
    // The unit counts an instruction after fetching it: none yet is the first of a run.
    if (m_unit->unit().runStats().executed == 0) {
        m_report.emplace(m_sentLines);
        m_runStartUs = m_unit->unit().nowUs();
    }
    if (m_report)
        m_report->lineFetched(unitLine);
}

void DebugCommands::unitReplied(const QByteArray &bytes)
{
    if (m_report)
        (void)m_report->received(bytes);
}

bool DebugCommands::breaksAt(int unitLine)
{
    if (std::exchange(m_stopAtStart, false))
        return true;
    if (unitLine == m_cursorUnitLine) {
        m_cursorUnitLine = 0;
        return true;
    }
    const ProgramTableModel *model = m_sent.model();
    const int row = m_sent.rowOf(unitLine);
    return model && row >= 0 && model->hasBreakpoint(row);
}

void DebugCommands::follow()
{
    if (!m_unit)
        return;
    const VirtualUnit &unit = m_unit->unit();
    ProgramTableModel *model = m_sent.model();
    if (model && m_sentWindow) {
        const int line = unit.isRunningProgram() ? unit.activeLine() : 0;
        const int row = m_sent.rowOf(line);
        // Scrolled to once as the run reaches a row, so that the user can scroll away.
        const bool moved = row != model->runRow() || line != m_followedLine;
        m_followedLine = line;
        model->setRunRow(row);
        if (moved && row >= 0)
            m_sentWindow->view()->list()->scrollTo(model->index(row, 0));
        else if (moved && line > 0)
            m_window->setMessageText(tr("The program changed since it was sent: the line the "
                                        "unit runs, %1, has no row to mark.")
                                             .arg(line));
    }
    if (m_running && !unit.isRunningProgram())
        runEnded();
    m_running = unit.isRunningProgram();
    updateActions();
}

void DebugCommands::runEnded()
{
    if (!m_report || !m_panel)
        return;
    const RunStats &stats = m_unit->unit().runStats();
    const auto outcome = m_report->errorReply().isEmpty() ? RunReport::Outcome::Ready
                                                          : RunReport::Outcome::Error;
    const qint64 endUs = stats.endUs >= 0 ? stats.endUs : m_unit->unit().nowUs();
    m_panel->setRunSummary(m_report->summary(outcome, stats, endUs - m_runStartUs));
}

void DebugCommands::toggleBreakpoint()
{
    ProgramWindow *window = activeWindow();
    if (!window)
        return;
    ProgramTableModel *model = window->view()->tableModel();
    const int row = window->view()->selectedRow();
    if (row < 0 || model->rows().kind(row) != RowKind::Instruction) {
        // Comment lines are never sent, so a run could never stop at one.
        m_window->setMessageText(tr("Select an instruction line for the breakpoint."));
        return;
    }
    model->setBreakpoint(row, !model->hasBreakpoint(row));
}

void DebugCommands::step()
{
    if (m_unit && m_unit->unit().isPaused())
        m_unit->step();
    else
        startRun({true, -1});
}

void DebugCommands::runToCursor()
{
    ProgramWindow *window = activeWindow();
    if (!window || !m_unit)
        return;
    const int row = window->view()->selectedRow();
    if (!m_unit->unit().isPaused() || window != m_sentWindow) {
        startRun({false, row});
        return;
    }
    m_cursorUnitLine = m_sent.unitLineOf(row);
    if (m_cursorUnitLine == 0)
        sayCannotStopAtCursor();
    else
        m_unit->resume();
}

void DebugCommands::sayCannotStopAtCursor()
{
    m_window->setMessageText(tr("The selected row was not sent to the unit as it stands: the "
                                "run cannot stop there."));
}

void DebugCommands::startRun(RunStart start)
{
    if (m_unit && m_unit->unit().isBusy()) {
        m_window->setMessageText(tr("The virtual unit is busy: stop its program first."));
        return;
    }
    m_starting = start;
    action(Command::SendAndRun)->trigger();
    m_starting.reset();
}

void DebugCommands::updateActions()
{
    const bool usable = usesVirtualUnit();
    const QString why = usable ? QString()
                               : tr("Debugging needs the virtual KR44 unit on the port: choose "
                                    "Options > Virtual KR44 unit.");
    const bool window = activeWindow() != nullptr;
    const bool paused = usable && m_unit->unit().isPaused();
    const bool running = usable && m_unit->unit().isRunningProgram();
    const bool idle = usable && !m_unit->unit().isBusy();
    const std::array<bool, kRunCommands.size()> enabled
            = {running && !paused, paused, paused || (idle && window), window && (paused || idle),
               usable && window};
    for (size_t i = 0; i < kRunCommands.size(); ++i)
        action(kRunCommands[i])->setEnabled(enabled[i]);
    for (QAction *a : m_speeds->actions())
        a->setEnabled(usable);
    for (auto it = m_tips.cbegin(); it != m_tips.cend(); ++it) {
        it.key()->setToolTip(usable ? it.value().first : why);
        it.key()->setStatusTip(usable ? it.value().second : why);
    }
}

} // namespace kr44
