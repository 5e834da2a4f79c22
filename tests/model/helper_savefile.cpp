// Loads SOURCE and saves its lines to TARGET; prints the error message and exits 1 on failure.
// Tests start it under another user to meet permissions that root would ignore.
#include "programfile.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: helper_savefile SOURCE TARGET\n");
        return 2;
    }
    const kr44::LoadResult loaded = kr44::loadProgramFile(QString::fromLocal8Bit(argv[1]));
    if (!loaded.error.ok()) {
        std::printf("%s\n", loaded.error.message().toLocal8Bit().constData());
        return 1;
    }
    const kr44::FileError error = kr44::saveProgramFile(QString::fromLocal8Bit(argv[2]), loaded.lines);
    if (!error.ok()) {
        std::printf("%s\n", error.message().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
