// MakeCellOrder and MakePlacements: the grid numbered along the board's shorter side, and every placement on it.
#include "authoring/placement_table.h"

#include <algorithm>

namespace tiling {
CellOrder MakeCellOrder(const Puzzle& puzzle, bool boardOnly, int32_t slack)
{
    // A placement that touches the board reaches off it by less than its
    // piece's longest side, and by no more cells than the slack: the grid
    // past that is never covered, and is left out for smaller bitboards.
    int32_t reach = 0;
    auto byX = [](Point a, Point b) { return a.x < b.x; };
    auto byY = [](Point a, Point b) { return a.y < b.y; };
    for (const std::vector<Point>& shape : puzzle.shapes) {
        if (shape.empty()) continue;
        auto [left, right] = std::minmax_element(shape.begin(), shape.end(), byX);
        auto [top, bottom] = std::minmax_element(shape.begin(), shape.end(), byY);
        reach = std::max({reach, right->x - left->x, bottom->y - top->y});
    }
    reach = std::min(reach, slack);
    CellOrder order;
    order.columns = boardOnly ? puzzle.boardWidth : std::min(puzzle.gridColumns, puzzle.boardWidth + reach);
    order.rows = boardOnly ? puzzle.boardHeight : std::min(puzzle.gridRows, puzzle.boardHeight + reach);
    bool columnsFirst = puzzle.boardHeight <= puzzle.boardWidth;
    order.line = columnsFirst ? order.rows : order.columns;
    order.gridCells = order.columns * order.rows;
    order.boardCells = puzzle.boardWidth * puzzle.boardHeight;
    order.indexOf.assign(static_cast<size_t>(order.gridCells), -1);
    order.cellAt.assign(static_cast<size_t>(order.gridCells), Point{0, 0});
    order.onBoard.assign(static_cast<size_t>(order.gridCells), false);
    for (int32_t y = 0; y < order.rows; ++y) {
        for (int32_t x = 0; x < order.columns; ++x) {
            int32_t index = columnsFirst ? x * order.rows + y : y * order.columns + x;
            order.indexOf[y * order.columns + x] = index;
            order.cellAt[index] = {x, y};
            order.onBoard[index] = x < puzzle.boardWidth && y < puzzle.boardHeight;
        }
    }
    return order;
}

// Every placement of every piece that touches the board and sticks out by no
// more than the slack, sorted by first board cell, then piece, then cells off the board.
std::vector<Placement> MakePlacements(const Puzzle& puzzle, const CellOrder& order, bool mirror, int32_t slack)
{
    std::vector<Placement> placements;
    for (int32_t piece = 0; piece < static_cast<int32_t>(puzzle.shapes.size()); ++piece) {
        for (const std::vector<Point>& orientation : Orientations(puzzle.shapes[piece], mirror)) {
            int32_t width = 0;
            int32_t height = 0;
            for (Point cell : orientation) {
                width = std::max(width, cell.x + 1);
                height = std::max(height, cell.y + 1);
            }
            for (int32_t y = 0; y + height <= order.rows; ++y) {
                for (int32_t x = 0; x + width <= order.columns; ++x) {
                    Placement placed{piece, 0, order.gridCells, {}};
                    placed.cells.reserve(orientation.size());
                    for (Point cell : orientation) {
                        int32_t index = order.indexOf[(cell.y + y) * order.columns + cell.x + x];
                        placed.cells.push_back(index);
                        if (!order.onBoard[index]) ++placed.waste;
                        else placed.first = std::min(placed.first, index);
                    }
                    if (placed.first == order.gridCells || placed.waste > slack) continue;
                    std::sort(placed.cells.begin(), placed.cells.end());
                    placements.push_back(std::move(placed));
                }
            }
        }
    }
    // Within a cell and piece, those that stick out least come first: the search stops at the first
    // that sticks out by more than the slack left.
    std::stable_sort(placements.begin(), placements.end(), [](const Placement& a, const Placement& b) {
        if (a.first != b.first) return a.first < b.first;
        return a.piece != b.piece ? a.piece < b.piece : a.waste < b.waste;
    });
    return placements;
}
}  // namespace tiling
