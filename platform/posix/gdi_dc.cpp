// Device contexts on surfaces: opening and closing them, the canvas they
// draw on, and selecting objects into them.
#include "platform/posix/gdi_dc.h"
#include "platform/posix/errors.h"
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
}

Canvas DeviceContext::canvas() const {
    Canvas canvas;
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
    return contexts().add(std::move(context));
}

std::shared_ptr<DeviceContext> findDC(HDC dc) {
    auto context = contexts().find(dc);
    if (!context)
        SetLastError(ERROR_INVALID_HANDLE);
    return context;
}

HDC openSurfaceDC(Surface *surface, POINT origin, RECT clip) {
    auto context = std::make_shared<DeviceContext>();
    context->window = surface;
    context->origin = origin;
    context->clip = clip;
    return addDC(std::move(context));
}

void closeSurfaceDC(HDC dc) {
    contexts().remove(dc);
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
    default:
        return posix::failing<HGDIOBJ>(nullptr, ERROR_INVALID_PARAMETER);
    }
}
