// Fonts and text: sizes from the height asked for, bold, Big5 text, the
// current position, background modes, the system font, and text drawn
// without any font face.
#include "tests/platform/gdi_canvas.h"
#include "tests/platform/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
const WCHAR kCharacter[] = u"字";
const char kCharacterBig5[] = "\xA6\x72"; // 字

HFONT imeFont(int points, int weight = FW_BOLD) {
    HDC screen = posix::openSurfaceDC(nullptr, POINT{}, RECT{});
    int height = MulDiv(-points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    posix::closeSurfaceDC(screen);
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, CHINESEBIG5_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, nullptr);
}

SIZE extent(HDC dc, const std::u16string &text) {
    SIZE size{};
    EXPECT_TRUE(GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size));
    return size;
}

bool dark(COLORREF c) {
    return GetRValue(c) < 128;
}

// The ink of text drawn black on white: how many pixels are dark, and how
// much darkness there is.
struct Ink {
    int pixels = 0;
    long darkness = 0;
};

Ink inkOf(const TestCanvas &canvas) {
    Ink ink;
    for (COLORREF c : canvas.surface.pixels) {
        ink.pixels += dark(c) ? 1 : 0;
        ink.darkness += 255 - GetRValue(c);
    }
    return ink;
}

TEST(Text, HeightsInPointsBecomeLinesOfThatManyPixels) {
    EXPECT_EQ(MulDiv(-24, 96, 72), -32);
    EXPECT_EQ(MulDiv(-30, 96, 72), -40);
    EXPECT_EQ(MulDiv(7, 1, 2), 4) << "halves round away from zero";
    EXPECT_EQ(MulDiv(-7, 1, 2), -4);
    EXPECT_EQ(MulDiv(1, 2, 0), -1);
    EXPECT_EQ(MulDiv(0x7FFFFFFF, 4, 2), -1) << "overflow";

    TestCanvas canvas(10, 10);
    for (int points : {24, 36, 48}) {
        HFONT font = imeFont(points);
        SelectObject(canvas.dc, font);
        SIZE size = extent(canvas.dc, kCharacter);
        EXPECT_EQ(size.cy, points * 4 / 3) << points << " points";
        EXPECT_NEAR(size.cx, points * 4 / 3, 1) << "an ideograph is an em wide";
        TEXTMETRICW metrics{};
        ASSERT_TRUE(GetTextMetricsW(canvas.dc, &metrics));
        EXPECT_EQ(metrics.tmHeight, size.cy);
        EXPECT_EQ(metrics.tmAscent + metrics.tmDescent, metrics.tmHeight);
        EXPECT_EQ(metrics.tmInternalLeading, 0);
        EXPECT_EQ(metrics.tmCharSet, CHINESEBIG5_CHARSET);
        EXPECT_GE(metrics.tmWeight, FW_BOLD);
        SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(font);
    }
    HFONT cell =
        CreateFontW(32, 0, 0, 0, FW_NORMAL, 0, 0, 0, CHINESEBIG5_CHARSET, 0, 0, 0, 0, nullptr);
    SelectObject(canvas.dc, cell);
    EXPECT_EQ(extent(canvas.dc, kCharacter).cy, 32) << "a positive height is the cell's";
    SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(cell);
}

