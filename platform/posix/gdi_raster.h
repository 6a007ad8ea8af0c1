// Pixel operations on a canvas, in the logical coordinates of its device
// context: everything the drawing calls are made of. Every operation
// keeps to the canvas's clip.
#ifndef TAVO_POSIX_GDI_RASTER_H
#define TAVO_POSIX_GDI_RASTER_H

#include "platform/posix/gdi_dc.h"

#include <cstdint>

namespace posix {

// The colour a canvas stores for colour: itself, or on a 1-bit canvas
// black or white, whichever is nearer.
COLORREF storedColour(const Canvas &canvas, COLORREF colour);

// The pixels of rect (logical, right and bottom exclusive) that lie in
// the clip, in surface coordinates; empty when none do.
RECT surfaceRect(const Canvas &canvas, const RECT &rect);

// Fills rect with colour.
void fillRect(const Canvas &canvas, const RECT &rect, COLORREF colour);

// Pixels x to right - 1 of row y.
void fillSpan(const Canvas &canvas, LONG y, LONG x, LONG right, COLORREF colour);

// Inverts every colour channel of the pixels of rect.
void invertRect(const Canvas &canvas, const RECT &rect);

// Mixes colour into the pixels of a width x height block whose top-left
// is (x, y), by coverage: 0 keeps a pixel, 255 replaces it.
void blendCoverage(const Canvas &canvas, LONG x, LONG y, int width, int height,
                   const uint8_t *coverage, COLORREF colour);

// Keeps a mark of what was drawn in rect (logical) on the canvas's
// surface, for readers of what a window shows; text for a Text mark.
void markDrawn(const Canvas &canvas, Mark::Kind kind, const RECT &rect, std::u16string text = {});
// Forgets the marks that drawing over rect (logical) hid.
void coverMarks(const Canvas &canvas, const RECT &rect);

} // namespace posix

#endif
