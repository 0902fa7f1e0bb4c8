// GenerateUniqueStage: partitions walked cell by cell toward one tiling up to symmetry, then decoys tried one by one.
#include "authoring/unique_stage.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <limits>
#include <map>
#include <thread>
#include <atomic>
#include <cstdio>
#include <vector>

#include "game/data_files.h"
#include "authoring/stage_solver.h"
#include "authoring/tiling_search.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr int32_t decoyTries = 40;  // random pieces tried for each decoy on one partition

std::vector<std::vector<Point>> PiecesOf(const GenerateOptions& options, const std::vector<int32_t>& owner)
{
    std::vector<std::vector<Point>> pieces(static_cast<size_t>(options.pieces));
    for (int32_t y = 0; y < options.height; ++y) {
        for (int32_t x = 0; x < options.width; ++x) pieces[owner[static_cast<size_t>(y * options.width + x)]].push_back({x, y});
    }
    return pieces;
}

// Two pieces of one shape can always trade places, so a board that holds
// them has at least two tilings: such partitions are never counted.
bool HasTwinPieces(const std::vector<std::vector<Point>>& pieces)
{
    std::vector<std::vector<Point>> shapes;
    for (const std::vector<Point>& piece : pieces) {
        std::vector<std::vector<Point>> turns = Orientations(piece, false);
        auto readingOrder = [](Point p, Point q) { return p.y != q.y ? p.y < q.y : p.x < q.x; };
        auto before = [&](const std::vector<Point>& a, const std::vector<Point>& b) {
            return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), readingOrder);
        };
        // Each shape by its least turn: two pieces are one shape when those are equal.
        std::vector<Point> least = *std::min_element(turns.begin(), turns.end(), before);
        for (const std::vector<Point>& shape : shapes) {
            if (!before(shape, least) && !before(least, shape)) return true;
        }
        shapes.push_back(std::move(least));
    }
    return false;
}

constexpr int64_t startCap = 1000;       // tilings counted at most for a fresh partition
constexpr int64_t scoreSteps = 20000;    // search steps a count may take before it is only a measure
constexpr int64_t exactBelow = 25;       // measured counts below this are made exact
constexpr int64_t aimBelow = 20;         // under this many tilings, moves aim where another tiling differs
// Search steps spent without lowering the count, before a fresh start. A
// stalled walk comes down later more often than a fresh one comes down
// sooner: on 10 x 6 in twelve pieces, seeds 1 to 16, one job, a fresh start
// after 3 million steps took 1.2 times as long in all (1.5 times with one
// walker), and after 1 million 2.6 times (one walker).
constexpr int64_t restartAfter = 15000000;
constexpr int32_t refusedLimit = 10000;  // refused moves in a row, before a fresh start
constexpr uint32_t walkerSeedStep = 7919;
// Walks that take turns, whatever the jobs. One walk alone is now and then
// far slower than its median (two 10 x 6 draws in sixteen took 6 and 10
// times it). Two cut that tail: with one job they cost less in all than one
// walk (24.4 s against 27.8 s for seeds 1 to 16), and two jobs run them side
// by side.
constexpr int32_t walkerCount = 2;
constexpr int64_t roundSteps = 2000000;     // search steps a walker takes in one round

// Tilings of the board up to its symmetries, counted to cap at most, only
// those that use the piece mustUse if it is not -1; -1 when the time ran out.
int64_t DistinctUpTo(const GenerateOptions& options, const std::vector<std::vector<Point>>& shapes, int64_t cap,
                     double timeLeft, int64_t& spent, int64_t steps = 0, int32_t mustUse = -1)
{
    Puzzle puzzle{options.width, options.height, options.width, options.height, shapes};
    SolveOptions solve;
    solve.distinct = true;
    solve.mustUse = mustUse;
    solve.limit = cap;
    // Stopped at the step limit, the count is only what was found: a measure
    // of how many there are. Where it found few, the whole search tells.
    solve.stepLimit = steps;
    solve.exactBelow = exactBelow;
    solve.timeLimit = std::max(timeLeft, 0.001);
    SolveResult result = CountTilings(puzzle, solve);
    spent += result.nodes;
    if (result.stoppedAtTime) return -1;
    return result.count;
}
}  // namespace

