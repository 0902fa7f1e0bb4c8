// MakeBuckets: each cell's key cells, and its placements by the patterns of those they leave free.
#include "authoring/placement_buckets.h"

#include <algorithm>

namespace tiling {
CellBuckets MakeBuckets(const std::vector<Placement>& placements, const CellOrder& order, int32_t pieceCount,
                        int32_t keyRun)
{
    CellBuckets buckets;
    buckets.pieceCount = pieceCount;
    buckets.keyRun = keyRun;
    const int32_t bucketsPerCell = 1 << (2 * keyRun);
    auto cells = static_cast<size_t>(order.gridCells);
    buckets.runs.assign(cells, {});
    buckets.present.assign(cells * static_cast<size_t>(bucketsPerCell), 0);
    buckets.ranges.assign(cells * static_cast<size_t>(bucketsPerCell) * static_cast<size_t>(pieceCount + 1), 0);
    std::vector<int32_t> covered(cells, 0);
    std::vector<int32_t> keyBit(cells, -1);
    std::vector<uint32_t> open;  // by placement of the cell: the key cells it leaves free
    std::vector<int32_t> seen;   // the cells its placements cover, besides the cell itself
    size_t begin = 0;
    for (int32_t c = 0; c < order.gridCells; ++c) {
        size_t end = begin;
        while (end < placements.size() && placements[end].first == c) ++end;
        // How often the cell's placements cover each cell.
        seen.clear();
        for (size_t k = begin; k < end; ++k) {
            for (int32_t cell : placements[k].cells) {
                if (cell == c) continue;
                if (covered[cell]++ == 0) seen.push_back(cell);
            }
        }
        // The two runs of key cells: the run its placements cover most, then the most of the rest.
        auto score = [&](int32_t start) {
            int32_t sum = 0;
            for (int32_t i = start; i < start + keyRun && i < order.gridCells; ++i) sum += covered[i];
            return sum;
        };
        int32_t runs[2] = {c, c};
        for (int32_t r = 0; r < 2; ++r) {
            int32_t best = -1;
            int32_t bestScore = 0;
            for (int32_t cell : seen) {
                for (int32_t start = std::max(0, cell - keyRun + 1); start <= cell; ++start) {
                    if ((start & 63) > 64 - keyRun) continue;  // a run lies in one word
                    if (r == 1 && start > runs[0] - keyRun && start < runs[0] + keyRun) continue;
                    int32_t sum = score(start);
                    if (best < 0 || sum > bestScore || (sum == bestScore && start < best)) {
                        best = start;
                        bestScore = sum;
                    }
                }
            }
            runs[r] = best < 0 ? c : best;
            buckets.runs[static_cast<size_t>(c)].word[r] = static_cast<uint8_t>(runs[r] >> 6);
            buckets.runs[static_cast<size_t>(c)].shift[r] = static_cast<uint8_t>(runs[r] & 63);
        }
        for (int32_t r = 0; r < 2; ++r) {
            for (int32_t i = 0; i < keyRun && runs[r] + i < order.gridCells; ++i) {
                if (runs[r] + i != c && (r == 0 || keyBit[runs[r] + i] < 0)) keyBit[runs[r] + i] = r * keyRun + i;
            }
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
        for (int32_t cell : seen) covered[cell] = 0;
        for (int32_t r = 0; r < 2; ++r) {
            for (int32_t i = 0; i < keyRun && runs[r] + i < order.gridCells; ++i) keyBit[runs[r] + i] = -1;
        }
        size_t base = static_cast<size_t>(c) * bucketsPerCell;
        int32_t sizes[maxBucketsPerCell] = {};
        for (uint32_t free : open) {
            for (uint32_t pattern = free;; pattern = (pattern - 1) & free) {
                ++sizes[pattern];
                if (pattern == 0) break;
            }
        }
        int32_t start[maxBucketsPerCell + 1] = {};
        auto at = static_cast<int32_t>(buckets.entries.size());
        for (int32_t pattern = 0; pattern < bucketsPerCell; ++pattern) {
            start[pattern] = at;
            at += sizes[pattern];
        }
        buckets.entries.resize(static_cast<size_t>(at));
        int32_t filledIn[maxBucketsPerCell] = {};
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
            // A piece's range starts at the first entry of its piece or a later one.
            int32_t stop = start[pattern] + sizes[pattern];
            int32_t piece = 0;
            for (int32_t i = start[pattern]; i < stop; ++i) {
                int32_t of = placements[static_cast<size_t>(buckets.entries[static_cast<size_t>(i)])].piece;
                while (piece <= of) ranges[piece++] = i;
                buckets.present[b] |= uint64_t{1} << of;
            }
            while (piece <= pieceCount) ranges[piece++] = stop;
            buckets.largest = std::max(buckets.largest, sizes[pattern]);
        }
        begin = end;
    }
    return buckets;
}
}  // namespace tiling
