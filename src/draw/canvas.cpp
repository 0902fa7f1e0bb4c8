// Canvas operations over the pixel store: state setters, lines, rectangles, text and the blend.
#include "draw/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "draw/font_cache.h"

Canvas canvases[canvasCount];
int32_t currentCanvas = 0;

namespace {
constexpr char initialFontFace[] = "ＭＳ ゴシック";
constexpr int32_t initialFontHeight = 12;
constexpr int32_t normalFontWeight = 400;
constexpr uint8_t initialShade = 255;
constexpr int32_t bytesPerPixel = 3;
constexpr size_t spanRunPixels = 32;
constexpr size_t blendChunkBytes = 24;  // eight pixels, three 64-bit words

// Halves the sum of each byte pair, rounding down, eight bytes at a time.
uint64_t AverageBytes(uint64_t a, uint64_t b)
{
    return (a & b) + (((a ^ b) >> 1) & 0x7F7F7F7F7F7F7F7Full);
}

// Wide strokes are measured on a doubled grid, where pixel (x, y) stands at
// (2x + o, 2y + o) and half the pen's width w is w: o is 1 for an even width
// (the pixel's centre, (x + 1/2, y + 1/2), is tested) and 0 for an odd one
// (the point (x, y) is). Either way a stroke is exactly w pixels across.

// Largest e >= 0 with e * e <= limit, for limit >= 0.
int64_t SquareRootFloor(int64_t limit)
{
    auto e = static_cast<int64_t>(std::sqrt(static_cast<double>(limit)));
    while (e > 0 && e * e > limit) --e;
    while ((e + 1) * (e + 1) <= limit) ++e;
    return e;
}

// Reach along a row of a stroke's edge at doubled distance d from its axis:
// the largest e with e * e + d * d <= w * w, or -1 when d is beyond w. Kept
// in a table while the width stays the same: strokes come in runs of one
// width, two widths per piece.
constexpr int32_t reachTableSize = 1024;
int64_t reachTable[reachTableSize];
int64_t reachTableWidth = -1;

int64_t ReachAt(int64_t width, int64_t distance)
{
    int64_t rest = width * width - distance * distance;
    if (distance >= reachTableSize) return rest >= 0 ? SquareRootFloor(rest) : -1;
    if (width != reachTableWidth) {
        for (int64_t d = 0; d < reachTableSize; ++d) {
            int64_t left = width * width - d * d;
            reachTable[d] = left >= 0 ? SquareRootFloor(left) : -1;
        }
        reachTableWidth = width;
    }
    return reachTable[distance];
}

// The pixels c with |2c + o - 2 * centre| <= reach, as [first, last]; empty
// (last < first) when reach is negative.
void SpanAround(int64_t centreLow, int64_t centreHigh, int64_t reach, int64_t o, int64_t& first, int64_t& last)
{
    first = centreLow - ((reach + o) >> 1);
    last = centreHigh + ((reach - o) >> 1);
    if (reach < 0) last = first - 1;
}

// True when the doubled point (px, py) lies within w of the doubled segment A-B.
bool InsideStroke(int64_t px, int64_t py, int64_t ax, int64_t ay, int64_t bx, int64_t by, int64_t width)
{
    int64_t dx = bx - ax;
    int64_t dy = by - ay;
    int64_t rx = px - ax;
    int64_t ry = py - ay;
    int64_t along = rx * dx + ry * dy;
    int64_t lengthSquared = dx * dx + dy * dy;
    __extension__ typedef __int128 Wide;
    Wide limit = static_cast<Wide>(width) * width;
    if (along <= 0) return static_cast<Wide>(rx) * rx + static_cast<Wide>(ry) * ry <= limit;
    if (along >= lengthSquared) {
        int64_t sx = px - bx;
        int64_t sy = py - by;
        return static_cast<Wide>(sx) * sx + static_cast<Wide>(sy) * sy <= limit;
    }
    Wide cross = static_cast<Wide>(rx) * dy - static_cast<Wide>(ry) * dx;
    return cross * cross <= limit * lengthSquared;
}

uint8_t BlendChannel(uint8_t under, uint8_t over, uint8_t coverage)
{
    return static_cast<uint8_t>((under * (255 - coverage) + over * coverage + 127) / 255);
}
}  // namespace