namespace {
// The cells where another tiling of the board differs from the intended one,
// taking the image of the other tiling under the board's turns that differs
// least: moves there are the ones most likely to break it.
std::vector<int32_t> CellsAnotherTilingChanges(const GenerateOptions& options, const std::vector<int32_t>& owner,
                                               double timeLeft)
{
    int32_t w = options.width;
    int32_t h = options.height;
    Puzzle puzzle{w, h, w, h, PiecesOf(options, owner)};
    SolveOptions solve;
    solve.distinct = true;
    solve.report = 2;
    solve.limit = 2;
    solve.timeLimit = std::max(timeLeft, 0.001);
    std::vector<std::vector<int32_t>> tilings;
    solve.onSolution = [&](const std::vector<PlacedPiece>& solution) {
        std::vector<int32_t> labels(owner.size(), -1);
        for (const PlacedPiece& placed : solution) {
            for (Point cell : placed.cells) labels[static_cast<size_t>(cell.y * w + cell.x)] = placed.piece;
        }
        tilings.push_back(std::move(labels));
    };
    CountTilings(puzzle, solve);
    std::vector<int32_t> best;
    for (const std::vector<int32_t>& labels : tilings) {
        for (int32_t turn = 0; turn < (w == h ? 4 : 2); ++turn) {
            std::vector<int32_t> differ;
            for (int32_t y = 0; y < h; ++y) {
                for (int32_t x = 0; x < w; ++x) {
                    int32_t sx = x, sy = y;
                    if (turn == 1) sx = w - 1 - x, sy = h - 1 - y;
                    if (turn == 2) sx = w - 1 - y, sy = x;
                    if (turn == 3) sx = y, sy = w - 1 - x;
                    if (labels[static_cast<size_t>(sy * w + sx)] != owner[static_cast<size_t>(y * w + x)]) {
                        differ.push_back(y * w + x);
                    }
                }
            }
            if (!differ.empty() && (best.empty() || differ.size() < best.size())) best = std::move(differ);
        }
    }
    return best;
}

// A partition counted since a walk's last fresh start: its count, the cap it
// was counted to, and the search steps that took.
struct KnownCount {
    int64_t count = 0;
    int64_t cap = 0;
    int64_t steps = 0;
};
using KnownCounts = std::map<std::vector<int32_t>, KnownCount>;

// The tilings of a partition a move makes, counted to cap at most, as a
// count of it under a cap at least as high tells or else anew: from where it
// stands a walk proposes the same partitions again and again, and a count
// gives the same answer every time. A count looked up is charged the steps it
// took, so the walk goes exactly as if it had counted again, only sooner.
int64_t CountMove(const GenerateOptions& options, KnownCounts& counted, const std::vector<int32_t>& owner, int64_t cap,
                  double timeLeft, int64_t& spent)
{
    auto known = counted.find(owner);
    // A count below its cap is the whole answer under any cap above it; one
    // that reached its cap only says there are at least that many.
    if (known != counted.end() && (known->second.count < known->second.cap || cap <= known->second.cap)) {
        spent += known->second.steps;
        return std::min(known->second.count, cap);
    }
    int64_t before = spent;
    int64_t count = DistinctUpTo(options, PiecesOf(options, owner), cap, timeLeft, spent, scoreSteps);
    if (count >= 0) counted[owner] = {count, cap, spent - before};
    return count;
}

// One walker's search, kept between rounds: a partition is improved one
// border cell at a time, and a move is kept when the board has no more
// tilings than before; tilings are counted only as far as needed to tell.
struct Walker {
    explicit Walker(uint32_t seed) : random(seed) {}
    SeededRandom random;
    GeneratedStage stage;
    bool have = false;
    std::vector<int32_t> near;  // cells another tiling changes, where moves are aimed
    int64_t tilings = 0;
    int64_t stuck = 0;          // search steps since the count last went down
    int32_t refused = 0;        // moves in a row that broke the rules of sizes, connection, squares or corners
    int64_t candidates = 0;
    int64_t steps = 0;          // search steps in all
    KnownCounts counted;
    bool snakes = false;        // growing a partition failed: stir snakes from then on
    bool decoysTried = false;   // on this partition
    bool succeeded = false;
    bool outOfTime = false;
};

// Walks on until the walker succeeds, the time is up, or it has spent budget
// search steps in this round; stops early when stop says a walker that comes
// before it has succeeded, since that one wins the round anyway.
void Advance(const GenerateOptions& options, Walker& walker, int64_t budget, const std::function<double()>& timeLeft,
             const std::function<bool()>& stop)
{
    GeneratedStage& stage = walker.stage;
    SeededRandom& random = walker.random;
    int64_t spentThisRound = 0;
    while (spentThisRound < budget && !stop()) {
        if (timeLeft() <= 0) {
            walker.outOfTime = true;
            return;
        }
        if (!walker.have || walker.stuck > restartAfter) {
            // Where growing has failed once it fails nearly always: its tries
            // would cost more than the walk from the snake, so a walker that
            // has needed the snake takes it from then on.
            if (!RandomPartition(options, random, stage.owner, !walker.snakes)) walker.snakes = true;
            int64_t moves = 0;
            bool squared = options.noSquares && !UnsquarePieces(options, random, stage.owner, moves);
            // The moves are charged as steps, so that sizes where squares never all go still end.
            spentThisRound += moves;
            walker.steps += moves;
            if (squared || HasTwinPieces(PiecesOf(options, stage.owner))) continue;
            walker.have = true;
            walker.decoysTried = false;
            walker.stuck = 0;
            walker.near.clear();
            walker.counted.clear();
            walker.tilings = DistinctUpTo(options, PiecesOf(options, stage.owner), startCap, timeLeft(), walker.stuck,
                                          scoreSteps);
            spentThisRound += walker.stuck;
            walker.steps += walker.stuck;
            ++walker.candidates;
            if (walker.tilings < 0) {
                walker.outOfTime = true;
                return;
            }
        } else {
            if (walker.tilings < aimBelow && walker.near.empty()) {
                walker.near = CellsAnotherTilingChanges(options, stage.owner, timeLeft());
            }
            std::vector<int32_t> moved = stage.owner;
            // Half the moves go where the other tiling differs, half anywhere.
            bool aimed = (random.next() & 1) != 0;
            const std::vector<int32_t> anywhere;
            const std::vector<int32_t>& towards = aimed ? walker.near : anywhere;
            if (!MoveBorderCell(options, random, towards, moved)) {
                if (++walker.refused > refusedLimit) walker.stuck = restartAfter + 1;
                continue;
            }
            // Near the end, one move in two is a pair of moves: pieces at
            // their least or largest size can then trade cells as well.
            if (walker.tilings < aimBelow && (random.next() & 2) != 0) MoveBorderCell(options, random, towards, moved);
            // Compact pieces fit in many places, jagged ones in few. Of 300
            // random 10 x 6 partitions in twelve pieces, those with four 2 x 2
            // squares in pieces had a median of 4,600 tilings up to turns, and
            // those with eight 100,000 or more; of 300 without squares, those
            // with 13 to 18 corners had medians of 2,800 to 6,200, and those
            // with 22 to 28 of 150 to 760. So no move adds a square, and
            // while the count is only a measure, blind between a few dozen
            // tilings and thousands, no move takes a corner away: the walk is
            // led down where it could not see. On 10 x 6 in twelve pieces,
            // one job, seeds 1 to 30 took 17.0 s in all against 42.2 s with
            // the rule of squares alone, which took 56.0 s for seeds 1 to 40
            // against 70.8 s with neither. Under noSquares the walk starts
            // without squares, and so it stays.
            bool squarer = SquaresInPieces(options, moved) > SquaresInPieces(options, stage.owner);
            bool blunter = walker.tilings >= exactBelow &&
                           CornersOfPieces(options, moved) < CornersOfPieces(options, stage.owner);
            if (squarer || blunter || HasTwinPieces(PiecesOf(options, moved))) {
                if (++walker.refused > refusedLimit) walker.stuck = restartAfter + 1;
                continue;
            }
            walker.refused = 0;
            int64_t spent = 0;
            int64_t count = CountMove(options, walker.counted, moved, walker.tilings + 1, timeLeft(), spent);
            spentThisRound += spent;
            walker.steps += spent;
            ++walker.candidates;
            if (count < 0) {
                walker.outOfTime = true;
                return;
            }
            if (count <= walker.tilings) {
                walker.stuck = count < walker.tilings ? 0 : walker.stuck + spent;
                stage.owner = std::move(moved);
                walker.near.clear();
                walker.tilings = count;
                walker.decoysTried = false;
            } else {
                walker.stuck += spent;
            }
        }
        if (walker.tilings != 1 || walker.decoysTried) continue;
        walker.decoysTried = true;
        // Decoys, one at a time: each must leave the board's one tiling alone.
        // They have the largest size the stage allows: a small piece nearly
        // always finds a tiling it fits in, in place of one piece or two, so
        // on a 10 x 6 board one small decoy in a hundred is kept against one
        // of the largest in fifteen, and a pack's last stage comes about twice
        // as soon.
        std::vector<std::vector<Point>> shapes = PiecesOf(options, stage.owner);
        stage.decoys.clear();
        for (int32_t tries = 0; static_cast<int32_t>(stage.decoys.size()) < options.decoys && tries < decoyTries; ++tries) {
            std::vector<Point> decoy = RandomPiece(options.maxCells, random);
            // Beside pieces without squares, a decoy without one is kept far
            // sooner: 10 x 10 in fifteen pieces takes its five in 0.3 to 1.4 s
            // for seeds 1 to 6, against 1.1 to 19 s with decoys of any shape.
            while (options.noSquares && HoldsSquare(decoy)) decoy = RandomPiece(options.maxCells, random);
            shapes.push_back(decoy);
            // The board's one tiling leaves the decoy out, so the decoy is
            // kept when no tiling uses it: a search with the decoy fixed
            // first, far shorter than counting every tiling again.
            int64_t spent = 0;
            int64_t usingDecoy = DistinctUpTo(options, shapes, 1, timeLeft(), spent, 0,
                                             static_cast<int32_t>(shapes.size()) - 1);
            spentThisRound += spent;
            walker.steps += spent;
            walker.stuck += spent;
            if (usingDecoy < 0) {
                walker.outOfTime = true;
                return;
            }
            if (usingDecoy == 0) {
                stage.decoys.push_back(decoy);
            } else {
                shapes.pop_back();
            }
        }
        if (static_cast<int32_t>(stage.decoys.size()) == options.decoys) {
            walker.succeeded = true;
            return;
        }
        // No decoys fit this partition: the walk goes on among its unique
        // neighbours (a move is kept only while the board stays unique), and
        // each new one gets its own tries.
        stage.decoys.clear();
    }
}
}  // namespace

