// The placements of each cell sorted into buckets by which of a few nearby cells are already filled.
#pragma once

#include <cstdint>
#include <vector>

#include "authoring/placement_table.h"

namespace tiling {
// Cells looked at beside the first empty cell before any placement is tried:
// 2^keyCells buckets a cell.
constexpr int32_t keyCells = 6;
constexpr int32_t bucketsPerCell = 1 << keyCells;

// Most placements that cover the first empty cell collide with what is
// already placed, and most of those on one of the few cells beside it that
// many of them cover. Each cell has keyCells such key cells, those its
// placements cover most often; the bucket of a cell and a pattern (bit i
// set when key cell i is filled) holds the entries of the placements whose
// first board cell is that cell and that cover no filled key cell, in table
// order. The search then tests only those, and still tests every one in full.
struct CellBuckets {
    std::vector<int32_t> keys;      // cell c's key cells: keys[c * keyCells + i]; c itself where it has fewer
    // Bucket b = c * bucketsPerCell + pattern: the pieces it has placements of, and where each piece's
    // start: entries[ranges[b * (pieceCount + 1) + p] .. ranges[b * (pieceCount + 1) + p + 1] - 1] are
    // piece p's placements.
    std::vector<uint64_t> present;
    std::vector<int32_t> ranges;
    int32_t pieceCount = 0;
    std::vector<int32_t> entries;   // table entries
    int32_t largest = 0;            // the most entries of one bucket
};

// The buckets of placements sorted by first board cell, as MakePlacements gives them.
CellBuckets MakeBuckets(const std::vector<Placement>& placements, const CellOrder& order, int32_t pieceCount);
}  // namespace tiling
