// Counting the solutions of a stage by exact cover with dancing links (Knuth's Algorithm X).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "game/data_files.h"
#include "support/point.h"

struct PlacedPiece;

struct SolveProgress {
    int64_t nodes;      // search steps so far
    int64_t solutions;  // found so far
};

struct SolveOptions {
    bool mirror = false;      // also allow mirror images of the pieces
    bool boardOnly = false;   // every placed piece lies wholly on the board
    int64_t limit = 0;        // stop after this many solutions; 0: count them all
    double timeLimit = 0;     // stop after this many seconds; 0: no limit
    int64_t stepLimit = 0;    // stop after about this many search steps; 0: no limit (bitboard search only)
    int64_t exactBelow = 0;   // with stepLimit: a search that has found fewer solutions by then goes on, up to this many
    bool distinct = false;    // count tilings up to the board's symmetries (board only)
    int32_t mustUse = -1;     // count only the tilings that use this piece (board only); -1: all
    int32_t jobs = 1;         // threads that share the search
    // Bitboard search only: with jobs above 1, one thread first tries the
    // count alone for this many search steps, and more start only when it
    // is longer: a short count is slower on several threads. 0: all from the start.
    int64_t oneThreadSteps = int64_t{1} << 20;
    int64_t report = 0;       // how many solutions to hand to onSolution, as they are found
    std::function<void(const std::vector<PlacedPiece>&)> onSolution;
    std::function<void(const SolveProgress&)> onProgress;  // about once a second, when set
};

// A rectangle of gridColumns x gridRows cells whose top-left boardWidth x
// boardHeight cells must each be covered exactly once; pieces may be left out
// and may stick out of the board into the rest of the grid, never overlapping.
struct Puzzle {
    int32_t gridColumns = 0;
    int32_t gridRows = 0;
    int32_t boardWidth = 0;
    int32_t boardHeight = 0;
    std::vector<std::vector<Point>> shapes;
};

struct PlacedPiece {
    int32_t piece;
    std::vector<Point> cells;  // grid cells it covers
};

struct SolveResult {
    int64_t count = 0;  // a lower bound when the search stopped early
    bool stoppedAtLimit = false;
    bool stoppedAtTime = false;
    bool stoppedAtSteps = false;
    double seconds = 0;
    int64_t nodes = 0;
};

// The puzzle of a stage under the game's rules: the grid of stage play, twice
// the board's width and as tall as the layout allows.
Puzzle StagePuzzle(const StageFile& stage);

// A solution is the set of pieces that touch the board with the cells each
// covers; turns (and mirror images) of a piece that cover the same cells count once.
SolveResult SolvePuzzle(const Puzzle& puzzle, const SolveOptions& options);

// A symmetry of a width x height board, as the image of a cell.
using BoardMap = Point (*)(Point, int32_t, int32_t);

// The symmetries of a width x height board that map the puzzle onto itself:
// turns always (every piece may turn), reflections only with mirror images.
std::vector<BoardMap> BoardSymmetries(int32_t width, int32_t height, bool mirror);

// Every distinct orientation of a shape, each moved so its least x and y are 0.
std::vector<std::vector<Point>> Orientations(const std::vector<Point>& shape, bool mirror);
