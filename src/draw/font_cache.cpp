// Font lookup with fontconfig, sizing by cell height and glyph rendering with FreeType, all cached.
#include "draw/font_cache.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {
constexpr int32_t maxCachedFonts = 32;
constexpr int32_t maxPathLength = 4096;
constexpr char defaultFace[] = "sans-serif";
constexpr int32_t firstPrintable = 0x20;
constexpr int32_t lastPrintable = 0x7E;

FT_Library library = nullptr;
bool libraryFailed = false;
std::unique_ptr<FontFace> fonts[maxCachedFonts];
int32_t nextSlot = 0;

// One opened FreeType face per font file, shared by every height.
struct OpenedFile {
    char path[maxPathLength];
    FT_Face face;
};
OpenedFile openedFiles[maxCachedFonts];
int32_t openedFileCount = 0;

// Each face name is resolved once, so a missing face is reported once.
struct ResolvedName {
    char name[64];
    FT_Face face;
};
ResolvedName resolvedNames[maxCachedFonts];
int32_t resolvedNameCount = 0;

// True when the matched family is the face asked for or one that the
// configuration binds to it as an equal (its metric-compatible aliases), not
// one of the weak fallbacks every pattern collects.
bool StandsFor(FcPattern* pattern, const char* family)
{
    FcPatternIter iterator;
    if (!FcPatternFindIter(pattern, &iterator, FC_FAMILY)) return false;
    int count = FcPatternIterValueCount(pattern, &iterator);
    for (int i = 0; i < count; ++i) {
        FcValue value;
        FcValueBinding binding = FcValueBindingWeak;
        if (FcPatternIterGetValue(pattern, &iterator, i, &value, &binding) != FcResultMatch) continue;
        if (value.type != FcTypeString) continue;
        bool bound = i == 0 || binding == FcValueBindingStrong || binding == FcValueBindingSame;
        if (bound && strcasecmp(reinterpret_cast<const char*>(value.u.s), family) == 0) return true;
    }
    return false;
}

// Matches a face name with fontconfig; found tells whether the match is the face itself or a
// face that fontconfig names as standing in for it (a metric-compatible
// alias), rather than a generic fallback.
bool MatchFace(const char* face, char* path, int32_t pathSize, char* family, int32_t familySize, bool& found)
{
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    bool ok = false;
    found = false;
    if (match != nullptr) {
        FcChar8* file = nullptr;
        FcChar8* matchedFamily = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
            FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily) == FcResultMatch) {
            std::snprintf(path, pathSize, "%s", reinterpret_cast<const char*>(file));
            std::snprintf(family, familySize, "%s", reinterpret_cast<const char*>(matchedFamily));
            ok = true;
            found = StandsFor(pattern, family);
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return ok;
}

FT_Face OpenFile(const char* path)
{
    for (int32_t i = 0; i < openedFileCount; ++i) {
        if (std::strcmp(openedFiles[i].path, path) == 0) return openedFiles[i].face;
    }
    if (openedFileCount == maxCachedFonts) return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Face(library, path, 0, &face) != 0) return nullptr;
    OpenedFile& opened = openedFiles[openedFileCount++];
    std::snprintf(opened.path, sizeof opened.path, "%s", path);
    opened.face = face;
    return face;
}

FT_Face ResolveFace(const char* face)
{
    char path[maxPathLength];
    char family[256];
    bool found = false;
    if (MatchFace(face, path, sizeof path, family, sizeof family, found)) {
        FT_Face opened = OpenFile(path);
        if (opened != nullptr) {
            if (!found) std::fprintf(stderr, "tessera: font \"%s\" not found, using \"%s\"\n", face, family);
            return opened;
        }
    }
    if (MatchFace(defaultFace, path, sizeof path, family, sizeof family, found)) {
        FT_Face opened = OpenFile(path);
        if (opened != nullptr) {
            std::fprintf(stderr, "tessera: font \"%s\" cannot be loaded, using \"%s\"\n", face, family);
            return opened;
        }
    }
    std::fprintf(stderr, "tessera: no font can be loaded for \"%s\"\n", face);
    return nullptr;
}

