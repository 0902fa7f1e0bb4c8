// Writing a canvas as a PNG file, top row first, exactly its pixels.
#pragma once

#include "draw/canvas.h"

// Replaces the file at path whole: the picture goes to a new file beside it,
// renamed over it once complete. On failure the old file stays, nothing new is
// left behind, errno says why, and the result is false.
bool WriteCanvasPng(const Canvas& canvas, const char* path);
