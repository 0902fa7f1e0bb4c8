// The off-screen 24-bit picture with its drawing state, over a plain bottom-up BGR pixel store.
#pragma once

#include <cstdint>
#include <memory>

struct FontFace;

struct TextSize {
    int32_t width;
    int32_t height;
};

struct CanvasPen {
    int32_t width;
    uint8_t red, green, blue;
};

struct CanvasBrush {
    uint8_t red, green, blue;
};

class Canvas {
public:
    static constexpr int32_t fontFaceSize = 64;

    Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas() { release(); }

    void create(int32_t newWidth, int32_t newHeight);
    void release();

    void setFont(const char* face, int32_t newHeight);
    void setTextColor(uint8_t r, uint8_t g, uint8_t b);
    void updatePen(int32_t penWidth);
    void updateBrush();
    void setColor(uint8_t r, uint8_t g, uint8_t b);

    void moveTo(int32_t x, int32_t y);
    void lineTo(int32_t x, int32_t y);
    void clear();
    void rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom);

    TextSize measureText(const char* text);
    void textOut(const char* text);
    void textOutCentered(const char* text);
    void textOutRight(const char* text);

    // The first byte (blue) of the pixel at (x, y), y counted from the top.
    uint8_t* pixelAddress(int32_t x, int32_t y) const;

    bool valid = false;
    char fontFace[fontFaceSize] = {};
    int32_t fontHeight = 0;
    int32_t fontWeight = 0;
    int32_t fontExtra = 0;
    CanvasPen pen = {};
    CanvasBrush brush = {};
    std::unique_ptr<uint8_t[]> pixels;
    int32_t width = 0;
    int32_t height = 0;
    int32_t penX = 0;
    int32_t penY = 0;
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

private:
    FontFace* currentFont();
    void fillSpan(int32_t y, int32_t left, int32_t right, uint8_t r, uint8_t g, uint8_t b);
    void plotPixel(int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t b);
    void thinLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
    void wideLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
};

// The picture the game draws every frame, and the window's client area.
constexpr int32_t canvasWidth = 640;
constexpr int32_t canvasHeight = 480;

constexpr int32_t canvasCount = 32;
extern Canvas canvases[canvasCount];
extern int32_t currentCanvas;

// Both act on canvases[currentCanvas].
void blendRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
uint8_t* pixelAt(int32_t x, int32_t y);
