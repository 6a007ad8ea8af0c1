// The drawing objects behind HGDIOBJ handles (pens, brushes, and the fonts
// and bitmaps of gdi_font.h and gdi_bitmap.h), the stock objects, and the
// bookkeeping of which are selected into a device context.
#ifndef TAVO_POSIX_GDI_OBJECTS_H
#define TAVO_POSIX_GDI_OBJECTS_H

#include "platform/platform.h"

#include <atomic>
#include <memory>

namespace posix {

struct GdiObject {
    explicit GdiObject(UINT type) : type(type) {}
    virtual ~GdiObject();
    GdiObject(const GdiObject &) = delete;
    GdiObject &operator=(const GdiObject &) = delete;

    // The LOGPEN, LOGBRUSH, LOGFONT or BITMAP that GetObject copies out;
    // fonts give their LOGFONTW (GetObjectA converts it).
    virtual int describe(int size, void *buffer) const = 0;

    const UINT type;                // OBJ_PEN, OBJ_BRUSH, OBJ_FONT or OBJ_BITMAP
    bool stock = false;             // a stock object: never deleted
    std::atomic<int> selections{0}; // device contexts it is selected into
};

struct Pen : GdiObject {
    Pen(UINT style, int width, COLORREF colour)
        : GdiObject(OBJ_PEN), style(style), width(width), colour(colour) {}
    int describe(int size, void *buffer) const override;
    bool draws() const { return style != PS_NULL; }

    const UINT style; // PS_SOLID, PS_INSIDEFRAME or PS_NULL
    const int width;
    const COLORREF colour;
};

struct Brush : GdiObject {
    Brush(UINT style, COLORREF colour) : GdiObject(OBJ_BRUSH), style(style), colour(colour) {}
    int describe(int size, void *buffer) const override;
    bool paints() const { return style != BS_NULL; }

    const UINT style; // BS_SOLID or BS_NULL
    const COLORREF colour;
};

// GetObject's rule: with no buffer the size of the description; otherwise
// as much of it as fits, and the count copied.
int copyDescription(const void *description, int descriptionSize, int size, void *buffer);

// Registers object and returns its handle.
HGDIOBJ addObject(std::shared_ptr<GdiObject> object);

// The live object behind handle, or null with ERROR_INVALID_HANDLE.
std::shared_ptr<GdiObject> findObject(HGDIOBJ handle);

// The live object behind handle if it is a T; otherwise null.
template <class T> std::shared_ptr<T> findObjectAs(HGDIOBJ handle) {
    auto typed = std::dynamic_pointer_cast<T>(findObject(handle));
    if (!typed)
        SetLastError(ERROR_INVALID_HANDLE);
    return typed;
}

inline HGDIOBJ handleOf(const GdiObject &object) {
    return reinterpret_cast<HGDIOBJ>(const_cast<GdiObject *>(&object));
}

} // namespace posix

#endif
