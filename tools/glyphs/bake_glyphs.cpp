// tessera-glyphs OUT.cpp: renders every letter of every font the game lists with FreeType into a C++ source.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "draw/font_cache.h"
#include "game/game_fonts.h"
#include "support/user_output.h"

namespace {
constexpr int32_t bytesPerLine = 32;

void WriteFont(std::FILE* out, int32_t index, const FontUse& use, FontFace& font)
{
    std::vector<uint8_t> coverage;
    std::string glyphs;
    for (int32_t letter = 0; letter < glyphTableSize; ++letter) {
        const Glyph& glyph = GlyphFor(font, static_cast<uint8_t>(letter));
        char line[160];
        std::snprintf(line, sizeof line, "        {%d, %d, %d, %d, %d, %zu},\n", glyph.advance, glyph.left, glyph.top,
                      glyph.width, glyph.rows, coverage.size());
        glyphs += line;
        auto size = static_cast<size_t>(glyph.width) * static_cast<size_t>(glyph.rows);
        if (size > 0) coverage.insert(coverage.end(), glyph.coverage.get(), glyph.coverage.get() + size);
    }
    std::fprintf(out, "const uint8_t coverage%d[] = {", index);
    for (size_t i = 0; i < coverage.size(); ++i) {
        std::fprintf(out, "%s%u,", i % bytesPerLine == 0 ? "\n    " : "", coverage[i]);
    }
    std::fprintf(out, "\n    0};\n\n");
    std::fprintf(out, "const BakedFont font%d = {\n    \"%s\", %d, %d, coverage%d, {\n%s    }};\n\n", index, use.face,
                 use.height, font.ascent, index, glyphs.c_str());
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessera-glyphs OUT.cpp\n");
        return 2;
    }
    UserOutput output;
    if (!OpenUserOutput(output, argv[1])) {
        std::fprintf(stderr, "tessera-glyphs: cannot write %s: %s\n", argv[1], std::strerror(errno));
        return 2;
    }
    std::FILE* out = output.stream;
    std::fprintf(out, "// Every letter of every font the game lists, rendered by FreeType. Made by tessera-glyphs.\n");
    std::fprintf(out, "#include \"draw/glyph_pack.h\"\n\nnamespace {\n");
    int32_t index = 0;
    for (const FontUse& use : gameFonts) {
        FontFace* font = AcquireFont(use.face, use.height);
        if (font == nullptr || font->ftFace == nullptr) {
            std::fprintf(stderr, "tessera-glyphs: no font for \"%s\" at %d pixels\n", use.face, use.height);
            AbandonUserOutput(output);
            return 1;
        }
        WriteFont(out, index++, use, *font);
    }
    std::fprintf(out, "}  // namespace\n\nconst BakedFont bakedFonts[] = {");
    for (int32_t i = 0; i < index; ++i) std::fprintf(out, "font%d, ", i);
    std::fprintf(out, "};\nconst int32_t bakedFontCount = %d;\n", index);
    if (!CloseUserOutput(output)) {
        std::fprintf(stderr, "tessera-glyphs: cannot write %s: %s\n", argv[1], std::strerror(errno));
        return 2;
    }
    return 0;
}
