// Filling and inverting the pixels of a canvas within its clip.
#include "platform/posix/gdi_raster.h"

#include <algorithm>

namespace posix {

namespace {

COLORREF *row(const Canvas &canvas, LONG y) {
    return canvas.surface->pixels.data() + size_t(y) * size_t(canvas.surface->width);
}

} // namespace

COLORREF storedColour(const Canvas &canvas, COLORREF colour) {
    colour &= 0xFFFFFF;
    if (!canvas.monochrome)
        return colour;
    unsigned light = GetRValue(colour) * 30 + GetGValue(colour) * 59 + GetBValue(colour) * 11;
    return light >= 128 * 100 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

RECT surfaceRect(const Canvas &canvas, const RECT &rect) {
    if (!canvas.surface)
        return RECT{};
    RECT out{std::max(rect.left + canvas.origin.x, canvas.clip.left),
             std::max(rect.top + canvas.origin.y, canvas.clip.top),
             std::min(rect.right + canvas.origin.x, canvas.clip.right),
             std::min(rect.bottom + canvas.origin.y, canvas.clip.bottom)};
    if (out.right <= out.left || out.bottom <= out.top)
        return RECT{};
    return out;
}

void fillRect(const Canvas &canvas, const RECT &rect, COLORREF colour) {
    RECT area = surfaceRect(canvas, rect);
    COLORREF stored = storedColour(canvas, colour);
    for (LONG y = area.top; y < area.bottom; y++)
        std::fill(row(canvas, y) + area.left, row(canvas, y) + area.right, stored);
}

void fillSpan(const Canvas &canvas, LONG y, LONG x, LONG right, COLORREF colour) {
    fillRect(canvas, RECT{x, y, right, y + 1}, colour);
}

void invertRect(const Canvas &canvas, const RECT &rect) {
    RECT area = surfaceRect(canvas, rect);
    for (LONG y = area.top; y < area.bottom; y++)
        for (COLORREF *pixel = row(canvas, y) + area.left; pixel < row(canvas, y) + area.right;
             pixel++)
            *pixel ^= 0xFFFFFF;
}

} // namespace posix
