#pragma once

// Command numbers of menus, accelerators and toolbar buttons.

namespace kr44 {

namespace cmd {
enum : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_CLOSE = 57602,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_DIRECT = 57608,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_SEND_MAIL = 57612,
    ID_FILE_MRU_FILE1 = 57616,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE_HORZ = 57651,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_HELP_INDEX = 57666,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_SEND_PROGRAM = 32771,
    ID_COMMAND_WINDOW = 32772,
    ID_COM_PORT = 32778,
    ID_COMM_PAUSE = 32779,
    ID_COMM_RESUME = 32780,
    ID_SEND_AND_RUN = 32781,
    ID_STOP_PROGRAM = 32782,
    // Connect to the virtual unit of this program instead of the COM port.
    ID_VIRTUAL_UNIT = 32790,
    // Show or hide the virtual unit's panel.
    ID_VIRTUAL_UNIT_PANEL = 32791,
    // Show or hide the list of the program check's findings.
    ID_PROBLEMS_PANEL = 32792,
};
} // namespace cmd

} // namespace kr44
