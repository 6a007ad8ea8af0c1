// Rectangles and ellipses outlined with the pen and filled with the brush,
// as GDI draws them: within the bounding box less its right column and
// bottom row; without a pen, one pixel smaller still.
#include "platform/posix/errors.h"
#include "platform/posix/gdi_raster.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The box with its corners in order, right and bottom exclusive; without
// a pen the figure loses another column and row.
RECT footprint(int left, int top, int right, int bottom, bool outlined) {
    RECT box{std::min(left, right), std::min(top, bottom), std::max(left, right),
             std::max(top, bottom)};
    if (!outlined) {
        box.right--;
        box.bottom--;
    }
    return box;
}

// The pen's width drawn inside the figure: the band that touches the
// figure's edge.
int bandOf(const posix::Pen &pen, const RECT &box) {
    if (!pen.draws())
        return 0;
    LONG narrowest = std::min(box.right - box.left, box.bottom - box.top);
    return int(std::clamp<LONG>(pen.width, 1, std::max<LONG>((narrowest + 1) / 2, 1)));
}

// The columns each row of an ellipse inscribed in box covers, right
// exclusive: pixels whose centres lie inside it. The middle rows reach
// both edges of the box, the top and bottom rows touch its edges.
std::vector<std::pair<LONG, LONG>> ellipseSpans(const RECT &box) {
    LONG width = box.right - box.left, height = box.bottom - box.top;
    std::vector<std::pair<LONG, LONG>> spans(size_t(std::max<LONG>(height, 0)));
    double a = width / 2.0, b = height / 2.0;
    for (LONG row = 0; row < height; row++) {
        double dy = (row + 0.5 - b) / b;
        double reach = a * std::sqrt(std::max(0.0, 1.0 - dy * dy));
        // Columns whose centre (x + 0.5) lies within reach of the middle;
        // a row that no centre reaches keeps its middle pixel or two.
        LONG first = LONG(std::ceil(a - reach - 0.5 - 1e-9));
        LONG last = LONG(std::floor(a + reach - 0.5 + 1e-9));
        if (first > last) {
            first = (width - 1) / 2;
            last = width - 1 - first;
        }
        first = std::clamp<LONG>(first, 0, width - 1);
        last = std::clamp<LONG>(last, first, width - 1);
        spans[size_t(row)] = {box.left + first, box.left + last + 1};
    }
    return spans;
}

// Fills the rows of a figure given as spans: in the pen's colour the
// pixels within band pixels of the figure's edge (across or down), in the
// brush's colour the rest.
void paintSpans(const posix::DeviceContext &context, const RECT &box,
                const std::vector<std::pair<LONG, LONG>> &spans, int band) {
    posix::Canvas canvas = context.canvas();
    LONG rows = box.bottom - box.top;
    for (LONG row = 0; row < rows; row++) {
        auto [from, to] = spans[size_t(row)];
        LONG inFrom = from + band, inTo = to - band;
        for (int d = 1; d <= band; d++) {
            if (row - d < 0 || row + d >= rows) {
                inTo = inFrom;
                break;
            }
            inFrom = std::max({inFrom, spans[size_t(row - d)].first, spans[size_t(row + d)].first});
            inTo = std::min({inTo, spans[size_t(row - d)].second, spans[size_t(row + d)].second});
        }
        LONG y = box.top + row;
        if (inTo <= inFrom) {
            posix::fillSpan(canvas, y, from, to, context.pen->colour);
            continue;
        }
        posix::fillSpan(canvas, y, from, inFrom, context.pen->colour);
        if (context.brush->paints())
            posix::fillSpan(canvas, y, inFrom, inTo, context.brush->colour);
        posix::fillSpan(canvas, y, inTo, to, context.pen->colour);
    }
}

template <class Spans>
BOOL drawFigure(HDC dc, posix::Mark::Kind kind, int left, int top, int right, int bottom,
                Spans spansOf) {
    auto context = posix::findDC(dc);
    if (!context)
        return FALSE;
    RECT box = footprint(left, top, right, bottom, context->pen->draws());
    if (box.right <= box.left || box.bottom <= box.top)
        return TRUE;
    paintSpans(*context, box, spansOf(box), bandOf(*context->pen, box));
    posix::markDrawn(context->canvas(), kind, box);
    return TRUE;
}

} // namespace

BOOL WINAPI Rectangle(HDC dc, int left, int top, int right, int bottom) {
    return drawFigure(dc, posix::Mark::Rectangle, left, top, right, bottom, [](const RECT &box) {
        return std::vector<std::pair<LONG, LONG>>(size_t(box.bottom - box.top),
                                                  {box.left, box.right});
    });
}

BOOL WINAPI Ellipse(HDC dc, int left, int top, int right, int bottom) {
    return drawFigure(dc, posix::Mark::Ellipse, left, top, right, bottom, ellipseSpans);
}
