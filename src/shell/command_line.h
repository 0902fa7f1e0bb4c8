// Small helpers for reading the command line of the game and its headless runner.
#pragma once

#include <cstdint>

// Parses a whole decimal number within [low, high].
bool ParseNumber(const char* text, int64_t low, int64_t high, int64_t& value);
