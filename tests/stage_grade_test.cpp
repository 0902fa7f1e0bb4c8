// The stage grade's figures, to the last bit, on a board no run can tile.
#include <gtest/gtest.h>

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
}
}  // namespace
