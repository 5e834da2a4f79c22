#include "app/commands/commandtable.h"

#include <QCoreApplication>

namespace kr44 {

namespace {

using C = Command;
constexpr MenuItem kSeparator = std::nullopt;

} // namespace

const QList<CommandInfo> &commandInfos()
{
    static const QList<CommandInfo> infos = {
            {C::New, "fileNew", QT_TRANSLATE_NOOP("kr44::Commands", "&New\tCtrl+N"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Create a new document"),
             QT_TRANSLATE_NOOP("kr44::Commands", "New")},
            {C::Open, "fileOpen", QT_TRANSLATE_NOOP("kr44::Commands", "&Open...\tCtrl+O"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Open an existing document"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Open")},
            {C::Close, "fileClose", QT_TRANSLATE_NOOP("kr44::Commands", "&Close"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Close the active document"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Close")},
            {C::Save, "fileSave", QT_TRANSLATE_NOOP("kr44::Commands", "&Save\tCtrl+S"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Save the active document"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Save")},
            {C::SaveAs, "fileSaveAs", QT_TRANSLATE_NOOP("kr44::Commands", "Save &As..."),
             QT_TRANSLATE_NOOP("kr44::Commands", "Save the active document with a new name"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Save As")},
            {C::SendMail, "fileSendMail", QT_TRANSLATE_NOOP("kr44::Commands", "&Mail"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Send the active document through electronic mail"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Send Mail")},
            {C::Print, "filePrint", QT_TRANSLATE_NOOP("kr44::Commands", "&Print...\tCtrl+P"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Print the active document"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Print")},
            {C::PrintPreview, "filePrintPreview",
             QT_TRANSLATE_NOOP("kr44::Commands", "Print Pre&view"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Display full pages"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Print Preview")},
            {C::PrintSetup, "filePrintSetup", QT_TRANSLATE_NOOP("kr44::Commands", "P&rint Setup..."),
             QT_TRANSLATE_NOOP("kr44::Commands", "Change the printer and printing options"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Print Setup")},
            {C::RecentFile, "recentFile", QT_TRANSLATE_NOOP("kr44::Commands", "Recent File"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Open this document"), nullptr},
            {C::Exit, "exit", QT_TRANSLATE_NOOP("kr44::Commands", "E&xit"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Quit the application; prompts to save documents"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Exit")},
            {C::ToolBar, "toolBar", QT_TRANSLATE_NOOP("kr44::Commands", "&Toolbar"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Show or hide the toolbar"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Toggle ToolBar")},
            {C::StatusBar, "statusBar", QT_TRANSLATE_NOOP("kr44::Commands", "&Status Bar"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Show or hide the status bar"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Toggle StatusBar")},
            {C::Undo, "undo", QT_TRANSLATE_NOOP("kr44::Commands", "&Undo\tCtrl+Z"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Undo the last action"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Undo")},
            {C::Redo, "redo", QT_TRANSLATE_NOOP("kr44::Commands", "&Redo\tCtrl+Y"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Redo the previously undone action"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Redo")},
            {C::Cut, "cut", QT_TRANSLATE_NOOP("kr44::Commands", "Cu&t\tCtrl+X"),
             QT_TRANSLATE_NOOP("kr44::Commands",
                               "Cut the selected line and put it on the Clipboard"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Cut")},
            {C::Copy, "copy", QT_TRANSLATE_NOOP("kr44::Commands", "&Copy\tCtrl+C"),
             QT_TRANSLATE_NOOP("kr44::Commands",
                               "Copy the selected line and put it on the Clipboard"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Copy")},
            {C::Paste, "paste", QT_TRANSLATE_NOOP("kr44::Commands", "&Paste\tCtrl+V"),
             QT_TRANSLATE_NOOP("kr44::Commands",
                               "Insert the Clipboard's lines before the selected line"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Paste")},
            {C::CommandWindow, "commandWindow",
             QT_TRANSLATE_NOOP("kr44::Commands", "&Command Window\tF2"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Communicate directly with the selected KR44"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Command Window")},
            {C::SendProgram, "sendProgram", QT_TRANSLATE_NOOP("kr44::Commands", "&Send program\tF4"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Sends the current program to the KR44"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Send Program")},
            {C::SendAndRun, "sendAndRun",
             QT_TRANSLATE_NOOP("kr44::Commands", "Send program and &run it\tF5"),
             QT_TRANSLATE_NOOP("kr44::Commands",
                               "Sends the current program to the KR44 and runs it"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Send and Run")},
            {C::StopProgram, "stopProgram", QT_TRANSLATE_NOOP("kr44::Commands", "Sto&p program"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Stops the currently running program"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Stop Program")},
            {C::Pause, "debugPause", QT_TRANSLATE_NOOP("kr44::Commands", "&Pause\tPause"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Stops simulated time on the virtual unit"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Pause")},
            {C::Continue, "debugContinue", QT_TRANSLATE_NOOP("kr44::Commands", "&Continue\tF8"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Lets simulated time go on on the virtual unit"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Continue")},
            {C::Step, "debugStep", QT_TRANSLATE_NOOP("kr44::Commands", "&Step\tF10"),
             QT_TRANSLATE_NOOP("kr44::Commands",
                               "Executes one instruction of the paused program, a move to its end"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Step")},
            {C::RunToCursor, "debugRunToCursor",
             QT_TRANSLATE_NOOP("kr44::Commands", "Run to c&ursor\tCtrl+F10"),
             QT_TRANSLATE_NOOP("kr44::Commands",
                               "Lets the program run until it reaches the selected line"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Run to Cursor")},
            {C::ToggleBreakpoint, "debugToggleBreakpoint",
             QT_TRANSLATE_NOOP("kr44::Commands", "Toggle &breakpoint\tF9"),
             QT_TRANSLATE_NOOP("kr44::Commands",
                               "Sets or clears a breakpoint: the run stops before this line"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Toggle Breakpoint")},
            {C::SpeedRealTime, "speedRealTime", QT_TRANSLATE_NOOP("kr44::Commands", "&Real time"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Simulated time goes as fast as the clock"),
             nullptr},
            {C::SpeedTimes10, "speedTimes10",
             QT_TRANSLATE_NOOP("kr44::Commands", "&10 times faster"),
             QT_TRANSLATE_NOOP("kr44::Commands",
                               "Simulated time goes 10 times as fast as the clock"),
             nullptr},
            {C::SpeedTimes100, "speedTimes100",
             QT_TRANSLATE_NOOP("kr44::Commands", "100 times f&aster"),
             QT_TRANSLATE_NOOP("kr44::Commands",
                               "Simulated time goes 100 times as fast as the clock"),
             nullptr},
            {C::SpeedMaximum, "speedMaximum",
             QT_TRANSLATE_NOOP("kr44::Commands", "As fast as p&ossible"),
             QT_TRANSLATE_NOOP("kr44::Commands", "The virtual unit runs as fast as it can"),
             nullptr},
            {C::PortSettings, "portSettings", QT_TRANSLATE_NOOP("kr44::Commands", "&COM port"),
             nullptr, nullptr},
            {C::VirtualUnit, "virtualUnit",
             QT_TRANSLATE_NOOP("kr44::Commands", "&Virtual KR44 unit"),
             QT_TRANSLATE_NOOP(
                     "kr44::Commands",
                     "Connects to a virtual KR44 unit inside this program instead of the COM port"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Virtual Unit")},
            {C::LogLine, "logLine",
             QT_TRANSLATE_NOOP("kr44::Commands", "&Log the line to a file..."),
             QT_TRANSLATE_NOOP("kr44::Commands",
                               "Writes every byte sent and received on the line to a file"),
             nullptr},
            {C::ProblemsPanel, "problemsPanel", QT_TRANSLATE_NOOP("kr44::Commands", "P&roblems"),
             QT_TRANSLATE_NOOP("kr44::Commands",
                               "Shows what the program check finds in the active program"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Problems")},
            {C::VirtualUnitPanel, "virtualUnitPanel",
             QT_TRANSLATE_NOOP("kr44::Commands", "Virtual unit &panel"),
             QT_TRANSLATE_NOOP(
                     "kr44::Commands",
                     "Shows the virtual unit's counters, inputs and the motion of its last run"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Virtual Unit Panel")},
            {C::Cascade, "cascade", QT_TRANSLATE_NOOP("kr44::Commands", "&Cascade"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Arrange windows so they overlap"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Cascade Windows")},
            {C::Tile, "tile", QT_TRANSLATE_NOOP("kr44::Commands", "&Tile"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Arrange windows as non-overlapping tiles"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Tile Windows")},
            {C::NextWindow, "nextWindow",
             QT_TRANSLATE_NOOP("kr44::Commands", "Ne&xt Window\tCtrl+F6"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Switch to the next program window"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Next Window")},
            {C::PreviousWindow, "previousWindow",
             QT_TRANSLATE_NOOP("kr44::Commands", "Pre&vious Window\tCtrl+Shift+F6"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Switch to the previous program window"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Previous Window")},
            {C::NextPane, "nextPane", QT_TRANSLATE_NOOP("kr44::Commands", "Ne&xt Pane\tF6"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Switch to the next window pane"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Next Pane")},
            {C::PreviousPane, "previousPane",
             QT_TRANSLATE_NOOP("kr44::Commands", "Pre&vious Pane\tShift+F6"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Switch back to the previous window pane"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Previous Pane")},
            {C::MoreWindows, "moreWindows", QT_TRANSLATE_NOOP("kr44::Commands", "&More Windows..."),
             QT_TRANSLATE_NOOP("kr44::Commands", "Choose a window from all open program windows"),
             QT_TRANSLATE_NOOP("kr44::Commands", "More Windows")},
            {C::HelpIndex, "helpIndex", QT_TRANSLATE_NOOP("kr44::Commands", "&Help Index\tF1"),
             QT_TRANSLATE_NOOP("kr44::Commands", "List Help topics"),
             QT_TRANSLATE_NOOP("kr44::Commands", "Help Index")},
            {C::About, "about", QT_TRANSLATE_NOOP("kr44::Commands", "&About KR44..."),
             QT_TRANSLATE_NOOP("kr44::Commands",
                               "Display program information, version number and copyright"),
             QT_TRANSLATE_NOOP("kr44::Commands", "About")},
    };
    return infos;
}

QString commandText(const char *text)
{
    return text ? QCoreApplication::translate("kr44::Commands", text) : QString();
}

const CommandInfo &commandInfo(Command command)
{
    for (const CommandInfo &info : commandInfos()) {
        if (info.command == command)
            return info;
    }
    Q_UNREACHABLE();
}

QList<QKeySequence> commandShortcuts(Command command)
{
    switch (command) {
    case C::New:
        return {QKeySequence(Qt::CTRL | Qt::Key_N)};
    case C::Open:
        return {QKeySequence(Qt::CTRL | Qt::Key_O)};
    case C::Save:
        return {QKeySequence(Qt::CTRL | Qt::Key_S)};
    case C::Print:
        return {QKeySequence(Qt::CTRL | Qt::Key_P)};
    case C::Copy:
        return {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)};
    case C::Paste:
        return {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)};
    case C::Cut:
        return {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)};
    case C::Undo:
        return {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)};
    case C::Redo:
        return {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)};
    case C::HelpIndex:
        return {QKeySequence(Qt::Key_F1)};
    case C::CommandWindow:
        return {QKeySequence(Qt::Key_F2)};
    case C::SendProgram:
        return {QKeySequence(Qt::Key_F4)};
    case C::SendAndRun:
        return {QKeySequence(Qt::Key_F5)};
    case C::Pause:
        return {QKeySequence(Qt::Key_Pause)};
    case C::Continue:
        return {QKeySequence(Qt::Key_F8)};
    case C::Step:
        return {QKeySequence(Qt::Key_F10)};
    case C::RunToCursor:
        return {QKeySequence(Qt::CTRL | Qt::Key_F10)};
    case C::ToggleBreakpoint:
        return {QKeySequence(Qt::Key_F9)};
    case C::NextWindow:
        return {QKeySequence(Qt::CTRL | Qt::Key_F6), QKeySequence(Qt::CTRL | Qt::Key_Tab)};
    case C::NextPane:
        return {QKeySequence(Qt::Key_F6)};
    case C::PreviousPane:
        return {QKeySequence(Qt::SHIFT | Qt::Key_F6)};
    case C::PreviousWindow:
        return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F6),
                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)};
    default:
        return {};
    }
}

const QList<MenuSpec> &menuSpec(MenuBar bar)
{
    static const QList<MenuSpec> noProgram = {
            {QT_TRANSLATE_NOOP("kr44::Commands", "&File"),
             {C::New, C::Open, kSeparator, C::PrintSetup, kSeparator, C::RecentFile, kSeparator,
              C::Exit}},
            {QT_TRANSLATE_NOOP("kr44::Commands", "&View"), {C::ToolBar, C::StatusBar}},
            {QT_TRANSLATE_NOOP("kr44::Commands", "&Options"),
             {C::PortSettings, C::VirtualUnit, C::VirtualUnitPanel, C::LogLine, kSeparator,
              C::ToolBar, C::StatusBar}},
            {QT_TRANSLATE_NOOP("kr44::Commands", "&Help"), {C::HelpIndex, kSeparator, C::About}},
    };
    static const QList<MenuSpec> program = {
            {QT_TRANSLATE_NOOP("kr44::Commands", "&File"),
             {C::New, C::Open, C::Close, C::Save, C::SaveAs, kSeparator, C::SendMail, kSeparator,
              C::Print, C::PrintPreview, C::PrintSetup, kSeparator, C::RecentFile, kSeparator,
              C::Exit}},
            {QT_TRANSLATE_NOOP("kr44::Commands", "&Edit"),
             {C::Undo, C::Redo, kSeparator, C::Cut, C::Copy, C::Paste}},
            {QT_TRANSLATE_NOOP("kr44::Commands", "&KR44"),
             {C::CommandWindow, kSeparator, C::SendProgram, C::SendAndRun, C::StopProgram}},
            {QT_TRANSLATE_NOOP("kr44::Commands", "&Options"),
             {C::PortSettings, C::VirtualUnit, C::VirtualUnitPanel, C::LogLine, kSeparator,
              C::ProblemsPanel, C::ToolBar, C::StatusBar}},
            {QT_TRANSLATE_NOOP("kr44::Commands", "&Debug"),
             {C::ToggleBreakpoint, kSeparator, C::Pause, C::Continue, C::Step, C::RunToCursor,
              kSeparator, C::SpeedRealTime, C::SpeedTimes10, C::SpeedTimes100, C::SpeedMaximum}},
            {QT_TRANSLATE_NOOP("kr44::Commands", "&Window"),
             {C::Cascade, C::Tile, kSeparator, C::MoreWindows}},
            {QT_TRANSLATE_NOOP("kr44::Commands", "&Help"), {C::HelpIndex, kSeparator, C::About}},
    };
    return bar == MenuBar::Program ? program : noProgram;
}

const QList<MenuItem> &toolBarSpec()
{
    static const QList<MenuItem> buttons
            = {C::New,           C::Open,    C::Save,        kSeparator, C::Print, kSeparator,
               C::CommandWindow, kSeparator, C::SendProgram, kSeparator, C::About};
    return buttons;
}

} // namespace kr44
