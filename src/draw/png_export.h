// Writing a canvas as a PNG file, top row first, exactly its pixels.
#pragma once

#include "draw/canvas.h"

bool WriteCanvasPng(const Canvas& canvas, const char* path);
