// CountTilings: the first empty board cell, placements precomputed per cell, bitboards of up to five words.
#include "authoring/tiling_search.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <thread>

#include "authoring/placement_buckets.h"
#include "authoring/region_check.h"
#include "authoring/search_task.h"
#include "authoring/subtree_memo.h"
#include "authoring/symmetry_orbits.h"

namespace tiling {
namespace {
using Clock = std::chrono::steady_clock;

constexpr int64_t clockInterval = 4096;    // search steps between looks at the clock
constexpr auto progressInterval = std::chrono::seconds(1);
constexpr int32_t maxDepth = 64;           // more than the 50 pieces a stage may have
constexpr int64_t memoMinSteps = 2;         // search steps a point must have taken to be worth a slot
constexpr int32_t tasksPerJob = 64;        // split the search until there are this many tasks a thread

// What the threads share: the options, the clock, and the request to stop.
struct Shared {
    const SolveOptions* options = nullptr;
    const std::vector<Placement>* placements = nullptr;  // in the order of the table's entries
    const CellOrder* order = nullptr;
    Clock::time_point start;
    Clock::time_point nextProgress;
    std::atomic<bool> stop{false};
    std::atomic<bool> timeUp{false};
    std::atomic<bool> stepsUp{false};
    std::atomic<bool> stepsPassed{false};  // the step limit was reached (and the search may go on)
    std::atomic<int64_t> limit{0};  // solutions to stop at; 0: no limit
    std::atomic<int64_t> found{0};  // solutions so far, kept only under a limit
    std::atomic<int64_t> nodes{0};
    std::atomic<int64_t> solutions{0};
};

template <int W>
struct Worker {
    const Table<W>* table = nullptr;
    const CellBuckets* buckets = nullptr;
    Shared* shared = nullptr;
    bool reportsProgress = false;
    int64_t count = 0;
    int64_t nodes = 0;
    int64_t countedAtClock = 0;
    bool stopped = false;
    bool stoppedAtLimit = false;
    int32_t chosen[maxDepth] = {};
    int32_t depth = 0;
    const std::vector<std::vector<int32_t>>* check = nullptr;
    int64_t weight = 1;
    SubtreeMemo<W>* memo = nullptr;  // none under the game's rules (see ThreadMemo)
    int64_t completions = 0;         // solutions found, each once, whatever the weight
    std::vector<int32_t> kidBuffer;  // the placements to search below, a row for each depth
    std::vector<int32_t> labels;
    std::vector<int32_t> image;

    void lookAtClock()
    {
        shared->nodes += clockInterval;
        shared->solutions += count - countedAtClock;
        countedAtClock = count;
        const SolveOptions& options = *shared->options;
        Clock::time_point now = Clock::now();
        if (reportsProgress && options.onProgress && now >= shared->nextProgress) {
            options.onProgress({shared->nodes.load(), shared->solutions.load()});
            shared->nextProgress = now + progressInterval;
        }
        if (options.timeLimit > 0 && std::chrono::duration<double>(now - shared->start).count() >= options.timeLimit) {
            shared->timeUp = true;
            shared->stop = true;
        }
        if (options.stepLimit > 0 && shared->nodes >= options.stepLimit && !shared->stepsPassed.exchange(true)) {
            if (shared->found < options.exactBelow) {
                // Few found so far: the whole search tells, up to exactBelow solutions.
                int64_t limit = shared->limit;
                shared->limit = limit > 0 ? std::min(limit, options.exactBelow) : options.exactBelow;
            } else {
                shared->stepsUp = true;
                shared->stop = true;
            }
        }
        if (shared->stop) stopped = true;
    }

    // A solution is the least of its images under check's symmetries when no
    // image labels the cells, in filling order, with a smaller sequence.
    bool leastOfItsImages()
    {
        const Table<W>& t = *table;
        labels.assign(static_cast<size_t>(t.gridCells), -1);
        const std::vector<Placement>& placements = *shared->placements;
        for (int32_t i = 0; i < depth; ++i) {
            const Placement& placed = placements[chosen[i]];
            for (int32_t cell : placed.cells) {
                labels[cell] = placed.piece;
            }
        }
        for (const std::vector<int32_t>& map : *check) {
            image.assign(labels.size(), -1);
            for (size_t i = 0; i < labels.size(); ++i) image[map[i]] = labels[i];
            if (std::lexicographical_compare(image.begin(), image.end(), labels.begin(), labels.end())) return false;
        }
        return true;
    }

    // Solutions that a shared limit or exactBelow must hear of.
    void tell(int64_t solutions)
    {
        const SolveOptions& options = *shared->options;
        int64_t limit = shared->limit;
        if (limit > 0 || options.exactBelow > 0) {
            // Threads share the limit: whoever reaches it stops them all.
            int64_t total = shared->found += solutions;
            if (limit > 0 && total >= limit) {
                stoppedAtLimit = true;
                shared->stop = true;
            }
            if (shared->stop) stopped = true;
        }
    }

