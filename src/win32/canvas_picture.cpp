// Canvas 0 into the DIB section and the DIB section to the window, at every paint.
#include "win32/canvas_picture.h"

#include <cstring>

#include "draw/canvas.h"

namespace {
constexpr WORD bitsPerPixel = 24;
constexpr int32_t bytesPerPixel = 3;
constexpr int32_t rowAlignment = 4;
static_assert(canvasWidth * bytesPerPixel % rowAlignment == 0, "canvas rows are DIB rows without padding");
constexpr size_t pictureBytes = static_cast<size_t>(canvasWidth) * canvasHeight * bytesPerPixel;

HDC pictureDc = nullptr;
HBITMAP pictureBitmap = nullptr;
HGDIOBJ replacedBitmap = nullptr;
void* pictureBits = nullptr;
int32_t pictureScale = 1;
}  // namespace

// The DIB section has canvas 0's own layout (bottom-up BGR rows, already
// DWORD-aligned), so a paint is one block copy into its bits and one BitBlt,
// or a StretchBlt of whole pixels for a larger window. The canvas keeps its
// own store, so the copy cannot be saved.
void CreateCanvasPicture(int32_t scale)
{
    pictureScale = scale;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = canvasWidth;
    info.bmiHeader.biHeight = canvasHeight;  // positive: the rows stand bottom-up, as the canvas keeps them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitsPerPixel;
    info.bmiHeader.biCompression = BI_RGB;
    pictureDc = CreateCompatibleDC(nullptr);
    pictureBitmap = CreateDIBSection(pictureDc, &info, DIB_RGB_COLORS, &pictureBits, nullptr, 0);
    if (pictureDc == nullptr || pictureBitmap == nullptr) {
        ReleaseCanvasPicture();
        return;
    }
    replacedBitmap = SelectObject(pictureDc, pictureBitmap);
}

void PaintCanvasPicture(HDC target, int32_t width, int32_t height)
{
    const Canvas& canvas = canvases[0];
    if (pictureBits == nullptr) return;
    if (canvas.pixels != nullptr && canvas.width == canvasWidth && canvas.height == canvasHeight) {
        GdiFlush();  // GDI is done with the bits before they change
        std::memcpy(pictureBits, canvas.pixels.get(), pictureBytes);
    }
    if (pictureScale == 1) {
        BitBlt(target, 0, 0, width, height, pictureDc, 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(target, COLORONCOLOR);  // whole pixels repeated, never blended
        StretchBlt(target, 0, 0, width, height, pictureDc, 0, 0, canvasWidth, canvasHeight, SRCCOPY);
    }
}

void ReleaseCanvasPicture()
{
    if (pictureDc != nullptr && replacedBitmap != nullptr) SelectObject(pictureDc, replacedBitmap);
    if (pictureBitmap != nullptr) DeleteObject(pictureBitmap);
    if (pictureDc != nullptr) DeleteDC(pictureDc);
    pictureDc = nullptr;
    pictureBitmap = nullptr;
    replacedBitmap = nullptr;
    pictureBits = nullptr;
}
