// GradeStage: most-constrained-cell search over the board, counting guesses until the first tiling.
#include "authoring/stage_grade.h"

#include "authoring/seeded_random.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <cmath>
#include <thread>
#include <utility>
#include <vector>

namespace {
constexpr int32_t runs = 16;               // runs averaged, seeds 1 .. runs
constexpr int64_t guessesPerRun = 200000;  // a run that guesses this much counts as this much
constexpr int32_t maxBoardCells = 192;     // 10 x 14 cells fit
constexpr size_t maxGradedPieces = 64;     // a puzzle with more pieces, or a larger board, gets no grade
constexpr int32_t wordBits = 64;
// Words of the table of every move's mask, 64 MB, shared by the threads: a
// 10 x 10 board of twenty pieces needs about 20 MB. A stage with more moves
// than fit (a larger board, more pieces) builds each mask as it places the
// move, two to three times slower.
constexpr size_t moveKeepBudget = size_t{1} << 23;

using Cells = std::array<uint64_t, maxBoardCells / wordBits>;

bool Has(const Cells& cells, int32_t index)
{
    return (cells[static_cast<size_t>(index / wordBits)] >> (index % wordBits) & 1) != 0;
}

// Every cell keeps the moves that cover it as a list in increasing move
// order, and the search state is one bit per entry of every list: set while
// the move still fits (its piece unused, none of its cells filled). A cell's
// count of fitting moves is then a popcount of its few words, and its options
// are its set bits in order. Placing a move clears, a word at a time, the bits
// of its piece's other moves and of every move that shares one of its cells:
// the state one depth down is the state above and the move's mask of bits to
// keep. Each depth has its own copy of the state, so backtracking costs
// nothing and the search allocates nothing. A copy is written cell by cell as
// the scan for the next cell reaches it, and only for empty cells, as nothing
// reads a filled cell's moves: most placements end in a dead end near the
// cells just filled, and the rest of the board is never copied for them.
struct Search {
    int32_t boardCells = 0;
    int32_t stateWords = 0;            // words of one copy of the state
    std::vector<int32_t> movePiece;    // piece of each move
    std::vector<int32_t> moveSize;     // cells each move covers
    std::vector<Cells> moveCells;      // board cells each move covers
    std::vector<int32_t> wordStart;    // cell c's bits are state words wordStart[c] .. wordStart[c + 1] - 1
    std::vector<int32_t> atStart;      // bit i of cell c stands for move movesAt[atStart[c] + i]
    std::vector<int32_t> movesAt;
    const uint64_t* moveKeep = nullptr;  // per move, stateWords words: its mask of bits to keep, within the budget
    std::vector<uint64_t> pieceKeep;   // else per piece: the bits that are not its moves,
    std::vector<int32_t> clashStart;   // and per cell the state words that filling it clears:
    std::vector<int32_t> clashWord;    // entries clashStart[c] .. clashStart[c + 1] - 1, each a word
    std::vector<uint64_t> clashKeep;   // and its bits to keep
    std::vector<uint64_t> keepAt;      // without moveKeep, the mask of the move placed at each depth
    std::vector<uint64_t> keepAll;     // the mask that keeps every bit: the empty board's copy made again
    std::vector<uint64_t> state;       // one copy per depth, the empty board's first
    std::vector<Cells> filled;         // the filled cells per depth
    Cells board{};                     // every board cell
    std::vector<std::vector<int32_t>> options;  // the chosen cell's moves at each depth, room reserved up front
    SeededRandom random{0};
    int64_t guesses = 0;
    int64_t guessLimit = guessesPerRun;  // the run ends once it has guessed this much
    int64_t forced = 0;
    int64_t steps = 0;

    // The bits set in a word, written out: where the machine has no such
    // instruction the builtin calls a library function, in the hottest loop.
    static int32_t ones(uint64_t bits)
    {
        bits -= (bits >> 1) & 0x5555555555555555u;
        bits = (bits & 0x3333333333333333u) + ((bits >> 2) & 0x3333333333333333u);
        bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
        return static_cast<int32_t>((bits * 0x0101010101010101u) >> 56);
    }

    // The cell's count of fitting moves, or some count of at least enough
    // once it has that many: the search only needs to know which cell has
    // the fewest, and whether that is none, one or more.
    int32_t count(const uint64_t* words, int32_t cell, int32_t enough) const
    {
        int32_t total = 0;
        for (int32_t w = wordStart[cell]; w < wordStart[cell + 1] && total < enough; ++w) {
            uint64_t bits = words[w];
            if (bits == 0) continue;
            if ((bits & (bits - 1)) == 0) ++total;
            else if (total + 2 >= enough) total += 2;
            else total += ones(bits);
        }
        return total;
    }