    void solution()
    {
        if (check != nullptr && !leastOfItsImages()) return;
        count += weight;
        ++completions;
        const SolveOptions& options = *shared->options;
        if (count <= options.report && options.onSolution) {
            std::vector<PlacedPiece> pieces;
            for (int32_t i = 0; i < depth; ++i) {
                const Placement& placed = (*shared->placements)[chosen[i]];
                PlacedPiece piece{placed.piece, {}};
                for (int32_t cell : placed.cells) piece.cells.push_back(shared->order->cellAt[cell]);
                pieces.push_back(std::move(piece));
            }
            options.onSolution(pieces);
        }
        tell(weight);
    }

    // Only the placements that leave the filled key cells alone are tested.
    size_t BucketOf(const Bits<W>& filled, int32_t c) const
    {
        const int32_t* keys = buckets->keys.data() + static_cast<size_t>(c) * keyCells;
        uint32_t pattern = 0;
        for (int32_t i = 0; i < keyCells; ++i) {
            pattern |= static_cast<uint32_t>(filled.w[keys[i] >> 6] >> (keys[i] & 63) & 1) << i;
        }
        return static_cast<size_t>(c) * bucketsPerCell + pattern;
    }

    // One search step at a point: counts it, looking at the clock now and
    // then, and gives its first empty cell, or -1 when the point is a
    // solution (counted here) or the search has stopped.
    int32_t step(const Bits<W>& filled, int32_t from)
    {
        if (++nodes % clockInterval == 0) {
            lookAtClock();
            if (stopped) return -1;
        }
        const Table<W>& t = *table;
        int32_t c = FirstEmpty(filled | t.notBoard, from, t.gridCells);
        if (c == t.gridCells) {
            solution();
            return -1;
        }
        return c;
    }

    // The search below a point with one free piece: the board is full, or that
    // piece's placements at the first empty cell are tried for the rest of it.
    // One search step, like a call of fill.
    void lastPiece(const Bits<W>& filled, uint64_t unused, int32_t budget, int32_t from)
    {
        const Table<W>& t = *table;
        int32_t c = step(filled, from);
        if (c < 0) return;
        size_t b = BucketOf(filled, c);
        int32_t p = __builtin_ctzll(unused);
        const int32_t* ranges = buckets->ranges.data() + b * static_cast<size_t>(buckets->pieceCount + 1);
        const int32_t* entries = buckets->entries.data();
        for (int32_t i = ranges[p]; i < ranges[p + 1]; ++i) {
            int32_t k = entries[i];
            if (t.waste[k] > budget) break;
            if (filled.collides(t.masks[k])) continue;
            Bits<W> next = filled;
            next.add(t.masks[k]);
            if (FirstEmpty(next | t.notBoard, c + 1, t.gridCells) != t.gridCells) continue;
            chosen[depth++] = k;
            solution();
            --depth;
            if (stopped) return;
        }
    }

