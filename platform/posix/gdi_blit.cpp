// Copying pixels between device contexts (BitBlt) and painting areas with
// the brush or inverting them (PatBlt, InvertRect), by the raster
// operations the system's drawing uses.
#include "platform/posix/errors.h"
#include "platform/posix/gdi_raster.h"

#include <algorithm>
#include <vector>

namespace {

enum class Source { None, Needed };

struct Operation {
    DWORD rop;
    Source source;
    COLORREF (*apply)(COLORREF source, COLORREF destination, COLORREF pattern);
};

const Operation kOperations[] = {
    {SRCCOPY, Source::Needed, [](COLORREF s, COLORREF, COLORREF) { return s; }},
    {SRCPAINT, Source::Needed, [](COLORREF s, COLORREF d, COLORREF) { return s | d; }},
    {SRCAND, Source::Needed, [](COLORREF s, COLORREF d, COLORREF) { return s & d; }},
    {SRCINVERT, Source::Needed, [](COLORREF s, COLORREF d, COLORREF) { return s ^ d; }},
    {NOTSRCCOPY, Source::Needed, [](COLORREF s, COLORREF, COLORREF) { return ~s; }},
    {DSTINVERT, Source::None, [](COLORREF, COLORREF d, COLORREF) { return ~d; }},
    {PATCOPY, Source::None, [](COLORREF, COLORREF, COLORREF p) { return p; }},
    {PATINVERT, Source::None, [](COLORREF, COLORREF d, COLORREF p) { return p ^ d; }},
    {BLACKNESS, Source::None, [](COLORREF, COLORREF, COLORREF) { return COLORREF(0); }},
    {WHITENESS, Source::None, [](COLORREF, COLORREF, COLORREF) { return COLORREF(0xFFFFFF); }},
};

const Operation *operationOf(DWORD rop) {
    for (const Operation &operation : kOperations)
        if (operation.rop == rop)
            return &operation;
    return nullptr;
}

// A source pixel as the destination sees it: between a colour and a
// monochrome bitmap, black and white become the destination's text and
// background colours, and the source's background colour becomes white.
COLORREF converted(COLORREF pixel, const posix::Canvas &from, const posix::DeviceContext &source,
                   const posix::Canvas &to, const posix::DeviceContext &destination) {
    if (from.monochrome && !to.monochrome)
        return pixel ? destination.backColour : destination.textColour;
    if (!from.monochrome && to.monochrome)
        return pixel == source.backColour ? RGB(255, 255, 255) : RGB(0, 0, 0);
    return pixel;
}

struct Area {
    LONG x, y, width, height;
};

// Normalises a width or height that runs backwards.
Area normalised(int x, int y, int width, int height) {
    Area area{x, y, width, height};
    if (area.width < 0)
        area.x += area.width, area.width = -area.width;
    if (area.height < 0)
        area.y += area.height, area.height = -area.height;
    return area;
}

BOOL blit(posix::DeviceContext &destination, Area area, posix::DeviceContext *source, LONG fromX,
          LONG fromY, const Operation &operation) {
    posix::Canvas to = destination.canvas();
    posix::Canvas from = source ? source->canvas() : posix::Canvas{};
    RECT target =
        posix::surfaceRect(to, RECT{area.x, area.y, area.x + area.width, area.y + area.height});
    COLORREF pattern = destination.brush->paints() ? destination.brush->colour : 0;
    // The source is read whole before anything is written, as the two may
    // be the same pixels.
    std::vector<COLORREF> copied;
    LONG dx = fromX - (area.x + to.origin.x), dy = fromY - (area.y + to.origin.y);
    for (LONG y = target.top; y < target.bottom; y++)
        for (LONG x = target.left; x < target.right; x++) {
            if (!source) {
                copied.push_back(0);
                continue;
            }
            LONG sx = x + dx + from.origin.x, sy = y + dy + from.origin.y;
            bool inside = from.surface && sx >= from.clip.left && sx < from.clip.right &&
                          sy >= from.clip.top && sy < from.clip.bottom;
            copied.push_back(
                inside ? converted(from.surface->at(sx, sy), from, *source, to, destination) |
                             0x80000000u
                       : 0);
        }
    size_t i = 0;
    for (LONG y = target.top; y < target.bottom; y++)
        for (LONG x = target.left; x < target.right; x++, i++) {
            if (source && !(copied[i] & 0x80000000u))
                continue; // outside the source: left as it was
            COLORREF &pixel = to.surface->pixels[size_t(y) * size_t(to.surface->width) + size_t(x)];
            pixel = posix::storedColour(to, operation.apply(copied[i] & 0xFFFFFF, pixel, pattern));
        }
    return TRUE;
}

} // namespace

BOOL WINAPI BitBlt(HDC dc, int x, int y, int width, int height, HDC sourceDC, int fromX, int fromY,
                   DWORD rop) {
    const Operation *operation = operationOf(rop);
    if (!operation)
        return posix::failWith(ERROR_INVALID_PARAMETER);
    auto destination = posix::findDC(dc);
    if (!destination)
        return FALSE;
    std::shared_ptr<posix::DeviceContext> source;
    if (operation->source == Source::Needed && !(source = posix::findDC(sourceDC)))
        return FALSE;
    Area area = normalised(x, y, width, height);
    // A copied picture hides what was drawn under it.
    if (rop == SRCCOPY)
        posix::coverMarks(destination->canvas(),
                          RECT{area.x, area.y, area.x + area.width, area.y + area.height});
    return blit(*destination, area, source.get(), fromX, fromY, *operation);
}

BOOL WINAPI PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
    const Operation *operation = operationOf(rop);
    if (!operation || operation->source == Source::Needed)
        return posix::failWith(ERROR_INVALID_PARAMETER);
    auto context = posix::findDC(dc);
    if (!context)
        return FALSE;
    return blit(*context, normalised(x, y, width, height), nullptr, 0, 0, *operation);
}

BOOL WINAPI InvertRect(HDC dc, const RECT *rect) {
    auto context = posix::findDC(dc);
    if (!context)
        return FALSE;
    if (!rect)
        return posix::failWith(ERROR_INVALID_PARAMETER);
    posix::invertRect(context->canvas(), *rect);
    return TRUE;
}
