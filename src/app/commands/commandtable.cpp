#include "app/commands/commandtable.h"

namespace kr44 {

namespace {

using C = Command;
constexpr MenuItem kSeparator = std::nullopt;

} // namespace

const QList<CommandInfo> &commandInfos()
{
    static const QList<CommandInfo> infos = {
            {C::New, "fileNew", "&New\tCtrl+N", "Create a new document", "New"},
            {C::Open, "fileOpen", "&Open...\tCtrl+O", "Open an existing document", "Open"},
            {C::Close, "fileClose", "&Close", "Close the active document", "Close"},
            {C::Save, "fileSave", "&Save\tCtrl+S", "Save the active document", "Save"},
            {C::SaveAs, "fileSaveAs", "Save &As...", "Save the active document with a new name",
             "Save As"},
            {C::SendMail, "fileSendMail", "&Mail",
             "Send the active document through electronic mail", "Send Mail"},
            {C::Print, "filePrint", "&Print...\tCtrl+P", "Print the active document", "Print"},
            {C::PrintPreview, "filePrintPreview", "Print Pre&view", "Display full pages",
             "Print Preview"},
            {C::PrintSetup, "filePrintSetup", "P&rint Setup...",
             "Change the printer and printing options", "Print Setup"},
            {C::RecentFile, "recentFile", "Recent File", "Open this document", nullptr},
            {C::Exit, "exit", "E&xit", "Quit the application; prompts to save documents", "Exit"},
            {C::ToolBar, "toolBar", "&Toolbar", "Show or hide the toolbar", "Toggle ToolBar"},
            {C::StatusBar, "statusBar", "&Status Bar", "Show or hide the status bar",
             "Toggle StatusBar"},
            {C::Undo, "undo", "&Undo\tCtrl+Z", "Undo the last action", "Undo"},
            {C::Redo, "redo", "&Redo\tCtrl+Y", "Redo the previously undone action", "Redo"},
            {C::Cut, "cut", "Cu&t\tCtrl+X", "Cut the selected line and put it on the Clipboard",
             "Cut"},
            {C::Copy, "copy", "&Copy\tCtrl+C", "Copy the selected line and put it on the Clipboard",
             "Copy"},
            {C::Paste, "paste", "&Paste\tCtrl+V",
             "Insert the Clipboard's lines before the selected line", "Paste"},
            {C::CommandWindow, "commandWindow", "&Command Window\tF2",
             "Communicate directly with the selected KR44", "Command Window"},
            {C::SendProgram, "sendProgram", "&Send program\tF4",
             "Sends the current program to the KR44", "Send Program"},
            {C::SendAndRun, "sendAndRun", "Send program and &run it\tF5",
             "Sends the current program to the KR44 and runs it", "Send and Run"},
            {C::StopProgram, "stopProgram", "Sto&p program", "Stops the currently running program",
             "Stop Program"},
            {C::PortSettings, "portSettings", "&COM port", nullptr, nullptr},
            {C::VirtualUnit, "virtualUnit", "&Virtual KR44 unit",
             "Connects to a virtual KR44 unit inside this program instead of the COM port",
             "Virtual Unit"},
            {C::ProblemsPanel, "problemsPanel", "P&roblems",
             "Shows what the program check finds in the active program", "Problems"},
            {C::VirtualUnitPanel, "virtualUnitPanel", "Virtual unit &panel",
             "Shows the virtual unit's counters, inputs and the motion of its last run",
             "Virtual Unit Panel"},
            {C::Cascade, "cascade", "&Cascade", "Arrange windows so they overlap",
             "Cascade Windows"},
            {C::Tile, "tile", "&Tile", "Arrange windows as non-overlapping tiles", "Tile Windows"},
            {C::HelpIndex, "helpIndex", "&Help Index\tF1", "List Help topics", "Help Index"},
            {C::About, "about", "&About KR44...",
             "Display program information, version number and copyright", "About"},
    };
    return infos;
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
    default:
        return {};
    }
}

const QList<MenuSpec> &menuSpec(MenuBar bar)
{
    static const QList<MenuSpec> noProgram = {
            {"&File",
             {C::New, C::Open, kSeparator, C::PrintSetup, kSeparator, C::RecentFile, kSeparator,
              C::Exit}},
            {"&View", {C::ToolBar, C::StatusBar}},
            {"&Options",
             {C::PortSettings, C::VirtualUnit, C::VirtualUnitPanel, kSeparator, C::ToolBar,
              C::StatusBar}},
            {"&Help", {C::HelpIndex, kSeparator, C::About}},
    };
    static const QList<MenuSpec> program = {
            {"&File",
             {C::New, C::Open, C::Close, C::Save, C::SaveAs, kSeparator, C::SendMail, kSeparator,
              C::Print, C::PrintPreview, C::PrintSetup, kSeparator, C::RecentFile, kSeparator,
              C::Exit}},
            {"&Edit", {C::Undo, C::Redo, kSeparator, C::Cut, C::Copy, C::Paste}},
            {"&KR44", {C::CommandWindow, kSeparator, C::SendProgram, C::SendAndRun, C::StopProgram}},
            {"&Options",
             {C::PortSettings, C::VirtualUnit, C::VirtualUnitPanel, kSeparator, C::ProblemsPanel,
              C::ToolBar, C::StatusBar}},
            {"&Window", {C::Cascade, C::Tile}},
            {"&Help", {C::HelpIndex, kSeparator, C::About}},
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
