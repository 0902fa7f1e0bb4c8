// A stage's difficulty grade: how much guessing a solver that plays like a person needs to find a tiling.
#pragma once

#include "authoring/stage_solver.h"

struct StageGrade {
    double grade = 0;           // log2 of 1 + the mean guesses; 0 when every move is forced
    double meanGuesses = 0;     // choices among several placements, per run, until the first tiling
    double forcedShare = 0;     // share of the moves on the way that were forced
    bool reachedStop = false;   // the runs stopped at stopAt: the grade is at least that, no more is known
};

// The solver fills the board alone (no mirror images), as a person would: at
// each step it takes the empty cell with the fewest placements that still
// fit; a cell with one is a forced move, a cell with none a dead end, and a
// cell with several a guess, tried in a random order. It stops at the first
// tiling. The grade averages the guesses over several runs with fixed seeds,
// shared by jobs threads; the grade does not depend on them. Where only
// whether the grade is below stopAt matters, the runs stop once their
// guesses show it is not.
StageGrade GradeStage(const Puzzle& puzzle, int32_t jobs = 1, double stopAt = 0);
