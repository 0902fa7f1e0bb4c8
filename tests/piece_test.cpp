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
    Point p = {1, 0};
    RotateOffset(p, 1);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 1);
    Point q = {3, -7};
    for (int i = 0; i < 4; ++i) RotateOffset(q, 1);
    EXPECT_EQ(q.x, 3);
    EXPECT_EQ(q.y, -7);
    for (int32_t r : {4, 5, -1}) {
        Point same = {3, -7};
        RotateOffset(same, r);
        EXPECT_EQ(same.x, 3);
        EXPECT_EQ(same.y, -7);
    }
    Point two = {3, -7};
    RotateOffset(two, 2);
    EXPECT_EQ(two.x, -3);
    EXPECT_EQ(two.y, 7);
    Point three = {3, -7};
    RotateOffset(three, 3);
    EXPECT_EQ(three.x, -7);
    EXPECT_EQ(three.y, -3);
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
    BoardLayout::cellSize = 46;
    inputSnapshot.mouseY = 100;
    for (int32_t x : {100 - 22, 100 + 22}) {
        inputSnapshot.mouseX = x;
        EXPECT_TRUE(MouseInCell({100, 100})) << x;
    }
    for (int32_t x : {100 - 23, 100 + 23}) {
        inputSnapshot.mouseX = x;
        EXPECT_FALSE(MouseInCell({100, 100})) << x;
    }
    BoardLayout::cellSize = 31;
    inputSnapshot.mouseX = 100;
    inputSnapshot.mouseY = 100 - 14;
    EXPECT_TRUE(MouseInCell({100, 100}));
    inputSnapshot.mouseY = 100 + 15;
    EXPECT_TRUE(MouseInCell({100, 100}));
    inputSnapshot.mouseY = 100 - 15;
    EXPECT_FALSE(MouseInCell({100, 100}));
    inputSnapshot.mouseY = 100 + 16;
    EXPECT_FALSE(MouseInCell({100, 100}));
}
