// Canvas 0 as the window shows it: a 24-bit DIB section in a memory device context, copied to the window at paint.
#pragma once

#include <windows.h>

#include <cstdint>

// Made once, with the window; the picture is shown scale times larger.
void CreateCanvasPicture(int32_t scale);

// Copies canvas 0 into the DIB section and the DIB section to the target,
// whose client area is width x height.
void PaintCanvasPicture(HDC target, int32_t width, int32_t height);

void ReleaseCanvasPicture();
