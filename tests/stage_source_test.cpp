// Stage sources: what compiles and how, and every rule that refuses a source with its line.
#include <gtest/gtest.h>

#include "authoring/stage_source.h"

namespace {
std::string Refusal(const std::string& text)
{
    StageSource source;
    std::string error;
    EXPECT_FALSE(ParseStageSource(text, "s.txt", source, error));
    return error;
}
}  // namespace

TEST(StageSource, CompilesPiecesInOrderOfFirstAppearanceAroundTheirMiddleCell)
{
    StageSource source;
    std::string error;
    ASSERT_TRUE(ParseStageSource("# Title Here\nBAA\nBBA\n\n..x\nxxx\n", "s.txt", source, error)) << error;
    EXPECT_EQ(source.title, "Title Here");
    StageFile stage = CompileStage(source);
    EXPECT_EQ(stage.magic, stageFileMagic);
    EXPECT_EQ(stage.boardWidth, 3);
    EXPECT_EQ(stage.boardHeight, 2);
    ASSERT_EQ(stage.pieceCount, 3);
    // B: (0,0) (0,1) (1,1); the centroid (1/3, 2/3) is nearest (0,1).
    const PieceShape& b = stage.shapes[0];
    ASSERT_EQ(b.cellCount, 3);
    EXPECT_EQ(b.cells[0].x, 0);
    EXPECT_EQ(b.cells[0].y, -1);
    EXPECT_EQ(b.cells[1].x, 0);
    EXPECT_EQ(b.cells[1].y, 0);
    EXPECT_EQ(b.cells[2].x, 1);
    EXPECT_EQ(b.cells[2].y, 0);
    // The decoy of four cells (2,0) (0,1) (1,1) (2,1) turns about (1,1).
    const PieceShape& x = stage.shapes[2];
    ASSERT_EQ(x.cellCount, 4);
    EXPECT_EQ(x.cells[0].x, 1);
    EXPECT_EQ(x.cells[0].y, -1);
    EXPECT_EQ(x.cells[2].x, 0);
    EXPECT_EQ(x.cells[2].y, 0);
    EXPECT_FALSE(source.pieces[2].onBoard);
    EXPECT_EQ(stage.shapes[3].cellCount, 0);
}

TEST(StageSource, RefusesBrokenSourcesWithTheirLine)
{
    EXPECT_EQ(Refusal("AB\nA\n"), "s.txt:2: board row is 1 cells wide, the first row 2: the board must be a rectangle");
    EXPECT_EQ(Refusal("ABA\n"), "s.txt:1: piece 'A' is in more than one part");
    EXPECT_EQ(Refusal("AB\nA.\n"), "s.txt:2: board cell '.' is not a piece symbol (A-Z, a-z, 0-9)");
    EXPECT_EQ(Refusal("AB\n\nxx\n\nA\n"), "s.txt:5: symbol 'A' is already used for a piece drawn on line 1");
    EXPECT_EQ(Refusal("AB\n\nxx\n\nx\n"), "s.txt:5: symbol 'x' is already used for a piece drawn on line 3");
    EXPECT_EQ(Refusal("# only a comment\n"), "s.txt:1: no board drawn");
    EXPECT_EQ(Refusal("#\nAAAAAAAAAAA\n"), "s.txt:2: board width 11 is outside 1..10");
    EXPECT_EQ(Refusal("A\nA\nA\n"), "s.txt:1: board height 3 is over 1 for width 1");
}

TEST(StageSource, RefusesMoreThanFiftyPieces)
{
    const std::string symbols = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string text = "AB\n";
    for (size_t i = 2; i < 51; ++i) {
        text += '\n';
        text += symbols[i];
        text += '\n';
    }
    EXPECT_EQ(Refusal(text), "s.txt:99: 51 pieces, at most 50 are allowed");
}