    // Cached: the search points are looked up in the memo, and stored there
    // when their search took more than a step.
    template <bool Cached>
    void fill(const Bits<W>& filled, uint64_t unused, int32_t budget, int32_t from)
    {
        const Table<W>& t = *table;
        int32_t c = step(filled, from);
        if (c < 0) return;
        MemoSlot<W>* slot = nullptr;
        int64_t completionsBefore = completions;
        int64_t nodesBefore = nodes;
        if (Cached) {
            slot = memo->pair(SubtreeMemo<W>::Hash(filled, unused));
            int64_t known = memo->find(slot, filled, unused);
            if (known >= 0) {
                completions += known;
                count += known * weight;
                if (known > 0) tell(known * weight);
                return;
            }
        }
        size_t b = BucketOf(filled, c);
        uint64_t present = buckets->present[b];
        const int32_t* ranges = buckets->ranges.data() + b * static_cast<size_t>(buckets->pieceCount + 1);
        const int32_t* entries = buckets->entries.data();
        // Cached, first the placements that pass the tests, each one's slot
        // fetched on the way, then the search below each: the slots have
        // arrived by then. Otherwise each is searched as it passes.
        int32_t* kids = kidBuffer.data() + static_cast<size_t>(depth) * static_cast<size_t>(buckets->largest);
        int32_t kidCount = 0;
        for (uint64_t free = unused & present; free != 0; free &= free - 1) {
            int32_t p = __builtin_ctzll(free);
            uint64_t piece = uint64_t{1} << p;
            for (int32_t i = ranges[p]; i < ranges[p + 1]; ++i) {
                int32_t k = entries[i];
                if (t.waste[k] > budget) break;
                if (filled.collides(t.masks[k])) continue;
                Bits<W> next = filled;
                next.add(t.masks[k]);
                uint64_t rest = unused & ~piece;
                // Only the regions beside the new piece can have changed. Under
                // the game's rules regions are seldom closed, and the search
                // below a point is cheaper than looking for the lone cells that
                // would end it (LivePlacements still drops the placements that
                // leave one on the empty board).
                if (!t.gameRules && !RegionsFillable(next, t.halo[k], rest, t)) continue;
                if (rest != 0 && (rest & (rest - 1)) == 0) {
                    chosen[depth++] = k;
                    lastPiece(next, rest, budget - t.waste[k], c + 1);
                    --depth;
                    if (stopped) return;
                    continue;
                }
                if (!Cached) {
                    chosen[depth++] = k;
                    fill<Cached>(next, unused & ~piece, budget - t.waste[k], c + 1);
                    --depth;
                    if (stopped) return;
                    continue;
                }
                __builtin_prefetch(memo->pair(SubtreeMemo<W>::Hash(next, unused & ~piece)));
                kids[kidCount++] = k;
            }
        }
        for (int32_t i = 0; i < kidCount; ++i) {
            int32_t k = kids[i];
            Bits<W> next = filled;
            next.add(t.masks[k]);
            chosen[depth++] = k;
            fill<Cached>(next, unused & ~(uint64_t{1} << t.piece[k]), budget - t.waste[k], c + 1);
            --depth;
            if (stopped) return;
        }
        // A point whose search took one step is found again as fast as looked up.
        if (Cached && nodes - nodesBefore >= memoMinSteps) {
            memo->store(slot, filled, unused, completions - completionsBefore);
        }
    }

    void run(const Task<W>& task)
    {
        const Table<W>& t = *table;
        depth = 0;
        for (int32_t k : task.chosen) chosen[depth++] = k;
        check = task.check;
        weight = task.weight;
        if (!RegionsFillable(task.filled, t.grid, task.unused, t)) return;
        // Solutions checked against their images, or handed out, are told apart by more than the point.
        if (memo != nullptr && check == nullptr && shared->options->report == 0) {
            fill<true>(task.filled, task.unused, task.budget, task.from);
        } else {
            fill<false>(task.filled, task.unused, task.budget, task.from);
        }
    }
};

// Each thread's memo, kept from count to count so that short counts do not
// pay for its memory. Under the game's rules the points seldom meet again
// (the cells filled off the board tell them apart) and the memo costs more
// time than it saves, so only searches on the board alone use it.
template <int W>
SubtreeMemo<W>& ThreadMemo()
{
    static thread_local SubtreeMemo<W> memo;
    memo.begin();
    return memo;
}

// Runs the tasks on the jobs' threads and adds up what they found.
template <int W>
void RunTasks(const Table<W>& t, const CellBuckets& buckets, Shared& shared, std::vector<Task<W>> tasks, int32_t jobs, SolveResult& result)
{
    const SolveOptions& options = *shared.options;
    // Printed solutions need one order of search: one thread.
    bool ordered = options.report > 0;
    if (jobs > 1 && !ordered) {
        std::vector<Task<W>> done;
        tasks = Split(t, std::move(tasks), static_cast<size_t>(jobs) * tasksPerJob, done);
        tasks.insert(tasks.end(), done.begin(), done.end());
    } else {
        jobs = 1;
    }
    std::atomic<size_t> next{0};
    std::vector<Worker<W>> workers(static_cast<size_t>(jobs));
    bool boardOnly = !t.gameRules;
    auto work = [&](Worker<W>& worker) {
        if (boardOnly) worker.memo = &ThreadMemo<W>();
        for (size_t i = next++; i < tasks.size() && !worker.stopped; i = next++) worker.run(tasks[i]);
    };
    std::vector<std::thread> threads;
    for (int32_t j = 0; j < jobs; ++j) {
        Worker<W>& worker = workers[static_cast<size_t>(j)];
        worker.table = &t;
        worker.buckets = &buckets;
        worker.shared = &shared;
        worker.reportsProgress = j == 0;
        worker.count = 0;
        worker.kidBuffer.assign(static_cast<size_t>(maxDepth + 1) * static_cast<size_t>(buckets.largest), 0);
        if (j > 0) threads.emplace_back(work, std::ref(worker));
    }
    work(workers[0]);
    for (std::thread& thread : threads) thread.join();
    for (const Worker<W>& worker : workers) {
        result.count += worker.count;
        result.nodes += worker.nodes;
        result.stoppedAtLimit = result.stoppedAtLimit || worker.stoppedAtLimit;
    }
    // Threads that found solutions in the same moment may pass the limit together.
    if (result.stoppedAtLimit) result.count = std::min(result.count, shared.limit.load());
}

// The placements that can be in some solution: one that closes off, on the
// empty board, a region no set of the other pieces can fill can be in none.
template <int W>
std::vector<Placement> LivePlacements(const std::vector<Placement>& placements, const CellOrder& order,
                                      const std::vector<int32_t>& areas)
{
    Table<W> table = MakeTable<W>(placements, order, areas);
    uint64_t all = areas.size() >= 64 ? ~uint64_t{0} : (uint64_t{1} << areas.size()) - 1;
    std::vector<Placement> live;
    for (size_t k = 0; k < placements.size(); ++k) {
        uint64_t others = all & ~(uint64_t{1} << placements[k].piece);
        if (RegionsFillable(table.masks[k], table.halo[k], others, table)) live.push_back(placements[k]);
    }
    return live;
}

template <int W>
SolveResult Count(const Puzzle& puzzle, const SolveOptions& options, const CellOrder& order,
                  const std::vector<Placement>& allPlacements, const std::vector<int32_t>& areas, int32_t slack)
{
    SolveResult result;
    std::vector<Placement> placements = LivePlacements<W>(allPlacements, order, areas);
    Table<W> table = MakeTable<W>(placements, order, areas);
    CellBuckets buckets = MakeBuckets(placements, order, static_cast<int32_t>(areas.size()));

    Shared shared;
    shared.options = &options;
    shared.placements = &placements;
    shared.order = &order;
    shared.start = Clock::now();
    shared.nextProgress = shared.start + progressInterval;
    shared.limit = options.limit;

    auto pieceCount = static_cast<int32_t>(puzzle.shapes.size());
    uint64_t all = pieceCount >= 64 ? ~uint64_t{0} : (uint64_t{1} << pieceCount) - 1;
    std::vector<Task<W>> tasks;
    // Stabilisers live here while the tasks that point at them run.
    std::deque<std::vector<std::vector<int32_t>>> keep;
    // On the board alone the board's symmetries map solutions onto solutions.
    bool counting = options.limit == 0 && options.report == 0;
    bool boardOnly = options.boardOnly || options.distinct;
    if (options.distinct || (boardOnly && counting)) {
        std::vector<std::vector<int32_t>> maps = BoardMaps(puzzle, order, options.mirror);
        CollectOrbitTasks(table, placements, maps, areas, all, order.boardCells, options.distinct, keep,
                          tasks);
    } else {
        Task<W> whole;
        whole.unused = all;
        whole.budget = slack;
        tasks.push_back(std::move(whole));
    }
    int32_t jobs = std::max(1, options.jobs);
    RunTasks(table, buckets, shared, std::move(tasks), jobs, result);
    result.stoppedAtTime = shared.timeUp;
    result.stoppedAtSteps = shared.stepsUp;
    result.seconds = std::chrono::duration<double>(Clock::now() - shared.start).count();
    return result;
}
}  // namespace
}  // namespace tiling

