// Surfaces, device contexts on them, brushes and FillRect, and PNG output.
#include "tests/platform/gdi_canvas.h"
#include "tests/platform/scratch_folder.h"

#include <gtest/gtest.h>
#include <png.h>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(200, 10, 20);

TEST(Surfaces, ResizingKeepsWhatBothSizesShare) {
    posix::Surface surface;
    surface.resize(3, 2, kRed);
    surface.pixels[1] = kWhite; // (1, 0)
    surface.resize(4, 3, RGB(1, 2, 3));
    ASSERT_EQ(surface.pixels.size(), 12u);
    EXPECT_EQ(surface.at(0, 0), kRed);
    EXPECT_EQ(surface.at(1, 0), kWhite);
    EXPECT_EQ(surface.at(2, 1), kRed);
    EXPECT_EQ(surface.at(3, 0), RGB(1, 2, 3));
    EXPECT_EQ(surface.at(0, 2), RGB(1, 2, 3));
    surface.resize(-1, 5, kRed);
    EXPECT_EQ(surface.width, 0);
    EXPECT_TRUE(surface.pixels.empty());
}

// Growing and shrinking each way in turn, the rows moving inside one
// buffer: every pixel is the one it was where both sizes share it, and the
// fill of that resize elsewhere.
TEST(Surfaces, EveryMixOfGrowingAndShrinkingKeepsEachSharedPixel) {
    posix::Surface surface;
    LONG width = 0, height = 0;
    std::vector<COLORREF> expected;
    const LONG sizes[][2] = {{5, 4}, {9, 6}, {3, 7}, {8, 2}, {8, 9},
                             {2, 2}, {0, 3}, {6, 5}, {6, 5}};
    COLORREF fill = 1;
    for (const auto &size : sizes) {
        std::vector<COLORREF> next(size_t(size[0] * size[1]), fill);
        for (LONG y = 0; y < std::min(height, size[1]); y++)
            for (LONG x = 0; x < std::min(width, size[0]); x++)
                next[size_t(y * size[0] + x)] = expected[size_t(y * width + x)];
        surface.resize(size[0], size[1], fill);
        width = size[0];
        height = size[1];
        expected = next;
        ASSERT_EQ(surface.pixels, expected) << "at " << width << " x " << height;
        // Every pixel different before the next resize.
        for (size_t i = 0; i < expected.size(); i++)
            surface.pixels[i] = expected[i] = COLORREF(0x10000 + fill * 100 + i);
        fill++;
    }
}

TEST(Surfaces, FillRectFillsExactlyTheRectangleMovedByTheOriginWithinTheClip) {
    posix::Surface surface;
    surface.resize(20, 20, kWhite);
    HDC dc = posix::openSurfaceDC(&surface, POINT{5, 4}, RECT{0, 0, 12, 20});
    HBRUSH red = CreateSolidBrush(kRed);
    RECT rect{1, 2, 4, 5}; // surface (6, 6) to (9, 9), right and bottom exclusive
    EXPECT_NE(FillRect(dc, &rect, red), 0);
    int reds = 0;
    for (LONG y = 0; y < 20; y++)
        for (LONG x = 0; x < 20; x++)
            reds += surface.at(x, y) == kRed;
    EXPECT_EQ(reds, 9);
    EXPECT_EQ(surface.at(6, 6), kRed);
    EXPECT_EQ(surface.at(8, 8), kRed);
    EXPECT_EQ(surface.at(9, 8), kWhite);

    RECT wide{-10, 10, 30, 11}; // clipped to surface columns 0 to 11
    FillRect(dc, &wide, red);
    EXPECT_EQ(surface.at(0, 14), kRed);
    EXPECT_EQ(surface.at(11, 14), kRed);
    EXPECT_EQ(surface.at(12, 14), kWhite);

    RECT backwards{4, 5, 1, 2};
    FillRect(dc, &backwards, GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(surface.at(7, 7), kRed) << "an inside-out rectangle fills nothing";
    FillRect(dc, &rect, GetStockObject(NULL_BRUSH));
    EXPECT_EQ(surface.at(7, 7), kRed);
    FillRect(dc, &rect, GetStockObject(LTGRAY_BRUSH));
    EXPECT_EQ(surface.at(7, 7), RGB(192, 192, 192));

    posix::closeSurfaceDC(dc);
    EXPECT_EQ(FillRect(dc, &rect, red), 0) << "a closed context";
    EXPECT_TRUE(DeleteObject(red));
    EXPECT_FALSE(DeleteObject(red));
}

TEST(Surfaces, ContextsWithoutASurfaceOnlyMeasure) {
    HDC dc = posix::openSurfaceDC(nullptr, POINT{0, 0}, RECT{0, 0, 100, 100});
    RECT rect{0, 0, 10, 10};
    EXPECT_NE(FillRect(dc, &rect, GetStockObject(BLACK_BRUSH)), 0);
    posix::closeSurfaceDC(dc);
}

TEST(Surfaces, ObjectsSelectedIntoAContextAreNotDeleted) {
    TestCanvas canvas(4, 4);
    HBRUSH brush = CreateSolidBrush(kRed);
    HPEN pen = CreatePen(PS_SOLID, 1, kRed);
    HGDIOBJ oldBrush = SelectObject(canvas.dc, brush);
    EXPECT_EQ(oldBrush, GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(canvas.dc, pen), GetStockObject(BLACK_PEN));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_EQ(SelectObject(canvas.dc, oldBrush), brush);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(SelectObject(canvas.dc, brush), nullptr) << "a deleted brush";
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN))) << "stock objects stay";
    EXPECT_EQ(SelectObject(canvas.dc, GetStockObject(BLACK_PEN)), pen);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_EQ(CreatePen(1, 1, 0), nullptr) << "no dashed pens (PS_DASH)";
}

TEST(Surfaces, ClosingAContextReleasesItsObjects) {
    HBRUSH brush = CreateSolidBrush(kRed);
    {
        TestCanvas canvas(4, 4);
        SelectObject(canvas.dc, brush);
    }
    EXPECT_TRUE(DeleteObject(brush));
}

// The picture read back with libpng, as 8-bit RGB.
bool readPng(const std::string &path, LONG &width, LONG &height, std::vector<png_byte> &rgb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    width = LONG(image.width);
    height = LONG(image.height);
    return png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) != 0;
}

TEST(Surfaces, PngPicturesReadBackPixelForPixel) {
    ScratchFolder folder;
    posix::Surface surface;
    surface.resize(7, 3, RGB(223, 223, 223));
    surface.pixels[0] = RGB(1, 2, 3);
    surface.pixels[20] = RGB(250, 128, 0); // (6, 2)
    ASSERT_TRUE(posix::writePng(surface, folder.file("a.png")));
    LONG width = 0, height = 0;
    std::vector<png_byte> rgb;
    ASSERT_TRUE(readPng(folder.file("a.png"), width, height, rgb));
    ASSERT_EQ(width, 7);
    ASSERT_EQ(height, 3);
    for (LONG i = 0; i < 21; i++) {
        COLORREF pixel = RGB(rgb[size_t(i) * 3], rgb[size_t(i) * 3 + 1], rgb[size_t(i) * 3 + 2]);
        EXPECT_EQ(pixel, surface.pixels[size_t(i)]) << "pixel " << i;
    }
    EXPECT_FALSE(posix::writePng(surface, folder.file("missing/a.png")));
    EXPECT_FALSE(posix::writePng(posix::Surface{}, folder.file("empty.png")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("empty.png")));
}

} // namespace
