// Canvas 0 as the browser shows pictures: rows top down, four bytes a pixel, red first.
#pragma once

#include <cstdint>

#include "draw/canvas.h"

constexpr int32_t pictureBytes = canvasWidth * canvasHeight * 4;

// Fills rgba (pictureBytes long) from the canvas's bottom-up BGR store; alpha is opaque.
void ConvertCanvas(const Canvas& canvas, uint8_t* rgba);
