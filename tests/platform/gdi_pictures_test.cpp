// Bitmaps, memory contexts and BitBlt, and the pictures of a module's
// resources: the status buttons, icon groups and the pointing hand, as
// the test program carries them.
#include "tests/platform/gdi_canvas.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kFace = RGB(192, 192, 192);
constexpr COLORREF kShadow = RGB(128, 128, 128);
constexpr COLORREF kGlyph = RGB(128, 0, 0);

HINSTANCE program() {
    return GetModuleHandleW(nullptr);
}

BITMAP describe(HBITMAP bitmap) {
    BITMAP out{};
    EXPECT_EQ(GetObjectW(bitmap, sizeof out, &out), int(sizeof out));
    return out;
}

TEST(Pictures, StatusButtonsLoadAndCopyIntoAWindow) {
    HBITMAP button = LoadBitmapW(program(), MAKEINTRESOURCEW(256));
    ASSERT_NE(button, nullptr);
    BITMAP info = describe(button);
    EXPECT_EQ(info.bmWidth, 24);
    EXPECT_EQ(info.bmHeight, 24);
    EXPECT_EQ(info.bmBitsPixel, 32) << "in the screen's colours";

    TestCanvas canvas(60, 30, RGB(1, 2, 3));
    HDC memory = CreateCompatibleDC(canvas.dc);
    HGDIOBJ old = SelectObject(memory, button);
    ASSERT_NE(old, nullptr);
    ASSERT_TRUE(BitBlt(canvas.dc, 24, 0, 24, 24, memory, 0, 0, SRCCOPY));
    EXPECT_EQ(canvas.bounds([](COLORREF c) { return c != RGB(1, 2, 3); }), (RECT{24, 0, 48, 24}));
    EXPECT_EQ(canvas.at(24, 0), kWhite) << "raised: light top and left";
    EXPECT_EQ(canvas.at(24, 12), kWhite);
    EXPECT_EQ(canvas.at(47, 23), kBlack) << "dark bottom and right";
    EXPECT_EQ(canvas.at(47, 12), kBlack);
    EXPECT_EQ(canvas.at(46, 12), kShadow);
    EXPECT_EQ(canvas.at(36, 22), kShadow);
    EXPECT_EQ(canvas.at(26, 2), kFace);
    int glyph = canvas.count(kGlyph);
    EXPECT_GT(glyph, 30);
    EXPECT_EQ(canvas.count(kGlyph, RECT{27, 3, 45, 21}), glyph) << "the glyph sits on the face";
    EXPECT_FALSE(DeleteObject(button)) << "still selected";
    SelectObject(memory, old);
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_TRUE(DeleteObject(button));
}

