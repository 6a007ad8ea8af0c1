// A surface with a device context on it for the drawing tests, and the
// measurements they make of its pixels.
#ifndef TAVO_TESTS_GDI_CANVAS_H
#define TAVO_TESTS_GDI_CANVAS_H

#include "platform/platform.h"
#include "platform/posix/surface.h"

#include <algorithm>
#include <ostream>

struct TestCanvas {
    explicit TestCanvas(LONG width, LONG height, COLORREF background = RGB(255, 255, 255),
                        POINT origin = {0, 0}) {
        surface.resize(width, height, background);
        dc = posix::openSurfaceDC(&surface, origin, RECT{0, 0, width, height});
    }
    ~TestCanvas() { posix::closeSurfaceDC(dc); }
    TestCanvas(const TestCanvas &) = delete;
    TestCanvas &operator=(const TestCanvas &) = delete;

    COLORREF at(LONG x, LONG y) const { return surface.at(x, y); }

    // Pixels that pass test, within area.
    template <class Test> int count(Test test, RECT area) const {
        int found = 0;
        for (LONG y = std::max<LONG>(area.top, 0); y < std::min(area.bottom, surface.height); y++)
            for (LONG x = std::max<LONG>(area.left, 0); x < std::min(area.right, surface.width);
                 x++)
                found += test(surface.at(x, y)) ? 1 : 0;
        return found;
    }
    int count(COLORREF colour, RECT area) const {
        return count([&](COLORREF c) { return c == colour; }, area);
    }
    int count(COLORREF colour) const { return count(colour, all()); }

    // The smallest rectangle holding every pixel that passes test
    // (right and bottom exclusive); empty when none does.
    template <class Test> RECT bounds(Test test) const {
        RECT box{surface.width, surface.height, 0, 0};
        for (LONG y = 0; y < surface.height; y++)
            for (LONG x = 0; x < surface.width; x++)
                if (test(surface.at(x, y))) {
                    box = RECT{std::min(box.left, x), std::min(box.top, y),
                               std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
                }
        return box.right == 0 ? RECT{} : box;
    }
    RECT bounds(COLORREF colour) const {
        return bounds([&](COLORREF c) { return c == colour; });
    }
    RECT all() const { return RECT{0, 0, surface.width, surface.height}; }

    posix::Surface surface;
    HDC dc = nullptr;
};

inline bool operator==(const RECT &a, const RECT &b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::ostream &operator<<(std::ostream &out, const RECT &r) {
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

#endif
