// The pixels of a surface when it changes size, and the marks of what was
// drawn on it when something covers them.
#include "platform/posix/surface.h"

#include <algorithm>
#include <cstring>

namespace posix {

// What the old size and the new share keeps its pixels; the rest is fill.
// The rows move within the same buffer, which keeps its room: windows
// change size at every page, and a new buffer each time costs fresh pages.
void Surface::resize(LONG newWidth, LONG newHeight, COLORREF fill) {
    newWidth = std::max<LONG>(newWidth, 0);
    newHeight = std::max<LONG>(newHeight, 0);
    fill &= 0xFFFFFF;
    size_t oldWidth = size_t(width), wide = size_t(newWidth);
    size_t keptWidth = std::min(oldWidth, wide);
    size_t keptHeight = size_t(std::min(height, newHeight));
    size_t count = wide * size_t(newHeight);
    COLORREF *data = nullptr;
    if (wide <= oldWidth) {
        // Each row moves toward the front, so top-down reads rows not yet
        // overwritten.
        data = pixels.data();
        for (size_t y = 0; y < keptHeight; y++)
            std::memmove(data + y * wide, data + y * oldWidth, keptWidth * sizeof *data);
        pixels.resize(count);
    } else {
        // Each row moves toward the back, so bottom-up; the new columns of
        // a row are filled once it has moved.
        pixels.resize(std::max(count, pixels.size()));
        data = pixels.data();
        for (size_t y = keptHeight; y-- > 0;) {
            std::memmove(data + y * wide, data + y * oldWidth, keptWidth * sizeof *data);
            std::fill(data + y * wide + keptWidth, data + (y + 1) * wide, fill);
        }
        pixels.resize(count);
    }
    std::fill(pixels.begin() + ptrdiff_t(keptHeight * wide), pixels.end(), fill);
    width = newWidth;
    height = newHeight;
    marks.clear();
}

void Surface::cover(const RECT &area) {
    std::erase_if(marks, [&](const Mark &mark) {
        return mark.box.left >= area.left && mark.box.right <= area.right &&
               mark.box.top >= area.top && mark.box.bottom <= area.bottom;
    });
}

} // namespace posix