void Canvas::create(int32_t newWidth, int32_t newHeight)
{
    release();
    if (newWidth <= 0 || newHeight <= 0) return;
    size_t size = static_cast<size_t>(newWidth) * static_cast<size_t>(newHeight) * bytesPerPixel;
    pixels = std::make_unique<uint8_t[]>(size);  // a new picture starts black
    width = newWidth;
    height = newHeight;
    setTextColor(initialShade, initialShade, initialShade);
    setFont(initialFontFace, initialFontHeight);
    updatePen(1);
    updateBrush();
    valid = true;
}

void Canvas::release()
{
    if (!valid) return;
    pixels.reset();
    valid = false;
}

void Canvas::setFont(const char* face, int32_t newHeight)
{
    std::strncpy(fontFace, face, fontFaceSize - 1);
    fontFace[fontFaceSize - 1] = '\0';
    fontHeight = newHeight;
    fontWeight = normalFontWeight;
    fontExtra = 0;
}

void Canvas::setTextColor(uint8_t r, uint8_t g, uint8_t b)
{
    red = r;
    green = g;
    blue = b;
}

void Canvas::updatePen(int32_t penWidth)
{
    pen = {penWidth, red, green, blue};
}

void Canvas::updateBrush()
{
    brush = {red, green, blue};
}

void Canvas::setColor(uint8_t r, uint8_t g, uint8_t b)
{
    setTextColor(r, g, b);
    updatePen(1);
    updateBrush();
}

void Canvas::moveTo(int32_t x, int32_t y)
{
    penX = x;
    penY = y;
}

void Canvas::lineTo(int32_t x, int32_t y)
{
    if (pixels != nullptr) {
        if (pen.width > 1) {
            wideLine(penX, penY, x, y);
        } else {
            thinLine(penX, penY, x, y);
        }
    }
    penX = x;
    penY = y;
}

void Canvas::clear()
{
    rectangle(0, 0, width, height);
}

void Canvas::rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    if (pixels == nullptr || left >= right || top >= bottom) return;
    bool solid = pen.red == brush.red && pen.green == brush.green && pen.blue == brush.blue;
    for (int32_t y = top; y < bottom; ++y) {
        if (solid) {
            fillSpan(y, left, right - 1, brush.red, brush.green, brush.blue);
            continue;
        }
        bool ring = y == top || y == bottom - 1;
        if (ring) {
            fillSpan(y, left, right - 1, pen.red, pen.green, pen.blue);
            continue;
        }
        fillSpan(y, left, left, pen.red, pen.green, pen.blue);
        fillSpan(y, left + 1, right - 2, brush.red, brush.green, brush.blue);
        if (right - 1 > left) fillSpan(y, right - 1, right - 1, pen.red, pen.green, pen.blue);
    }
}

TextSize Canvas::measureText(const char* text)
{
    FontFace* face = currentFont();
    if (face == nullptr) return {0, fontHeight};
    int32_t total = 0;
    for (const char* c = text; *c != '\0'; ++c) total += GlyphFor(*face, static_cast<uint8_t>(*c)).advance;
    return {total, fontHeight};
}

void Canvas::textOut(const char* text)
{
    FontFace* face = pixels != nullptr ? currentFont() : nullptr;
    if (face != nullptr) {
        int32_t x = penX;
        int32_t baseline = penY + face->ascent;
        for (const char* c = text; *c != '\0'; ++c) {
            const Glyph& glyph = GlyphFor(*face, static_cast<uint8_t>(*c));
            int32_t glyphLeft = x + glyph.left;
            int32_t glyphTop = baseline - glyph.top;
            for (int32_t row = 0; row < glyph.rows; ++row) {
                int32_t y = glyphTop + row;
                if (y < 0 || y >= height) continue;
                const uint8_t* coverage = glyph.coverage.get() + static_cast<size_t>(row) * glyph.width;
                int32_t first = std::max(0, -glyphLeft);
                int32_t last = std::min(glyph.width, width - glyphLeft);
                for (int32_t column = first; column < last; ++column) {
                    uint8_t alpha = coverage[column];
                    if (alpha == 0) continue;
                    uint8_t* p = pixelAddress(glyphLeft + column, y);
                    p[0] = BlendChannel(p[0], blue, alpha);
                    p[1] = BlendChannel(p[1], green, alpha);
                    p[2] = BlendChannel(p[2], red, alpha);
                }
            }
            x += glyph.advance;
        }
    }
    penY += fontHeight;
}

