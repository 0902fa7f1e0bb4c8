// ConvertCanvas: one pass over the pixel store, last row first, BGR to RGBA.
#include "web/picture.h"

#include <cstring>

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

bool SamePixels(const uint8_t* a, const uint8_t* b, size_t count)
{
    size_t i = 0;
    for (; i + sizeof(uint64_t) <= count; i += sizeof(uint64_t)) {
        uint64_t left = 0;
        uint64_t right = 0;
        std::memcpy(&left, a + i, sizeof left);
        std::memcpy(&right, b + i, sizeof right);
        if (left != right) return false;
    }
    for (; i < count; ++i) {
        if (a[i] != b[i]) return false;
    }
    return true;
}
