// Finding placements by their cells: the one piece that fills a small closed region, or the last free piece.
#pragma once

#include <cstdint>
#include <vector>

#include "authoring/bitboard.h"

namespace tiling {
// Every placement by its cells, in open-addressed tables at most half full.
// On the board alone a closed region too small for two pieces is filled by
// one free piece or by none, and the last free piece fills exactly what is
// left: both are looked up instead of searched.
template <int W>
struct PlacementLookup {
    struct PieceSlot {
        Bits<W> cells;
        int32_t piece = -1;  // -1: empty
        int32_t entry = -1;
    };
    struct ShapeSlot {
        Bits<W> cells;
        uint64_t pieces = 0;  // the pieces with a placement on these cells; 0: empty
    };
    std::vector<PieceSlot> byPiece;
    std::vector<ShapeSlot> byCells;
    size_t mask = 0;

    // piece -1: the cells alone.
    static uint64_t Hash(const Bits<W>& cells, int32_t piece)
    {
        return HashBits(cells, static_cast<uint64_t>(piece + 1));
    }

    // The table entry of piece's placement on exactly these cells, or -1.
    int32_t entryOf(const Bits<W>& cells, int32_t piece) const
    {
        for (size_t s = Hash(cells, piece) & mask;; s = (s + 1) & mask) {
            const PieceSlot& slot = byPiece[s];
            if (slot.piece < 0) return -1;
            if (slot.piece == piece && slot.cells == cells) return slot.entry;
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
PlacementLookup<W> MakePlacementLookup(const std::vector<Bits<W>>& masks, const std::vector<int32_t>& pieces)
{
    PlacementLookup<W> lookup;
    size_t size = 2;
    while (size < 2 * masks.size()) size *= 2;
    lookup.byPiece.assign(size, {});
    lookup.byCells.assign(size, {});
    lookup.mask = size - 1;
    for (size_t k = 0; k < masks.size(); ++k) {
        size_t s = PlacementLookup<W>::Hash(masks[k], pieces[k]) & lookup.mask;
        while (lookup.byPiece[s].piece >= 0) s = (s + 1) & lookup.mask;
        lookup.byPiece[s] = {masks[k], pieces[k], static_cast<int32_t>(k)};
        s = PlacementLookup<W>::Hash(masks[k], -1) & lookup.mask;
        while (lookup.byCells[s].pieces != 0 && !(lookup.byCells[s].cells == masks[k])) s = (s + 1) & lookup.mask;
        lookup.byCells[s].cells = masks[k];
        lookup.byCells[s].pieces |= uint64_t{1} << pieces[k];
    }
    return lookup;
}
}  // namespace tiling
