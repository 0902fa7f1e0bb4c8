// CountTilings: the first empty board cell, placements precomputed per cell, bitboards of up to five words.
#include "authoring/tiling_search.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "authoring/search_worker.h"
#include "authoring/symmetry_orbits.h"

namespace tiling {
namespace {
constexpr int32_t tasksPerJob = 64;  // split the search until there are this many tasks a thread


// Caches of one kind (the memo, the small regions' tilings), lent to the
// threads of a count and taken back after it: kept from count to count so
// that short counts do not pay for their memory, and emptied for each. Under
// the game's rules the points seldom meet again (the cells filled off the
// board tell them apart) and the caches cost more time than they save, so
// only searches on the board alone use them. No cache belongs to a thread
// (thread_local): the MinGW C runtime runs a thread's destructors on memory
// it has already freed, and a thread ending with a cache of its own crashed.
template <typename Cache>
struct CacheShelf {
    std::mutex mutex;
    std::vector<std::unique_ptr<Cache>> caches;
};

template <typename Cache>
CacheShelf<Cache>& Shelf()
{
    static CacheShelf<Cache> shelf;
    return shelf;
}

template <typename Cache>
std::unique_ptr<Cache> BorrowCache()
{
    CacheShelf<Cache>& shelf = Shelf<Cache>();
    std::unique_ptr<Cache> cache;
    {
        std::lock_guard<std::mutex> lock(shelf.mutex);
        if (!shelf.caches.empty()) {
            cache = std::move(shelf.caches.back());
            shelf.caches.pop_back();
        }
    }
    if (!cache) cache = std::make_unique<Cache>();
    cache->begin();
    return cache;
}

template <typename Cache>
void ReturnCache(std::unique_ptr<Cache> cache)
{
    if (!cache) return;
    CacheShelf<Cache>& shelf = Shelf<Cache>();
    std::lock_guard<std::mutex> lock(shelf.mutex);
    shelf.caches.push_back(std::move(cache));
}

// The key cells' runs for a table's buckets.
template <int W>
int32_t KeyRun(const Table<W>& t)
{
    return t.gameRules ? keyRunInPlay : keyRunAlone;
}

// Runs the tasks on the jobs' threads and adds up what they found.
template <int W>
void RunTasks(const Table<W>& t, const CellBuckets& buckets, const std::vector<BucketEntry<W>>& entries, Shared& shared,
              std::vector<Task<W>> tasks, int32_t jobs, SolveResult& result, const PairFilter<W>* pairs = nullptr)
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
    // Working out every set of pieces that fills a region pays back only over
    // a whole search: one that stops at a limit, or after some steps, wants
    // its first tilings soon and its steps to measure the work done.
    bool whole = options.limit == 0 && options.stepLimit == 0;
    auto work = [&](Worker<W>& worker) {
        std::unique_ptr<SubtreeMemo<W>> memo;
        std::unique_ptr<RegionTilings<W>> regions;
        if (boardOnly) memo = BorrowCache<SubtreeMemo<W>>();
        if (boardOnly && whole) {
            regions = BorrowCache<RegionTilings<W>>();
            worker.regionLimit = RegionLimit(t);
        }
        worker.memo = memo.get();
        worker.regions = regions.get();
        for (size_t i = next++; i < tasks.size() && !worker.stopped; i = next++) worker.run(tasks[i]);
        ReturnCache(std::move(memo));
        ReturnCache(std::move(regions));
    };
    std::vector<std::thread> threads;
    for (int32_t j = 0; j < jobs; ++j) {
        Worker<W>& worker = workers[static_cast<size_t>(j)];
        worker.table = &t;
        worker.buckets = &buckets;
        worker.entries = entries.data();
        worker.pairs = pairs;
        worker.hashes.assign(pairs != nullptr ? static_cast<size_t>(buckets.largest) : 0, 0);
        worker.shared = &shared;
        worker.reportsProgress = j == 0;
        worker.count = 0;
        worker.kidBuffer.assign(static_cast<size_t>(maxDepth + 1) * static_cast<size_t>(buckets.largest), nullptr);
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

// Adds to result the tilings that the symmetry map leaves as they are: those
// with every piece on a placement that map takes onto itself.
template <int W>
void CountUnchanged(const std::vector<Placement>& placements, const std::vector<int32_t>& map, const CellOrder& order,
                    const std::vector<int32_t>& areas, uint64_t all, Shared& shared, int32_t jobs, SolveResult& result)
{
    std::vector<Placement> kept;
    std::vector<bool> covered(static_cast<size_t>(order.gridCells), false);
    std::vector<int32_t> image;
    for (const Placement& placed : placements) {
        image.clear();
        for (int32_t cell : placed.cells) image.push_back(map[cell]);
        std::sort(image.begin(), image.end());
        if (image != placed.cells) continue;
        kept.push_back(placed);
        for (int32_t cell : placed.cells) covered[cell] = true;
    }
    // Most symmetries leave no placement that covers some cell, often the first: no tiling.
    for (int32_t cell = 0; cell < order.gridCells; ++cell) {
        if (order.onBoard[cell] && !covered[cell]) return;
    }
    Table<W> table = MakeTable<W>(kept, order, areas);
    CellBuckets buckets = MakeBuckets(kept, order, static_cast<int32_t>(areas.size()), KeyRun(table));
    std::vector<BucketEntry<W>> entries = BucketEntries(buckets, table);
    std::vector<Task<W>> whole(1);
    whole[0].unused = all;
    shared.placements = &kept;
    RunTasks(table, buckets, entries, shared, std::move(whole), jobs, result);
}

// One count on jobs threads, its clock started at start. With oneThreadSteps
// (and one job) it gives up after that many search steps and says so in tooLong.
template <int W>
SolveResult CountOn(const Puzzle& puzzle, const SolveOptions& options, const CellOrder& order,
                    const std::vector<Placement>& allPlacements, const std::vector<int32_t>& areas, int32_t slack,
                    int32_t jobs, Clock::time_point start, int64_t oneThreadSteps, bool& tooLong)
{
    SolveResult result;
    std::vector<Placement> placements = LivePlacements<W>(allPlacements, order, areas);
    Table<W> table = MakeTable<W>(placements, order, areas);
    CellBuckets buckets = MakeBuckets(placements, order, static_cast<int32_t>(areas.size()), KeyRun(table));
    std::vector<BucketEntry<W>> entries = BucketEntries(buckets, table);

    Shared shared;
    shared.options = &options;
    shared.placements = &placements;
    shared.order = &order;
    shared.start = start;
    shared.nextProgress = shared.start + progressInterval;
    shared.limit = options.limit;
    shared.oneThreadSteps = oneThreadSteps;

    auto pieceCount = static_cast<int32_t>(puzzle.shapes.size());
    uint64_t all = pieceCount >= 64 ? ~uint64_t{0} : (uint64_t{1} << pieceCount) - 1;
    std::vector<Task<W>> tasks;
    // Stabilisers live here while the tasks that point at them run.
    std::deque<std::vector<std::vector<int32_t>>> keep;
    // On the board alone the board's symmetries map solutions onto solutions.
    bool counting = options.limit == 0 && options.report == 0;
    bool boardOnly = options.boardOnly || options.distinct;
    std::vector<std::vector<int32_t>> maps;
    // Counting up to symmetry with no limit: every tiling, counted by orbits with the memo throughout,
    // and then the mean over the symmetries of the tilings each leaves unchanged (Burnside's lemma);
    // not when only the tilings with one piece count, as the tilings a symmetry leaves unchanged are
    // counted there with the piece or without it.
    bool mustUse = boardOnly && options.mustUse >= 0 && options.mustUse < pieceCount;
    bool burnside = options.distinct && counting && options.stepLimit == 0 && !mustUse;
    if (options.distinct || (boardOnly && counting) || mustUse) {
        maps = BoardMaps(puzzle, order, options.mirror);
        CollectOrbitTasks(table, placements, maps, areas, all, order.boardCells, options.distinct && !burnside,
                          keep, tasks, mustUse ? options.mustUse : -1);
    } else {
        Task<W> whole;
        whole.unused = all;
        whole.budget = slack;
        tasks.push_back(std::move(whole));
    }
    PairFilter<W> pairs;
    bool filtered = table.gameRules && MakePairFilter(table, slack, pairs);
    RunTasks(table, buckets, entries, shared, std::move(tasks), jobs, result, filtered ? &pairs : nullptr);
    if (burnside) {
        for (size_t g = 1; g < maps.size(); ++g) {
            CountUnchanged<W>(placements, maps[g], order, areas, all, shared, jobs, result);
        }
        result.count /= static_cast<int64_t>(maps.size());
    }
    result.stoppedAtTime = shared.timeUp;
    result.stoppedAtSteps = shared.stepsUp;
    result.seconds = std::chrono::duration<double>(Clock::now() - shared.start).count();
    tooLong = shared.oneThreadUp;
    return result;
}

// Counts on one thread, and on options.jobs threads only when that try
// shows the count is long enough to pay for them: a count shorter than the
// try (the pentomino rectangle's takes a fifteenth of it) is slower on
// several threads, each filling its own caches, than on one. The steps of
// the try are then lost, a small share of a long count. The count is the
// same either way.
template <int W>
SolveResult Count(const Puzzle& puzzle, const SolveOptions& options, const CellOrder& order,
                  const std::vector<Placement>& placements, const std::vector<int32_t>& areas, int32_t slack)
{
    Clock::time_point start = Clock::now();
    int32_t jobs = std::max(1, options.jobs);
    bool tooLong = false;
    // Printed solutions are searched in one order, on one thread, anyway.
    if (jobs > 1 && options.report == 0 && options.oneThreadSteps > 0) {
        SolveResult tried =
            CountOn<W>(puzzle, options, order, placements, areas, slack, 1, start, options.oneThreadSteps, tooLong);
        if (!tooLong) return tried;
    }
    return CountOn<W>(puzzle, options, order, placements, areas, slack, jobs, start, 0, tooLong);
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
    tiling::CellOrder order = tiling::MakeCellOrder(puzzle, boardOnly, slack);
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