    // Writes the move's mask of bits to keep: all but its piece's moves and
    // the moves that cover its cells.
    void buildKeep(int32_t move, uint64_t* keep) const
    {
        auto words = static_cast<size_t>(stateWords);
        const uint64_t* piece = &pieceKeep[static_cast<size_t>(movePiece[static_cast<size_t>(move)]) * words];
        std::copy(piece, piece + words, keep);
        const Cells& cells = moveCells[static_cast<size_t>(move)];
        for (size_t w = 0; w < cells.size(); ++w) {
            for (uint64_t bits = cells[w]; bits != 0; bits &= bits - 1) {
                int32_t cell = static_cast<int32_t>(w) * wordBits + __builtin_ctzll(bits);
                for (int32_t i = clashStart[cell]; i < clashStart[cell + 1]; ++i) keep[clashWord[i]] &= clashKeep[i];
            }
        }
    }

    // The mask of bits to keep when the move is placed at the depth.
    const uint64_t* keepOf(int32_t move, int32_t depth)
    {
        auto words = static_cast<size_t>(stateWords);
        if (moveKeep != nullptr) return moveKeep + static_cast<size_t>(move) * words;
        uint64_t* keep = &keepAt[static_cast<size_t>(depth) * words];
        buildKeep(move, keep);
        return keep;
    }

    // Writes the cell's words of the copy: the copy above with the mask.
    void copyCell(uint64_t* to, const uint64_t* from, const uint64_t* keep, int32_t cell) const
    {
        for (int32_t w = wordStart[cell]; w < wordStart[cell + 1]; ++w) to[w] = from[w] & keep[w];
    }

