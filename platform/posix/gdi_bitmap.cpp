// Creating bitmaps and describing them.
#include "platform/posix/gdi_bitmap.h"
#include "platform/posix/errors.h"
#include "platform/posix/gdi_dc.h"

namespace posix {

namespace {

constexpr LONG kLargestSide = 16384;

} // namespace

Bitmap::Bitmap(LONG width, LONG height, int bitsPixel)
    : GdiObject(OBJ_BITMAP), bitsPixel(bitsPixel) {
    pixels.resize(width, height, RGB(0, 0, 0));
}

int Bitmap::describe(int size, void *buffer) const {
    BITMAP bitmap{};
    bitmap.bmWidth = pixels.width;
    bitmap.bmHeight = pixels.height;
    bitmap.bmWidthBytes = LONG((pixels.width * bitsPixel + 15) / 16 * 2);
    bitmap.bmPlanes = 1;
    bitmap.bmBitsPixel = WORD(bitsPixel);
    return copyDescription(&bitmap, sizeof bitmap, size, buffer);
}

HBITMAP createBitmap(LONG width, LONG height, int bitsPixel, const std::vector<COLORREF> &pixels) {
    if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide)
        return failing<HBITMAP>(nullptr, ERROR_INVALID_PARAMETER);
    auto bitmap = std::make_shared<Bitmap>(width, height, bitsPixel);
    if (pixels.size() == bitmap->pixels.pixels.size())
        bitmap->pixels.pixels = pixels;
    return addObject(bitmap);
}

HBITMAP defaultBitmap() {
    static const HBITMAP bitmap = [] {
        auto object = std::make_shared<Bitmap>(1, 1, 1);
        object->stock = true;
        return addObject(object);
    }();
    return bitmap;
}

} // namespace posix

// A bitmap like the one the context draws into: monochrome for a memory
// context that still holds its first 1 by 1 bitmap, as on Windows, else
// in the screen's colours. A size of 0 gives that 1 by 1 bitmap.
HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height) {
    auto context = posix::findDC(dc);
    if (!context)
        return nullptr;
    if (width == 0 || height == 0)
        return posix::defaultBitmap();
    int bits = context->canvas().monochrome ? 1 : 32;
    return posix::createBitmap(width, height, bits, {});
}
