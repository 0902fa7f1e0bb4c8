// Stages as text for people: the board, each piece's cells, and solutions as letter grids.
#pragma once

#include <cstdio>
#include <vector>

#include "game/data_files.h"
#include "authoring/stage_solver.h"

void PrintStage(std::FILE* out, const StageFile& stage);
void PrintSolution(std::FILE* out, const Puzzle& puzzle, const std::vector<PlacedPiece>& solution);

// The letter that stands for piece slot i in printed grids.
char PieceLetter(int32_t i);
