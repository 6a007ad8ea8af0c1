// Rectangles, ellipses and inversion, pixel for pixel as GDI draws them:
// a figure covers its bounding box less the right column and bottom row.
#include "tests/platform/gdi_canvas.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

bool painted(COLORREF c) {
    return c != kWhite;
}

struct Drawing : TestCanvas {
    Drawing() : TestCanvas(40, 40) {
        pen = CreatePen(PS_SOLID, 1, kRed);
        brush = CreateSolidBrush(kBlue);
        SelectObject(dc, pen);
        SelectObject(dc, brush);
    }
    ~Drawing() {
        SelectObject(dc, GetStockObject(BLACK_PEN));
        SelectObject(dc, GetStockObject(WHITE_BRUSH));
        DeleteObject(pen);
        DeleteObject(brush);
    }
    HPEN pen;
    HBRUSH brush;
};

TEST(Shapes, RectanglesAreOutlinedWithThePenInsideTheirBox) {
    Drawing canvas;
    ASSERT_TRUE(Rectangle(canvas.dc, 2, 3, 8, 7));
    EXPECT_EQ(canvas.bounds(painted), (RECT{2, 3, 8, 7}));
    EXPECT_EQ(canvas.count(kRed), 2 * 6 + 2 * 2) << "the frame: columns 2 and 7, rows 3 and 6";
    EXPECT_EQ(canvas.bounds(kBlue), (RECT{3, 4, 7, 6}));
    EXPECT_EQ(canvas.at(7, 6), kRed);
    EXPECT_EQ(canvas.at(8, 7), kWhite);
}

TEST(Shapes, WithoutAPenTheFillLosesTheRightColumnAndBottomRow) {
    Drawing canvas;
    SelectObject(canvas.dc, GetStockObject(NULL_PEN));
    Rectangle(canvas.dc, 2, 3, 8, 7);
    EXPECT_EQ(canvas.bounds(painted), (RECT{2, 3, 7, 6}));
    EXPECT_EQ(canvas.count(kBlue), 5 * 3);
}

TEST(Shapes, ABrailleMarkIsOnePixelWideAndTwoHigh) {
    TestCanvas canvas(10, 10);
    SelectObject(canvas.dc, GetStockObject(BLACK_BRUSH));
    Rectangle(canvas.dc, 4, 5, 5, 7);
    EXPECT_EQ(canvas.bounds(kBlack), (RECT{4, 5, 5, 7}));
    EXPECT_EQ(canvas.count(kBlack), 2);
}

TEST(Shapes, EllipsesFillTheirBoxLessTheRightColumnAndBottomRow) {
    const RECT boxes[] = {{3, 1, 9, 7}, {0, 0, 2, 2}, {5, 5, 6, 6}, {10, 4, 31, 13}, {2, 2, 5, 20}};
    for (const RECT &box : boxes) {
        Drawing canvas;
        ASSERT_TRUE(Ellipse(canvas.dc, box.left, box.top, box.right, box.bottom));
        RECT drawn = canvas.bounds(painted);
        EXPECT_EQ(drawn, box) << "box " << box;
        // Symmetric about the box's middle, across and down.
        for (LONG y = box.top; y < box.bottom; y++)
            for (LONG x = box.left; x < box.right; x++) {
                LONG mx = box.left + box.right - 1 - x, my = box.top + box.bottom - 1 - y;
                EXPECT_EQ(canvas.at(x, y), canvas.at(mx, y)) << x << ", " << y << " in " << box;
                EXPECT_EQ(canvas.at(x, y), canvas.at(x, my)) << x << ", " << y << " in " << box;
            }
        // Rounded: the corners stay empty once the box is large enough.
        if (box.right - box.left >= 5 && box.bottom - box.top >= 5) {
            EXPECT_EQ(canvas.at(box.left, box.top), kWhite) << box;
        }
    }
}

