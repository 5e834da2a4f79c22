#pragma once

#include <QIcon>

// The toolbar's pictures where the desktop's icon theme has none: drawn with a few shapes at
// whatever size and pixel density a button asks for, and only when it asks. The style's own
// pictures, the alternative, decode three image files each before the first frame.

namespace kr44 {

enum class CommandPicture {
    NewProgram,    // a sheet with a folded corner
    OpenProgram,   // a folder
    SaveProgram,   // a diskette
    PrintProgram,  // a printer with a sheet
    CommandWindow, // a terminal with a prompt
    SendProgram,   // an arrow into a unit
    About,         // an "i" in a circle
};

// The picture drawn into a `side` by `side` pixel square at `devicePixelRatio`.
[[nodiscard]] QPixmap drawCommandPicture(CommandPicture picture, int side, qreal devicePixelRatio);

// An icon of the picture: drawn on demand, each size once.
[[nodiscard]] QIcon commandPictureIcon(CommandPicture picture);

} // namespace kr44
