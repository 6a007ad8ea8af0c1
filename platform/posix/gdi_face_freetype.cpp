// Faces from font files, rendered by FreeType: metrics scaled to the cell,
// synthetic bold for faces without a bold weight, and a cache of the
// glyphs rendered so far.
#include "platform/posix/gdi_face_freetype.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

namespace posix {

namespace {

constexpr int kEmboldenDivisor = 24; // synthetic bold widens strokes by em / 24

long roundedFrom26Dot6(long value) {
    return (value + 32) >> 6;
}

// Each face has a library of its own: FreeType objects may then be used
// from any thread as long as the face's own glyph cache is locked.
class FreeTypeFace : public SizedFace {
public:
    ~FreeTypeFace() override {
        if (face_)
            FT_Done_Face(face_);
        if (library_)
            FT_Done_FreeType(library_);
    }

    bool open(const FaceFile &file, int cell, int wantedWeight, bool wantItalic) {
        if (FT_Init_FreeType(&library_) != 0 ||
            FT_New_Face(library_, file.path.c_str(), file.index, &face_) != 0 ||
            !FT_IS_SCALABLE(face_) || FT_Set_Pixel_Sizes(face_, 0, FT_UInt(cell)) != 0)
            return false;
        em = cell;
        splitCell();
        embolden_ = wantedWeight >= kBoldWeight && file.weight < kBoldWeight;
        strength_ = embolden_ ? FT_Pos(em) * 64 / kEmboldenDivisor : 0;
        weight = embolden_ ? wantedWeight : file.weight;
        italic = wantItalic;
        family = file.family;
        maxWidth = std::max<int>(em, int(roundedFrom26Dot6(FT_MulFix(
                                         face_->max_advance_width, face_->size->metrics.x_scale))));
        averageWidth = glyph(U'x')->advance;
        return true;
    }

    // FreeType's face is used under the cache's lock only.
    GlyphPtr glyph(char32_t c) override {
        return glyphs_.get(c, [this](char32_t wanted) { return render(wanted); });
    }

private:
    // The cell is the em; the typographic ascender and descender (the
    // ideographic em box of a CJK face) decide where the baseline falls.
    void splitCell() {
        double above = face_->ascender, below = -face_->descender;
        auto *os2 = static_cast<TT_OS2 *>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
        if (os2 && os2->version != 0xFFFF && os2->sTypoAscender > 0 && os2->sTypoDescender < 0) {
            above = os2->sTypoAscender;
            below = -os2->sTypoDescender;
        }
        if (above + below <= 0)
            above = 1, below = 0;
        ascent = int(std::lround(em * above / (above + below)));
        descent = em - ascent;
    }

    Glyph render(char32_t c) {
        FT_UInt index = FT_Get_Char_Index(face_, FT_ULong(c));
        if (index == 0 ||
            FT_Load_Glyph(face_, index, FT_LOAD_TARGET_LIGHT | FT_LOAD_NO_BITMAP) != 0)
            return boxGlyph(c, em, ascent, weight >= kBoldWeight);
        FT_GlyphSlot slot = face_->glyph;
        if (embolden_ && slot->format == FT_GLYPH_FORMAT_OUTLINE)
            FT_Outline_Embolden(&slot->outline, strength_);
        Glyph glyph;
        glyph.advance = int(roundedFrom26Dot6(slot->advance.x + strength_));
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
            return glyph;
        const FT_Bitmap &bitmap = slot->bitmap;
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        glyph.width = int(bitmap.width);
        glyph.height = int(bitmap.rows);
        glyph.coverage.resize(size_t(glyph.width) * size_t(glyph.height));
        for (int y = 0; y < glyph.height; y++) {
            const unsigned char *row = bitmap.buffer + ptrdiff_t(y) * bitmap.pitch;
            std::copy_n(row, glyph.width, glyph.coverage.begin() + ptrdiff_t(y) * glyph.width);
        }
        return glyph;
    }

    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    bool embolden_ = false;
    FT_Pos strength_ = 0;
    GlyphCache glyphs_;
};

} // namespace

std::shared_ptr<SizedFace> openFace(const FaceFile &file, int cell, int weight, bool italic) {
    auto face = std::make_shared<FreeTypeFace>();
    if (!face->open(file, cell, weight, italic))
        return nullptr;
    return face;
}

} // namespace posix