TEST(Shapes, ABrailleDotIsAFilledCircleOfItsDiameter) {
    // A line height of 32: dots of diameter 6 centred on (6, 4).
    TestCanvas canvas(20, 20);
    SelectObject(canvas.dc, GetStockObject(BLACK_BRUSH));
    Ellipse(canvas.dc, 3, 1, 9, 7);
    EXPECT_EQ(canvas.bounds(kBlack), (RECT{3, 1, 9, 7}));
    EXPECT_EQ(canvas.count(kBlack), canvas.count(kBlack, RECT{3, 1, 9, 7}));
    EXPECT_GE(canvas.count(kBlack), 24) << "a filled disc, not a ring";
    EXPECT_LE(canvas.count(kBlack), 32);
    EXPECT_EQ(canvas.at(6, 4), kBlack);
}

TEST(Shapes, AnEllipseIsOutlinedWithThePenAndFilledWithTheBrush) {
    Drawing canvas;
    Ellipse(canvas.dc, 5, 5, 25, 21);
    EXPECT_EQ(canvas.bounds(kRed), (RECT{5, 5, 25, 21}));
    EXPECT_EQ(canvas.at(15, 13), kBlue);
    EXPECT_EQ(canvas.at(5, 13), kRed);
    EXPECT_EQ(canvas.at(6, 13), kBlue);
    // Every row of the outline is closed: no fill touches the outside.
    for (LONG y = 5; y < 21; y++)
        for (LONG x = 5; x < 25; x++)
            if (canvas.at(x, y) == kBlue) {
                EXPECT_NE(canvas.at(x - 1, y), kWhite);
                EXPECT_NE(canvas.at(x + 1, y), kWhite);
                EXPECT_NE(canvas.at(x, y - 1), kWhite);
                EXPECT_NE(canvas.at(x, y + 1), kWhite);
            }
}

TEST(Shapes, CornersGivenBackwardsDrawTheSameFigure) {
    Drawing one, other;
    Ellipse(one.dc, 4, 6, 20, 15);
    Ellipse(other.dc, 20, 15, 4, 6);
    EXPECT_EQ(one.surface.pixels, other.surface.pixels);
    Drawing flat;
    Rectangle(flat.dc, 4, 4, 4, 10);
    EXPECT_EQ(flat.count(kWhite), 40 * 40) << "an empty box draws nothing";
}

TEST(Shapes, InversionGivesReverseVideo) {
    TestCanvas canvas(10, 10, RGB(223, 223, 223));
    RECT left{0, 0, 5, 10};
    FillRect(canvas.dc, &left, GetStockObject(BLACK_BRUSH));
    RECT all{0, 0, 10, 10};
    ASSERT_TRUE(InvertRect(canvas.dc, &all));
    EXPECT_EQ(canvas.at(7, 3), RGB(32, 32, 32));
    EXPECT_EQ(canvas.at(2, 3), kWhite);
    ASSERT_TRUE(PatBlt(canvas.dc, 0, 0, 10, 10, DSTINVERT));
    EXPECT_EQ(canvas.at(7, 3), RGB(223, 223, 223));
    EXPECT_EQ(canvas.at(2, 3), kBlack);
    EXPECT_FALSE(PatBlt(canvas.dc, 0, 0, 10, 10, SRCCOPY)) << "PatBlt has no source";
}

TEST(Shapes, DrawingKeepsToTheClip) {
    posix::Surface surface;
    surface.resize(20, 20, kWhite);
    HDC dc = posix::openSurfaceDC(&surface, POINT{4, 4}, RECT{4, 4, 12, 12});
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    Ellipse(dc, -10, -10, 30, 30);
    auto blacks = [&] {
        int count = 0;
        for (COLORREF c : surface.pixels)
            count += c == kBlack;
        return count;
    };
    EXPECT_EQ(blacks(), 64) << "the clip's 8 by 8 pixels, all inside the disc";
    RECT all{-20, -20, 40, 40};
    InvertRect(dc, &all);
    EXPECT_EQ(blacks(), 0);
    EXPECT_EQ(surface.at(5, 5), kWhite);
    EXPECT_EQ(surface.at(3, 8), kWhite);
    posix::closeSurfaceDC(dc);
}

} // namespace
