// A short text laid out letter by letter, each letter drawn at its own anchor plus a centring offset.
#pragma once

#include <cstdint>

#include "draw/canvas.h"
#include "support/point.h"

class TextBanner {
public:
    static constexpr int32_t capacity = 50;
    static constexpr char defaultFace[] = "Arial";
    static constexpr int32_t defaultFontHeight = 24;

    TextBanner() { reset(); }

    void reset();
    void setText(const char* newText);
    void setFontHeight(int32_t height);
    Point* letterPosition(int32_t index);
    bool draw();
    void layout();

    int32_t letterCount = 0;
    char text[capacity] = {};
    int32_t fontHeight = 0;
    char fontFace[capacity] = {};
    Point positions[capacity] = {};
    int32_t length = 0;
    TextSize letterSizes[capacity] = {};
    Point letterOffsets[capacity] = {};
    int32_t totalWidth = 0;

private:
    void selectFont();
};
