// The faces that draw the fonts of device contexts: a font's description
// (LOGFONTW) leads through fontconfig to a FreeType face at one pixel
// size and weight, which renders glyphs once and keeps them, so that a
// repaint only copies pixels. Without any usable face a plain face of
// boxes stands in, so that text is still measured and drawn.
//
// Every face has a cell exactly one em high and no internal leading, as
// the Traditional Chinese system faces have: a height of -32 (character
// height) and of 32 (cell height) give the same 32-pixel text lines.
#ifndef TAVO_POSIX_GDI_FACES_H
#define TAVO_POSIX_GDI_FACES_H

#include "platform/platform.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace posix {

// From this weight on, a font is bold.
constexpr int kBoldWeight = 600;

// A rendered glyph: coverage 0 (none) to 255 (full) for width x height
// pixels whose top-left lies left pixels right of the pen and top pixels
// above the baseline; the pen then moves advance pixels right.
struct Glyph {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int advance = 0;
    std::vector<uint8_t> coverage;
};

using GlyphPtr = std::shared_ptr<const Glyph>;

// The glyphs a face has rendered, by character. A face that has rendered
// very many starts again, so that its memory stays bounded; glyphs in use
// live on.
class GlyphCache {
public:
    template <class Render> GlyphPtr get(char32_t c, Render render) {
        std::lock_guard guard(lock_);
        auto found = glyphs_.find(c);
        if (found != glyphs_.end())
            return found->second;
        if (glyphs_.size() >= kMostGlyphs)
            glyphs_.clear();
        return glyphs_.emplace(c, std::make_shared<const Glyph>(render(c))).first->second;
    }

private:
    static constexpr size_t kMostGlyphs = 4096;
    std::mutex lock_;
    std::unordered_map<char32_t, GlyphPtr> glyphs_;
};

class SizedFace {
public:
    virtual ~SizedFace();

    // The glyph of a character (a code point); characters the face lacks
    // get a box.
    virtual GlyphPtr glyph(char32_t c) = 0;

    int em = 0;      // the cell height: ascent + descent
    int ascent = 0;  // baseline below the cell's top
    int descent = 0; // below the baseline
    int weight = FW_NORMAL;
    int averageWidth = 0; // of the letter x
    int maxWidth = 0;
    bool italic = false;
    std::string family; // what fontconfig found; empty for the boxes
};

// The face for a font. Never null: the boxes stand in when fontconfig
// knows no face. Faces are shared between fonts of the same size.
std::shared_ptr<SizedFace> findFace(const LOGFONTW &font);

// Closes the faces that no font uses any more, so that the next font
// opens its face and renders its glyphs afresh (for measuring that cost).
void forgetFaces();

// The face of boxes at a cell height.
std::shared_ptr<SizedFace> boxFace(int em, bool bold);

// The box drawn for a character a face lacks: a frame in a cell of em
// pixels, as wide as the character is (a full em for East Asian wide
// characters, half an em for the rest).
Glyph boxGlyph(char32_t c, int em, int ascent, bool bold);

// The pixel cell height a font asks for (its height's size, 16 for 0).
int cellHeightOf(const LOGFONTW &font);

} // namespace posix

#endif
