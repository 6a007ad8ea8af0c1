// Bitmap objects: pixels that a memory device context draws into and
// BitBlt copies from, in colour or in black and white.
#ifndef TAVO_POSIX_GDI_BITMAP_H
#define TAVO_POSIX_GDI_BITMAP_H

#include "platform/posix/gdi_objects.h"
#include "platform/posix/surface.h"

namespace posix {

struct Bitmap : GdiObject {
    // Black pixels; bitsPixel is 1 (monochrome) or 32 (the screen's).
    Bitmap(LONG width, LONG height, int bitsPixel);
    int describe(int size, void *buffer) const override;

    Surface pixels;
    const int bitsPixel;
};

// A colour bitmap of the screen's depth, or a monochrome one, holding
// pixels (width x height, top row first); null for an empty picture.
HBITMAP createBitmap(LONG width, LONG height, int bitsPixel, const std::vector<COLORREF> &pixels);

// The 1 by 1 monochrome bitmap that a memory context starts with.
HBITMAP defaultBitmap();

} // namespace posix

#endif
