// Canvas 0 as the browser shows pictures: rows top down, four bytes a pixel, red first.
#pragma once

#include <cstddef>
#include <cstdint>

#include "draw/canvas.h"

constexpr int32_t pictureBytes = canvasWidth * canvasHeight * 4;

// Fills rgba (pictureBytes long) from the canvas's bottom-up BGR store; alpha is opaque.
void ConvertCanvas(const Canvas& canvas, uint8_t* rgba);

// Whether two stores of count bytes are equal: eight bytes at a time, which in
// WebAssembly is many times faster than memcmp's byte loop.
bool SamePixels(const uint8_t* a, const uint8_t* b, size_t count);
