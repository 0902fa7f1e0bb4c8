// Whether two free pieces can finish a stage: the board cells they can cover, together or one alone, in a filter.
#pragma once

#include <cstdint>
#include <vector>

#include "authoring/placement_table.h"

namespace tiling {
// Under the game's rules most points with two pieces free lead nowhere: no
// placement of one fits at the first empty cell, or the other does not fit
// what is left. The filter holds every set of board cells that two pieces
// can cover (placed apart, sticking out by no more than the slack together),
// or one of them alone with the other left over, or none with both left
// over, each with the pair's bits. A point whose cells left are not in it
// has no solution below it; one that is in it may still have none. Each key
// sets two bits in one block of 512, so that a look reads one cache line.
template <int W>
struct PairFilter {
    std::vector<uint64_t> bits;  // blocks of 8 words
    uint64_t blockMask = 0;

    static uint64_t Hash(const Bits<W>& cells, uint64_t pieces) { return HashBits(cells, pieces); }
    const uint64_t* blockOf(uint64_t hash) const { return bits.data() + (hash & blockMask) * 8; }
    // The key's two bits in its block, 0 to 511 each.
    static uint32_t Spot(uint64_t hash, int32_t k) { return static_cast<uint32_t>(hash >> (40 + 9 * k) & 511); }
    static bool In(const uint64_t* block, uint64_t hash)
    {
        uint32_t a = Spot(hash, 0);
        uint32_t b = Spot(hash, 1);
        return (block[a >> 6] >> (a & 63) & 1) != 0 && (block[b >> 6] >> (b & 63) & 1) != 0;
    }
    void insert(const Bits<W>& cells, uint64_t pieces)
    {
        uint64_t hash = Hash(cells, pieces);
        uint64_t* block = bits.data() + (hash & blockMask) * 8;
        for (int32_t k = 0; k < 2; ++k) block[Spot(hash, k) >> 6] |= uint64_t{1} << (Spot(hash, k) & 63);
    }
};

constexpr size_t pairFilterBitsPerKey = 8;
constexpr size_t pairFilterMaxBlocks = size_t{1} << 15;  // 2 MiB
constexpr size_t pairFilterMaxPairs = size_t{1} << 25;   // placements of two pieces tried, about 0.2 s

// The filter of a table's placements; false when it would take too long to
// build (a table of very many placements), and the search goes without.
template <int W>
bool MakePairFilter(const Table<W>& t, int32_t slack, PairFilter<W>& filter)
{
    auto pieceCount = static_cast<size_t>(t.pieceCount);
    std::vector<std::vector<int32_t>> byPiece(pieceCount);
    for (size_t k = 0; k < t.masks.size(); ++k) {
        byPiece[static_cast<size_t>(t.piece[k])].push_back(static_cast<int32_t>(k));
    }
    size_t pairs = 0;
    for (size_t y = 0; y < pieceCount; ++y) {
        for (size_t z = y + 1; z < pieceCount; ++z) pairs += byPiece[y].size() * byPiece[z].size();
    }
    if (pairs > pairFilterMaxPairs) return false;
    size_t keys = pairs + t.masks.size() * pieceCount + pieceCount * pieceCount;
    size_t blocks = 1;
    while (blocks * 512 < pairFilterBitsPerKey * keys && blocks < pairFilterMaxBlocks) blocks *= 2;
    filter.bits.assign(blocks * 8, 0);
    filter.blockMask = blocks - 1;
    for (size_t y = 0; y < pieceCount; ++y) {
        for (size_t z = y + 1; z < pieceCount; ++z) filter.insert(Bits<W>{}, uint64_t{1} << y | uint64_t{1} << z);
        for (int32_t a : byPiece[y]) {
            Bits<W> cells = t.masks[a] & t.board;
            for (size_t z = 0; z < pieceCount; ++z) {
                if (z != y) filter.insert(cells, uint64_t{1} << y | uint64_t{1} << z);
            }
            for (size_t z = y + 1; z < pieceCount; ++z) {
                for (int32_t b : byPiece[z]) {
                    if (t.waste[a] + t.waste[b] > slack || t.masks[a].collides(t.masks[b])) continue;
                    filter.insert(cells | (t.masks[b] & t.board), uint64_t{1} << y | uint64_t{1} << z);
                }
            }
        }
    }
    return true;
}
}  // namespace tiling
