// Stage play without a screen: layout, deal, choosing, carrying, turning, drops and the covered board.
#include <gtest/gtest.h>

#include "game/board_layout.h"
#include "game/celebration.h"
#include "game/game_frame.h"
#include "game/stage_play.h"
#include "support/input_snapshot.h"
#include "support/random.h"
#include "test_helpers.h"

namespace {
// A 3 x 1 board: columns 6, cell size 103, rows 4, origin (62, 85).
class StagePlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!banner.has_value()) ConstructBanner();
        stages[0] = MakeStage(3, 1, {{{0, 0}, {1, 0}}, {{0, 0}}});
        currentStage = 0;
        SeedRandom(1);
        StartStagePlay();
        pieces[0].rotation = 0;
        pieces[1].rotation = 0;
        Move(0, 0);
    }

    static Point CellCentre(int32_t x, int32_t y) { return {62 + 103 * x, 85 + 103 * y}; }

    static void Move(int32_t x, int32_t y)
    {
        inputSnapshot.previousKeys = 0;
        inputSnapshot.currentKeys = 0;
        inputSnapshot.mouseX = x;
        inputSnapshot.mouseY = y;
    }

    static void Frame(int32_t x, int32_t y, uint32_t buttons)
    {
        Move(x, y);
        inputSnapshot.currentKeys = buttons;
        UpdateHoveredPiece();
        UpdateStagePlay();
    }

    static void Click(Point at) { Frame(at.x, at.y, InputKey::LeftButton); }

    // Opens the chooser on an empty cell and takes the offered piece.
    static void TakeFromChooser(int32_t piece)
    {
        Click({630, 470});
        ASSERT_EQ(playState, Choosing);
        while (chooserPiece != piece) Frame(320, 240, InputKey::RightButton);
        Click({320, 240});
        ASSERT_EQ(playState, Dragging);
        ASSERT_EQ(carriedPiece, piece);
    }
};
}  // namespace

TEST(StageLayout, CentresTheGridForEveryBoardWidth)
{
    if (!banner.has_value()) ConstructBanner();
    struct Expected {
        int32_t width, columns, cellSize, rows, originX, originY;
    };
    for (Expected e : {Expected{1, 2, 310, 1, 165, 240}, Expected{5, 10, 62, 7, 41, 54},
                       Expected{10, 20, 31, 14, 25, 38}}) {
        stages[0] = MakeStage(e.width, 1, {});
        currentStage = 0;
        StartStagePlay();
        EXPECT_EQ(BoardLayout::columns, e.columns);
        EXPECT_EQ(BoardLayout::cellSize, e.cellSize);
        EXPECT_EQ(BoardLayout::rows, e.rows);
        EXPECT_EQ(BoardLayout::originX, e.originX);
        EXPECT_EQ(BoardLayout::originY, e.originY);
    }
}

TEST_F(StagePlay, TurningWhileCarryingTurnsTheGrabOffsetWithThePiece)
{
    TakeFromChooser(1);
    pieces[1].rotation = 3;
    grabOffsetX = 10;
    grabOffsetY = -4;
    Frame(300, 300, InputKey::RightButton);
    EXPECT_EQ(pieces[1].rotation, 0);
    EXPECT_EQ(grabOffsetX, 4);
    EXPECT_EQ(grabOffsetY, 10);
}

TEST_F(StagePlay, PiecesArePlacedPickedUpOverlapRefusedAndTheCoverClears)
{
    TakeFromChooser(1);
    Click(CellCentre(2, 0));
    EXPECT_EQ(playState, Idle);
    EXPECT_EQ(pieces[1].placed, 1);
    EXPECT_EQ(pieces[1].cellX, 2);

    // Picked up and dropped on its own cells: accepted, it is not in its own way.
    Frame(CellCentre(2, 0).x + 7, CellCentre(2, 0).y - 5, 0);
    EXPECT_EQ(hoveredPiece, 1);
    Click({CellCentre(2, 0).x + 7, CellCentre(2, 0).y - 5});
    EXPECT_EQ(playState, Dragging);
    EXPECT_EQ(grabOffsetX, -7);
    EXPECT_EQ(grabOffsetY, 5);
    EXPECT_EQ(pieces[1].placed, 1);
    Click({CellCentre(2, 0).x + 7, CellCentre(2, 0).y - 5});
    EXPECT_EQ(pieces[1].cellX, 2);
    EXPECT_EQ(playState, Idle);

    // The domino over the monomino overlaps and is refused.
    TakeFromChooser(0);
    Click(CellCentre(1, 0));
    EXPECT_EQ(pieces[0].placed, 0);
    EXPECT_EQ(playState, Idle);

    // A click beside the offered piece closes the chooser.
    Click({630, 470});
    Click({10, 470});
    EXPECT_EQ(playState, Idle);

    // Parked in the free part of the grid, then moved onto the board to cover it.
    TakeFromChooser(0);
    Click(CellCentre(3, 2));
    EXPECT_EQ(pieces[0].placed, 1);
    EXPECT_EQ(playState, Idle);
    Click(CellCentre(3, 2));
    ASSERT_EQ(playState, Dragging);
    Click(CellCentre(0, 0));
    EXPECT_EQ(playState, Cleared);
    EXPECT_EQ(celebrationFrame, 0);
    EXPECT_EQ(carriedPiece, -1);
}

TEST_F(StagePlay, ChoosingWithEveryPiecePlacedOffersNothing)
{
    pieces[0].placed = 1;
    pieces[0].cellX = 3;
    pieces[0].cellY = 3;
    pieces[1].placed = 1;
    pieces[1].cellX = 5;
    pieces[1].cellY = 3;
    Click(CellCentre(0, 0));
    EXPECT_EQ(playState, Choosing);
    EXPECT_EQ(chooserPiece, -1);
    Frame(320, 240, InputKey::RightButton);
    EXPECT_EQ(chooserPiece, -1);
    EXPECT_EQ(chooserHover, 0);
    Click({320, 240});
    EXPECT_EQ(playState, Idle);
}

TEST(DropTarget, RoundsToTheNearestColumnOnBothSidesOfTheGrid)
{
    if (!banner.has_value()) ConstructBanner();
    // A one-cell piece that lies twelve cells right of its origin.
    stages[0] = MakeStage(5, 1, {{{0, 0}}, {{12, 0}}});
    currentStage = 0;
    StartStagePlay();
    ASSERT_EQ(BoardLayout::cellSize, 62);
    pieces[0].rotation = 0;
    pieces[1].rotation = 0;

    carriedPiece = 0;
    grabOffsetX = 0;
    grabOffsetY = 0;
    inputSnapshot.mouseX = 72;
    inputSnapshot.mouseY = 54;
    DropCarriedPiece();
    EXPECT_EQ(pieces[0].cellX, 1);
    pieces[0].placed = 0;
    carriedPiece = 0;
    inputSnapshot.mouseX = 71;
    DropCarriedPiece();
    EXPECT_EQ(pieces[0].cellX, 0);

    // Drawn with its origin eleven cells left of column 0, the cell shows in
    // column 1, and that is where it lands.
    carriedPiece = 1;
    inputSnapshot.mouseX = 0;
    grabOffsetX = 41 - 11 * 62;
    DropCarriedPiece();
    EXPECT_EQ(pieces[1].placed, 1);
    EXPECT_EQ(pieces[1].cellX, -11);
}
