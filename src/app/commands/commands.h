#pragma once

namespace kr44 {

// Every command of the menus, the keys and the toolbar. Each is one QAction, made by the main
// window from the command table.
enum class Command {
    New,
    Open,
    Close,
    Save,
    SaveAs,
    SendMail,
    Print,
    PrintPreview,
    PrintSetup,
    RecentFile, // where the recent files stand in the File menu
    Exit,
    ToolBar,
    StatusBar,
    Undo,
    Redo,
    Cut,
    Copy,
    Paste,
    CommandWindow,
    SendProgram,
    SendAndRun,
    StopProgram,
    // Debugging a program on the virtual unit.
    Pause,
    Continue,
    Step,
    RunToCursor,
    ToggleBreakpoint,
    SpeedRealTime,
    SpeedTimes10,
    SpeedTimes100,
    SpeedMaximum,
    PortSettings,
    VirtualUnit,
    ProblemsPanel,
    VirtualUnitPanel,
    LogLine,
    Cascade,
    Tile,
    NextWindow,
    PreviousWindow,
    NextPane,
    PreviousPane,
    MoreWindows, // in the Window menu: the open program windows, then this past nine of them
    HelpIndex,
    About,
};

} // namespace kr44
