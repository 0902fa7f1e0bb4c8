// GradeStage: most-constrained-cell search over the board, counting guesses until the first tiling.
#include "authoring/stage_grade.h"

#include "authoring/seeded_random.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {
constexpr int32_t runs = 16;               // runs averaged, seeds 1 .. runs
constexpr int64_t guessesPerRun = 200000;  // a run that guesses this much counts as this much
constexpr int32_t maxBoardCells = 192;     // 10 x 14 cells fit

using Cells = std::array<uint64_t, maxBoardCells / 64>;

bool Collide(const Cells& a, const Cells& b)
{
    uint64_t any = 0;
    for (size_t i = 0; i < a.size(); ++i) any |= a[i] & b[i];
    return any != 0;
}

struct Move {
    int32_t piece;
    Cells cells;
};

struct Search {
    int32_t boardCells = 0;
    std::vector<Move> moves;
    std::vector<std::vector<int32_t>> movesAt;  // moves covering each cell
    SeededRandom random{0};
    int64_t guesses = 0;
    int64_t forced = 0;
    int64_t steps = 0;

    // True at the first tiling, or when the run has guessed enough.
    bool solve(const Cells& filled, uint64_t unused, int32_t left)
    {
        if (left == 0) return true;
        int32_t bestCell = -1;
        std::vector<int32_t> best;
        std::vector<int32_t> options;
        for (int32_t cell = 0; cell < boardCells; ++cell) {
            if ((filled[cell / 64] >> (cell % 64) & 1) != 0) continue;
            options.clear();
            for (int32_t m : movesAt[cell]) {
                if ((unused >> moves[m].piece & 1) != 0 && !Collide(filled, moves[m].cells)) options.push_back(m);
            }
            if (bestCell < 0 || options.size() < best.size()) {
                bestCell = cell;
                best = options;
                if (best.size() <= 1) break;
            }
        }
        if (best.empty()) return false;
        ++steps;
        if (best.size() == 1) ++forced;
        else ++guesses;
        random.shuffle(best);
        for (int32_t m : best) {
            Cells next = filled;
            int32_t covered = 0;
            for (size_t i = 0; i < next.size(); ++i) {
                next[i] |= moves[m].cells[i];
                covered += __builtin_popcountll(moves[m].cells[i]);
            }
            if (solve(next, unused & ~(uint64_t{1} << moves[m].piece), left - covered)) return true;
            if (guesses >= guessesPerRun) return true;
        }
        return false;
    }
};
}  // namespace

StageGrade GradeStage(const Puzzle& puzzle)
{
    StageGrade grade;
    Search search;
    search.boardCells = puzzle.boardWidth * puzzle.boardHeight;
    if (search.boardCells > maxBoardCells || puzzle.shapes.size() > 64) return grade;
    search.movesAt.resize(static_cast<size_t>(search.boardCells));
    for (int32_t piece = 0; piece < static_cast<int32_t>(puzzle.shapes.size()); ++piece) {
        for (const std::vector<Point>& orientation : Orientations(puzzle.shapes[piece], false)) {
            for (int32_t y = 0; y < puzzle.boardHeight; ++y) {
                for (int32_t x = 0; x < puzzle.boardWidth; ++x) {
                    Move move{piece, {}};
                    bool fits = !orientation.empty();
                    for (Point cell : orientation) {
                        int32_t cx = cell.x + x;
                        int32_t cy = cell.y + y;
                        if (cx >= puzzle.boardWidth || cy >= puzzle.boardHeight) fits = false;
                        if (!fits) break;
                        int32_t index = cy * puzzle.boardWidth + cx;
                        move.cells[index / 64] |= uint64_t{1} << (index % 64);
                    }
                    if (!fits) continue;
                    auto id = static_cast<int32_t>(search.moves.size());
                    search.moves.push_back(move);
                    for (int32_t index = 0; index < search.boardCells; ++index) {
                        if ((move.cells[index / 64] >> (index % 64) & 1) != 0) search.movesAt[index].push_back(id);
                    }
                }
            }
        }
    }
    uint64_t all = puzzle.shapes.size() == 64 ? ~uint64_t{0} : (uint64_t{1} << puzzle.shapes.size()) - 1;
    int64_t guesses = 0;
    int64_t forced = 0;
    int64_t steps = 0;
    for (int32_t run = 1; run <= runs; ++run) {
        search.random = SeededRandom(static_cast<uint64_t>(run));
        search.guesses = 0;
        search.forced = 0;
        search.steps = 0;
        search.solve(Cells{}, all, search.boardCells);
        guesses += search.guesses;
        forced += search.forced;
        steps += search.steps;
    }
    grade.meanGuesses = static_cast<double>(guesses) / runs;
    grade.forcedShare = steps > 0 ? static_cast<double>(forced) / static_cast<double>(steps) : 1.0;
    grade.grade = std::log2(1.0 + grade.meanGuesses);
    return grade;
}
