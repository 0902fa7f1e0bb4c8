// The font cache over glyphs baked at build time: the same faces, metrics and coverage as FreeType gave.
#include <cstdio>
#include <cstring>

#include "draw/font_cache.h"
#include "draw/glyph_pack.h"

static_assert(bakedLetterCount == glyphTableSize);

namespace {
constexpr int32_t maxCachedFonts = 32;

std::unique_ptr<FontFace> fonts[maxCachedFonts];
int32_t fontCount = 0;

const BakedFont* FindBaked(const char* face, int32_t height)
{
    for (int32_t i = 0; i < bakedFontCount; ++i) {
        if (bakedFonts[i].height == height && std::strcmp(bakedFonts[i].face, face) == 0) return &bakedFonts[i];
    }
    return nullptr;
}
}  // namespace

FontFace* AcquireFont(const char* face, int32_t height)
{
    for (int32_t i = 0; i < fontCount; ++i) {
        if (fonts[i]->height == height && std::strcmp(fonts[i]->face, face) == 0) return fonts[i].get();
    }
    if (fontCount == maxCachedFonts) return nullptr;
    auto font = std::make_unique<FontFace>();
    std::snprintf(font->face, sizeof font->face, "%s", face);
    font->height = height;
    font->ftFace = nullptr;
    const BakedFont* baked = FindBaked(face, height);
    if (baked == nullptr) {
        // Only the fonts the game lists are baked: anything else draws nothing and measures 0.
        std::fprintf(stderr, "tessera: no glyphs baked for \"%s\" at %d pixels\n", face, height);
    } else {
        font->ascent = baked->ascent;
        for (int32_t letter = 0; letter < bakedLetterCount; ++letter) {
            const BakedGlyph& from = baked->glyphs[letter];
            Glyph& glyph = font->glyphs[letter];
            glyph = {from.advance, from.left, from.top, from.width, from.rows, nullptr};
            auto size = static_cast<size_t>(from.width) * static_cast<size_t>(from.rows);
            if (size > 0) {
                glyph.coverage = std::make_unique<uint8_t[]>(size);
                std::memcpy(glyph.coverage.get(), baked->coverage + from.offset, size);
            }
        }
    }
    for (bool& loaded : font->loaded) loaded = true;
    fonts[fontCount] = std::move(font);
    return fonts[fontCount++].get();
}

const Glyph& GlyphFor(FontFace& font, uint8_t letter)
{
    return font.glyphs[letter];
}

bool ResolveFontFamily(const char* face, char* family, int32_t familySize)
{
    for (int32_t i = 0; i < bakedFontCount; ++i) {
        if (std::strcmp(bakedFonts[i].face, face) == 0) {
            std::snprintf(family, static_cast<size_t>(familySize), "%s", face);
            return true;
        }
    }
    return false;
}
