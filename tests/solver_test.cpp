// Both solution counters, dancing links and the bitboard search, against published pentomino counts,
// plain brute force, and each other.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include <random>

#include "authoring/pentominoes.h"
#include "authoring/stage_solver.h"
#include "authoring/tiling_search.h"
#include "test_helpers.h"

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
    struct Rectangle {
        int32_t width, height;
        int64_t all, distinct;
    };
    for (Rectangle r : {Rectangle{20, 3, 8, 2}, Rectangle{15, 4, 1472, 368}, Rectangle{12, 5, 4040, 1010},
                        Rectangle{10, 6, 9356, 2339}}) {
        EXPECT_EQ(CountRectangle(r.width, r.height), r.all) << r.width << " x " << r.height;
        Puzzle puzzle{r.width, r.height, r.width, r.height, pentominoes};
        for (int32_t jobs : {1, 2, 3}) {
            SolveOptions options;
            options.mirror = true;
            options.boardOnly = true;
            options.jobs = jobs;
            // Two jobs share the search from its start; three give up a first try on one thread.
            options.oneThreadSteps = jobs == 2 ? 0 : 1000;
            EXPECT_EQ(CountTilings(puzzle, options).count, r.all) << r.width << " x " << r.height << ", " << jobs;
            options.distinct = true;
            EXPECT_EQ(CountTilings(puzzle, options).count, r.distinct) << r.width << " x " << r.height << ", " << jobs;
        }
    }
}

namespace {
// A random stage on a small board: pieces grown from random cells, some
// shapes repeated, maybe decoys.
Puzzle RandomPuzzle(std::mt19937& random, bool decoys)
{
    std::uniform_int_distribution<int32_t> side(1, 4);
    int32_t width = side(random);
    int32_t height = std::min(side(random), MaxBoardHeight(width));
    std::vector<std::vector<Point>> shapes;
    std::vector<int32_t> owner(static_cast<size_t>(width * height), -1);
    int32_t pieces = std::uniform_int_distribution<int32_t>(1, std::max(1, width * height / 2))(random);
    for (int32_t p = 0; p < pieces; ++p) shapes.push_back({});
    // Each cell joins a random piece it touches, or starts one: shapes stay connected.
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            std::vector<int32_t> near;
            if (x > 0) near.push_back(owner[static_cast<size_t>(y * width + x - 1)]);
            if (y > 0) near.push_back(owner[static_cast<size_t>((y - 1) * width + x)]);
            int32_t piece = near.empty() || random() % 3 == 0
                                ? static_cast<int32_t>(random() % static_cast<uint32_t>(pieces))
                                : near[random() % near.size()];
            bool touches = shapes[piece].empty() || std::find(near.begin(), near.end(), piece) != near.end();
            if (!touches) {
                piece = static_cast<int32_t>(shapes.size());
                shapes.push_back({});
            }
            owner[static_cast<size_t>(y * width + x)] = piece;
            shapes[piece].push_back({x, y});
        }
    }
    shapes.erase(std::remove_if(shapes.begin(), shapes.end(), [](const auto& s) { return s.empty(); }), shapes.end());
    if (decoys) {
        for (int32_t d = 0; d < 2; ++d) shapes.push_back(shapes[random() % shapes.size()]);
    }
    return {2 * width, MaxBoardHeight(width), width, height, shapes};
}

// Tilings up to the board's symmetries, from every tiling the reference finds.
int64_t DistinctByCanonicalForms(const Puzzle& puzzle, bool mirror)
{
    int32_t w = puzzle.boardWidth;
    int32_t h = puzzle.boardHeight;
    std::vector<BoardMap> maps = BoardSymmetries(w, h, mirror);
    std::set<std::vector<int32_t>> forms;
    SolveOptions options;
    options.mirror = mirror;
    options.boardOnly = true;
    options.limit = INT64_MAX;
    options.report = INT64_MAX;
    options.onSolution = [&](const std::vector<PlacedPiece>& solution) {
        std::vector<int32_t> least;
        for (auto map : maps) {
            std::vector<int32_t> labels(static_cast<size_t>(w * h), -1);
            for (const PlacedPiece& placed : solution) {
                for (Point cell : placed.cells) {
                    Point to = map(cell, w, h);
                    labels[static_cast<size_t>(to.y * w + to.x)] = placed.piece;
                }
            }
            if (least.empty() || labels < least) least = labels;
        }
        forms.insert(least);
    };
    SolvePuzzle(puzzle, options);
    return static_cast<int64_t>(forms.size());
}
}  // namespace