void Canvas::textOutCentered(const char* text)
{
    int32_t x0 = penX;
    int32_t y0 = penY;
    int32_t w = measureText(text).width;
    moveTo(x0 - w / 2, y0);
    textOut(text);
    moveTo(x0, penY);
}

void Canvas::textOutRight(const char* text)
{
    int32_t x0 = penX;
    int32_t y0 = penY;
    int32_t w = measureText(text).width;
    moveTo(x0 - w, y0);
    textOut(text);
    moveTo(x0, penY);
}

// The font is a plain face name and height; the opened font is looked up in
// the cache when text is measured or drawn.
FontFace* Canvas::currentFont()
{
    return AcquireFont(fontFace, fontHeight);
}

void Canvas::fillSpan(int32_t y, int32_t left, int32_t right, uint8_t r, uint8_t g, uint8_t b)
{
    if (y < 0 || y >= height) return;
    left = std::max(left, 0);
    right = std::min(right, width - 1);
    if (left > right) return;
    uint8_t* p = pixelAddress(left, y);
    size_t count = static_cast<size_t>(right - left + 1);
    if (r == g && g == b) {
        std::memset(p, r, count * bytesPerPixel);
        return;
    }
    // A run of the colour, copied in blocks: writing three-byte pixels one at
    // a time would be the slowest part of a frame. Most spans in a row share
    // a colour, so the run is kept until the colour changes.
    static uint8_t run[spanRunPixels * bytesPerPixel];
    static uint32_t runColor = 0xFFFFFFFFu;
    uint32_t color = static_cast<uint32_t>(r) | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b) << 16;
    if (color != runColor) {
        for (size_t i = 0; i < spanRunPixels; ++i) {
            run[i * bytesPerPixel] = b;
            run[i * bytesPerPixel + 1] = g;
            run[i * bytesPerPixel + 2] = r;
        }
        runColor = color;
    }
    size_t done = 0;
    for (; done + spanRunPixels <= count; done += spanRunPixels) {
        std::memcpy(p + done * bytesPerPixel, run, sizeof run);
    }
    std::memcpy(p + done * bytesPerPixel, run, (count - done) * bytesPerPixel);
}

void Canvas::plotPixel(int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t b)
{
    if (x < 0 || x >= width || y < 0 || y >= height) return;
    uint8_t* p = pixelAddress(x, y);
    p[0] = b;
    p[1] = g;
    p[2] = r;
}

// A one-pixel line from (x0, y0) up to but not including (x1, y1).
void Canvas::thinLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    int64_t dx = std::abs(static_cast<int64_t>(x1) - x0);
    int64_t dy = -std::abs(static_cast<int64_t>(y1) - y0);
    int32_t stepX = x0 < x1 ? 1 : -1;
    int32_t stepY = y0 < y1 ? 1 : -1;
    int64_t error = dx + dy;
    int64_t x = x0;
    int64_t y = y0;
    while (x != x1 || y != y1) {
        plotPixel(static_cast<int32_t>(x), static_cast<int32_t>(y), pen.red, pen.green, pen.blue);
        int64_t doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x += stepX;
        }
        if (doubled <= dx) {
            error += dx;
            y += stepY;
        }
    }
}

