// Icon and cursor objects behind HICON / HCURSOR handles: a picture, the
// AND mask that lets the screen show through, and a cursor's hot spot.
#ifndef TAVO_POSIX_GDI_ICON_H
#define TAVO_POSIX_GDI_ICON_H

#include "platform/platform.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace posix {

struct Icon {
    bool isIcon = true;
    POINT hotSpot{};
    LONG width = 0;
    LONG height = 0;
    std::vector<COLORREF> image; // XOR image, top row first
    std::vector<uint8_t> mask;   // 1 where the screen shows through
    int bitsPixel = 32;          // of the image it was made from; 1: monochrome
    bool shared = false;         // LR_SHARED: kept until the process ends
};

HICON addIcon(std::shared_ptr<Icon> icon);

// The live icon behind a handle, or null with ERROR_INVALID_HANDLE.
std::shared_ptr<Icon> findIcon(HICON handle);

// The icon drawn at another size, nearest pixel by pixel (the hot spot
// moves with it).
Icon scaledIcon(const Icon &icon, LONG width, LONG height);

// The system's arrow cursor (IDC_ARROW), made once.
HCURSOR arrowCursor();

} // namespace posix

#endif
