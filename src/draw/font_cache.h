// Fonts found through fontconfig and rendered with FreeType, opened once per face and height.
#pragma once

#include <cstdint>
#include <memory>

constexpr int32_t glyphTableSize = 256;

struct Glyph {
    int32_t advance;  // pixels from this letter's pen position to the next one's
    int32_t left;     // from the pen position to the bitmap's first column
    int32_t top;      // from the baseline up to the bitmap's first row
    int32_t width;
    int32_t rows;
    std::unique_ptr<uint8_t[]> coverage;  // width * rows bytes, 0 transparent .. 255 solid
};

struct FontFace;

// The font for a face name and a cell height (ascent plus descent in pixels).
// A face that cannot be found falls back to the default face, with one
// warning on stderr. When no font at all can be loaded, the font draws
// nothing and measures 0. Returns nullptr only when the font system is down.
FontFace* AcquireFont(const char* face, int32_t height);

// Letters are one byte each, taken as Latin-1. Each is rendered on first use and kept.
const Glyph& GlyphFor(FontFace& font, uint8_t letter);

// The family name and file that a face name resolves to, for tools and tests.
bool ResolveFontFamily(const char* face, char* family, int32_t familySize);

struct FontFace {
    char face[64];
    int32_t height;
    int32_t ascent;
    void* ftFace;  // FT_Face, kept opaque so callers need no FreeType headers
    bool loaded[glyphTableSize];
    Glyph glyphs[glyphTableSize];
};
