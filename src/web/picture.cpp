// ConvertCanvas: one pass over the pixel store, last row first, BGR to RGBA.
#include "web/picture.h"

namespace {
constexpr uint8_t opaque = 255;
}

void ConvertCanvas(const Canvas& canvas, uint8_t* rgba)
{
    if (canvas.pixels == nullptr || canvas.width != canvasWidth || canvas.height != canvasHeight) return;
    uint8_t* out = rgba;
    for (int32_t y = 0; y < canvasHeight; ++y) {
        const uint8_t* in = canvas.pixelAddress(0, y);
        for (int32_t x = 0; x < canvasWidth; ++x, in += 3, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = opaque;
        }
    }
}
