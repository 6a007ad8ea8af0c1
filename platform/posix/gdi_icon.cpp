// Icons and cursors as objects: the table of handles, scaling, the
// system's arrow, destroying them, their bitmaps and drawing them.
#include "platform/posix/gdi_icon.h"
#include "platform/posix/errors.h"
#include "platform/posix/gdi_bitmap.h"
#include "platform/posix/gdi_handles.h"
#include "platform/posix/gdi_raster.h"

#include <algorithm>

namespace posix {

namespace {

HandleTable<HICON, Icon> &icons() {
    return leakedTable<HICON, Icon>();
}

// The arrow: B black, W white, anything else shows the screen.
const char *const kArrow[] = {
    "B",        "BB",        "BWB",        "BWWB",        "BWWWB",        "BWWWWB",   "BWWWWWB",
    "BWWWWWWB", "BWWWWWWWB", "BWWWWWWWWB", "BWWWWWWWWWB", "BWWWWWWBBBBB", "BWWWBWWB", "BWWBBWWB",
    "BWB BWWB", "BB   BWWB", "B     BWWB", "      BWWB",  "       BB",
};
constexpr LONG kCursorSize = 32;

} // namespace

HICON addIcon(std::shared_ptr<Icon> icon) {
    return icons().add(std::move(icon));
}

std::shared_ptr<Icon> findIcon(HICON handle) {
    return icons().find(handle);
}

Icon scaledIcon(const Icon &icon, LONG width, LONG height) {
    Icon scaled = icon;
    scaled.width = width;
    scaled.height = height;
    scaled.image.assign(size_t(width) * size_t(height), 0);
    scaled.mask.assign(scaled.image.size(), 1);
    for (LONG y = 0; y < height; y++)
        for (LONG x = 0; x < width; x++) {
            size_t from = size_t(y * icon.height / height) * size_t(icon.width) +
                          size_t(x * icon.width / width);
            scaled.image[size_t(y) * size_t(width) + size_t(x)] = icon.image[from];
            scaled.mask[size_t(y) * size_t(width) + size_t(x)] = icon.mask[from];
        }
    scaled.hotSpot =
        POINT{icon.hotSpot.x * width / icon.width, icon.hotSpot.y * height / icon.height};
    return scaled;
}

HCURSOR arrowCursor() {
    static const HCURSOR arrow = [] {
        auto icon = std::make_shared<Icon>();
        icon->isIcon = false;
        icon->width = icon->height = kCursorSize;
        icon->bitsPixel = 1;
        icon->shared = true;
        icon->image.assign(size_t(kCursorSize * kCursorSize), 0);
        icon->mask.assign(icon->image.size(), 1);
        for (size_t y = 0; y < std::size(kArrow); y++)
            for (size_t x = 0; kArrow[y][x]; x++) {
                char c = kArrow[y][x];
                if (c != 'B' && c != 'W')
                    continue;
                icon->image[y * kCursorSize + x] = c == 'W' ? RGB(255, 255, 255) : 0;
                icon->mask[y * kCursorSize + x] = 0;
            }
        return addIcon(icon);
    }();
    return arrow;
}

} // namespace posix

namespace {

// Shared icons stay (Windows keeps them until the module goes).
BOOL destroy(HICON handle) {
    auto icon = posix::findIcon(handle);
    if (!icon)
        return FALSE;
    if (!icon->shared)
        posix::leakedTable<HICON, posix::Icon>().remove(handle);
    return TRUE;
}

std::vector<COLORREF> maskPixels(const posix::Icon &icon) {
    std::vector<COLORREF> pixels(icon.mask.size());
    std::transform(icon.mask.begin(), icon.mask.end(), pixels.begin(),
                   [](uint8_t through) { return through ? RGB(255, 255, 255) : RGB(0, 0, 0); });
    return pixels;
}

} // namespace

BOOL WINAPI DestroyIcon(HICON icon) {
    return destroy(icon);
}

BOOL WINAPI DestroyCursor(HCURSOR cursor) {
    return destroy(cursor);
}

BOOL WINAPI GetIconInfo(HICON handle, PICONINFO info) {
    auto icon = posix::findIcon(handle);
    if (!icon)
        return FALSE;
    if (!info)
        return posix::failWith(ERROR_INVALID_PARAMETER);
    info->fIcon = icon->isIcon;
    info->xHotspot = DWORD(icon->isIcon ? icon->width / 2 : icon->hotSpot.x);
    info->yHotspot = DWORD(icon->isIcon ? icon->height / 2 : icon->hotSpot.y);
    std::vector<COLORREF> mask = maskPixels(*icon);
    if (icon->bitsPixel == 1) {
        mask.insert(mask.end(), icon->image.begin(), icon->image.end());
        info->hbmColor = nullptr;
        info->hbmMask = posix::createBitmap(icon->width, icon->height * 2, 1, mask);
    } else {
        info->hbmColor = posix::createBitmap(icon->width, icon->height, 32, icon->image);
        info->hbmMask = posix::createBitmap(icon->width, icon->height, 1, mask);
    }
    return TRUE;
}

// The picture combined with what is there: each pixel ANDed with the mask
// (DI_MASK), then XORed with the image (DI_IMAGE). A size of 0 draws the
// icon at its own size.
BOOL WINAPI DrawIconEx(HDC dc, int x, int y, HICON handle, int width, int height, UINT, HBRUSH,
                       UINT flags) {
    auto context = posix::findDC(dc);
    auto icon = posix::findIcon(handle);
    if (!context || !icon)
        return FALSE;
    if (width < 0 || height < 0 || !(flags & DI_NORMAL))
        return posix::failWith(ERROR_INVALID_PARAMETER);
    posix::Icon drawn =
        (width == 0 || width == icon->width) && (height == 0 || height == icon->height)
            ? *icon
            : posix::scaledIcon(*icon, width ? width : icon->width, height ? height : icon->height);
    posix::Canvas canvas = context->canvas();
    RECT area = posix::surfaceRect(canvas, RECT{x, y, x + drawn.width, y + drawn.height});
    for (LONG sy = area.top; sy < area.bottom; sy++)
        for (LONG sx = area.left; sx < area.right; sx++) {
            size_t at = size_t(sy - y - canvas.origin.y) * size_t(drawn.width) +
                        size_t(sx - x - canvas.origin.x);
            COLORREF &pixel =
                canvas.surface->pixels[size_t(sy) * size_t(canvas.surface->width) + size_t(sx)];
            COLORREF result = pixel;
            if (flags & DI_MASK)
                result &= drawn.mask[at] ? 0xFFFFFF : 0;
            if (flags & DI_IMAGE)
                result ^= drawn.image[at];
            pixel = posix::storedColour(canvas, result);
        }
    return TRUE;
}
