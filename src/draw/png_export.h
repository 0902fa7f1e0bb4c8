// Writing a canvas as a PNG file, top row first, exactly its pixels.
#pragma once

#include "draw/canvas.h"

// Writes the picture to a user-named output (see UserOutput): "-" and streams
// in place, a file replaced whole. On failure a replaced file keeps its old
// content, nothing new is left behind, errno says why, and the result is false.
bool WriteCanvasPng(const Canvas& canvas, const char* path);
