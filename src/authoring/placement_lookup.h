// Finding placements by their cells: the one piece that fills a small closed region, or the last free piece's.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "authoring/bitboard.h"

namespace tiling {
// Every placement by its cells, in open-addressed tables at most half full.
// On the board alone a closed region too small for two pieces is filled by
// one free piece or by none, and the last free piece fills exactly what is
// left: both are looked up instead of searched. Under the game's rules the
// last piece is looked up by the board cells it covers, which many of its
// placements share, each sticking out in its own way.
template <int W>
struct PlacementLookup {
    struct PieceSlot {
        Bits<W> cells;        // on the board
        int32_t piece = -1;   // -1: empty
        int32_t first = 0;    // its placements: entries[first] .. entries[first + count - 1]
        int32_t count = 0;
    };
    struct ShapeSlot {
        Bits<W> cells;
        uint64_t pieces = 0;  // the pieces with a placement on these cells; 0: empty
    };
    std::vector<PieceSlot> byPiece;
    std::vector<int32_t> entries;  // table entries, each slot's in the table's order: those that stick out least first
    std::vector<ShapeSlot> byCells;
    size_t mask = 0;
    // A bit for each (cells, piece) key's hash, about one in 32 set: most
    // lookups of the last piece find nothing, and end there.
    std::vector<uint64_t> pieceFilter;
    uint64_t filterMask = 0;

    uint64_t filterBit(uint64_t hash) const { return hash >> 32 & filterMask; }

    // piece -1: the cells alone.
    static uint64_t Hash(const Bits<W>& cells, int32_t piece)
    {
        return HashBits(cells, static_cast<uint64_t>(piece + 1));
    }

    // The table entries of piece's placements on exactly these board cells: [from, to).
    std::pair<const int32_t*, const int32_t*> entriesOn(const Bits<W>& cells, int32_t piece) const
    {
        uint64_t h = Hash(cells, piece);
        uint64_t bit = filterBit(h);
        if ((pieceFilter[bit >> 6] >> (bit & 63) & 1) == 0) return {nullptr, nullptr};
        for (size_t s = h & mask;; s = (s + 1) & mask) {
            const PieceSlot& slot = byPiece[s];
            if (slot.piece < 0) return {nullptr, nullptr};
            if (slot.piece == piece && slot.cells == cells) {
                const int32_t* from = entries.data() + slot.first;
                return {from, from + slot.count};
            }
        }
    }

    // The pieces that have a placement on exactly these cells.
    uint64_t piecesOn(const Bits<W>& cells) const
    {
        for (size_t s = Hash(cells, -1) & mask;; s = (s + 1) & mask) {
            const ShapeSlot& slot = byCells[s];
            if (slot.pieces == 0) return 0;
            if (slot.cells == cells) return slot.pieces;
        }
    }
};

template <int W>
PlacementLookup<W> MakePlacementLookup(const std::vector<Bits<W>>& masks, const std::vector<int32_t>& pieces,
                                       const Bits<W>& board)
{
    PlacementLookup<W> lookup;
    size_t size = 2;
    while (size < 2 * masks.size()) size *= 2;
    lookup.byPiece.assign(size, {});
    lookup.byCells.assign(size, {});
    lookup.mask = size - 1;
    size_t filterBits = 64;
    while (filterBits < 32 * masks.size()) filterBits *= 2;
    lookup.pieceFilter.assign(filterBits / 64, 0);
    lookup.filterMask = filterBits - 1;
    // Each placement's slot, counted, then the slots' entries laid out in turn.
    std::vector<size_t> slotOf(masks.size());
    for (size_t k = 0; k < masks.size(); ++k) {
        Bits<W> cells = masks[k] & board;
        uint64_t h = PlacementLookup<W>::Hash(cells, pieces[k]);
        uint64_t bit = lookup.filterBit(h);
        lookup.pieceFilter[bit >> 6] |= uint64_t{1} << (bit & 63);
        size_t s = h & lookup.mask;
        auto taken = [&](const typename PlacementLookup<W>::PieceSlot& slot) {
            return slot.piece >= 0 && !(slot.piece == pieces[k] && slot.cells == cells);
        };
        while (taken(lookup.byPiece[s])) s = (s + 1) & lookup.mask;
        lookup.byPiece[s].cells = cells;
        lookup.byPiece[s].piece = pieces[k];
        ++lookup.byPiece[s].count;
        slotOf[k] = s;
        s = PlacementLookup<W>::Hash(masks[k], -1) & lookup.mask;
        while (lookup.byCells[s].pieces != 0 && !(lookup.byCells[s].cells == masks[k])) s = (s + 1) & lookup.mask;
        lookup.byCells[s].cells = masks[k];
        lookup.byCells[s].pieces |= uint64_t{1} << pieces[k];
    }
    int32_t at = 0;
    for (auto& slot : lookup.byPiece) {
        slot.first = at;
        at += slot.count;
        slot.count = 0;
    }
    lookup.entries.resize(masks.size());
    for (size_t k = 0; k < masks.size(); ++k) {
        auto& slot = lookup.byPiece[slotOf[k]];
        lookup.entries[static_cast<size_t>(slot.first + slot.count++)] = static_cast<int32_t>(k);
    }
    return lookup;
}
}  // namespace tiling
