// Counting a stage's solutions by filling the first empty board cell over a bitboard of the grid.
#pragma once

#include "authoring/stage_solver.h"

// The same solutions as SolvePuzzle, found another way: board cells are taken
// in a fixed order (along the board's shorter side), and the first empty one
// is covered by each placement, precomputed for that cell, that does not
// collide with what is placed. With options.distinct the count is of
// tilings up to the board's symmetries (turns, and reflections with mirror),
// on the board alone: with no limit, as the mean over the symmetries of the
// tilings each leaves unchanged; with one, by fixing one piece to one
// placement of each orbit.
// options.jobs threads share the work; the count does not depend on it.
SolveResult CountTilings(const Puzzle& puzzle, const SolveOptions& options);
