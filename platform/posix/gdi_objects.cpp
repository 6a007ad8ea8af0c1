// The table of drawing objects, stock objects, brushes and pens, and the
// calls that create, describe and delete them.
#include "platform/posix/gdi_objects.h"
#include "platform/posix/errors.h"
#include "platform/posix/gdi_font.h"
#include "platform/posix/gdi_handles.h"

#include <algorithm>
#include <cstring>

namespace posix {

GdiObject::~GdiObject() = default;

namespace {

HandleTable<HGDIOBJ, GdiObject> &objects() {
    return leakedTable<HGDIOBJ, GdiObject>();
}

} // namespace

int copyDescription(const void *description, int descriptionSize, int size, void *buffer) {
    if (!buffer)
        return descriptionSize;
    if (size <= 0)
        return 0;
    int copied = std::min(size, descriptionSize);
    std::memcpy(buffer, description, size_t(copied));
    return copied;
}

int Pen::describe(int size, void *buffer) const {
    LOGPEN pen{style, POINT{width, 0}, colour};
    return copyDescription(&pen, sizeof pen, size, buffer);
}

int Brush::describe(int size, void *buffer) const {
    LOGBRUSH brush{style, colour, 0};
    return copyDescription(&brush, sizeof brush, size, buffer);
}

HGDIOBJ addObject(std::shared_ptr<GdiObject> object) {
    return objects().add(std::move(object));
}

std::shared_ptr<GdiObject> findObject(HGDIOBJ handle) {
    return objects().find(handle);
}

} // namespace posix

namespace {

HGDIOBJ stock(std::shared_ptr<posix::GdiObject> object) {
    object->stock = true;
    return posix::addObject(std::move(object));
}

// The stock pens and brushes, made once.
HGDIOBJ stockPenOrBrush(int index) {
    using posix::Brush, posix::Pen;
    static const HGDIOBJ made[] = {
        stock(std::make_shared<Brush>(BS_SOLID, RGB(255, 255, 255))),
        stock(std::make_shared<Brush>(BS_SOLID, RGB(192, 192, 192))),
        stock(std::make_shared<Brush>(BS_SOLID, RGB(128, 128, 128))),
        stock(std::make_shared<Brush>(BS_SOLID, RGB(64, 64, 64))),
        stock(std::make_shared<Brush>(BS_SOLID, RGB(0, 0, 0))),
        stock(std::make_shared<Brush>(BS_NULL, RGB(0, 0, 0))),
        stock(std::make_shared<Pen>(PS_SOLID, 1, RGB(255, 255, 255))),
        stock(std::make_shared<Pen>(PS_SOLID, 1, RGB(0, 0, 0))),
        stock(std::make_shared<Pen>(PS_NULL, 1, RGB(0, 0, 0))),
    };
    return made[index];
}

} // namespace

HGDIOBJ WINAPI GetStockObject(int index) {
    if (index >= WHITE_BRUSH && index <= NULL_PEN)
        return stockPenOrBrush(index);
    if (index == SYSTEM_FONT)
        return posix::systemFont();
    return nullptr;
}

HBRUSH WINAPI CreateSolidBrush(COLORREF colour) {
    return posix::addObject(std::make_shared<posix::Brush>(BS_SOLID, colour & 0xFFFFFF));
}

// Widths below one draw one pixel wide, as Windows draws them; styles
// other than solid, inside-frame and null are not drawn here.
HPEN WINAPI CreatePen(int style, int width, COLORREF colour) {
    if (style != PS_SOLID && style != PS_NULL && style != PS_INSIDEFRAME)
        return posix::failing<HPEN>(nullptr, ERROR_INVALID_PARAMETER);
    return posix::addObject(
        std::make_shared<posix::Pen>(UINT(style), std::max(width, 1), colour & 0xFFFFFF));
}

// A stock object is never deleted (Windows answers TRUE); an object still
// selected into a device context is refused.
BOOL WINAPI DeleteObject(HGDIOBJ object) {
    auto &table = posix::leakedTable<HGDIOBJ, posix::GdiObject>();
    auto found = table.find(object);
    if (!found)
        return posix::failWith(ERROR_INVALID_HANDLE);
    if (found->stock)
        return TRUE;
    return table.removeIf(object, [](const posix::GdiObject &o) { return o.selections == 0; })
               ? TRUE
               : FALSE;
}

int WINAPI GetObjectW(HGDIOBJ handle, int size, LPVOID buffer) {
    auto object = posix::findObject(handle);
    return object ? object->describe(size, buffer) : 0;
}

// Fonts are described with their face name in Big5.
int WINAPI GetObjectA(HGDIOBJ handle, int size, LPVOID buffer) {
    auto font = std::dynamic_pointer_cast<posix::Font>(posix::findObject(handle));
    if (!font)
        return GetObjectW(handle, size, buffer);
    LOGFONTA narrow = posix::narrowFont(font->description);
    return posix::copyDescription(&narrow, sizeof narrow, size, buffer);
}
