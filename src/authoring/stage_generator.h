// Making new stages: a random partition of a board into connected pieces, written as a stage source.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "authoring/seeded_random.h"
#include "support/point.h"

struct GenerateOptions {
    int32_t width = 0;
    int32_t height = 0;
    int32_t pieces = 0;
    int32_t minCells = 1;
    int32_t maxCells = 40;
    uint32_t seed = 1;
    int32_t decoys = 0;      // with unique: extra pieces of maxCells cells that fit no tiling of the board
    double timeLimit = 60;   // seconds a unique stage is looked for; 0: no limit
    int32_t maxRounds = 0;   // with unique: rounds of search steps before giving up; 0: no limit
    int32_t jobs = 1;        // with unique: threads for the walkers, which never change the stage
    bool noSquares = false;  // no piece holds a 2 x 2 square of its own cells
};

// The pieces of a stage being made: each a list of cells; decoys after the board's.
struct GeneratedStage {
    std::vector<int32_t> owner;               // piece of each board cell, row by row
    std::vector<std::vector<Point>> decoys;   // extra pieces, as drawn
};

// Checks the options; on a fault sets error to why and returns false.
bool CheckGenerateOptions(const GenerateOptions& options, std::string& error);

// One random split of the board into connected pieces of the allowed sizes,
// for options that CheckGenerateOptions takes.
// Returns whether it was grown; without grow it stirs a snake at once.
bool RandomPartition(const GenerateOptions& options, SeededRandom& random, std::vector<int32_t>& owner, bool grow = true);

// A split that never fails, for options that CheckGenerateOptions takes: the
// board's cells in a snake, row by row, cut into runs of random sizes (each
// run a piece), then stirred by border moves until the runs are forgotten.
void StirredSnakePartition(const GenerateOptions& options, SeededRandom& random, std::vector<int32_t>& owner);

// Moves one random cell on a piece's edge (one of near, unless it is empty)
// to the neighbouring piece, if both stay connected and within the allowed
// sizes. False when the move is refused.
bool MoveBorderCell(const GenerateOptions& options, SeededRandom& random, const std::vector<int32_t>& near,
                    std::vector<int32_t>& owner);

// How many 2 x 2 squares of the board lie wholly in one piece.
int32_t SquaresInPieces(const GenerateOptions& options, const std::vector<int32_t>& owner);

// How many 2 x 2 windows of the board hold three cells of one piece and one
// of another: the corners where the pieces' outlines turn.
int32_t CornersOfPieces(const GenerateOptions& options, const std::vector<int32_t>& owner);

// Whether the cells hold a 2 x 2 square.
bool HoldsSquare(const std::vector<Point>& cells);

// Moves border cells until no piece holds a 2 x 2 square, trying a few
// hundred moves a cell at most; adds the moves tried to moves. False when
// some square is left.
bool UnsquarePieces(const GenerateOptions& options, SeededRandom& random, std::vector<int32_t>& owner, int64_t& moves);

// A connected piece of the given size, grown cell by cell from one.
std::vector<Point> RandomPiece(int32_t size, SeededRandom& random);

// The source text: the title comment, extra comments, the board and the decoys.
std::string WriteStageSource(const GenerateOptions& options, const GeneratedStage& stage,
                             const std::vector<std::string>& comments);

// On success returns true and the source text; else sets error to why not.
bool GenerateStageSource(const GenerateOptions& options, std::string& source, std::string& error);
