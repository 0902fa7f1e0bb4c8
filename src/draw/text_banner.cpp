// TextBanner: measures each letter on the current canvas and centres the word on the anchors.
#include "draw/text_banner.h"

#include <cstring>

namespace {
constexpr char defaultText[] = "default";

void CopyBounded(char* target, const char* source)
{
    std::strncpy(target, source, TextBanner::capacity - 1);
    target[TextBanner::capacity - 1] = '\0';
}
}  // namespace

void TextBanner::reset()
{
    CopyBounded(text, defaultText);
    fontHeight = TextBanner::defaultFontHeight;
    CopyBounded(fontFace, TextBanner::defaultFace);
    layout();
}

// Texts are cut at 49 letters, so every letter has its table entries.
void TextBanner::setText(const char* newText)
{
    CopyBounded(text, newText);
    layout();
}

void TextBanner::setFontHeight(int32_t height)
{
    fontHeight = height;
    layout();
}

Point* TextBanner::letterPosition(int32_t index)
{
    if (index < 0 || index >= length) return nullptr;
    return &positions[index];
}

void TextBanner::selectFont()
{
    canvases[currentCanvas].setFont(fontFace, fontHeight);
}

void TextBanner::layout()
{
    length = static_cast<int32_t>(std::strlen(text));
    letterCount = length;
    selectFont();
    Canvas& canvas = canvases[currentCanvas];
    totalWidth = 0;
    for (int32_t i = 0; i < length; ++i) {
        char letter[2] = {text[i], '\0'};
        int32_t w = canvas.measureText(letter).width;
        letterSizes[i] = {w, fontHeight};
        totalWidth += w;
    }
    int32_t x = -totalWidth / 2;
    for (int32_t i = 0; i < length; ++i) {
        letterOffsets[i] = {x, -letterSizes[i].height / 2};
        x += letterSizes[i].width;
    }
}

bool TextBanner::draw()
{
    selectFont();
    Canvas& canvas = canvases[currentCanvas];
    for (int32_t i = 0; i < length; ++i) {
        char letter[2] = {text[i], '\0'};
        canvas.moveTo(positions[i].x + letterOffsets[i].x, positions[i].y + letterOffsets[i].y);
        canvas.textOut(letter);
    }
    return true;
}