TEST(TilingSearch, AgreesWithDancingLinksOnRandomStages)
{
    std::mt19937 random(2026);
    for (int32_t round = 0; round < 300; ++round) {
        bool decoys = round % 2 == 1;
        Puzzle puzzle = RandomPuzzle(random, decoys);
        // With decoys, the tilings that use the last piece are all but those of the others alone.
        Puzzle others = puzzle;
        others.shapes.pop_back();
        const auto last = static_cast<int32_t>(others.shapes.size());
        for (bool mirror : {false, true}) {
            for (bool boardOnly : {false, true}) {
                SolveOptions options;
                options.mirror = mirror;
                options.boardOnly = boardOnly;
                int64_t reference = SolvePuzzle(puzzle, options).count;
                options.jobs = 1 + round % 3;
                options.oneThreadSteps = 0;
                EXPECT_EQ(CountTilings(puzzle, options).count, reference)
                    << "round " << round << (mirror ? " mirror" : "") << (boardOnly ? " board only" : "");
                if (!decoys || !boardOnly) continue;
                int64_t withoutIt = others.shapes.empty() ? 0 : SolvePuzzle(others, options).count;
                options.mustUse = last;
                EXPECT_EQ(CountTilings(puzzle, options).count, reference - withoutIt)
                    << "round " << round << (mirror ? " mirror" : "") << " board only, with the last piece";
            }
            SolveOptions distinct;
            distinct.mirror = mirror;
            distinct.distinct = true;
            distinct.jobs = 1 + round % 2;
            distinct.oneThreadSteps = 0;
            int64_t distinctTilings = DistinctByCanonicalForms(puzzle, mirror);
            EXPECT_EQ(CountTilings(puzzle, distinct).count, distinctTilings)
                << "round " << round << (mirror ? " mirror" : "") << " distinct";
            if (!decoys) continue;
            distinct.mustUse = last;
            int64_t withoutIt = others.shapes.empty() ? 0 : DistinctByCanonicalForms(others, mirror);
            EXPECT_EQ(CountTilings(puzzle, distinct).count, distinctTilings - withoutIt)
                << "round " << round << (mirror ? " mirror" : "") << " distinct, with the last piece";
        }
    }
}

TEST(TilingSearch, AgreesWithDancingLinksOnEveryShippedStage)
{
    int32_t comparedWhole = 0;
    for (int32_t k = 0; k < stageCount; ++k) {
        StageFile stage{};
        std::string path = std::string(TESSERA_RUN_DIR) + "/st" + std::to_string(k) + ".dat";
        ASSERT_TRUE(LoadStageFile(path.c_str(), stage)) << path;
        Puzzle puzzle = StagePuzzle(stage);
        SolveOptions options;
        options.boardOnly = true;
        // The reference takes minutes on the largest stages under the sanitizers: those are compared
        // in part, below, and in full by the bitboard search's own published counts.
        options.timeLimit = 5;
        SolveResult reference = SolvePuzzle(puzzle, options);
        if (!reference.stoppedAtTime) {
            EXPECT_EQ(CountTilings(puzzle, options).count, reference.count) << path;
            ++comparedWhole;
        }
        // Under the game's rules, up to a limit: the full counts run to millions.
        options.boardOnly = false;
        options.timeLimit = 0;
        options.limit = 2000;
        EXPECT_EQ(CountTilings(puzzle, options).count, SolvePuzzle(puzzle, options).count) << path;
    }
    EXPECT_GE(comparedWhole, 8);
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

// A count up to symmetry with no limit averages the tilings each symmetry leaves unchanged; with a
// limit it checks each tiling against its images. Boards whose tilings are their own images tell
// the two apart.
TEST(TilingSearch, DistinctCountsAgreeWithAndWithoutALimitWhereTilingsAreTheirOwnImages)
{
    std::vector<Point> ring, bar{{0, 0}, {1, 0}, {2, 0}};
    for (int32_t cell = 0; cell < 9; ++cell) {
        if (cell != 4) ring.push_back({cell % 3, cell / 3});
    }
    const std::vector<std::vector<std::vector<Point>>> pieceSets = {
        {ring, {{0, 0}}}, {ring, {{0, 0}}, {{0, 0}}}, {bar, bar, bar}, {bar, bar, {{0, 0}, {1, 0}}, {{0, 0}}}};
    for (const auto& shapes : pieceSets) {
        for (bool mirror : {false, true}) {
            Puzzle puzzle{3, 3, 3, 3, shapes};
            SolveOptions options;
            options.distinct = true;
            options.mirror = mirror;
            int64_t averaged = CountTilings(puzzle, options).count;
            options.limit = 1000;
            EXPECT_EQ(averaged, CountTilings(puzzle, options).count)
                << shapes.size() << " pieces" << (mirror ? ", mirror" : "");
            EXPECT_EQ(averaged, DistinctByCanonicalForms(puzzle, mirror));
        }
    }
}
