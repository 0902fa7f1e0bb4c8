// Piece geometry: quarter turns, adjacency edges and the strict mouse-in-cell square.
#include <gtest/gtest.h>

#include "game/board_layout.h"
#include "game/piece.h"
#include "support/input_snapshot.h"
#include "test_helpers.h"

namespace {
std::vector<std::pair<int32_t, int32_t>> EdgesOf(const std::vector<Point>& cells)
{
    StageFile stage = MakeStage(1, 1, {cells});
    Piece piece{};
    piece.shape = &stage.shapes[0];
    BuildPieceEdges(piece);
    std::vector<std::pair<int32_t, int32_t>> edges;
    for (int32_t k = 0; k < piece.edgeCount; ++k) edges.push_back({piece.edges[k].first, piece.edges[k].second});
    return edges;
}

using Edges = std::vector<std::pair<int32_t, int32_t>>;
}  // namespace

TEST(RotateOffset, TurnsClockwiseOnScreenAndIgnoresOtherValues)
{
    // (3, -7) is right of and above the origin; a quarter turn clockwise puts it right and below.
    const Point expected[] = {{3, -7}, {7, 3}, {-3, 7}, {-7, -3}, {3, -7}, {3, -7}, {3, -7}};
    const int32_t turns[] = {0, 1, 2, 3, 4, 5, -1};
    for (int32_t i = 0; i < 7; ++i) {
        Point p = {3, -7};
        RotateOffset(p, turns[i]);
        EXPECT_EQ(p.x, expected[i].x) << turns[i];
        EXPECT_EQ(p.y, expected[i].y) << turns[i];
    }
}

TEST(BuildPieceEdges, JoinsSideNeighboursOnceInIndexOrder)
{
    EXPECT_EQ(EdgesOf({{0, 0}, {1, 0}, {0, 1}}), (Edges{{0, 1}, {0, 2}}));
    EXPECT_EQ(EdgesOf({{0, 0}, {1, 0}, {0, 1}, {1, 1}}), (Edges{{0, 1}, {0, 2}, {1, 3}, {2, 3}}));
    EXPECT_EQ(EdgesOf({{0, 0}, {0, 0}}), Edges{});
    EXPECT_EQ(EdgesOf({{0, 0}, {1, 1}}), Edges{});
    EXPECT_EQ(EdgesOf({{4, 4}}), Edges{});
}

TEST(BuildPieceEdges, StopsAtTheTableSize)
{
    std::vector<Point> cells;
    for (int k = 0; k < 40; ++k) cells.push_back({k % 2, 0});
    EXPECT_EQ(EdgesOf(cells).size(), 60u);
}

TEST(CellPixelOffset, TurnsTheCellAndScalesByTheCellSize)
{
    StageFile stage = MakeStage(1, 1, {{{0, 0}, {2, -1}}});
    Piece piece{};
    piece.shape = &stage.shapes[0];
    piece.rotation = 1;
    BoardLayout::cellSize = 31;
    Point offset = CellPixelOffset(piece, 1);
    EXPECT_EQ(offset.x, 31);
    EXPECT_EQ(offset.y, 62);
}

TEST(MouseInCell, CountsOnlyTheStrictInsideOfTheSquare)
{
    // An even size reaches size / 2 - 1 both ways; an odd one one pixel further down and right.
    struct Case {
        int32_t size, dx, dy;
        bool inside;
    };
    const Case cases[] = {{46, -22, 0, true}, {46, 22, 0, true},   {46, -23, 0, false}, {46, 23, 0, false},
                          {31, 0, -14, true}, {31, 0, 15, true},   {31, 0, -15, false}, {31, 0, 16, false}};
    for (const Case& c : cases) {
        BoardLayout::cellSize = c.size;
        inputSnapshot.mouseX = 100 + c.dx;
        inputSnapshot.mouseY = 100 + c.dy;
        EXPECT_EQ(MouseInCell({100, 100}), c.inside) << c.size << " " << c.dx << "," << c.dy;
    }
}
