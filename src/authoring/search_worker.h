// One thread's search: from a point, the first empty cell covered by each placement that passes, down to the solutions.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <vector>

#include "authoring/pair_filter.h"
#include "authoring/placement_buckets.h"
#include "authoring/region_check.h"
#include "authoring/region_tilings.h"
#include "authoring/search_task.h"
#include "authoring/subtree_memo.h"

namespace tiling {
using Clock = std::chrono::steady_clock;

constexpr int64_t clockInterval = 4096;    // search steps between looks at the clock
constexpr auto progressInterval = std::chrono::seconds(1);
constexpr int32_t maxDepth = 64;           // more than the 50 pieces a stage may have
constexpr int64_t memoMinSteps = 2;         // search steps a point must have taken to be worth a slot

// Whether a set of pieces has exactly two of them.
inline bool TwoPieces(uint64_t pieces)
{
    uint64_t others = pieces & (pieces - 1);
    return others != 0 && (others & (others - 1)) == 0;
}

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
    int64_t oneThreadSteps = 0;     // a first try on one thread gives up after this many steps; 0: no try
    std::atomic<bool> oneThreadUp{false};
    std::atomic<int64_t> found{0};  // solutions so far, kept only under a limit
    std::atomic<int64_t> nodes{0};
    std::atomic<int64_t> solutions{0};
};

template <int W>
struct Worker {
    const Table<W>* table = nullptr;
    const CellBuckets* buckets = nullptr;
    const BucketEntry<W>* entries = nullptr;  // the buckets' entries, in the buckets' order
    Shared* shared = nullptr;
    bool reportsProgress = false;
    int64_t count = 0;
    int64_t nodes = 0;
    int64_t nodesAtClock = 0;
    int64_t nextClock = clockInterval;
    int64_t countedAtClock = 0;
    bool stopped = false;
    bool stoppedAtLimit = false;
    int32_t chosen[maxDepth] = {};
    int32_t depth = 0;
    const std::vector<std::vector<int32_t>>* check = nullptr;
    int64_t weight = 1;
    SubtreeMemo<W>* memo = nullptr;  // none under the game's rules (see BorrowCache)
    const PairFilter<W>* pairs = nullptr;  // under the game's rules
    RegionTilings<W>* regions = nullptr;  // with the memo, for whole searches
    int32_t regionLimit = 0;              // the most empty cells of a point looked up there
    int64_t completions = 0;         // solutions found, each once, whatever the weight
    std::vector<const BucketEntry<W>*> kidBuffer;  // the placements to search below, a row for each depth
    std::vector<uint64_t> hashes;  // a bucket's worth, for the pair filter
    std::vector<int32_t> labels;
    std::vector<int32_t> image;

