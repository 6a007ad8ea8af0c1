// The pixels of a surface when it changes size, and the marks of what was
// drawn on it when something covers them.
#include "platform/posix/surface.h"

#include <algorithm>

namespace posix {

// What the old size and the new share keeps its pixels; the rest is fill.
void Surface::resize(LONG newWidth, LONG newHeight, COLORREF fill) {
    newWidth = std::max<LONG>(newWidth, 0);
    newHeight = std::max<LONG>(newHeight, 0);
    std::vector<COLORREF> resized(size_t(newWidth) * size_t(newHeight), fill & 0xFFFFFF);
    LONG keptWidth = std::min(width, newWidth);
    for (LONG y = 0; y < std::min(height, newHeight); y++)
        std::copy_n(pixels.begin() + ptrdiff_t(y) * width, keptWidth,
                    resized.begin() + ptrdiff_t(y) * newWidth);
    width = newWidth;
    height = newHeight;
    pixels = std::move(resized);
    marks.clear();
}

void Surface::cover(const RECT &area) {
    std::erase_if(marks, [&](const Mark &mark) {
        return mark.box.left >= area.left && mark.box.right <= area.right &&
               mark.box.top >= area.top && mark.box.bottom <= area.bottom;
    });
}

} // namespace posix
