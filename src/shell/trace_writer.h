// The runner's trace: the game state after a frame as one JSON object on one line.
#pragma once

#include <cstdint>
#include <cstdio>

void WriteTraceLine(std::FILE* file, int32_t frame);