    // Places the move at the depth, then searches on. True at the first
    // tiling, or when the run has guessed enough.
    bool solve(int32_t depth, int32_t left, const uint64_t* keep)
    {
        auto at = static_cast<size_t>(depth);
        if (left == 0) return true;
        uint64_t* words = &state[at * static_cast<size_t>(stateWords)];
        const uint64_t* above = words - stateWords;
        const Cells& done = filled[at];
        // The first empty cell with at most one fitting move, else the first with the fewest.
        int32_t bestCell = -1;
        int32_t bestCount = INT_MAX;
        for (size_t w = 0; w < done.size() && bestCount > 1; ++w) {
            for (uint64_t empty = board[w] & ~done[w]; empty != 0; empty &= empty - 1) {
                int32_t cell = static_cast<int32_t>(w) * wordBits + __builtin_ctzll(empty);
                copyCell(words, above, keep, cell);
                int32_t fitting = count(words, cell, bestCount);
                if (fitting < bestCount) {
                    bestCell = cell;
                    bestCount = fitting;
                    if (bestCount <= 1) break;
                }
            }
        }
        if (bestCount == 0) return false;
        // A forced move, found part way: the empty cells after it still need their copy.
        if (bestCount == 1) {
            auto first = static_cast<size_t>(bestCell / wordBits);
            for (size_t v = first; v < done.size(); ++v) {
                uint64_t rest = board[v] & ~done[v];
                if (v == first) rest &= ~((uint64_t{2} << (bestCell % wordBits)) - 1);
                for (; rest != 0; rest &= rest - 1) {
                    copyCell(words, above, keep, static_cast<int32_t>(v) * wordBits + __builtin_ctzll(rest));
                }
            }
        }
        ++steps;
        if (bestCount == 1) ++forced;
        else ++guesses;
        std::vector<int32_t>& best = options[at];
        best.clear();
        for (int32_t i = wordStart[bestCell]; i < wordStart[bestCell + 1]; ++i) {
            for (uint64_t bits = words[i]; bits != 0; bits &= bits - 1) {
                int32_t bit = (i - wordStart[bestCell]) * wordBits + __builtin_ctzll(bits);
                best.push_back(movesAt[static_cast<size_t>(atStart[bestCell] + bit)]);
            }
        }
        random.shuffle(best);
        for (int32_t move : best) {
            const Cells& cells = moveCells[static_cast<size_t>(move)];
            for (size_t i = 0; i < cells.size(); ++i) filled[at + 1][i] = done[i] | cells[i];
            if (solve(depth + 1, left - moveSize[static_cast<size_t>(move)], keepOf(move, depth + 1))) return true;
            if (guesses >= guessLimit) return true;
        }
        return false;
    }
};

// Lists every move, piece by piece, orientation by orientation, row by row
// and column by column: the order the options of a guess are shuffled from.
void ListMoves(const Puzzle& puzzle, Search& search)
{
    for (int32_t piece = 0; piece < static_cast<int32_t>(puzzle.shapes.size()); ++piece) {
        for (const std::vector<Point>& orientation : Orientations(puzzle.shapes[piece], false)) {
            for (int32_t y = 0; y < puzzle.boardHeight; ++y) {
                for (int32_t x = 0; x < puzzle.boardWidth; ++x) {
                    Cells cells{};
                    bool fits = !orientation.empty();
                    for (Point cell : orientation) {
                        int32_t cx = cell.x + x;
                        int32_t cy = cell.y + y;
                        if (cx >= puzzle.boardWidth || cy >= puzzle.boardHeight) fits = false;
                        if (!fits) break;
                        int32_t index = cy * puzzle.boardWidth + cx;
                        cells[static_cast<size_t>(index / wordBits)] |= uint64_t{1} << (index % wordBits);
                    }
                    if (!fits) continue;
                    int32_t size = 0;
                    for (uint64_t word : cells) size += __builtin_popcountll(word);
                    search.movePiece.push_back(piece);
                    search.moveSize.push_back(size);
                    search.moveCells.push_back(cells);
                }
            }
        }
    }
}

// The lists of moves at each cell, the words of the state and what placing
// clears; every move's mask goes into table, which the threads' copies of
// the search share, when it fits the budget.
void Prepare(const Puzzle& puzzle, Search& search, std::vector<uint64_t>& table)
{
    auto cellCount = static_cast<size_t>(search.boardCells);
    auto moveCount = static_cast<int32_t>(search.movePiece.size());
    std::vector<std::vector<int32_t>> at(cellCount);
    for (int32_t move = 0; move < moveCount; ++move) {
        for (int32_t cell = 0; cell < search.boardCells; ++cell) {
            if (Has(search.moveCells[static_cast<size_t>(move)], cell)) at[static_cast<size_t>(cell)].push_back(move);
        }
    }
    search.wordStart.push_back(0);
    search.atStart.push_back(0);
    size_t widest = 0;
    for (const std::vector<int32_t>& moves : at) {
        auto words = static_cast<int32_t>((moves.size() + wordBits - 1) / wordBits);
        search.wordStart.push_back(search.wordStart.back() + words);
        search.movesAt.insert(search.movesAt.end(), moves.begin(), moves.end());
        search.atStart.push_back(static_cast<int32_t>(search.movesAt.size()));
        widest = std::max(widest, moves.size());
    }
    search.stateWords = search.wordStart.back();
    auto stateWords = static_cast<size_t>(search.stateWords);
    // Where each move's bit lies in each cell's words.
    std::vector<std::vector<std::pair<int32_t, uint64_t>>> bitsOf(static_cast<size_t>(moveCount));
    std::vector<uint64_t> all(stateWords, 0);
    for (size_t cell = 0; cell < cellCount; ++cell) {
        for (size_t i = 0; i < at[cell].size(); ++i) {
            int32_t word = search.wordStart[cell] + static_cast<int32_t>(i / wordBits);
            uint64_t bit = uint64_t{1} << (i % wordBits);
            bitsOf[static_cast<size_t>(at[cell][i])].emplace_back(word, bit);
            all[static_cast<size_t>(word)] |= bit;
        }
    }
    search.pieceKeep.assign(puzzle.shapes.size() * stateWords, ~uint64_t{0});
    for (int32_t move = 0; move < moveCount; ++move) {
        auto piece = static_cast<size_t>(search.movePiece[static_cast<size_t>(move)]);
        uint64_t* keep = &search.pieceKeep[piece * stateWords];
        for (auto [word, bit] : bitsOf[static_cast<size_t>(move)]) keep[word] &= ~bit;
    }
    // Filling a cell clears, at every cell, the bits of the moves that cover it.
    search.clashStart.push_back(0);
    std::vector<uint64_t> clash(stateWords);
    for (size_t cell = 0; cell < cellCount; ++cell) {
        std::fill(clash.begin(), clash.end(), 0);
        for (int32_t move : at[cell]) {
            for (auto [word, bit] : bitsOf[static_cast<size_t>(move)]) clash[static_cast<size_t>(word)] |= bit;
        }
        for (size_t word = 0; word < stateWords; ++word) {
            if (clash[word] == 0) continue;
            search.clashWord.push_back(static_cast<int32_t>(word));
            search.clashKeep.push_back(~clash[word]);
        }
        search.clashStart.push_back(static_cast<int32_t>(search.clashWord.size()));
    }
    // Each step places a piece: the empty board's copy, then one per step.
    size_t levels = puzzle.shapes.size() + 2;
    if (static_cast<size_t>(moveCount) * stateWords <= moveKeepBudget) {
        table.resize(static_cast<size_t>(moveCount) * stateWords);
        for (int32_t move = 0; move < moveCount; ++move) {
            search.buildKeep(move, &table[static_cast<size_t>(move) * stateWords]);
        }
        search.moveKeep = table.data();
    } else {
        search.keepAt.resize(levels * stateWords);
    }
    search.keepAll.assign(stateWords, ~uint64_t{0});
    search.state.assign(levels * stateWords, 0);
    std::copy(all.begin(), all.end(), search.state.begin());
    search.filled.assign(levels, Cells{});
    for (int32_t cell = 0; cell < search.boardCells; ++cell) {
        search.board[static_cast<size_t>(cell / wordBits)] |= uint64_t{1} << (cell % wordBits);
    }
    search.options.resize(levels);
    for (std::vector<int32_t>& level : search.options) level.reserve(widest);
}

// The grade of all runs' guesses together.
double GradeOf(int64_t guesses)
{
    return std::log2(1.0 + static_cast<double>(guesses) / runs);
}

// The fewest guesses of all runs together that make a grade of at least grade.
int64_t GuessesFor(double grade)
{
    auto guesses = static_cast<int64_t>(std::ceil(runs * (std::exp2(grade) - 1)));
    while (guesses > 0 && GradeOf(guesses - 1) >= grade) --guesses;
    while (GradeOf(guesses) < grade) ++guesses;
    return guesses;
}
}  // namespace

