// Device contexts on surfaces and memory contexts on bitmaps: making and
// deleting them, the canvas they draw on, and the objects selected into
// them.
#include "platform/posix/gdi_dc.h"
#include "platform/posix/errors.h"
#include "platform/posix/gdi_bitmap.h"
#include "platform/posix/gdi_font.h"
#include "platform/posix/gdi_handles.h"

#include <algorithm>

namespace posix {

namespace {

HandleTable<HDC, DeviceContext> &contexts() {
    return leakedTable<HDC, DeviceContext>();
}

RECT intersection(const RECT &a, const RECT &b) {
    RECT both{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
    if (both.right < both.left)
        both.right = both.left;
    if (both.bottom < both.top)
        both.bottom = both.top;
    return both;
}

} // namespace

DeviceContext::~DeviceContext() {
    hold(pen, {});
    hold(brush, {});
    hold(font, {});
    hold(bitmap, {});
}

Canvas DeviceContext::canvas() const {
    Canvas canvas;
    if (memory) {
        canvas.surface = &bitmap->pixels;
        canvas.clip = RECT{0, 0, bitmap->pixels.width, bitmap->pixels.height};
        canvas.monochrome = bitmap->bitsPixel == 1;
        return canvas;
    }
    if (!window)
        return canvas;
    canvas.surface = window;
    canvas.origin = origin;
    // The surface may have been resized since the context was opened.
    canvas.clip = intersection(clip, RECT{0, 0, window->width, window->height});
    return canvas;
}

HDC addDC(std::shared_ptr<DeviceContext> context) {
    context->hold(context->pen, findObjectAs<Pen>(GetStockObject(BLACK_PEN)));
    context->hold(context->brush, findObjectAs<Brush>(GetStockObject(WHITE_BRUSH)));
    context->hold(context->font, findObjectAs<Font>(GetStockObject(SYSTEM_FONT)));
    if (context->memory)
        context->hold(context->bitmap, findObjectAs<Bitmap>(defaultBitmap()));
    return contexts().add(std::move(context));
}

std::shared_ptr<DeviceContext> findDC(HDC dc) {
    return contexts().find(dc);
}

HDC openSurfaceDC(Surface *surface, POINT origin, RECT clip) {
    auto context = std::make_shared<DeviceContext>();
    context->window = surface;
    context->origin = origin;
    context->clip = clip;
    return addDC(std::move(context));
}

void closeSurfaceDC(HDC dc) {
    contexts().removeIf(dc, [](const DeviceContext &context) { return !context.memory; });
}

} // namespace posix

namespace {

template <class T>
HGDIOBJ swapIn(posix::DeviceContext &context, std::shared_ptr<T> &slot,
               const std::shared_ptr<posix::GdiObject> &object) {
    HGDIOBJ previous = slot ? posix::handleOf(*slot) : nullptr;
    context.hold(slot, std::static_pointer_cast<T>(object));
    return previous;
}

// A bitmap goes into one memory context at a time (the stock 1 by 1
// bitmap into any).
HGDIOBJ swapInBitmap(posix::DeviceContext &context,
                     const std::shared_ptr<posix::GdiObject> &object) {
    if (!context.memory || (!object->stock && object->selections > 0 && object != context.bitmap))
        return posix::failing<HGDIOBJ>(nullptr, ERROR_INVALID_PARAMETER);
    return swapIn(context, context.bitmap, object);
}

} // namespace

// The previous object of the same kind, or null when the context or the
// object is not live.
HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ handle) {
    auto context = posix::findDC(dc);
    auto object = posix::findObject(handle);
    if (!context || !object)
        return nullptr;
    switch (object->type) {
    case OBJ_PEN:
        return swapIn(*context, context->pen, object);
    case OBJ_BRUSH:
        return swapIn(*context, context->brush, object);
    case OBJ_FONT:
        return swapIn(*context, context->font, object);
    case OBJ_BITMAP:
        return swapInBitmap(*context, object);
    default:
        return posix::failing<HGDIOBJ>(nullptr, ERROR_INVALID_PARAMETER);
    }
}

HGDIOBJ WINAPI GetCurrentObject(HDC dc, UINT type) {
    auto context = posix::findDC(dc);
    if (!context)
        return nullptr;
    switch (type) {
    case OBJ_PEN:
        return posix::handleOf(*context->pen);
    case OBJ_BRUSH:
        return posix::handleOf(*context->brush);
    case OBJ_FONT:
        return posix::handleOf(*context->font);
    case OBJ_BITMAP:
        return context->bitmap ? posix::handleOf(*context->bitmap) : nullptr;
    default:
        return posix::failing<HGDIOBJ>(nullptr, ERROR_INVALID_PARAMETER);
    }
}

// A memory context like the screen's, drawing into its bitmap.
HDC WINAPI CreateCompatibleDC(HDC dc) {
    if (dc && !posix::findDC(dc))
        return nullptr;
    auto context = std::make_shared<posix::DeviceContext>();
    context->memory = true;
    return posix::addDC(std::move(context));
}

BOOL WINAPI DeleteDC(HDC dc) {
    auto &table = posix::leakedTable<HDC, posix::DeviceContext>();
    return table.removeIf(dc, [](const posix::DeviceContext &context) { return context.memory; })
               ? TRUE
               : posix::failWith(ERROR_INVALID_HANDLE);
}
