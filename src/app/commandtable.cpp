#include "commandtable.h"

#include "commands.h"

namespace kr44 {

using namespace cmd;

const QList<CommandInfo> &commandInfos()
{
    static const QList<CommandInfo> infos = {
            {ID_FILE_NEW, "&New\tCtrl+N", "Create a new document\nNew"},
            {ID_FILE_OPEN, "&Open...\tCtrl+O", "Open an existing document\nOpen"},
            {ID_FILE_CLOSE, "&Close", "Close the active document\nClose"},
            {ID_FILE_SAVE, "&Save\tCtrl+S", "Save the active document\nSave"},
            {ID_FILE_SAVE_AS, "Save &As...", "Save the active document with a new name\nSave As"},
            {ID_FILE_SEND_MAIL, "&Mail",
             "Send the active document through electronic mail\nSend Mail"},
            {ID_FILE_PRINT, "&Print...\tCtrl+P", "Print the active document\nPrint"},
            {ID_FILE_PRINT_PREVIEW, "Print Pre&view", "Display full pages\nPrint Preview"},
            {ID_FILE_PRINT_SETUP, "P&rint Setup...",
             "Change the printer and printing options\nPrint Setup"},
            {ID_FILE_MRU_FILE1, "Recent File", "Open this document"},
            {ID_APP_EXIT, "E&xit", "Quit the application; prompts to save documents\nExit"},
            {ID_VIEW_TOOLBAR, "&Toolbar", "Show or hide the toolbar\nToggle ToolBar"},
            {ID_VIEW_STATUS_BAR, "&Status Bar", "Show or hide the status bar\nToggle StatusBar"},
            {ID_EDIT_UNDO, "&Undo\tCtrl+Z", "Undo the last action\nUndo"},
            {ID_EDIT_REDO, "&Redo\tCtrl+Y", "Redo the previously undone action\nRedo"},
            {ID_EDIT_CUT, "Cu&t\tCtrl+X", "Cut the selected line and put it on the Clipboard\nCut"},
            {ID_EDIT_COPY, "&Copy\tCtrl+C",
             "Copy the selected line and put it on the Clipboard\nCopy"},
            {ID_EDIT_PASTE, "&Paste\tCtrl+V",
             "Insert the Clipboard's lines before the selected line\nPaste"},
            {ID_COMMAND_WINDOW, "&Command Window\tF2",
             "Communicate directly with the selected KR44\nCommand Window"},
            {ID_SEND_PROGRAM, "&Send program\tF4",
             "Sends the current program to the KR44\nSend Program"},
            {ID_SEND_AND_RUN, "Send program and &run it\tF5",
             "Sends the current program to the KR44 and runs it\nSend and Run"},
            {ID_STOP_PROGRAM, "Sto&p program", "Stops the currently running program\nStop Program"},
            {ID_COM_PORT, "&COM port", nullptr},
            {ID_VIRTUAL_UNIT, "&Virtual KR44 unit",
             "Connects to a virtual KR44 unit inside this program instead of the COM port\nVirtual "
             "Unit"},
            {ID_PROBLEMS_PANEL, "P&roblems",
             "Shows what the program check finds in the active program\nProblems"},
            {ID_VIRTUAL_UNIT_PANEL, "Virtual unit &panel",
             "Shows the virtual unit's counters, inputs and the motion of its last run\nVirtual "
             "Unit Panel"},
            {ID_WINDOW_CASCADE, "&Cascade", "Arrange windows so they overlap\nCascade Windows"},
            {ID_WINDOW_TILE_HORZ, "&Tile", "Arrange windows as non-overlapping tiles\nTile Windows"},
            {ID_HELP_INDEX, "&Help Index\tF1", "List Help topics\nHelp Index"},
            {ID_APP_ABOUT, "&About KR44...",
             "Display program information, version number and copyright\nAbout"},
    };
    return infos;
}

const CommandInfo *findCommand(int id)
{
    for (const CommandInfo &info : commandInfos()) {
        if (info.id == id)
            return &info;
    }
    return nullptr;
}

QList<QKeySequence> acceleratorsFor(int id)
{
    switch (id) {
    case ID_FILE_NEW:
        return {QKeySequence(Qt::CTRL | Qt::Key_N)};
    case ID_FILE_OPEN:
        return {QKeySequence(Qt::CTRL | Qt::Key_O)};
    case ID_FILE_SAVE:
        return {QKeySequence(Qt::CTRL | Qt::Key_S)};
    case ID_FILE_PRINT:
        return {QKeySequence(Qt::CTRL | Qt::Key_P)};
    case ID_EDIT_COPY:
        return {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)};
    case ID_EDIT_PASTE:
        return {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)};
    case ID_EDIT_CUT:
        return {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)};
    case ID_EDIT_UNDO:
        return {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)};
    case ID_EDIT_REDO:
        return {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)};
    case ID_HELP_INDEX:
        return {QKeySequence(Qt::Key_F1)};
    case ID_COMMAND_WINDOW:
        return {QKeySequence(Qt::Key_F2)};
    case ID_SEND_PROGRAM:
        return {QKeySequence(Qt::Key_F4)};
    case ID_SEND_AND_RUN:
        return {QKeySequence(Qt::Key_F5)};
    default:
        return {};
    }
}

