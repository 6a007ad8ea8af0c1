// What a window shows, read as a screen reader reads it: from the marks of
// what was drawn into it rather than from its pixels. Lines of text, and
// lines of braille cells (each drawn as eight dot positions, raised ones
// as circles) as Unicode braille patterns (U+2800 to U+28FF, with dots 7
// and 8), so that a braille display reads the cells the window shows.
#ifndef TAVO_HOST_WINDOW_READER_H
#define TAVO_HOST_WINDOW_READER_H

#include "platform/platform.h"

#include <string>
#include <vector>

namespace host {

struct ShownLine {
    std::string text; // UTF-8
    RECT box;         // in the window's pixels, frame included
    bool braille = false;
};

// The lines a window shows, top to bottom; empty when it is hidden or
// gone.
std::vector<ShownLine> readWindow(HWND window);

} // namespace host

#endif
