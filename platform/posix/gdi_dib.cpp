// Reading device-independent bitmaps: header, colour table, pixel rows and
// an icon's mask, every offset checked against the data's size.
#include "platform/posix/gdi_dib.h"

#include <cstring>

namespace posix {

namespace {

constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kUncompressed = 0; // BI_RGB
constexpr LONG kLargestSide = 16384;

uint32_t read32(const BYTE *at) {
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

uint16_t read16(const BYTE *at) {
    return uint16_t(at[0] | at[1] << 8);
}

size_t rowBytes(LONG width, int bitCount) {
    return (size_t(width) * size_t(bitCount) + 31) / 32 * 4;
}

struct Layout {
    DibHeader header;
    bool topDown = false;
    size_t paletteAt = 0;
    size_t colours = 0;
    size_t bitsAt = 0;
};

bool readLayout(const BYTE *data, size_t size, bool iconImage, Layout &layout) {
    if (!data || size < kInfoHeaderSize)
        return false;
    uint32_t headerSize = read32(data);
    if (headerSize < kInfoHeaderSize || headerSize > size)
        return false;
    LONG width = LONG(read32(data + 4));
    LONG height = LONG(read32(data + 8));
    int bitCount = read16(data + 14);
    uint32_t compression = read32(data + 16);
    uint32_t used = read32(data + 32);
    bool paletted = bitCount == 1 || bitCount == 4 || bitCount == 8;
    if (compression != kUncompressed || read16(data + 12) != 1 ||
        !(paletted || bitCount == 24 || bitCount == 32))
        return false;
    layout.topDown = height < 0 && !iconImage;
    if (height < 0 && !layout.topDown)
        return false;
    if (height == INT32_MIN)
        return false;
    height = height < 0 ? -height : height;
    if (iconImage)
        height /= 2;
    if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide)
        return false;
    layout.header = DibHeader{width, height, bitCount};
    layout.colours = paletted ? (used ? used : size_t(1) << bitCount) : 0;
    if (layout.colours > 256)
        return false;
    layout.paletteAt = headerSize;
    layout.bitsAt = headerSize + layout.colours * 4;
    size_t needed = layout.bitsAt + rowBytes(width, bitCount) * size_t(height);
    if (iconImage)
        needed += rowBytes(width, 1) * size_t(height);
    return needed <= size;
}

unsigned sample(const BYTE *row, LONG x, int bitCount) {
    switch (bitCount) {
    case 1:
        return row[x / 8] >> (7 - x % 8) & 1;
    case 4:
        return row[x / 2] >> (x % 2 ? 0 : 4) & 0xF;
    default:
        return row[x];
    }
}

} // namespace

bool readDibHeader(const BYTE *data, size_t size, bool iconImage, DibHeader &header) {
    Layout layout;
    if (!readLayout(data, size, iconImage, layout))
        return false;
    header = layout.header;
    return true;
}

bool decodeDib(const BYTE *data, size_t size, bool iconImage, DibImage &image) {
    Layout layout;
    if (!readLayout(data, size, iconImage, layout))
        return false;
    const DibHeader &h = layout.header;
    image.header = h;
    image.pixels.assign(size_t(h.width) * size_t(h.height), 0);
    std::vector<COLORREF> palette(layout.colours);
    for (size_t i = 0; i < layout.colours; i++) {
        const BYTE *quad = data + layout.paletteAt + i * 4; // blue, green, red, unused
        palette[i] = RGB(quad[2], quad[1], quad[0]);
    }
    size_t stride = rowBytes(h.width, h.bitCount);
    for (LONG y = 0; y < h.height; y++) {
        LONG stored = layout.topDown ? y : h.height - 1 - y;
        const BYTE *row = data + layout.bitsAt + stride * size_t(stored);
        COLORREF *out = image.pixels.data() + size_t(y) * size_t(h.width);
        for (LONG x = 0; x < h.width; x++) {
            if (h.bitCount <= 8) {
                unsigned index = sample(row, x, h.bitCount);
                out[x] = index < palette.size() ? palette[index] : 0;
            } else {
                const BYTE *pixel = row + size_t(x) * size_t(h.bitCount / 8);
                out[x] = RGB(pixel[2], pixel[1], pixel[0]);
            }
        }
    }
    image.mask.clear();
    if (!iconImage)
        return true;
    image.mask.assign(image.pixels.size(), 0);
    size_t maskAt = layout.bitsAt + stride * size_t(h.height), maskStride = rowBytes(h.width, 1);
    for (LONG y = 0; y < h.height; y++) {
        const BYTE *row = data + maskAt + maskStride * size_t(h.height - 1 - y);
        for (LONG x = 0; x < h.width; x++)
            image.mask[size_t(y) * size_t(h.width) + size_t(x)] = uint8_t(sample(row, x, 1));
    }
    return true;
}

} // namespace posix
