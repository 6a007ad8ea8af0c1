// Device contexts: where drawing goes (a window's surface, or the bitmap
// selected into a memory context), the objects selected into them and
// their text and background state.
#ifndef TAVO_POSIX_GDI_DC_H
#define TAVO_POSIX_GDI_DC_H

#include "platform/posix/gdi_objects.h"
#include "platform/posix/surface.h"

#include <memory>

namespace posix {

struct Bitmap;
struct Font;

// What drawing through a context reaches: pixels, the surface position of
// logical (0, 0), and the surface pixels that may change. No surface:
// nothing is drawn (the screen's context only measures).
struct Canvas {
    Surface *surface = nullptr;
    POINT origin{};
    RECT clip{};
    bool monochrome = false; // a 1-bit bitmap: black and white only
};

struct DeviceContext {
    DeviceContext() = default;
    ~DeviceContext(); // releases what is selected
    DeviceContext(const DeviceContext &) = delete;
    DeviceContext &operator=(const DeviceContext &) = delete;

    Canvas canvas() const;

    // Selects next into slot, keeping the objects' selection counts.
    template <class T> void hold(std::shared_ptr<T> &slot, std::shared_ptr<T> next) {
        if (next)
            next->selections++;
        if (slot)
            slot->selections--;
        slot = std::move(next);
    }

    Surface *window = nullptr; // openSurfaceDC's surface
    POINT origin{};
    RECT clip{};
    bool memory = false;            // made by CreateCompatibleDC
    std::shared_ptr<Bitmap> bitmap; // a memory context's pixels
    std::shared_ptr<Pen> pen;
    std::shared_ptr<Brush> brush;
    std::shared_ptr<Font> font;
    COLORREF textColour = RGB(0, 0, 0);
    COLORREF backColour = RGB(255, 255, 255);
    int backMode = OPAQUE;
    UINT textAlign = TA_TOP | TA_LEFT | TA_NOUPDATECP;
    POINT position{}; // the current position, for MoveToEx and TA_UPDATECP
};

// A new context with the default objects selected (the stock black pen,
// white brush and system font, and in a memory context the 1 by 1
// monochrome bitmap), registered.
HDC addDC(std::shared_ptr<DeviceContext> context);

// The live context behind dc, or null with ERROR_INVALID_HANDLE.
std::shared_ptr<DeviceContext> findDC(HDC dc);

} // namespace posix

#endif