StageGrade GradeStage(const Puzzle& puzzle, int32_t jobs, double stopAt)
{
    StageGrade grade;
    Search prepared;
    prepared.boardCells = puzzle.boardWidth * puzzle.boardHeight;
    if (prepared.boardCells > maxBoardCells || puzzle.shapes.size() > maxGradedPieces) return grade;
    ListMoves(puzzle, prepared);
    std::vector<uint64_t> moveKeep;
    Prepare(puzzle, prepared, moveKeep);
    // The runs share nothing but the tables, and their sums are whole
    // numbers: the grade is the same whichever thread takes which run.
    std::atomic<int64_t> guesses{0};
    std::atomic<int64_t> forced{0};
    std::atomic<int64_t> steps{0};
    std::atomic<int32_t> nextRun{1};
    // A run may guess only what is left below the stop: one that reaches it
    // brings all runs' guesses to the stop, and no run starts after that.
    // So the runs stop exactly when all of them would have guessed that
    // much, whichever thread ran which.
    const int64_t stopGuesses = stopAt > 0 ? GuessesFor(stopAt) : INT64_MAX;
    std::atomic<bool> stopped{false};
    auto work = [&](Search search) {
        for (int32_t run = nextRun++; run <= runs && !stopped; run = nextRun++) {
            search.random = SeededRandom(static_cast<uint64_t>(run));
            search.guesses = 0;
            search.guessLimit = std::min(guessesPerRun, std::max<int64_t>(1, stopGuesses - guesses.load()));
            search.forced = 0;
            search.steps = 0;
            search.solve(1, search.boardCells, search.keepAll.data());
            forced += search.forced;
            steps += search.steps;
            if ((guesses += search.guesses) >= stopGuesses) stopped = true;
        }
    };
    std::vector<std::thread> helpers;
    for (int32_t t = 1; t < std::clamp(jobs, 1, runs); ++t) helpers.emplace_back(work, prepared);
    work(std::move(prepared));
    for (std::thread& helper : helpers) helper.join();
    grade.meanGuesses = static_cast<double>(guesses.load()) / runs;
    grade.forcedShare = steps > 0 ? static_cast<double>(forced.load()) / static_cast<double>(steps.load()) : 1.0;
    grade.grade = GradeOf(guesses.load());
    grade.reachedStop = stopped;
    return grade;
}