QString statusPrompt(const CommandInfo &info)
{
    return info.prompt ? QString::fromLatin1(info.prompt).section(QLatin1Char('\n'), 0, 0)
                       : QString();
}

QString toolTip(const CommandInfo &info)
{
    return info.prompt ? QString::fromLatin1(info.prompt).section(QLatin1Char('\n'), 1, 1)
                       : QString();
}

const QList<MenuSpec> &menuSpec(int menuId)
{
    static const QList<MenuSpec> noProgram = {
            {"&File",
             {ID_FILE_NEW, ID_FILE_OPEN, 0, ID_FILE_PRINT_SETUP, 0, ID_FILE_MRU_FILE1, 0,
              ID_APP_EXIT}},
            {"&View", {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}},
            {"&Options",
             {ID_COM_PORT, ID_VIRTUAL_UNIT, ID_VIRTUAL_UNIT_PANEL, 0, ID_VIEW_TOOLBAR,
              ID_VIEW_STATUS_BAR}},
            {"&Help", {ID_HELP_INDEX, 0, ID_APP_ABOUT}},
    };
    static const QList<MenuSpec> program = {
            {"&File",
             {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS, 0,
              ID_FILE_SEND_MAIL, 0, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP, 0,
              ID_FILE_MRU_FILE1, 0, ID_APP_EXIT}},
            {"&Edit", {ID_EDIT_UNDO, ID_EDIT_REDO, 0, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE}},
            {"&KR44", {ID_COMMAND_WINDOW, 0, ID_SEND_PROGRAM, ID_SEND_AND_RUN, ID_STOP_PROGRAM}},
            {"&Options",
             {ID_COM_PORT, ID_VIRTUAL_UNIT, ID_VIRTUAL_UNIT_PANEL, 0, ID_PROBLEMS_PANEL,
              ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}},
            {"&Window", {ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ}},
            {"&Help", {ID_HELP_INDEX, 0, ID_APP_ABOUT}},
    };
    return menuId == kMenuProgram ? program : noProgram;
}

const QList<int> &toolbarSpec()
{
    static const QList<int> buttons = {ID_FILE_NEW,       ID_FILE_OPEN,
                                       ID_FILE_SAVE,      0,
                                       ID_FILE_PRINT,     0,
                                       ID_COMMAND_WINDOW, 0,
                                       ID_SEND_PROGRAM,   0,
                                       ID_APP_ABOUT};
    return buttons;
}

} // namespace kr44