// Every pixel whose centre lies within half the pen width of the segment:
// a stroke of that width with round caps. The set of such pixels in one row
// is an interval, found directly for level and upright segments.
void Canvas::wideLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    int64_t w = pen.width;
    int64_t o = w % 2 == 0 ? 1 : 0;
    int64_t reach = w / 2 + 1;
    int64_t top = std::max<int64_t>(std::min(y0, y1) - reach, 0);
    int64_t bottom = std::min<int64_t>(std::max(y0, y1) + reach, height - 1);
    int64_t leftBound = std::max<int64_t>(std::min(x0, x1) - reach, 0);
    int64_t rightBound = std::min<int64_t>(std::max(x0, x1) + reach, width - 1);
    if (top > bottom || leftBound > rightBound) return;

    int64_t first = 0;
    int64_t last = 0;
    if (y0 == y1) {
        int64_t left = std::min(x0, x1);
        int64_t right = std::max(x0, x1);
        for (int64_t y = top; y <= bottom; ++y) {
            int64_t distance = 2 * y + o - 2 * static_cast<int64_t>(y0);
            SpanAround(left, right, ReachAt(w, distance < 0 ? -distance : distance), o, first, last);
            if (first <= last) {
                fillSpan(static_cast<int32_t>(y), static_cast<int32_t>(std::max(first, leftBound)),
                         static_cast<int32_t>(std::min(last, rightBound)), pen.red, pen.green, pen.blue);
            }
        }
        return;
    }
    if (x0 == x1) {
        int64_t upper = 2 * static_cast<int64_t>(std::min(y0, y1));
        int64_t lower = 2 * static_cast<int64_t>(std::max(y0, y1));
        for (int64_t y = top; y <= bottom; ++y) {
            int64_t point = 2 * y + o;
            int64_t outside = point < upper ? upper - point : (point > lower ? point - lower : 0);
            SpanAround(x0, x0, ReachAt(w, outside), o, first, last);
            if (first <= last) {
                fillSpan(static_cast<int32_t>(y), static_cast<int32_t>(std::max(first, leftBound)),
                         static_cast<int32_t>(std::min(last, rightBound)), pen.red, pen.green, pen.blue);
            }
        }
        return;
    }
    int64_t ax = 2 * static_cast<int64_t>(x0);
    int64_t ay = 2 * static_cast<int64_t>(y0);
    int64_t bx = 2 * static_cast<int64_t>(x1);
    int64_t by = 2 * static_cast<int64_t>(y1);
    for (int64_t y = top; y <= bottom; ++y) {
        int64_t start = -1;
        for (int64_t x = leftBound; x <= rightBound; ++x) {
            bool inside = InsideStroke(2 * x + o, 2 * y + o, ax, ay, bx, by, w);
            if (inside && start < 0) start = x;
            if (!inside && start >= 0) {
                fillSpan(static_cast<int32_t>(y), static_cast<int32_t>(start), static_cast<int32_t>(x - 1), pen.red,
                         pen.green, pen.blue);
                start = -1;
                break;
            }
        }
        if (start >= 0) {
            fillSpan(static_cast<int32_t>(y), static_cast<int32_t>(start), static_cast<int32_t>(rightBound), pen.red,
                     pen.green, pen.blue);
        }
    }
}

void blendRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    Canvas& canvas = canvases[currentCanvas];
    if (canvas.pixels == nullptr) return;
    int32_t x0 = std::max(left, 0);
    int32_t x1 = std::min(right, canvas.width);
    int32_t y0 = std::max(top, 0);
    int32_t y1 = std::min(bottom, canvas.height);
    if (x0 >= x1 || y0 >= y1) return;
    uint8_t colorBytes[blendChunkBytes];
    for (size_t i = 0; i < blendChunkBytes; i += bytesPerPixel) {
        colorBytes[i] = canvas.blue;
        colorBytes[i + 1] = canvas.green;
        colorBytes[i + 2] = canvas.red;
    }
    uint64_t colorWords[3];
    std::memcpy(colorWords, colorBytes, sizeof colorWords);
    size_t rowBytes = static_cast<size_t>(x1 - x0) * bytesPerPixel;
    for (int32_t y = y0; y < y1; ++y) {
        uint8_t* p = canvas.pixelAddress(x0, y);
        size_t i = 0;
        for (; i + blendChunkBytes <= rowBytes; i += blendChunkBytes) {
            uint64_t words[3];
            std::memcpy(words, p + i, sizeof words);
            for (int w = 0; w < 3; ++w) words[w] = AverageBytes(words[w], colorWords[w]);
            std::memcpy(p + i, words, sizeof words);
        }
        for (; i < rowBytes; ++i) p[i] = static_cast<uint8_t>((p[i] + colorBytes[i % blendChunkBytes]) >> 1);
    }
}

uint8_t* Canvas::pixelAddress(int32_t x, int32_t y) const
{
    return pixels.get() + (static_cast<ptrdiff_t>(height - 1 - y) * width + x) * bytesPerPixel;
}

uint8_t* pixelAt(int32_t x, int32_t y)
{
    return canvases[currentCanvas].pixelAddress(x, y);
}
