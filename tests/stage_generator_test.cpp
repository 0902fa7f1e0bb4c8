// The snake partition: every board the options allow is split into connected pieces of the allowed sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "authoring/stage_generator.h"

namespace {
// The cells of each piece reached from its first one, against its size.
bool EveryPieceConnected(const GenerateOptions& options, const std::vector<int32_t>& owner)
{
    int32_t w = options.width;
    int32_t h = options.height;
    for (int32_t piece = 0; piece < options.pieces; ++piece) {
        auto first = std::find(owner.begin(), owner.end(), piece);
        if (first == owner.end()) return false;
        std::vector<bool> seen(owner.size(), false);
        std::vector<int32_t> stack = {static_cast<int32_t>(first - owner.begin())};
        seen[static_cast<size_t>(stack[0])] = true;
        int32_t reached = 0;
        while (!stack.empty()) {
            int32_t c = stack.back();
            stack.pop_back();
            ++reached;
            const int32_t steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            for (const auto& s : steps) {
                int32_t x = c % w + s[0];
                int32_t y = c / w + s[1];
                if (x < 0 || y < 0 || x >= w || y >= h || seen[static_cast<size_t>(y * w + x)]) continue;
                if (owner[static_cast<size_t>(y * w + x)] != piece) continue;
                seen[static_cast<size_t>(y * w + x)] = true;
                stack.push_back(y * w + x);
            }
        }
        if (reached != std::count(owner.begin(), owner.end(), piece)) return false;
    }
    return true;
}
}  // namespace

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
            ASSERT_EQ(owner.size(), static_cast<size_t>(options.width * options.height));
            EXPECT_TRUE(EveryPieceConnected(options, owner));
            for (int32_t piece = 0; piece < options.pieces; ++piece) {
                auto size = static_cast<int32_t>(std::count(owner.begin(), owner.end(), piece));
                EXPECT_GE(size, options.minCells);
                EXPECT_LE(size, options.maxCells);
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
