// Font objects: a font's description, and the face that draws it, found
// the first time the font measures or draws.
#ifndef TAVO_POSIX_GDI_FONT_H
#define TAVO_POSIX_GDI_FONT_H

#include "platform/posix/gdi_faces.h"
#include "platform/posix/gdi_objects.h"

#include <mutex>

namespace posix {

struct Font : GdiObject {
    explicit Font(const LOGFONTW &description) : GdiObject(OBJ_FONT), description(description) {}
    int describe(int size, void *buffer) const override;

    SizedFace &face() const;

    const LOGFONTW description;

private:
    mutable std::once_flag found_;
    mutable std::shared_ptr<SizedFace> face_;
};

// The stock SYSTEM_FONT: Windows' 16-pixel system font of the Big5
// character set.
HGDIOBJ systemFont();

// A LOGFONTA's description with its face name in UTF-16, and back.
LOGFONTW wideFont(const LOGFONTA &font);
LOGFONTA narrowFont(const LOGFONTW &font);

} // namespace posix

#endif
