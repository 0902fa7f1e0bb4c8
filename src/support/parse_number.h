// Parsing whole decimal numbers within bounds, for command lines and text files alike.
#pragma once

#include <cstdint>
#include <string_view>

// Parses a whole decimal number within [low, high]: an optional minus sign and
// digits, nothing else (no spaces, no plus sign, no NUL byte inside).
bool ParseNumber(std::string_view text, int64_t low, int64_t high, int64_t& value);
