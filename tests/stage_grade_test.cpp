// The stage grade's figures, to the last bit, on a board no run can tile, and where its runs stop.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "authoring/stage_grade.h"

namespace {
// Eight L trominoes leave one cell of the 5 x 5 board bare, so every run
// guesses until it gives up, and a little past that: a run stops only when a
// placement has failed, so the guesses already under way deeper still count.
// The figures are stored in stage tables; a change to the order of the moves,
// the shuffles, the choice of cell or the place where a run stops moves them.
TEST(StageGrade, ARunWithNoTilingGuessesPastItsLimitUntilAPlacementFails)
{
    const std::vector<Point> ell = {{0, 0}, {0, 1}, {1, 1}};
    Puzzle puzzle{10, 5, 5, 5, std::vector<std::vector<Point>>(8, ell)};
    StageGrade grade = GradeStage(puzzle);
    EXPECT_EQ(grade.meanGuesses, 200000.25);
    EXPECT_EQ(grade.forcedShare, 0.52482327531482276);
    EXPECT_EQ(grade.grade, 17.60964949125264);
    EXPECT_FALSE(grade.reachedStop);
}

// Asked to stop at a grade, the runs stop once they reach it, for any number
// of threads; a stop above the grade changes none of its figures.
TEST(StageGrade, RunsStopAtAGradeOnlyWhenTheyReachIt)
{
    const std::vector<Point> ell = {{0, 0}, {0, 1}, {1, 1}};
    Puzzle puzzle{10, 5, 5, 5, std::vector<std::vector<Point>>(8, ell)};
    for (int32_t jobs : {1, 2}) {
        StageGrade stopped = GradeStage(puzzle, jobs, 12.5);
        EXPECT_TRUE(stopped.reachedStop) << jobs << " jobs";
        EXPECT_GE(stopped.grade, 12.5) << jobs << " jobs";
        EXPECT_LT(stopped.grade, 17) << jobs << " jobs";
    }
    StageGrade whole = GradeStage(puzzle, 2, std::nextafter(17.60964949125264, 18.0));
    EXPECT_FALSE(whole.reachedStop);
    EXPECT_EQ(whole.meanGuesses, 200000.25);
    EXPECT_EQ(whole.grade, 17.60964949125264);
}
}  // namespace
