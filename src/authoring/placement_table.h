// The placements a tiling search reads: the grid's cells in filling order, every placement of every piece, as bitboards.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <numeric>
#include <vector>

#include "authoring/bitboard.h"
#include "authoring/placement_lookup.h"
#include "authoring/stage_solver.h"

namespace tiling {
// The grid's cells numbered along the board's shorter side, so that the
// search fills a wide board column by column and closes columns early:
// cell (x, y) is x * rows + y, or y * columns + x for a tall board. Neighbours
// along that side are one number apart, across it one line apart.
struct CellOrder {
    int32_t columns = 0;
    int32_t rows = 0;
    int32_t line = 0;  // cells along the side the numbers run
    int32_t boardCells = 0;
    int32_t gridCells = 0;
    std::vector<int32_t> indexOf;  // by y * columns + x
    std::vector<Point> cellAt;
    std::vector<bool> onBoard;
};

// The grid of a search on the board alone, or of stage play: as much of the
// play grid as placements sticking out by at most slack cells can cover.
CellOrder MakeCellOrder(const Puzzle& puzzle, bool boardOnly, int32_t slack);

struct Placement {
    int32_t piece;
    int32_t waste;               // cells off the board
    int32_t first;               // its first board cell in filling order
    std::vector<int32_t> cells;  // cell numbers, ascending
};

// Every placement of every piece that touches the board and sticks out by no
// more than the slack, sorted by first board cell, then piece, then cells off the board.
std::vector<Placement> MakePlacements(const Puzzle& puzzle, const CellOrder& order, bool mirror, int32_t slack);

// The placements as the search reads them, bitboards grouped by first board
// cell, and the masks that the region check needs.
template <int W>
struct Table {
    int32_t gridCells = 0;
    int32_t line = 0;
    std::vector<Bits<W>> masks;
    std::vector<int32_t> piece;
    std::vector<int32_t> waste;
    std::vector<Bits<W>> halo;   // the grid cells beside each placement
    int32_t pieceCount = 0;
    // Placements of piece p whose first board cell is c: group[g] .. group[g + 1] - 1, g = c * pieceCount + p.
    std::vector<int32_t> group;
    bool gameRules = false;      // the grid has cells off the board, where pieces may stick out
    Bits<W> notBoard;            // the grid's cells off the board, and the bits past the grid
    Bits<W> board;
    Bits<W> offBoard;
    Bits<W> grid;
    Bits<W> lineStart;           // cells with no neighbour one number down
    Bits<W> lineEnd;             // cells with no neighbour one number up
    int32_t minArea = 1;         // the smallest piece
    int32_t areaGcd = 1;         // every region a set of pieces fills is a multiple of this
    uint64_t wholeSizes = 0;     // bit s for the sizes below 64 of at least minArea that are multiples of areaGcd
    std::vector<int32_t> areas;  // each piece's cells
    bool sameAreas = true;       // every piece has one area: sums of free pieces tell nothing more
    PlacementLookup<W> lookup;   // the placements by their cells
};

// The cells one step from any cell of region, along a line or across lines (may include region's own).
template <int W>
Bits<W> Beside(const Bits<W>& region, const Table<W>& t)
{
    return region.without(t.lineEnd).up(1) | region.without(t.lineStart).down(1) | region.up(t.line) |
           region.down(t.line);
}

template <int W>
Bits<W> Neighbours(const Bits<W>& region, const Table<W>& t)
{
    return (Beside(region, t) & t.grid).without(region);
}

template <int W>
Table<W> MakeTable(const std::vector<Placement>& placements, const CellOrder& order, const std::vector<int32_t>& areas)
{
    Table<W> table;
    table.gridCells = order.gridCells;
    table.line = order.line;
    table.pieceCount = static_cast<int32_t>(areas.size());
    size_t groups = static_cast<size_t>(order.gridCells) * static_cast<size_t>(table.pieceCount);
    table.group.assign(groups + 1, 0);
    for (const Placement& placed : placements) {
        Bits<W> mask;
        for (int32_t cell : placed.cells) mask.set(cell);
        table.masks.push_back(mask);
        table.piece.push_back(placed.piece);
        table.waste.push_back(placed.waste);
        ++table.group[static_cast<size_t>(placed.first) * table.pieceCount + placed.piece + 1];
    }
    for (size_t g = 0; g < groups; ++g) table.group[g + 1] += table.group[g];
    for (int32_t bit = 0; bit < W * 64; ++bit) {
        bool inGrid = bit < order.gridCells;
        if (inGrid) table.grid.set(bit);
        if (inGrid && order.onBoard[bit]) table.board.set(bit);
        if (inGrid && !order.onBoard[bit]) table.offBoard.set(bit);
        if (!inGrid || !order.onBoard[bit]) table.notBoard.set(bit);
        if (inGrid && bit % order.line == 0) table.lineStart.set(bit);
        if (inGrid && bit % order.line == order.line - 1) table.lineEnd.set(bit);
    }
    table.gameRules = table.offBoard.any();
    int32_t gcd = 0;
    int32_t least = INT32_MAX;
    for (int32_t area : areas) {
        if (area <= 0) continue;
        gcd = std::gcd(gcd, area);
        least = std::min(least, area);
    }
    table.minArea = least == INT32_MAX ? 1 : least;
    table.areas = areas;
    table.sameAreas = std::all_of(areas.begin(), areas.end(), [&](int32_t area) { return area == areas.front(); });
    table.areaGcd = gcd == 0 ? 1 : gcd;
    for (int32_t size = table.minArea; size < 64; ++size) {
        if (size % table.areaGcd == 0) table.wholeSizes |= uint64_t{1} << size;
    }
    for (const Bits<W>& mask : table.masks) table.halo.push_back(Neighbours(mask, table));
    table.lookup = MakePlacementLookup(table.masks, table.piece, table.board);
    return table;
}
}  // namespace tiling
