// Build-time generator of the engine's cursor bitmaps: writes arrow.bmp, hand.bmp,
// crosshair.bmp and dot.bmp (4 bits per pixel) into the folder named on the command line.
#include <cstdio>

#include "cursor_art.h"
#include "file_output.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_cursor_bitmaps <output folder>\n");
        return 2;
    }
    const struct {
        CursorKind kind;
        const char* file;
    } cursors[] = {
        {CursorKind::Arrow, "arrow.bmp"},
        {CursorKind::Hand, "hand.bmp"},
        {CursorKind::Crosshair, "crosshair.bmp"},
        {CursorKind::Dot, "dot.bmp"},
    };
    for (const auto& cursor : cursors) {
        if (!WriteFileBytes(argv[1], cursor.file, IndexedBmpFile(DrawCursor(cursor.kind), 4))) {
            return 1;
        }
    }
    return 0;
}
