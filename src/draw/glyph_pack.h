// Glyphs rendered ahead of time for a platform without FreeType: every letter of every font the game uses.
#pragma once

#include <cstdint>

constexpr int32_t bakedLetterCount = 256;

struct BakedGlyph {
    int32_t advance;
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t rows;
    uint32_t offset;  // of its width * rows coverage bytes in the font's coverage
};

struct BakedFont {
    const char* face;
    int32_t height;
    int32_t ascent;
    const uint8_t* coverage;
    BakedGlyph glyphs[bakedLetterCount];
};

// Made by tessera-glyphs at build time.
extern const BakedFont bakedFonts[];
extern const int32_t bakedFontCount;
