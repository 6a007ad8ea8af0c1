// The plain face of boxes that stands in when no font face is found, and
// the boxes of characters a real face lacks.
#include "platform/posix/gdi_faces.h"

#include <algorithm>

namespace posix {

SizedFace::~SizedFace() = default;

namespace {

constexpr int kLargestBoxCell = 2048;

bool isWide(char32_t c) {
    return c >= 0x1100 && !(c >= 0xFF61 && c <= 0xFFDC);
}

class BoxFace : public SizedFace {
public:
    BoxFace(int cell, bool bold) : bold_(bold) {
        em = std::clamp(cell, 1, kLargestBoxCell);
        ascent = em - em / 8;
        descent = em - ascent;
        weight = bold ? FW_BOLD : FW_NORMAL;
        averageWidth = std::max(em / 2, 1);
        maxWidth = em;
    }

    GlyphPtr glyph(char32_t c) override {
        return glyphs_.get(c,
                           [this](char32_t wanted) { return boxGlyph(wanted, em, ascent, bold_); });
    }

private:
    bool bold_;
    GlyphCache glyphs_;
};

} // namespace

Glyph boxGlyph(char32_t c, int em, int ascent, bool bold) {
    Glyph glyph;
    glyph.advance = isWide(c) ? em : std::max(em / 2, 1);
    if (c == U' ' || c == 0x3000)
        return glyph;
    int inset = std::max(em / 8, 1);
    glyph.left = glyph.advance > 2 * inset ? inset : 0;
    glyph.width = std::max(glyph.advance - 2 * glyph.left, 1);
    glyph.height = std::max(em - 2 * inset, 1);
    glyph.top = ascent - inset;
    int line = std::max(em / (bold ? 10 : 16), 1);
    glyph.coverage.assign(size_t(glyph.width) * size_t(glyph.height), 0);
    for (int y = 0; y < glyph.height; y++)
        for (int x = 0; x < glyph.width; x++) {
            bool frame =
                x < line || y < line || x >= glyph.width - line || y >= glyph.height - line;
            glyph.coverage[size_t(y) * size_t(glyph.width) + size_t(x)] = frame ? 255 : 0;
        }
    return glyph;
}

std::shared_ptr<SizedFace> boxFace(int em, bool bold) {
    return std::make_shared<BoxFace>(em, bold);
}

} // namespace posix
