// Parsing whole decimal numbers within bounds, for command lines and text files alike.
#pragma once

#include <cstdint>

// Parses a whole decimal number within [low, high].
bool ParseNumber(const char* text, int64_t low, int64_t high, int64_t& value);
