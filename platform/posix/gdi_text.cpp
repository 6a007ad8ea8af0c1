// Text in a device context's font: measuring it, its metrics, and drawing
// it at a point or at the current position, over its background or not.
// Byte text is Big5 (code page 950).
#include "platform/posix/errors.h"
#include "platform/posix/gdi_font.h"
#include "platform/posix/gdi_raster.h"

#include <algorithm>
#include <string>

namespace {

constexpr UINT kBig5 = 950;
constexpr WCHAR kFirstChar = 0x20;
constexpr WCHAR kLastChar = 0xFFFC;
constexpr WCHAR kDefaultChar = 0x1F;

// The code points of UTF-16 text; a lone surrogate stands for itself.
std::u32string codePoints(LPCWSTR text, int count) {
    std::u32string out;
    for (int i = 0; i < count; i++) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < count && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        out += c;
    }
    return out;
}

// Big5 text in UTF-16; false when the count is negative.
bool wideText(LPCSTR text, int count, std::u16string &wide) {
    wide.clear();
    if (count < 0 || (count > 0 && !text))
        return false;
    if (count == 0)
        return true;
    int length = MultiByteToWideChar(kBig5, 0, text, count, nullptr, 0);
    wide.resize(size_t(std::max(length, 0)));
    if (length > 0)
        MultiByteToWideChar(kBig5, 0, text, count, wide.data(), length);
    return true;
}

int widthOf(posix::SizedFace &face, const std::u32string &text) {
    int width = 0;
    for (char32_t c : text)
        width += face.glyph(c)->advance;
    return width;
}

BOOL measure(HDC dc, LPCWSTR text, int count, LPSIZE size) {
    auto context = posix::findDC(dc);
    if (!context)
        return FALSE;
    if (!size || count < 0 || (count > 0 && !text))
        return posix::failWith(ERROR_INVALID_PARAMETER);
    posix::SizedFace &face = context->font->face();
    size->cx = widthOf(face, codePoints(text, count));
    size->cy = face.em;
    return TRUE;
}

// Where the text starts: its pen position and baseline, from the point
// given (or the current position) and the alignment.
POINT penStart(const posix::DeviceContext &context, POINT at, int width,
               const posix::SizedFace &face) {
    UINT horizontal = context.textAlign & TA_CENTER, vertical = context.textAlign & TA_BASELINE;
    if (horizontal == TA_RIGHT)
        at.x -= width;
    else if (horizontal == TA_CENTER)
        at.x -= width / 2;
    if (vertical == TA_TOP)
        at.y += face.ascent;
    else if (vertical == TA_BOTTOM)
        at.y -= face.descent;
    return at;
}

// Where the current position goes after drawing: past the text for left
// alignment, before it for right alignment, unchanged when centred.
LONG advancedPosition(const posix::DeviceContext &context, LONG x, int width) {
    UINT horizontal = context.textAlign & TA_CENTER;
    if (horizontal == TA_LEFT)
        return x + width;
    return horizontal == TA_RIGHT ? x - width : x;
}

BOOL draw(HDC dc, int x, int y, LPCWSTR text, int count) {
    auto context = posix::findDC(dc);
    if (!context)
        return FALSE;
    if (count < 0 || (count > 0 && !text))
        return posix::failWith(ERROR_INVALID_PARAMETER);
    posix::SizedFace &face = context->font->face();
    std::u32string points = codePoints(text, count);
    int width = widthOf(face, points);
    bool updates = context->textAlign & TA_UPDATECP;
    POINT at = updates ? context->position : POINT{x, y};
    POINT pen = penStart(*context, at, width, face);
    posix::Canvas canvas = context->canvas();
    RECT box = {pen.x, pen.y - face.ascent, pen.x + width, pen.y + face.descent};
    if (context->backMode == OPAQUE) {
        posix::fillRect(canvas, box, context->backColour);
        posix::coverMarks(canvas, box);
    }
    for (char32_t c : points) {
        posix::GlyphPtr glyph = face.glyph(c);
        posix::blendCoverage(canvas, pen.x + glyph->left, pen.y - glyph->top, glyph->width,
                             glyph->height, glyph->coverage.data(), context->textColour);
        pen.x += glyph->advance;
    }
    posix::markDrawn(canvas, posix::Mark::Text, box, std::u16string(text, size_t(count)));
    if (updates)
        context->position.x = advancedPosition(*context, at.x, width);
    return TRUE;
}

template <class Metrics> BOOL metrics(HDC dc, Metrics *out) {
    auto context = posix::findDC(dc);
    if (!context)
        return FALSE;
    if (!out)
        return posix::failWith(ERROR_INVALID_PARAMETER);
    const posix::SizedFace &face = context->font->face();
    const LOGFONTW &font = context->font->description;
    *out = Metrics{};
    out->tmHeight = face.em;
    out->tmAscent = face.ascent;
    out->tmDescent = face.descent;
    out->tmAveCharWidth = face.averageWidth;
    out->tmMaxCharWidth = face.maxWidth;
    out->tmWeight = face.weight;
    out->tmDigitizedAspectX = 96;
    out->tmDigitizedAspectY = 96;
    out->tmItalic = font.lfItalic ? 1 : 0;
    out->tmUnderlined = font.lfUnderline ? 1 : 0;
    out->tmStruckOut = font.lfStrikeOut ? 1 : 0;
    out->tmPitchAndFamily = TMPF_FIXED_PITCH | TMPF_VECTOR | TMPF_TRUETYPE;
    out->tmCharSet = font.lfCharSet == DEFAULT_CHARSET ? CHINESEBIG5_CHARSET : font.lfCharSet;
    return TRUE;
}

} // namespace

BOOL WINAPI GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size) {
    return measure(dc, text, count, size);
}

BOOL WINAPI GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, LPSIZE size) {
    std::u16string wide;
    if (!wideText(text, count, wide))
        return posix::failWith(ERROR_INVALID_PARAMETER);
    return measure(dc, wide.c_str(), int(wide.size()), size);
}

BOOL WINAPI TextOutW(HDC dc, int x, int y, LPCWSTR text, int count) {
    return draw(dc, x, y, text, count);
}

BOOL WINAPI TextOutA(HDC dc, int x, int y, LPCSTR text, int count) {
    std::u16string wide;
    if (!wideText(text, count, wide))
        return posix::failWith(ERROR_INVALID_PARAMETER);
    return draw(dc, x, y, wide.c_str(), int(wide.size()));
}

BOOL WINAPI GetTextMetricsW(HDC dc, LPTEXTMETRICW out) {
    if (!metrics(dc, out))
        return FALSE;
    out->tmFirstChar = kFirstChar;
    out->tmLastChar = kLastChar;
    out->tmDefaultChar = kDefaultChar;
    out->tmBreakChar = u' ';
    return TRUE;
}

BOOL WINAPI GetTextMetricsA(HDC dc, LPTEXTMETRICA out) {
    if (!metrics(dc, out))
        return FALSE;
    out->tmFirstChar = BYTE(kFirstChar);
    out->tmLastChar = 0xFF;
    out->tmDefaultChar = BYTE(kDefaultChar);
    out->tmBreakChar = ' ';
    return TRUE;
}
