// Braille cells as they are drawn: raised dots as filled circles, the
// other positions as small marks, one cell a character; and the font the
// UI measures them with.
#include "frame/globdata.h"
#include "frame/keys.h"
#include "tests/core/test_text.h"
#include "tests/platform/gdi_canvas.h"
#include "ui/uiwnd.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kInk = RGB(0, 0, 0), kPaper = RGB(255, 255, 255);

// A canvas with the UI's black dot pen and brush, and cells of a line
// height of 32 pixels (21 wide).
struct BrailleCanvas : TestCanvas {
    UIPrivate ui = {};
    HPEN pen = CreatePen(PS_SOLID, 1, kInk);
    HBRUSH brush = CreateSolidBrush(kInk);

    explicit BrailleCanvas(int height = 32) : TestCanvas(240, 80) {
        ui.cellHeight = height;
        ui.cellWidth = 2 * height / 3;
        SelectObject(dc, pen);
        SelectObject(dc, brush);
    }
    ~BrailleCanvas() {
        SelectObject(dc, GetStockObject(BLACK_PEN));
        SelectObject(dc, GetStockObject(WHITE_BRUSH));
        DeleteObject(pen);
        DeleteObject(brush);
    }
    POINT draw(const tstring &text, POINT from) {
        MoveToEx(dc, from.x, from.y, nullptr);
        BrailleTextOut(&ui, dc, text.c_str());
        POINT now = {};
        GetCurrentPositionEx(dc, &now);
        return now;
    }
    // Whether the dot of the cell at left, top is raised: a raised dot's
    // circle covers the pixel left of its centre, a mark only its centre.
    bool raised(int left, int top, int dot) const {
        static const int column[8] = {0, 0, 0, 1, 1, 1, 0, 1}, row[8] = {0, 1, 2, 0, 1, 2, 3, 3};
        int pitch = ui.cellHeight / 4;
        int x = left + (ui.cellWidth - pitch) / 2 + column[dot - 1] * pitch;
        int y = top + pitch / 2 + row[dot - 1] * pitch;
        EXPECT_EQ(at(x, y), kInk) << "every position of a drawn cell is marked";
        return at(x - 1, y) == kInk;
    }
    int raisedDots(int left, int top) const {
        int dots = 0;
        for (int dot = 1; dot <= 8; dot++)
            dots |= raised(left, top, dot) ? 1 << (dot - 1) : 0;
        return dots;
    }
};

TEST(Braille, ACellOfThirtyTwoPixelsAsTheGeometryGivesIt) {
    BrailleCanvas canvas;
    POINT end = canvas.draw(Text("a"), {10, 20});
    EXPECT_EQ(end.x, 31);
    EXPECT_EQ(end.y, 20);
    // Dot 1: a circle of diameter 6 in the box (3, 1)-(9, 7) of the cell.
    RECT dot1 = {13, 21, 19, 27};
    EXPECT_EQ(canvas.count(kInk, dot1), canvas.count(kInk, {0, 0, 22, 28}))
        << "nothing else is black in the top row's left column";
    EXPECT_EQ(canvas.count(kInk, {22, 0, 240, 28}), 2) << "dot 4's mark";
    EXPECT_EQ(canvas.at(16, 24), kInk);
    EXPECT_EQ(canvas.at(13, 24), kInk);
    EXPECT_EQ(canvas.at(12, 24), kPaper);
    // Dot 2, not raised: a mark one pixel wide and two high at (16, 32).
    EXPECT_EQ(canvas.count(kInk, {14, 30, 19, 35}), 2);
    EXPECT_EQ(canvas.at(16, 32), kInk);
    EXPECT_EQ(canvas.at(16, 33), kInk);
    EXPECT_EQ(canvas.raisedDots(10, 20), 0x01);
}

