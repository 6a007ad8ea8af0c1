// Device-independent bitmaps as resources and icon files hold them: a
// BITMAPINFOHEADER, a colour table and rows of pixels, bottom row first.
// Icons and cursors follow their colour rows with a 1-bit AND mask.
#ifndef TAVO_POSIX_GDI_DIB_H
#define TAVO_POSIX_GDI_DIB_H

#include "platform/platform.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace posix {

struct DibHeader {
    LONG width = 0;
    LONG height = 0; // of the picture, without an icon's mask
    int bitCount = 0;
};

struct DibImage {
    DibHeader header;
    std::vector<COLORREF> pixels; // top row first
    std::vector<uint8_t> mask;    // icons: 1 where the screen shows through
};

// The header of a DIB, checked; for an icon image the stored height,
// which counts the mask too, is halved. False for what isn't a DIB this
// platform reads: uncompressed, 1, 4, 8, 24 or 32 bits per pixel, of a
// sane size, with every row present.
bool readDibHeader(const BYTE *data, size_t size, bool iconImage, DibHeader &header);

// The whole picture, decoded.
bool decodeDib(const BYTE *data, size_t size, bool iconImage, DibImage &image);

} // namespace posix

#endif
