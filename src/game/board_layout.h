// The play grid's cell size, extent and origin; every piece geometry call reads the cell size.
#pragma once

#include <cstdint>

// The area the play grid is fitted into: the cell size comes from its width,
// the number of rows from its height.
constexpr int32_t playFieldWidth = 620;
constexpr int32_t playFieldHeight = 460;

namespace BoardLayout {
inline int32_t cellSize = 60;
inline int32_t columns = 0;
inline int32_t rows = 0;
inline int32_t originX = 0;
inline int32_t originY = 0;
}  // namespace BoardLayout
