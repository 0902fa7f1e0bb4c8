// A pair of signed 32-bit integers: a cell offset, a pixel position or an anchor.
#pragma once

#include <cstdint>

struct Point {
    int32_t x;
    int32_t y;
};