bool GenerateUniqueStage(const GenerateOptions& options, std::string& source, UniqueReport& report, std::string& error)
{
    if (!CheckGenerateOptions(options, error)) return false;
    Clock::time_point start = Clock::now();
    std::function<double()> timeLeft = [&] {
        if (options.timeLimit <= 0) return std::numeric_limits<double>::infinity();
        return options.timeLimit - std::chrono::duration<double>(Clock::now() - start).count();
    };
    // Walks from different partitions often end in very different times, so
    // several walk, in rounds of a fixed number of search steps each; the
    // lowest-numbered walker that succeeds in the earliest round wins. The
    // jobs only run the walkers of a round side by side: no timing decides
    // anything, and every --jobs gives the same stage for the same seed.
    std::vector<Walker> walkers;
    for (int32_t w = 0; w < walkerCount; ++w) walkers.emplace_back(options.seed + static_cast<uint32_t>(w) * walkerSeedStep);
    int32_t threads = std::clamp(options.jobs, 1, walkerCount);
    bool found = false;
    bool outOfTime = false;
    int32_t rounds = 0;
    while (!found && !outOfTime && (options.maxRounds <= 0 || rounds < options.maxRounds)) {
        ++rounds;
        std::atomic<int32_t> firstSucceeded{walkerCount};
        std::atomic<int32_t> next{0};
        auto work = [&] {
            for (int32_t w = next++; w < walkerCount; w = next++) {
                Walker& walker = walkers[static_cast<size_t>(w)];
                Advance(options, walker, roundSteps, timeLeft, [&] { return firstSucceeded < w; });
                if (!walker.succeeded) continue;
                int32_t seen = firstSucceeded;
                while (w < seen && !firstSucceeded.compare_exchange_weak(seen, w)) {
                }
            }
        };
        std::vector<std::thread> helpers;
        for (int32_t t = 1; t < threads; ++t) helpers.emplace_back(work);
        work();
        for (std::thread& helper : helpers) helper.join();
        if (firstSucceeded < walkerCount) {
            found = true;
            source = WriteStageSource(options, walkers[static_cast<size_t>(firstSucceeded.load())].stage,
                                      {"One tiling of the board up to its turns, proved by tessera-stages' solver."});
        }
        for (const Walker& walker : walkers) outOfTime = outOfTime || walker.outOfTime;
    }
    for (const Walker& walker : walkers) {
        report.candidates += walker.candidates;
        report.steps += walker.steps;
    }
    report.rounds = rounds;
    report.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (found) return true;
    char reason[200];
    if (outOfTime) {
        std::snprintf(reason, sizeof reason,
                      "no stage with a unique tiling found in %.0f s (%lld partitions counted); try other sizes, "
                      "another seed or a longer --time-limit",
                      options.timeLimit, static_cast<long long>(report.candidates));
    } else {
        std::snprintf(reason, sizeof reason, "no stage with a unique tiling found in %d rounds (%lld partitions counted)",
                      rounds, static_cast<long long>(report.candidates));
    }
    error = reason;
    return false;
}
