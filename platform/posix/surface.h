// The pixels of a window or of a picture of the screen: what the software
// GDI draws into, what the window manager composes the screen from, and
// what is written out as PNG for tests and for people.
//
// The window side (USER32) owns each window's surface and asks GDI for a
// device context on it; GDI draws through the context without knowing
// about windows.
#ifndef TAVO_POSIX_SURFACE_H
#define TAVO_POSIX_SURFACE_H

#include "platform/platform.h"

#include <string>
#include <utility>
#include <vector>

namespace posix {

// What was drawn where, as a screen reader's off-screen model keeps it:
// each text output with its box, and each shape, in surface pixels.
struct Mark {
    enum Kind { Text, Ellipse, Rectangle } kind;
    RECT box;
    std::u16string text; // of a Text mark
};

struct Surface {
    LONG width = 0;
    LONG height = 0;
    std::vector<COLORREF> pixels; // rows top-down, each pixel 0x00BBGGRR
    std::vector<Mark> marks;      // in the order they were drawn

    // Pixels the old and new sizes share are kept; new ones are fill. The
    // marks are forgotten.
    void resize(LONG newWidth, LONG newHeight, COLORREF fill);
    COLORREF at(LONG x, LONG y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    // Something drawn over area (surface pixels) hides the marks wholly
    // inside it.
    void cover(const RECT &area);
};

// A device context that draws into surface (null: draws nothing, as the
// screen's context for measuring). Logical (0, 0) is origin in the
// surface's pixels, and nothing is drawn outside clip (surface pixels).
// Close it with closeSurfaceDC; the surface must outlive it.
HDC openSurfaceDC(Surface *surface, POINT origin, RECT clip);
void closeSurfaceDC(HDC dc);

// Writes the surface as an 8-bit RGB PNG; false when the file can't be
// written.
bool writePng(const Surface &surface, const std::string &path);

} // namespace posix

#endif