FT_Face OpenFace(const char* face)
{
    for (int32_t i = 0; i < resolvedNameCount; ++i) {
        if (std::strcmp(resolvedNames[i].name, face) == 0) return resolvedNames[i].face;
    }
    FT_Face opened = ResolveFace(face);
    if (resolvedNameCount < maxCachedFonts) {
        ResolvedName& resolved = resolvedNames[resolvedNameCount++];
        std::snprintf(resolved.name, sizeof resolved.name, "%s", face);
        resolved.face = opened;
    }
    return opened;
}

// At exit every face is closed and both libraries are shut down, so a leak
// checker sees nothing left behind.
void StopLibrary()
{
    for (auto& font : fonts) font.reset();
    for (int32_t i = 0; i < openedFileCount; ++i) FT_Done_Face(openedFiles[i].face);
    openedFileCount = 0;
    resolvedNameCount = 0;
    FT_Done_FreeType(library);
    library = nullptr;
    FcFini();
}

bool StartLibrary()
{
    if (library != nullptr) return true;
    if (libraryFailed) return false;
    libraryFailed = !FcInit() || FT_Init_FreeType(&library) != 0;
    if (!libraryFailed) std::atexit(StopLibrary);
    if (libraryFailed) std::fprintf(stderr, "tessera: the font system cannot be started\n");
    return !libraryFailed;
}

// Selects the size at which ascent plus descent is the given cell height.
void SelectCellHeight(FT_Face face, int32_t height)
{
    FT_Size_RequestRec request{};
    request.type = FT_SIZE_REQUEST_TYPE_CELL;
    request.height = static_cast<FT_Long>(height > 0 ? height : 1) * 64;
    FT_Request_Size(face, &request);
}
}  // namespace

FontFace* AcquireFont(const char* face, int32_t height)
{
    for (auto& font : fonts) {
        if (font != nullptr && font->height == height && std::strcmp(font->face, face) == 0) return font.get();
    }
    if (!StartLibrary()) return nullptr;
    FT_Face opened = OpenFace(face);

    auto font = std::make_unique<FontFace>();
    std::snprintf(font->face, sizeof font->face, "%s", face);
    font->height = height;
    font->ftFace = opened;
    if (opened != nullptr) {
        SelectCellHeight(opened, height);
        font->ascent = static_cast<int32_t>((opened->size->metrics.ascender + 32) >> 6);
    }
    // Printable letters are rendered at once, so that drawing a text for the
    // first time in a later frame allocates nothing.
    for (int32_t letter = firstPrintable; letter <= lastPrintable; ++letter) {
        GlyphFor(*font, static_cast<uint8_t>(letter));
    }
    std::unique_ptr<FontFace>& slot = fonts[nextSlot];
    nextSlot = (nextSlot + 1) % maxCachedFonts;
    slot = std::move(font);
    return slot.get();
}

const Glyph& GlyphFor(FontFace& font, uint8_t letter)
{
    Glyph& glyph = font.glyphs[letter];
    if (font.loaded[letter]) return glyph;
    font.loaded[letter] = true;
    auto face = static_cast<FT_Face>(font.ftFace);
    glyph = {};
    if (face == nullptr) return glyph;
    SelectCellHeight(face, font.height);
    if (FT_Load_Char(face, letter, FT_LOAD_RENDER) != 0) return glyph;
    FT_GlyphSlot slot = face->glyph;
    glyph.advance = static_cast<int32_t>((slot->advance.x + 32) >> 6);
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return glyph;
    glyph.width = static_cast<int32_t>(bitmap.width);
    glyph.rows = static_cast<int32_t>(bitmap.rows);
    glyph.coverage = std::make_unique<uint8_t[]>(static_cast<size_t>(glyph.width) * glyph.rows);
    for (int32_t row = 0; row < glyph.rows; ++row) {
        std::memcpy(glyph.coverage.get() + static_cast<size_t>(row) * glyph.width,
                    bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch, static_cast<size_t>(glyph.width));
    }
    return glyph;
}

bool ResolveFontFamily(const char* face, char* family, int32_t familySize)
{
    if (!StartLibrary()) return false;
    char path[maxPathLength];
    bool found = false;
    return MatchFace(face, path, sizeof path, family, familySize, found) && found;
}
