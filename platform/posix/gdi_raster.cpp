// Filling, inverting and blending the pixels of a canvas within its clip.
#include "platform/posix/gdi_raster.h"

#include <algorithm>

namespace posix {

namespace {

COLORREF *row(const Canvas &canvas, LONG y) {
    return canvas.surface->pixels.data() + size_t(y) * size_t(canvas.surface->width);
}

unsigned mix(unsigned from, unsigned to, unsigned coverage) {
    return (from * (255 - coverage) + to * coverage + 127) / 255;
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

void blendCoverage(const Canvas &canvas, LONG x, LONG y, int width, int height,
                   const uint8_t *coverage, COLORREF colour) {
    RECT area = surfaceRect(canvas, RECT{x, y, x + width, y + height});
    COLORREF stored = storedColour(canvas, colour);
    LONG left = x + canvas.origin.x, top = y + canvas.origin.y;
    for (LONG sy = area.top; sy < area.bottom; sy++) {
        const uint8_t *from =
            coverage + size_t(sy - top) * size_t(width) + size_t(area.left - left);
        COLORREF *to = row(canvas, sy) + area.left;
        for (LONG sx = area.left; sx < area.right; sx++, from++, to++) {
            unsigned amount = *from;
            if (amount == 0)
                continue;
            if (amount == 255 || canvas.monochrome) {
                if (amount >= 128)
                    *to = stored;
                continue;
            }
            *to = RGB(mix(GetRValue(*to), GetRValue(colour), amount),
                      mix(GetGValue(*to), GetGValue(colour), amount),
                      mix(GetBValue(*to), GetBValue(colour), amount));
        }
    }
}

void markDrawn(const Canvas &canvas, Mark::Kind kind, const RECT &rect, std::u16string text) {
    // Text is kept even when empty: an empty line still has its place.
    RECT visible = surfaceRect(canvas, rect);
    if (canvas.surface == nullptr || (kind != Mark::Text && visible.right <= visible.left))
        return;
    RECT box = rect;
    OffsetRect(&box, canvas.origin.x, canvas.origin.y);
    canvas.surface->marks.push_back(Mark{kind, box, std::move(text)});
}

void coverMarks(const Canvas &canvas, const RECT &rect) {
    if (canvas.surface != nullptr)
        canvas.surface->cover(surfaceRect(canvas, rect));
}

} // namespace posix