TEST(Braille, CellsFollowTheTableAndBlanksTakeACellOfNothing) {
    BrailleCanvas canvas;
    POINT end = canvas.draw(Text("A a`"), {0, 0});
    EXPECT_EQ(end.x, 4 * 21) << "a cell per character, blank or not";
    EXPECT_EQ(canvas.raisedDots(0, 0), 0x41) << "a capital adds dot 7";
    EXPECT_EQ(canvas.count(kInk, {21, 0, 42, 80}), 0) << "a space draws nothing at all";
    EXPECT_EQ(canvas.raisedDots(42, 0), 0x01);
    EXPECT_EQ(canvas.raisedDots(63, 0), 0x48) << "the grave accent is dots 4 and 7";

    BrailleCanvas empty;
    EXPECT_EQ(empty.draw(Text(""), {5, 6}).x, 5);
    EXPECT_EQ(empty.count(kInk), 0);
    EXPECT_EQ(empty.draw(Text("\x7f"), {5, 6}).x, 26) << "DEL draws nothing";
    EXPECT_EQ(empty.count(kInk), 0);
}

TEST(Braille, ChineseTextTakesACellPerTextUnitAndDrawsNothing) {
    BrailleCanvas canvas;
    POINT end = canvas.draw(Text("\xa7\x41"), {0, 0}); // 你
    EXPECT_EQ(end.x, sizeof(TCHAR) == 1 ? 42 : 21) << "two Big5 bytes, or one UTF-16 unit";
    EXPECT_EQ(canvas.count(kInk), 0);
}

TEST(Braille, SmallCellsKeepTheirGeometry) {
    for (int height : {16, 17}) {
        BrailleCanvas canvas(height);
        canvas.draw(Text("l"), {0, 0}); // dots 1, 2, 3
        EXPECT_EQ(canvas.raisedDots(0, 0), 0x07) << height;
        // Pitch 4 and diameter 2: dot 1's circle is the box (2, 1)-(4, 3).
        EXPECT_EQ(canvas.at(3, 2), kInk) << height;
        EXPECT_EQ(canvas.at(1, 2), kPaper) << height;
    }
}

// The keyboard makes a character of each chord of dots; drawing that
// character must raise the same dots.
TEST(Braille, TheDrawnCellOfEveryChordIsTheChord) {
    for (int dots = 1; dots < 128; dots++) {
        char c = brailleCells[dots];
        if (c != 0) {
            EXPECT_EQ(brailleCellTable[c - 0x20], dots) << "chord " << dots << " types " << c;
        }
    }
    EXPECT_EQ(brailleCellTable[0], 0);
    for (int code = 0x7F; code < 0xA0; code++)
        EXPECT_EQ(brailleCellTable[code - 0x20], 0) << code;
}

// The IME font follows the "Font Size" setting, and is made again only
// when the setting has changed.
TEST(UIFont, IsRebuiltOnlyWhenTheSizeChanges) {
    GLOBDATA saved = globData;
    lstrcpy(globData.charLabel, Text("\xa6\x72").c_str()); // 字
    globData.fontSize = 24;
    UIPrivate ui = {};
    UpdateFont(&ui);
    ASSERT_NE(ui.hFont, nullptr);
    HFONT first = ui.hFont;
    EXPECT_EQ(ui.fontSize, 24);
    EXPECT_GE(ui.charHeight, 30) << "24 points at 96 dots per inch are 32 pixels";
    EXPECT_LE(ui.charHeight, 40);
    EXPECT_EQ(ui.cellHeight, ui.charHeight);
    EXPECT_EQ(ui.cellWidth, 2 * ui.charHeight / 3);
    UpdateFont(&ui);
    EXPECT_EQ(ui.hFont, first) << "same size: the same font";

    globData.fontSize = 30;
    int height24 = ui.charHeight;
    UpdateFont(&ui);
    EXPECT_EQ(ui.fontSize, 30);
    EXPECT_GT(ui.charHeight, height24);
    HFONT second = ui.hFont;
    UpdateFont(&ui);
    EXPECT_EQ(ui.hFont, second);
    DeleteObject(ui.hFont);
    globData = saved;
}

} // namespace
