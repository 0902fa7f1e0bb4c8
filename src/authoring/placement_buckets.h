// The placements of each cell sorted into buckets by which of a few nearby cells are already filled.
#pragma once

#include <cstdint>
#include <vector>

#include "authoring/placement_table.h"

namespace tiling {
// Cells looked at beside the first empty cell before any placement is tried,
// in two runs of keyRun neighbouring cell numbers: 2^(2 keyRun) buckets a
// cell. On the board alone the generator makes thousands of short counts,
// where building more buckets would cost more than they save: with runs of
// two, a unique 10 x 6 stage of twelve pieces is drawn in a tenth less time
// than with runs of three, and the pentomino rectangle is counted no slower.
// Under the game's rules a count runs for seconds, and each step reads more
// placements. The buckets only spare tests: the search is the same.
constexpr int32_t keyRunAlone = 2;
constexpr int32_t keyRunInPlay = 4;
constexpr int32_t maxBucketsPerCell = 1 << (2 * keyRunInPlay);

// Most placements that cover the first empty cell collide with what is
// already placed, and most of those on one of the few cells beside it that
// many of them cover. Each cell has 2 keyRun such key cells: two runs of
// keyRun numbers, each within one word of a bitboard, that its placements
// cover most often, so that a point's pattern (bit i set when key cell i is
// filled) takes two shifts to read. The bucket of a cell and a pattern holds
// the entries of the placements whose first board cell is that cell and that
// cover no filled key cell, in table order. The search then tests only
// those, and still tests every one in full.
struct CellBuckets {
    // Where each of a cell's two runs of key cells starts: the word of the bitboard and the bit in it.
    struct KeyRuns {
        uint8_t word[2];
        uint8_t shift[2];
    };
    int32_t keyRun = keyRunAlone;   // the search reads the buckets with BucketOf<keyRun>
    std::vector<KeyRuns> runs;      // by cell
    // Bucket b = c * 2^(2 keyRun) + pattern: the pieces it has placements of, and where each piece's
    // start: entries[ranges[b * (pieceCount + 1) + p] .. ranges[b * (pieceCount + 1) + p + 1] - 1] are
    // piece p's placements.
    std::vector<uint64_t> present;
    std::vector<int32_t> ranges;
    int32_t pieceCount = 0;
    std::vector<int32_t> entries;   // table entries
    int32_t largest = 0;            // the most entries of one bucket
};

// The buckets of placements sorted by first board cell, as MakePlacements gives them.
CellBuckets MakeBuckets(const std::vector<Placement>& placements, const CellOrder& order, int32_t pieceCount,
                        int32_t keyRun);

// A bucket's entry as the search reads it, all in one place: the cells, the
// piece's bit, the cells off the board, and the table entry.
template <int W>
struct BucketEntry {
    Bits<W> mask;
    uint64_t piece;
    int32_t waste;
    int32_t index;
};

// The bucket of cell c's placements that leave the filled key cells alone,
// for buckets with key runs of KeyRun cells. Inlined: the search asks at every step.
template <int32_t KeyRun, int W>
[[gnu::always_inline]] inline size_t BucketOf(const CellBuckets& buckets, const Bits<W>& filled, int32_t c)
{
    const CellBuckets::KeyRuns& key = buckets.runs[static_cast<size_t>(c)];
    constexpr uint64_t run = (uint64_t{1} << KeyRun) - 1;
    uint64_t pattern = (filled.w[key.word[0]] >> key.shift[0] & run) |
                       (filled.w[key.word[1]] >> key.shift[1] & run) << KeyRun;
    return (static_cast<size_t>(c) << (2 * KeyRun)) + pattern;
}

template <int W>
std::vector<BucketEntry<W>> BucketEntries(const CellBuckets& buckets, const Table<W>& t)
{
    std::vector<BucketEntry<W>> entries;
    entries.reserve(buckets.entries.size());
    for (int32_t k : buckets.entries) entries.push_back({t.masks[k], uint64_t{1} << t.piece[k], t.waste[k], k});
    return entries;
}
}  // namespace tiling