TEST(Pictures, LoadImageGivesTheSameBitmapAsLoadBitmap) {
    for (int id : {256, 257, 258, 259}) {
        HBITMAP loaded = LoadBitmapA(program(), MAKEINTRESOURCEA(id));
        auto image = static_cast<HBITMAP>(
            LoadImageW(program(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        ASSERT_NE(loaded, nullptr) << id;
        ASSERT_NE(image, nullptr) << id;
        TestCanvas one(24, 24), other(24, 24);
        for (auto [canvas, bitmap] : {std::pair{&one, loaded}, std::pair{&other, image}}) {
            HDC memory = CreateCompatibleDC(canvas->dc);
            HGDIOBJ old = SelectObject(memory, bitmap);
            BitBlt(canvas->dc, 0, 0, 24, 24, memory, 0, 0, SRCCOPY);
            SelectObject(memory, old);
            DeleteDC(memory);
        }
        EXPECT_EQ(one.surface.pixels, other.surface.pixels) << id;
        EXPECT_GT(one.count(kGlyph), 20) << id;
        DeleteObject(loaded);
        DeleteObject(image);
    }
    EXPECT_EQ(LoadBitmapW(program(), MAKEINTRESOURCEW(999)), nullptr);
    EXPECT_EQ(LoadBitmapW(nullptr, nullptr), nullptr);
}

TEST(Pictures, MemoryContextsStartMonochromeAsOnWindows) {
    TestCanvas canvas(8, 8);
    HDC memory = CreateCompatibleDC(canvas.dc);
    HBITMAP first = static_cast<HBITMAP>(GetCurrentObject(memory, OBJ_BITMAP));
    EXPECT_EQ(describe(first).bmWidth, 1);
    HBITMAP mono = CreateCompatibleBitmap(memory, 8, 8);
    HBITMAP colour = CreateCompatibleBitmap(canvas.dc, 8, 8);
    EXPECT_EQ(describe(mono).bmBitsPixel, 1);
    EXPECT_EQ(describe(colour).bmBitsPixel, 32);

    // A monochrome picture copied into colour takes the text colour for
    // black and the background colour for white.
    SelectObject(memory, mono);
    RECT left{0, 0, 4, 8};
    FillRect(memory, &left, GetStockObject(WHITE_BRUSH));
    SetTextColor(canvas.dc, RGB(200, 0, 0));
    SetBkColor(canvas.dc, RGB(0, 0, 200));
    BitBlt(canvas.dc, 0, 0, 8, 8, memory, 0, 0, SRCCOPY);
    EXPECT_EQ(canvas.at(1, 1), RGB(0, 0, 200));
    EXPECT_EQ(canvas.at(6, 1), RGB(200, 0, 0));

    HDC other = CreateCompatibleDC(canvas.dc);
    EXPECT_EQ(SelectObject(other, mono), nullptr) << "a bitmap is in one context at a time";
    EXPECT_EQ(SelectObject(canvas.dc, colour), nullptr) << "only memory contexts hold bitmaps";
    SelectObject(memory, first);
    EXPECT_NE(SelectObject(other, mono), nullptr);
    DeleteDC(other);
    DeleteDC(memory);
    EXPECT_TRUE(DeleteObject(mono));
    EXPECT_TRUE(DeleteObject(colour));
}

TEST(Pictures, BitBltCopiesOnlyWhatTheSourceHas) {
    TestCanvas canvas(10, 10, kWhite);
    HDC memory = CreateCompatibleDC(canvas.dc);
    HBITMAP bitmap = CreateCompatibleBitmap(canvas.dc, 4, 4); // black
    HGDIOBJ old = SelectObject(memory, bitmap);
    EXPECT_TRUE(BitBlt(canvas.dc, 0, 0, 10, 10, memory, 2, 2, SRCCOPY));
    EXPECT_EQ(canvas.bounds(kBlack), (RECT{0, 0, 2, 2}));
    EXPECT_TRUE(BitBlt(canvas.dc, 5, 5, 2, 2, memory, 0, 0, DSTINVERT)) << "no source needed";
    EXPECT_EQ(canvas.at(5, 5), kBlack);
    EXPECT_FALSE(BitBlt(canvas.dc, 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

ICONINFO infoOf(HICON icon) {
    ICONINFO info{};
    EXPECT_TRUE(GetIconInfo(icon, &info));
    return info;
}

void deleteBitmaps(const ICONINFO &info) {
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
}

// The size and colour depth of an icon's picture.
std::pair<LONG, int> shapeOf(HICON icon) {
    ICONINFO info = infoOf(icon);
    BITMAP colour = describe(info.hbmColor);
    deleteBitmaps(info);
    return {colour.bmWidth, colour.bmBitsPixel};
}

TEST(Pictures, IconsComeInTheSizeNearestTheRequest) {
    struct Case {
        int asked;
        LONG got;
    };
    for (Case c : {Case{32, 32}, Case{16, 16}, Case{18, 18}, Case{22, 22}, Case{17, 17}}) {
        auto icon = static_cast<HICON>(
            LoadImageW(program(), MAKEINTRESOURCEW(256), IMAGE_ICON, c.asked, c.asked, 0));
        ASSERT_NE(icon, nullptr) << c.asked;
        EXPECT_EQ(shapeOf(icon).first, c.got);
        EXPECT_TRUE(DestroyIcon(icon));
    }
    // With no size, the icon's own size nearest the system's 32.
    auto icon = static_cast<HICON>(
        LoadImageW(program(), MAKEINTRESOURCEW(256), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    EXPECT_EQ(shapeOf(icon).first, 32);
    DestroyIcon(icon);
    EXPECT_EQ(LoadImageW(program(), MAKEINTRESOURCEW(300), IMAGE_ICON, 16, 16, 0), nullptr);
}

TEST(Pictures, TheSettingsIconComesInItsBestColours) {
    HICON icon = LoadIconW(program(), MAKEINTRESOURCEW(512));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconW(program(), MAKEINTRESOURCEW(512)), icon) << "LoadIcon shares";
    ICONINFO info = infoOf(icon);
    EXPECT_TRUE(info.fIcon);
    EXPECT_EQ(describe(info.hbmColor).bmWidth, 32);
    deleteBitmaps(info);
    EXPECT_TRUE(DestroyIcon(icon)) << "a shared icon stays";
    EXPECT_NE(GetIconInfo(icon, &info), FALSE);
    deleteBitmaps(info);

    auto large = static_cast<HICON>(
        LoadImageW(program(), MAKEINTRESOURCEW(512), IMAGE_ICON, 48, 48, LR_DEFAULTCOLOR));
    auto small = static_cast<HICON>(
        LoadImageW(program(), MAKEINTRESOURCEW(512), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    EXPECT_EQ(shapeOf(large).first, 48);
    EXPECT_EQ(shapeOf(small).first, 16);
    DestroyIcon(large);
    DestroyIcon(small);
    EXPECT_FALSE(DestroyIcon(large)) << "destroyed";
}

TEST(Pictures, IconsDrawThroughTheirMask) {
    TestCanvas canvas(40, 40, RGB(0, 255, 0));
    auto icon =
        static_cast<HICON>(LoadImageW(program(), MAKEINTRESOURCEW(256), IMAGE_ICON, 32, 32, 0));
    ASSERT_TRUE(DrawIconEx(canvas.dc, 4, 4, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(canvas.at(4, 4), RGB(0, 255, 0)) << "the rounded corner shows the screen";
    EXPECT_NE(canvas.at(20, 20), RGB(0, 255, 0));
    EXPECT_GT(canvas.count(kWhite), 20) << "the raised dots";
    DestroyIcon(icon);
}

TEST(Pictures, ThePointingHandHasItsHotSpotAtTheFingertip) {
    HCURSOR hand = LoadCursorW(program(), MAKEINTRESOURCEW(256));
    ASSERT_NE(hand, nullptr);
    ICONINFO info = infoOf(hand);
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 13u);
    EXPECT_EQ(info.yHotspot, 6u);
    EXPECT_EQ(info.hbmColor, nullptr) << "monochrome";
    BITMAP mask = describe(info.hbmMask);
    EXPECT_EQ(mask.bmWidth, 32);
    EXPECT_EQ(mask.bmHeight, 64) << "AND mask above the image";
    deleteBitmaps(info);

    TestCanvas canvas(32, 32, RGB(0, 255, 0));
    DrawIconEx(canvas.dc, 0, 0, hand, 0, 0, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(canvas.at(13, 6), kBlack) << "the fingertip's outline";
    EXPECT_EQ(canvas.at(13, 5), RGB(0, 255, 0));
    EXPECT_EQ(canvas.at(13, 8), kWhite);
    RECT drawn = canvas.bounds([](COLORREF c) { return c != RGB(0, 255, 0); });
    EXPECT_EQ(drawn.top, 6) << "nothing above the fingertip";
    EXPECT_EQ(LoadCursorW(program(), MAKEINTRESOURCEW(256)), hand);

    HCURSOR arrow = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)), arrow);
    ICONINFO arrowInfo = infoOf(arrow);
    EXPECT_EQ(arrowInfo.xHotspot, 0u);
    EXPECT_EQ(arrowInfo.yHotspot, 0u);
    deleteBitmaps(arrowInfo);
    EXPECT_EQ(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)), nullptr) << "no other system cursor";
}

} // namespace
