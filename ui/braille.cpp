// Braille cells drawn as eight dot positions: raised dots as filled
// circles, the others as small marks, one fixed-width cell a character,
// scaled with the font's height.
#include "ui/uiwnd.h"

// Raised dots of each character from 0x20, bit 0 = dot 1 ... bit 6 = dot 7:
// North American Braille ASCII, capitals and ` { | } ~ with dot 7.
// clang-format off
const BYTE brailleCellTable[128] = {
    0x00, 0x2E, 0x10, 0x3C, 0x2B, 0x29, 0x2F, 0x04,
    0x37, 0x3E, 0x21, 0x2C, 0x20, 0x24, 0x28, 0x0C,
    0x34, 0x02, 0x06, 0x12, 0x32, 0x22, 0x16, 0x36,
    0x26, 0x14, 0x31, 0x30, 0x23, 0x3F, 0x1C, 0x39,
    0x08, 0x41, 0x43, 0x49, 0x59, 0x51, 0x4B, 0x5B,
    0x53, 0x4A, 0x5A, 0x45, 0x47, 0x4D, 0x5D, 0x55,
    0x4F, 0x5F, 0x57, 0x4E, 0x5E, 0x65, 0x67, 0x7A,
    0x6D, 0x7D, 0x75, 0x2A, 0x33, 0x3B, 0x18, 0x38,
    0x48, 0x01, 0x03, 0x09, 0x19, 0x11, 0x0B, 0x1B,
    0x13, 0x0A, 0x1A, 0x05, 0x07, 0x0D, 0x1D, 0x15,
    0x0F, 0x1F, 0x17, 0x0E, 0x1E, 0x25, 0x27, 0x3A,
    0x2D, 0x3D, 0x35, 0x6A, 0x73, 0x7B, 0x58, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
};
// clang-format on

// Column and row of the dot of each bit: dots 1-3 and 7 on the left, 4-6
// and 8 on the right, 7 and 8 on the bottom row.
static const BYTE dotColumn[8] = {0, 0, 0, 1, 1, 1, 0, 1};
static const BYTE dotRow[8] = {0, 1, 2, 0, 1, 2, 3, 3};

// The character's dots; 0 for space, controls and everything above 0x80
// (in Big5 text the lead byte of a double-byte character, which is
// signed).
static BYTE CellPattern(TCHAR ch) {
#ifdef UNICODE
    int c = (WORD)ch;
#else
    int c = (signed char)ch;
#endif
    return c > 0x20 && c <= 0x80 ? brailleCellTable[c - 0x20] : 0;
}

// Whether the unit starts a double-byte Big5 character, whose second byte
// may look like a letter (A7 41 is 你) but is no cell of its own.
static BOOL IsLeadUnit(TCHAR ch) {
    return sizeof(TCHAR) == 1 && IsDBCSLeadByteEx(950, (BYTE)ch);
}

void BrailleTextOut(const UIPrivate *ui, HDC hdc, LPCTSTR text) {
    const int height = ui->cellHeight, width = ui->cellWidth;
    const int pitch = height / 4, half = pitch / 2;
    const int diameter = 2 * height / 9 - 1, offset = diameter / 2;
    const int column0 = (width - pitch) / 2;
    POINT at = {0, 0};
    GetCurrentPositionEx(hdc, &at);
    BOOL trail = FALSE;
    for (LPCTSTR p = text; *p != 0; p++, at.x += width) {
        BYTE pattern = trail ? 0 : CellPattern(*p);
        trail = !trail && IsLeadUnit(*p);
        if (pattern == 0)
            continue;
        for (int bit = 0; bit < 8; bit++) {
            int x = at.x + column0 + dotColumn[bit] * pitch;
            int y = at.y + half + dotRow[bit] * pitch;
            if (pattern & (1 << bit))
                Ellipse(hdc, x - offset, y - offset, x - offset + diameter, y - offset + diameter);
            else
                Rectangle(hdc, x, y, x + 1, y + 2);
        }
    }
    MoveToEx(hdc, at.x, at.y, NULL);
}
