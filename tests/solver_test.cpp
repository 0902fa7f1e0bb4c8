// The exact-cover solver against published pentomino counts and against plain brute force.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tools/stages/pentominoes.h"
#include "tools/stages/stage_solver.h"

namespace {
const std::vector<std::vector<Point>> pentominoes = Pentominoes();

int64_t CountRectangle(int32_t width, int32_t height)
{
    Puzzle puzzle{width, height, width, height, pentominoes};
    SolveOptions options;
    options.mirror = true;
    options.boardOnly = true;
    return SolvePuzzle(puzzle, options).count;
}

// Every way to give each piece one placement or leave it out, checked cell by cell.
using Solution = std::set<std::pair<int32_t, std::vector<int32_t>>>;

void BruteForce(const Puzzle& puzzle, bool mirror, size_t piece, std::vector<int32_t>& cover, Solution& current,
                std::set<Solution>& found)
{
    if (piece == puzzle.shapes.size()) {
        for (int32_t y = 0; y < puzzle.boardHeight; ++y) {
            for (int32_t x = 0; x < puzzle.boardWidth; ++x) {
                if (cover[static_cast<size_t>(y * puzzle.gridColumns + x)] != 1) return;
            }
        }
        found.insert(current);
        return;
    }
    BruteForce(puzzle, mirror, piece + 1, cover, current, found);
    for (const auto& orientation : Orientations(puzzle.shapes[piece], mirror)) {
        for (int32_t dy = 0; dy < puzzle.gridRows; ++dy) {
            for (int32_t dx = 0; dx < puzzle.gridColumns; ++dx) {
                std::vector<int32_t> cells;
                bool fits = true;
                bool touches = false;
                for (Point cell : orientation) {
                    int32_t x = cell.x + dx;
                    int32_t y = cell.y + dy;
                    if (x >= puzzle.gridColumns || y >= puzzle.gridRows) fits = false;
                    if (x < puzzle.boardWidth && y < puzzle.boardHeight) touches = true;
                    cells.push_back(y * puzzle.gridColumns + x);
                }
                if (!fits || !touches) continue;
                bool clash = std::any_of(cells.begin(), cells.end(), [&](int32_t c) { return cover[c] != 0; });
                if (clash) continue;
                std::sort(cells.begin(), cells.end());
                for (int32_t c : cells) cover[c] = 1;
                current.insert({static_cast<int32_t>(piece), cells});
                BruteForce(puzzle, mirror, piece + 1, cover, current, found);
                current.erase({static_cast<int32_t>(piece), cells});
                for (int32_t c : cells) cover[c] = 0;
            }
        }
    }
}

int64_t BruteForceCount(const Puzzle& puzzle, bool mirror)
{
    std::vector<int32_t> cover(static_cast<size_t>(puzzle.gridColumns * puzzle.gridRows), 0);
    Solution current;
    std::set<Solution> found;
    BruteForce(puzzle, mirror, 0, cover, current, found);
    return static_cast<int64_t>(found.size());
}
}  // namespace

TEST(Solver, AgreesWithThePublishedPentominoRectangleCounts)
{
    // Published counts of distinct tilings (2, 368, 1010, 2339), each seen in
    // all four orientations of the rectangle.
    EXPECT_EQ(CountRectangle(20, 3), 8);
    EXPECT_EQ(CountRectangle(15, 4), 1472);
    EXPECT_EQ(CountRectangle(12, 5), 4040);
    EXPECT_EQ(CountRectangle(10, 6), 9356);
}

TEST(Solver, AgreesWithBruteForceOnSmallBoardsUnderTheGameRules)
{
    const std::vector<std::vector<Point>> shapes = {
        {{0, 0}, {1, 0}, {0, 1}}, {{0, 0}, {1, 0}}, {{0, 0}}, {{0, 0}, {1, 0}, {2, 0}}, {{0, 0}, {1, 0}, {1, 1}},
    };
    for (int32_t width = 1; width <= 3; ++width) {
        for (int32_t height = 1; height <= std::min(3, MaxBoardHeight(width) ); ++height) {
            for (bool mirror : {false, true}) {
                Puzzle puzzle{2 * width, MaxBoardHeight(width), width, height, shapes};
                SolveOptions options;
                options.mirror = mirror;
                EXPECT_EQ(SolvePuzzle(puzzle, options).count, BruteForceCount(puzzle, mirror))
                    << width << "x" << height << (mirror ? " mirrored" : "");
            }
        }
    }
}

TEST(Solver, ExactFitsCountTheSameWithAndWithoutTheSymmetryShortcut)
{
    // A limit turns the shortcut off; a high one changes nothing else.
    Puzzle puzzle{12, 5, 12, 5, pentominoes};
    SolveOptions counting;
    SolveOptions enumerating;
    enumerating.limit = 1000000;
    int64_t counted = SolvePuzzle(puzzle, counting).count;
    EXPECT_GT(counted, 0);
    EXPECT_EQ(counted, SolvePuzzle(puzzle, enumerating).count);
}

TEST(Solver, StopsAtTheLimitOrTheTimeAndReportsSolutionsAsFound)
{
    Puzzle puzzle{10, 6, 10, 6, pentominoes};
    SolveOptions options;
    options.limit = 3;
    options.report = 2;
    std::vector<size_t> reported;
    options.onSolution = [&](const std::vector<PlacedPiece>& solution) { reported.push_back(solution.size()); };
    SolveResult result = SolvePuzzle(puzzle, options);
    EXPECT_EQ(result.count, 3);
    EXPECT_TRUE(result.stoppedAtLimit);
    EXPECT_EQ(reported, (std::vector<size_t>{12, 12}));

    // 25 T-tetrominoes cannot tile a 10 x 10 board (a colouring argument),
    // and the search to prove it takes minutes: the time limit ends it.
    std::vector<std::vector<Point>> tees(25, {{0, 0}, {1, 0}, {2, 0}, {1, 1}});
    SolveOptions timed;
    timed.limit = 1;
    timed.timeLimit = 1;
    int64_t progressCalls = 0;
    timed.onProgress = [&](const SolveProgress& search) {
        ++progressCalls;
        EXPECT_GT(search.nodes, 0);
    };
    SolveResult stopped = SolvePuzzle({20, 14, 10, 10, tees}, timed);
    EXPECT_TRUE(stopped.stoppedAtTime);
    EXPECT_EQ(stopped.count, 0);
    EXPECT_LT(stopped.seconds, 3);
    EXPECT_LE(progressCalls, 1);
}