    void lookAtClock()
    {
        shared->nodes += nodes - nodesAtClock;
        nodesAtClock = nodes;
        nextClock = nodes + clockInterval;
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
        if (shared->oneThreadSteps > 0 && shared->nodes >= shared->oneThreadSteps) {
            shared->oneThreadUp = true;
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

    // One search step, to a point: counts it, looking at the clock now and
    // then. False when there is nothing to search below it: the search has
    // stopped, the point is a solution (counted here), or no free piece has
    // a placement at its first empty cell c that leaves its filled key cells
    // alone (bucket b). Points that end there cost no call of fill.
    template <int32_t KeyRun>
    [[gnu::always_inline]] bool enter(const Bits<W>& filled, uint64_t unused, int32_t from, int32_t& c, size_t& b)
    {
        if (++nodes >= nextClock) {
            lookAtClock();
            if (stopped) return false;
        }
        const Table<W>& t = *table;
        c = FirstEmpty(filled | t.notBoard, from, t.gridCells);
        if (c == t.gridCells) {
            solution();
            return false;
        }
        b = BucketOf<KeyRun>(*buckets, filled, c);
        return (buckets->present[b] & unused) != 0;
    }

    // The solutions the last free piece completes: it covers exactly the
    // board cells left, sticking out onto empty cells by at most the budget,
    // or the board is full already and it is left over. Looked up, not searched.
    void lastPiece(const Bits<W>& filled, int32_t piece, int32_t budget)
    {
        const Table<W>& t = *table;
        Bits<W> left = t.board.without(filled);
        if (!left.any()) {
            solution();
            return;
        }
        auto [from, to] = t.lookup.entriesOn(left, piece);
        for (const int32_t* k = from; k != to; ++k) {
            if (t.waste[*k] > budget) break;
            if (filled.collides(t.masks[*k])) continue;
            chosen[depth++] = *k;
            solution();
            --depth;
            if (stopped) return;
        }
    }

    // A point with two pieces free, entered with bucket b: each placement of
    // either at its first empty cell leaves the last one, which is looked up.
    // Lighter than fill, which hands such points here.
    void lastTwo(const Bits<W>& filled, uint64_t unused, int32_t budget, size_t b)
    {
        const int32_t* ranges = buckets->ranges.data() + b * static_cast<size_t>(buckets->pieceCount + 1);
        for (uint64_t pieces = unused & buckets->present[b]; pieces != 0; pieces &= pieces - 1) {
            int32_t p = __builtin_ctzll(pieces);
            int32_t other = __builtin_ctzll(unused & ~(uint64_t{1} << p));
            const BucketEntry<W>* end = entries + ranges[p + 1];
            for (const BucketEntry<W>* e = entries + ranges[p]; e != end; ++e) {
                if (e->waste > budget) break;
                if (filled.collides(e->mask)) continue;
                Bits<W> next = filled;
                next.add(e->mask);
                chosen[depth++] = e->index;
                lastPiece(next, other, budget - e->waste);
                --depth;
                if (stopped) return;
            }
        }
    }

    // Cached: the search points are looked up in the memo, and stored there
    // when their search took more than a step. Small, too: those with few
    // empty cells are counted from their region's tilings instead.
    // The point has been entered: c is its first empty cell, b its bucket.
    template <bool Cached, bool Small, int32_t KeyRun>
    void fill(const Bits<W>& filled, uint64_t unused, int32_t budget, int32_t c, size_t b)
    {
        const Table<W>& t = *table;
        MemoSlot<W>* slot = nullptr;
        int64_t completionsBefore = completions;
        int64_t nodesBefore = nodes;
        if (Cached) {
            int64_t known = -1;
            Bits<W> region;
            if (Small) region = t.board.without(filled);
            if (Small && region.count() <= regionLimit) {
                known = regions->count(region, unused, t, *buckets, entries, nodes);
            } else {
                slot = memo->pair(SubtreeMemo<W>::Hash(filled, unused));
                known = memo->find(slot, filled, unused);
            }
            if (known >= 0) {
                completions += known;
                count += known * weight;
                if (known > 0) tell(known * weight);
                return;
            }
        }
        if (TwoPieces(unused)) {
            lastTwo(filled, unused, budget, b);
            return;
        }
        uint64_t present = buckets->present[b];
        const int32_t* ranges = buckets->ranges.data() + b * static_cast<size_t>(buckets->pieceCount + 1);
        // First the placements that collide with nothing, gathered without a
        // branch on each. Cached, then those that pass the region check, each
        // one's slot fetched on the way, and the search below each after: the
        // slots have arrived by then. Otherwise each is searched as it passes.
        const BucketEntry<W>** kids =
            kidBuffer.data() + static_cast<size_t>(depth) * static_cast<size_t>(buckets->largest);
        int32_t free = 0;
        for (uint64_t pieces = unused & present; pieces != 0; pieces &= pieces - 1) {
            int32_t p = __builtin_ctzll(pieces);
            const BucketEntry<W>* end = entries + ranges[p + 1];
            for (const BucketEntry<W>* e = entries + ranges[p]; e != end; ++e) {
                if (e->waste > budget) break;
                kids[free] = e;
                free += filled.collides(e->mask) ? 0 : 1;
            }
        }
        // Only the regions beside the new piece can have changed. Under the
        // game's rules regions are seldom closed, and the search below a point
        // is cheaper than looking for the lone cells that would end it
        // (LivePlacements still drops the placements that leave one on the empty board).
        bool regionCheck = !t.gameRules;
        bool twoLeft = TwoPieces(unused & (unused - 1));  // three free, so two in each kid
        if (twoLeft && pairs != nullptr) {
            // Only the kids whose cells left the other two can finish. All
            // their blocks of the filter are fetched before any is read.
            for (int32_t i = 0; i < free; ++i) {
                const BucketEntry<W>* e = kids[i];
                hashes[i] = PairFilter<W>::Hash(t.board.without(filled | e->mask), unused & ~e->piece);
                __builtin_prefetch(pairs->blockOf(hashes[i]));
            }
            int32_t kept = 0;
            for (int32_t i = 0; i < free; ++i) {
                kids[kept] = kids[i];
                kept += PairFilter<W>::In(pairs->blockOf(hashes[i]), hashes[i]) ? 1 : 0;
            }
            free = kept;
        }
        int32_t kidCount = 0;
        for (int32_t i = 0; i < free; ++i) {
            const BucketEntry<W>* e = kids[i];
            Bits<W> next = filled;
            next.add(e->mask);
            uint64_t rest = unused & ~e->piece;
            if (regionCheck && !RegionsFillable(next, t.halo[e->index], rest, t)) continue;
            if (!Cached) {
                chosen[depth++] = e->index;
                int32_t nextCell = 0;
                size_t nextBucket = 0;
                if (enter<KeyRun>(next, rest, c + 1, nextCell, nextBucket)) {
                    if (twoLeft) lastTwo(next, rest, budget - e->waste, nextBucket);
                    else fill<Cached, Small, KeyRun>(next, rest, budget - e->waste, nextCell, nextBucket);
                }
                --depth;
                if (stopped) return;
                continue;
            }
            __builtin_prefetch(memo->pair(SubtreeMemo<W>::Hash(next, rest)));
            kids[kidCount++] = e;
        }
        for (int32_t i = 0; i < kidCount; ++i) {
            const BucketEntry<W>* e = kids[i];
            Bits<W> next = filled;
            next.add(e->mask);
            uint64_t rest = unused & ~e->piece;
            chosen[depth++] = e->index;
            int32_t nextCell = 0;
            size_t nextBucket = 0;
            if (enter<KeyRun>(next, rest, c + 1, nextCell, nextBucket)) {
                fill<Cached, Small, KeyRun>(next, rest, budget - e->waste, nextCell, nextBucket);
            }
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
        int32_t c = 0;
        size_t b = 0;
        // Only stage play has the longer key runs, and no memo.
        if (buckets->keyRun == keyRunInPlay) {
            if (enter<keyRunInPlay>(task.filled, task.unused, task.from, c, b)) {
                fill<false, false, keyRunInPlay>(task.filled, task.unused, task.budget, c, b);
            }
            return;
        }
        if (!enter<keyRunAlone>(task.filled, task.unused, task.from, c, b)) return;
        // Solutions checked against their images, or handed out, are told apart by more than the point.
        if (memo != nullptr && check == nullptr && shared->options->report == 0) {
            if (regions != nullptr) fill<true, true, keyRunAlone>(task.filled, task.unused, task.budget, c, b);
            else fill<true, false, keyRunAlone>(task.filled, task.unused, task.budget, c, b);
        } else {
            fill<false, false, keyRunAlone>(task.filled, task.unused, task.budget, c, b);
        }
    }
};
}  // namespace tiling