TEST(Text, ByteTextIsBig5) {
    TestCanvas canvas(10, 10);
    HFONT font = imeFont(24);
    SelectObject(canvas.dc, font);
    SIZE wide = extent(canvas.dc, u"字a字");
    SIZE bytes{};
    std::string big5 = std::string(kCharacterBig5) + "a" + kCharacterBig5;
    ASSERT_TRUE(GetTextExtentPoint32A(canvas.dc, big5.c_str(), int(big5.size()), &bytes));
    EXPECT_EQ(bytes.cx, wide.cx);
    EXPECT_EQ(bytes.cy, wide.cy);
    EXPECT_FALSE(GetTextExtentPoint32A(canvas.dc, "a", -1, &bytes));
    SIZE none{};
    EXPECT_TRUE(GetTextExtentPoint32A(canvas.dc, "", 0, &none));
    EXPECT_EQ(none.cx, 0);
    EXPECT_EQ(none.cy, 32);
    SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

TEST(Text, BoldIsDarkerAndNoNarrower) {
    const std::u16string text = u"字Tavo";
    Ink inks[2];
    LONG widths[2];
    for (int bold = 0; bold < 2; bold++) {
        TestCanvas canvas(200, 40);
        HFONT font = imeFont(24, bold ? FW_BOLD : FW_NORMAL);
        SelectObject(canvas.dc, font);
        SetBkMode(canvas.dc, TRANSPARENT);
        TextOutW(canvas.dc, 0, 0, text.c_str(), int(text.size()));
        widths[bold] = extent(canvas.dc, text).cx;
        inks[bold] = inkOf(canvas);
        SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(font);
    }
    EXPECT_GT(inks[1].darkness, inks[0].darkness * 6 / 5) << "at least a fifth more ink";
    EXPECT_GT(inks[1].pixels, inks[0].pixels);
    EXPECT_GE(widths[1], widths[0]);
}

TEST(Text, GlyphsLieInTheirCellsInTheTextColour) {
    TestCanvas canvas(120, 60);
    HFONT font = imeFont(24);
    SelectObject(canvas.dc, font);
    SetBkMode(canvas.dc, TRANSPARENT);
    SetTextColor(canvas.dc, RGB(0, 0, 200));
    ASSERT_TRUE(TextOutW(canvas.dc, 10, 12, u"字字", 2));
    RECT ink = canvas.bounds([](COLORREF c) { return c != kWhite; });
    EXPECT_GE(ink.left, 10);
    EXPECT_GE(ink.top, 12);
    EXPECT_LE(ink.right, 10 + 64);
    EXPECT_LE(ink.bottom, 12 + 32);
    EXPECT_GT(ink.bottom - ink.top, 20) << "the glyph fills most of its cell";
    EXPECT_GT(canvas.count(RGB(0, 0, 200)), 50) << "solid strokes in the text colour";
    SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

TEST(Text, TheCurrentPositionAdvancesByTheExtent) {
    TestCanvas canvas(200, 50);
    HFONT font = imeFont(24);
    SelectObject(canvas.dc, font);
    SetBkMode(canvas.dc, TRANSPARENT);
    EXPECT_EQ(SetTextAlign(canvas.dc, TA_UPDATECP), UINT(TA_TOP | TA_LEFT));
    POINT previous{};
    MoveToEx(canvas.dc, 5, 7, &previous);
    EXPECT_EQ(previous.x, 0);
    SIZE first = extent(canvas.dc, u"字a");
    ASSERT_TRUE(TextOutW(canvas.dc, 100, 100, u"字a", 2)) << "the point given is ignored";
    POINT at{};
    ASSERT_TRUE(GetCurrentPositionEx(canvas.dc, &at));
    EXPECT_EQ(at.x, 5 + first.cx);
    EXPECT_EQ(at.y, 7);
    TextOutW(canvas.dc, 0, 0, u"字", 1);
    GetCurrentPositionEx(canvas.dc, &at);
    EXPECT_EQ(at.x, 5 + first.cx + extent(canvas.dc, u"字").cx);
    RECT ink = canvas.bounds(dark);
    EXPECT_GE(ink.left, 5);
    EXPECT_GE(ink.top, 7);
    EXPECT_GT(ink.right, 5 + first.cx) << "the second text follows the first";
    EXPECT_LE(ink.right, at.x);

    SetTextAlign(canvas.dc, TA_NOUPDATECP);
    TextOutW(canvas.dc, 0, 0, u"字", 1);
    GetCurrentPositionEx(canvas.dc, &at);
    EXPECT_EQ(at.x, 5 + first.cx + extent(canvas.dc, u"字").cx) << "without TA_UPDATECP it stays";
    SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

TEST(Text, TransparentTextKeepsTheFillAndOpaqueTextPaintsItsCell) {
    constexpr COLORREF kFill = RGB(223, 223, 223), kBack = RGB(0, 160, 0);
    HFONT font = imeFont(24);
    for (int mode : {TRANSPARENT, OPAQUE}) {
        TestCanvas canvas(100, 50, kFill);
        SelectObject(canvas.dc, font);
        EXPECT_EQ(GetBkMode(canvas.dc), OPAQUE) << "contexts start opaque";
        SetBkMode(canvas.dc, mode);
        SetBkColor(canvas.dc, kBack);
        TextOutW(canvas.dc, 4, 4, u"字", 1);
        if (mode == TRANSPARENT) {
            EXPECT_EQ(canvas.count(kBack), 0);
            EXPECT_EQ(canvas.at(4, 4), kFill);
            EXPECT_EQ(canvas.at(35, 35), kFill);
        } else {
            EXPECT_EQ(canvas.bounds(kBack), (RECT{4, 4, 36, 36})) << "the cell: 32 by 32";
            EXPECT_EQ(canvas.at(40, 10), kFill);
        }
        SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));
    }
    DeleteObject(font);
}

TEST(Text, TheScreenCarriesTheSystemFont) {
    HDC screen = GetDC(NULL);
    HGDIOBJ font = GetCurrentObject(screen, OBJ_FONT);
    EXPECT_EQ(font, GetStockObject(SYSTEM_FONT));
    TEXTMETRICA metrics{};
    ASSERT_TRUE(GetTextMetricsA(screen, &metrics));
    EXPECT_EQ(metrics.tmHeight, 16);
    LOGFONTA description{};
    EXPECT_EQ(GetObjectA(font, sizeof description, &description), int(sizeof description));
    EXPECT_EQ(description.lfHeight, 16);
    EXPECT_EQ(description.lfCharSet, CHINESEBIG5_CHARSET);
    EXPECT_STREQ(description.lfFaceName, "System");
    EXPECT_EQ(GetObjectW(font, 0, nullptr), int(sizeof(LOGFONTW)));
    EXPECT_TRUE(DeleteObject(font)) << "a stock object is never deleted";
    EXPECT_EQ(GetCurrentObject(screen, OBJ_FONT), font);
    ReleaseDC(NULL, screen);
}

TEST(Text, FontsDescribeThemselvesInBothFlavours) {
    LOGFONTA asked{};
    asked.lfHeight = -20;
    asked.lfWeight = FW_BOLD;
    asked.lfCharSet = CHINESEBIG5_CHARSET;
    std::strcpy(asked.lfFaceName, "\xB7\x73\xB2\xD3\xA9\xFA\xC5\xE9"); // 新細明體
    HFONT font = CreateFontIndirectA(&asked);
    ASSERT_NE(font, nullptr);
    LOGFONTW wide{};
    ASSERT_EQ(GetObjectW(font, sizeof wide, &wide), int(sizeof wide));
    EXPECT_EQ(std::u16string(wide.lfFaceName), u"新細明體");
    EXPECT_EQ(wide.lfHeight, -20);
    LOGFONTA narrow{};
    GetObjectA(font, sizeof narrow, &narrow);
    EXPECT_STREQ(narrow.lfFaceName, asked.lfFaceName);
    EXPECT_EQ(narrow.lfWeight, FW_BOLD);
    TestCanvas canvas(10, 10);
    SelectObject(canvas.dc, font);
    EXPECT_EQ(extent(canvas.dc, kCharacter).cy, 20) << "a face this machine lacks still draws";
    SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

// With no font face at all (fontconfig given an empty configuration, in a
// process of its own), text is measured and drawn as boxes of the em.
void drawWithoutFaces(const std::string &configuration) {
    setenv("FONTCONFIG_FILE", configuration.c_str(), 1);
    TestCanvas canvas(200, 60);
    HFONT font = imeFont(24);
    SelectObject(canvas.dc, font);
    SIZE size{};
    bool measured = GetTextExtentPoint32W(canvas.dc, u"字a", 2, &size);
    bool drawn = TextOutW(canvas.dc, 0, 0, u"字a", 2);
    RECT ink = canvas.bounds(dark);
    bool boxed = ink.left >= 0 && ink.right <= 48 && ink.bottom - ink.top > 16;
    bool passed = measured && drawn && size.cx == 48 && size.cy == 32 && boxed;
    std::filesystem::remove_all(std::filesystem::path(configuration).parent_path());
    std::exit(passed ? 0 : 1);
}

TEST(TextDeathTest, WithoutAnyFontFaceTextIsStillMeasuredAndDrawn) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ScratchFolder folder;
    std::ofstream(folder.file("fonts.conf"))
        << "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n";
    EXPECT_EXIT(drawWithoutFaces(folder.file("fonts.conf")), testing::ExitedWithCode(0), "");
}

} // namespace
