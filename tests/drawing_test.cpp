// The game's drawing: piece outlines and the play field, checked pixel by pixel on canvas 0.
#include <gtest/gtest.h>

#include "draw/canvas.h"
#include "game/board_layout.h"
#include "game/celebration.h"
#include "game/game_frame.h"
#include "game/piece_outline.h"
#include "game/play_field.h"
#include "game/stage_play.h"
#include "support/input_snapshot.h"
#include "test_helpers.h"

TEST(PieceOutline, DrawsEveryRimBeforeAnyCoreWithTheCoreColourWrapped)
{
    FreshCanvas();
    StageFile stage = MakeStage(1, 1, {{{0, 0}, {1, 0}, {0, 1}}});
    Piece piece{};
    piece.shape = &stage.shapes[0];
    BuildPieceEdges(piece);
    BoardLayout::cellSize = 60;
    Canvas& canvas = canvases[0];
    canvas.moveTo(200, 200);
    canvas.setColor(250, 10, 10);
    DrawPieceOutline(piece);
    EXPECT_EQ(canvas.red, 14);
    EXPECT_EQ(canvas.green, 30);
    EXPECT_EQ(canvas.pen.width, 44);
    EXPECT_EQ(canvas.penX, 200);
    EXPECT_EQ(canvas.penY, 260);
    // Just right of cell 0's centre lies in edge 0's core and edge 1's rim:
    // had edge 1's rim come after edge 0's core, it would show the rim colour.
    EXPECT_EQ(CanvasColor(215, 200), Rgb(14, 30, 30));
    EXPECT_EQ(CanvasColor(200, 215), Rgb(14, 30, 30));
    // The rim: 4 pixels of base colour round the core, 4 pixels of gap to the cell border.
    EXPECT_EQ(CanvasColor(200, 200 - 24), Rgb(250, 10, 10));
    EXPECT_EQ(CanvasColor(200, 200 - 27), 0u);
    EXPECT_EQ(CanvasColor(260, 260), 0u);

    // A one-cell piece draws nothing but still leaves the core colour and pen.
    FreshCanvas();
    StageFile single = MakeStage(1, 1, {{{0, 0}}});
    Piece one{};
    one.shape = &single.shapes[0];
    BuildPieceEdges(one);
    canvas.setColor(100, 100, 100);
    DrawPieceOutline(one);
    EXPECT_EQ(canvas.red, 120);
    EXPECT_EQ(canvas.pen.width, 44);
    EXPECT_EQ(CanvasColor(0, 0), 0u);
}

class PlayFieldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreshCanvas();
        if (!banner.has_value()) ConstructBanner();
        stages[0] = MakeStage(5, 3, {{{0, 0}, {1, 0}}, {{0, 0}}});
        currentStage = 0;
        StartStagePlay();
        pieces[0].rotation = 0;
        pieces[0].color[0] = 199;
        pieces[0].color[1] = 100;
        pieces[0].color[2] = 150;
    }
};

TEST_F(PlayFieldTest, DrawsTheBoardInAWarmerGreyWithBlackGaps)
{
    DrawPlayField();
    EXPECT_EQ(CanvasColor(11, 24), Rgb(100, 80, 80));
    EXPECT_EQ(CanvasColor(70, 83), Rgb(100, 80, 80));
    EXPECT_EQ(CanvasColor(10, 24), 0u);
    EXPECT_EQ(CanvasColor(71, 50), 0u);
    EXPECT_EQ(CanvasColor(72, 50), 0u);
    EXPECT_EQ(CanvasColor(73, 50), Rgb(100, 80, 80));
    EXPECT_EQ(CanvasColor(11, 84), 0u);
    // Column 5 and row 3 lie outside the 5 x 3 board.
    EXPECT_EQ(CanvasColor(41 + 5 * 62, 54), Rgb(80, 80, 80));
    EXPECT_EQ(CanvasColor(41, 54 + 3 * 62), Rgb(80, 80, 80));
    EXPECT_EQ(CanvasColor(41 + 4 * 62, 54 + 2 * 62), Rgb(100, 80, 80));
}

TEST_F(PlayFieldTest, DrawsPlacedPiecesAtTheirCellAndTheCarriedOneOnlyAtTheMouse)
{
    pieces[0].placed = 1;
    pieces[0].cellX = 1;
    pieces[0].cellY = 1;
    pieces[1].cellX = 3;
    pieces[1].cellY = 2;
    DrawPlayField();
    Point centre = {41 + 62, 54 + 62};
    EXPECT_EQ(CanvasColor(centre.x + 20, centre.y), Rgb(219, 120, 170));
    EXPECT_EQ(CanvasColor(41 + 3 * 62, 54 + 2 * 62), Rgb(100, 80, 80));

    playState = Dragging;
    carriedPiece = 0;
    grabOffsetX = 0;
    grabOffsetY = 0;
    inputSnapshot.mouseX = 500;
    inputSnapshot.mouseY = 400;
    DrawPlayField();
    EXPECT_EQ(CanvasColor(centre.x + 20, centre.y), Rgb(100, 80, 80));
    EXPECT_EQ(CanvasColor(531, 400), Rgb(219, 120, 170));
}

TEST_F(PlayFieldTest, TheChooserDimsWhatIsBehindItAndShowsItsPieceOnTop)
{
    playState = Choosing;
    chooserPiece = 0;
    chooserHover = 0;
    DrawPlayField();
    EXPECT_EQ(CanvasColor(100, 54), Rgb((100 + 150) / 2, (80 + 150) / 2, (80 + 150) / 2));
    EXPECT_EQ(CanvasColor(99, 54), Rgb(100, 80, 80));
    EXPECT_EQ(CanvasColor(101, 84), Rgb(75, 75, 75));
    EXPECT_EQ(CanvasColor(320 + 31, 240), Rgb(219, 120, 170));
    EXPECT_EQ(CanvasColor(320, 240 - 24), Rgb(199, 100, 150));
    chooserHover = 1;
    DrawPlayField();
    EXPECT_EQ(CanvasColor(320, 240 - 24), Rgb(219, 120, 170));
}

TEST_F(PlayFieldTest, AnEmptyChooserShowsTheNotice)
{
    playState = Choosing;
    chooserPiece = -1;
    DrawPlayField();
    int32_t lit = 0;
    for (int32_t y = 0; y < 480; ++y) {
        for (int32_t x = 0; x < 640; ++x) {
            if (CanvasColor(x, y) != Rgb(240, 240, 240)) continue;
            ++lit;
            EXPECT_GE(y, 210);
            EXPECT_LT(y, 270);
        }
    }
    EXPECT_GT(lit, 200);
    EXPECT_EQ(canvases[0].penX, 320);
    EXPECT_EQ(canvases[0].penY, 270);
}
