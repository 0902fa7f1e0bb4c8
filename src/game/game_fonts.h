// Every face and height the game draws or measures text with, listed once: the browser build bakes exactly these glyphs.
#pragma once

#include <cstdint>

#include "draw/text_banner.h"

struct FontUse {
    const char* face;
    int32_t height;
};

constexpr char gameFace[] = "Arial";
constexpr int32_t stageLabelHeight = 30;   // "Stage N" and its cleared mark on the stage list
constexpr int32_t noticeHeight = 60;       // "NO Block" over an empty board
constexpr int32_t bannerFontHeight = 100;  // "Perfect!"

constexpr FontUse gameFonts[] = {
    {TextBanner::defaultFace, TextBanner::defaultFontHeight},  // a banner measures its default text on reset
    {gameFace, stageLabelHeight},
    {gameFace, noticeHeight},
    {gameFace, bannerFontHeight},
};
