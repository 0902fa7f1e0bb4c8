// Partitions: any board split into connected pieces of the allowed sizes, and the squares and corners of pieces.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "authoring/stage_generator.h"
#include "authoring/stage_source.h"

TEST(PieceWindows, SquaresAreWholeWindowsAndCornersThreeCellsOfOnePiece)
{
    // AABB
    // AABC   one window wholly in A, B's and C's corners on the right, and
    // DDCC   windows split two and two or four ways, which are neither.
    const GenerateOptions options{4, 3, 4, 1, 4};
    const std::vector<int32_t> owner = {0, 0, 1, 1, 0, 0, 1, 2, 3, 3, 2, 2};
    EXPECT_EQ(SquaresInPieces(options, owner), 1);
    EXPECT_EQ(CornersOfPieces(options, owner), 2);
}

TEST(StirredSnakePartition, SplitsEveryBoardIntoConnectedPiecesOfTheAllowedSizes)
{
    // Sizes that pieces grown from seed cells almost never all reach, on
    // 10 x 8 and on the largest board; one size for every piece leaves the
    // pieces only cells to trade.
    const GenerateOptions cases[] = {
        {10, 8, 16, 4, 7}, {10, 14, 28, 4, 6}, {10, 10, 20, 5, 5}, {6, 6, 7, 4, 6}, {4, 4, 8, 2, 2},
    };
    for (GenerateOptions options : cases) {
        std::string error;
        ASSERT_TRUE(CheckGenerateOptions(options, error)) << error;
        for (uint32_t seed = 1; seed <= 5; ++seed) {
            SeededRandom random(seed);
            std::vector<int32_t> owner;
            StirredSnakePartition(options, random, owner);
            SCOPED_TRACE(std::to_string(options.width) + " x " + std::to_string(options.height) + ", seed " +
                         std::to_string(seed));
            // Written out as generate prints it and read back, which refuses a piece in two parts.
            ASSERT_EQ(owner.size(), static_cast<size_t>(options.width * options.height));
            StageSource source;
            ASSERT_TRUE(ParseStageSource(WriteStageSource(options, {owner, {}}, {}), "snake", source, error)) << error;
            ASSERT_EQ(source.pieces.size(), static_cast<size_t>(options.pieces));
            for (const SourcePiece& piece : source.pieces) {
                EXPECT_GE(piece.cells.size(), static_cast<size_t>(options.minCells));
                EXPECT_LE(piece.cells.size(), static_cast<size_t>(options.maxCells));
            }
        }
    }
    // Pentominoes can only trade cells, and still the rows they are cut from
    // are stirred away: few pieces are left as straight runs of five.
    GenerateOptions fives{10, 10, 20, 5, 5};
    SeededRandom random(1);
    std::vector<int32_t> owner;
    StirredSnakePartition(fives, random, owner);
    int32_t straight = 0;
    for (int32_t y = 0; y < 10; ++y) {
        for (int32_t x = 0; x + 5 <= 10; x += 5) {
            bool run = std::all_of(owner.begin() + y * 10 + x, owner.begin() + y * 10 + x + 5,
                                   [&](int32_t p) { return p == owner[static_cast<size_t>(y * 10 + x)]; });
            straight += run ? 1 : 0;
        }
    }
    EXPECT_LE(straight, 4);
}
