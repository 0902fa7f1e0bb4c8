// MakeBuckets: each cell's key cells, and its placements by the patterns of those they leave free.
#include "authoring/placement_buckets.h"

#include <algorithm>

namespace tiling {
CellBuckets MakeBuckets(const std::vector<Placement>& placements, const CellOrder& order, int32_t pieceCount)
{
    CellBuckets buckets;
    buckets.pieceCount = pieceCount;
    auto cells = static_cast<size_t>(order.gridCells);
    buckets.keys.assign(cells * keyCells, 0);
    buckets.present.assign(cells * bucketsPerCell, 0);
    buckets.ranges.assign(cells * bucketsPerCell * static_cast<size_t>(pieceCount + 1), 0);
    std::vector<int32_t> covered(cells, 0);
    std::vector<int32_t> keyBit(cells, -1);
    std::vector<uint32_t> open;  // by placement of the cell: the key cells it leaves free
    size_t begin = 0;
    for (int32_t c = 0; c < order.gridCells; ++c) {
        size_t end = begin;
        while (end < placements.size() && placements[end].first == c) ++end;
        // The key cells: those the cell's placements cover most often (then the lower).
        std::vector<int32_t> seen;
        for (size_t k = begin; k < end; ++k) {
            for (int32_t cell : placements[k].cells) {
                if (cell == c) continue;
                if (covered[cell]++ == 0) seen.push_back(cell);
            }
        }
        std::sort(seen.begin(), seen.end(), [&](int32_t a, int32_t b) {
            return covered[a] != covered[b] ? covered[a] > covered[b] : a < b;
        });
        int32_t* keys = buckets.keys.data() + static_cast<size_t>(c) * keyCells;
        for (int32_t i = 0; i < keyCells; ++i) {
            keys[i] = i < static_cast<int32_t>(seen.size()) ? seen[i] : c;
            if (i < static_cast<int32_t>(seen.size())) keyBit[seen[i]] = i;
        }
        // Each placement joins the bucket of every pattern that fills none of its key cells.
        open.clear();
        for (size_t k = begin; k < end; ++k) {
            uint32_t needs = 0;
            for (int32_t cell : placements[k].cells) {
                if (keyBit[cell] >= 0) needs |= 1u << keyBit[cell];
            }
            open.push_back((bucketsPerCell - 1) & ~needs);
        }
        for (int32_t cell : seen) {
            covered[cell] = 0;
            keyBit[cell] = -1;
        }
        size_t base = static_cast<size_t>(c) * bucketsPerCell;
        int32_t sizes[bucketsPerCell] = {};
        for (uint32_t free : open) {
            for (uint32_t pattern = free;; pattern = (pattern - 1) & free) {
                ++sizes[pattern];
                if (pattern == 0) break;
            }
        }
        std::vector<int32_t> start(bucketsPerCell + 1, 0);
        auto at = static_cast<int32_t>(buckets.entries.size());
        for (int32_t pattern = 0; pattern < bucketsPerCell; ++pattern) {
            start[pattern] = at;
            at += sizes[pattern];
        }
        buckets.entries.resize(static_cast<size_t>(at));
        int32_t filledIn[bucketsPerCell] = {};
        for (size_t k = begin; k < end; ++k) {
            uint32_t free = open[k - begin];
            for (uint32_t pattern = free;; pattern = (pattern - 1) & free) {
                buckets.entries[static_cast<size_t>(start[pattern] + filledIn[pattern]++)] = static_cast<int32_t>(k);
                if (pattern == 0) break;
            }
        }
        // Within a bucket the entries keep the table's order, piece by piece.
        for (int32_t pattern = 0; pattern < bucketsPerCell; ++pattern) {
            size_t b = base + static_cast<size_t>(pattern);
            int32_t* ranges = buckets.ranges.data() + b * static_cast<size_t>(pieceCount + 1);
            int32_t i = start[pattern];
            for (int32_t piece = 0; piece <= pieceCount; ++piece) {
                ranges[piece] = i;
                while (i < start[pattern] + sizes[pattern] &&
                       placements[static_cast<size_t>(buckets.entries[static_cast<size_t>(i)])].piece == piece) {
                    buckets.present[b] |= uint64_t{1} << piece;
                    ++i;
                }
            }
            buckets.largest = std::max(buckets.largest, sizes[pattern]);
        }
        begin = end;
    }
    return buckets;
}
}  // namespace tiling