SolveResult CountTilings(const Puzzle& puzzle, const SolveOptions& options)
{
    int32_t boardCells = puzzle.boardWidth * puzzle.boardHeight;
    // Each piece's area: its cells, each counted once.
    std::vector<int32_t> areas;
    int64_t totalArea = 0;
    for (const auto& shape : puzzle.shapes) {
        std::vector<std::vector<Point>> turns = Orientations(shape, false);
        areas.push_back(turns.empty() ? 0 : static_cast<int32_t>(turns[0].size()));
        totalArea += areas.back();
    }
    if (boardCells <= 0 || totalArea < boardCells || puzzle.shapes.size() > 64) return {};
    bool boardOnly = options.boardOnly || options.distinct;
    auto slack = static_cast<int32_t>(std::min<int64_t>(totalArea - boardCells, INT32_MAX));
    tiling::CellOrder order = tiling::MakeCellOrder(puzzle, boardOnly);
    std::vector<tiling::Placement> placements = tiling::MakePlacements(puzzle, order, options.mirror, boardOnly ? 0 : slack);
    int32_t words = (order.gridCells + 63) / 64;
    switch (words) {
    case 1: return tiling::Count<1>(puzzle, options, order, placements, areas, boardOnly ? 0 : slack);
    case 2: return tiling::Count<2>(puzzle, options, order, placements, areas, boardOnly ? 0 : slack);
    case 3: return tiling::Count<3>(puzzle, options, order, placements, areas, boardOnly ? 0 : slack);
    case 4: return tiling::Count<4>(puzzle, options, order, placements, areas, boardOnly ? 0 : slack);
    case tiling::maxWords:
        return tiling::Count<tiling::maxWords>(puzzle, options, order, placements, areas, boardOnly ? 0 : slack);
    default: return {};
    }
}
