// The check that prunes a search: small closed regions of empty cells that no set of free pieces can fill.
#pragma once

#include <cstdint>

#include "authoring/placement_table.h"

namespace tiling {
// Steps a region is grown before the check gives up on it: a region still
// growing then is large, and large regions are left to the search itself.
constexpr int32_t growthSteps = 4;
// The cells of space that region reaches through neighbours, and whether
// that is all of them (false when it was still growing after growthSteps).
// Every step is taken, closed or not: a branch on each would be guessed
// wrong too often to save anything.
template <int W>
bool Grow(Bits<W>& region, const Bits<W>& space, const Table<W>& t)
{
    Bits<W> before = region;
    for (int32_t step = 0; step < growthSteps; ++step) {
        before = region;
        region = (region | Beside(region, t)) & space;
    }
    return region == before;
}

// The region sizes that the free pieces can fill together, below 64: bit s
// is set when some of them have s cells in all.
template <int W>
uint64_t FillableSizes(uint64_t unused, const Table<W>& t)
{
    uint64_t sums = 1;
    for (uint64_t free = unused; free != 0; free &= free - 1) {
        int32_t area = t.areas[static_cast<size_t>(__builtin_ctzll(free))];
        if (area < 64) sums |= sums << area;
    }
    return sums;
}

// Whether some empty cell has no empty neighbour, or (where no piece is
// smaller than three cells) two empty neighbours have no other: holes that
// no piece fits, found for the whole board at once without growing regions.
// Most placements the region check refuses leave such a hole beside them.
template <int W>
bool ClosedHoles(const Bits<W>& empty, const Table<W>& t)
{
    Bits<W> below = empty.without(t.lineEnd).up(1) & t.grid;    // cells whose neighbour one number down is empty
    Bits<W> above = empty.without(t.lineStart).down(1) & t.grid;  // ... one number up
    Bits<W> before = empty.up(t.line) & t.grid;                  // ... one line down
    Bits<W> after = empty.down(t.line) & t.grid;                 // ... one line up
    Bits<W> any = below | above | before | after;
    if (empty.without(any).any()) return true;
    if (t.minArea < 3) return false;
    Bits<W> two = (below & above) | (before & after) | ((below | above) & (before | after));
    Bits<W> single = (empty & any).without(two);  // empty cells with one empty neighbour
    return (single & Beside(single, t)).any();
}

// False when some small closed region of empty board cells beside seeds
// cannot be filled: no set of the free pieces has its size (or, where every
// piece has one area, it is smaller than a piece or no multiple of it).
// Skipping a region costs only search time, never a solution, so large
// regions (still growing after growthSteps) are left to the search. Under
// the game's rules pieces may stick out of the board, regions open to the
// free cells off it are common, and growing them costs more than it saves:
// there only lone empty cells are looked for. On boards of more than 64
// cells (two words and more) every step of growing costs twice or more, and
// the holes alone prove a 10 x 8 board unique in a quarter less time than
// holes and regions together, though the search takes more steps: there
// regions are not grown either.
template <int W>
bool RegionsFillable(const Bits<W>& filled, const Bits<W>& seeds, uint64_t unused, const Table<W>& t)
{
    Bits<W> empty = t.grid.without(filled);
    if (t.offBoard.any()) {
        if (t.minArea <= 1) return true;
        return !(empty & t.board & seeds).without(Beside(empty, t)).any();
    }
    if (t.minArea >= 2 && ClosedHoles(empty, t)) return false;
    if (W > 1) return true;
    Bits<W> unvisited = empty & seeds;
    uint64_t sizes = 0;  // worked out at the first closed region
    while (unvisited.any()) {
        Bits<W> region = unvisited.lowest();
        bool whole = Grow(region, empty, t);
        unvisited = unvisited.without(region);
        if (!whole) continue;
        int32_t size = region.count();
        if (size < 64 && (t.wholeSizes >> size & 1) == 0) return false;
        // Too small for two pieces: one free piece fills it, or none does.
        if (size < 2 * t.minArea && (t.lookup.piecesOn(region) & unused) == 0) return false;
        if (t.sameAreas || size >= 64) continue;
        if (sizes == 0) sizes = FillableSizes(unused, t);
        if ((sizes >> size & 1) == 0) return false;
    }
    return true;
}
}  // namespace tiling
