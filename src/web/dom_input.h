// The page's input: DOM key codes and mouse buttons to the game's key bits, and page positions to canvas pixels.
#pragma once

#include <cstdint>

#include "support/input_snapshot.h"

// The key bit for a DOM keyCode (the same numbers as the game's virtual keys); 0 for keys the game does not poll.
uint32_t KeyBitForKeyCode(int32_t keyCode);

// The key bit for a DOM mouse button (0 left, 2 right); 0 for others.
uint32_t KeyBitForMouseButton(int32_t button);

// A position within the shown canvas, in page pixels, as a canvas pixel:
// the canvas may be shown larger than its pixels; the result is within 0 .. pixels - 1.
int32_t CanvasPixel(double position, double shownSize, int32_t pixels);
