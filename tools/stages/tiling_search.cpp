// CountTilings: the first empty board cell, placements precomputed per cell, bitboards of up to five words.
#include "tools/stages/tiling_search.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <numeric>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;

constexpr int32_t maxWords = 5;            // 20 x 14 grid cells, the largest grid of stage play
constexpr int64_t clockInterval = 4096;    // search steps between looks at the clock
constexpr auto progressInterval = std::chrono::seconds(1);
constexpr int32_t maxDepth = 64;           // more than the 50 pieces a stage may have
constexpr int32_t tasksPerJob = 64;        // split the search until there are this many tasks a thread

template <int W>
struct Bits {
    uint64_t w[W] = {};

    bool collides(const Bits& other) const
    {
        uint64_t any = 0;
        for (int i = 0; i < W; ++i) any |= w[i] & other.w[i];
        return any != 0;
    }
    void add(const Bits& other)
    {
        for (int i = 0; i < W; ++i) w[i] |= other.w[i];
    }
    void set(int32_t bit) { w[bit >> 6] |= uint64_t{1} << (bit & 63); }
    bool any() const
    {
        uint64_t any = 0;
        for (int i = 0; i < W; ++i) any |= w[i];
        return any != 0;
    }
    int32_t count() const
    {
        int32_t total = 0;
        for (int i = 0; i < W; ++i) total += __builtin_popcountll(w[i]);
        return total;
    }
    // The lowest set bit alone; the bits must not all be clear.
    Bits lowest() const
    {
        Bits result;
        for (int i = 0; i < W; ++i) {
            if (w[i] != 0) {
                result.w[i] = w[i] & (~w[i] + 1);
                break;
            }
        }
        return result;
    }
    // Bit i moves to i + k (up) or i - k (down), 0 < k < 64.
    Bits up(int32_t k) const
    {
        Bits result;
        for (int i = W - 1; i >= 0; --i) {
            result.w[i] = w[i] << k;
            if (i > 0) result.w[i] |= w[i - 1] >> (64 - k);
        }
        return result;
    }
    Bits down(int32_t k) const
    {
        Bits result;
        for (int i = 0; i < W; ++i) {
            result.w[i] = w[i] >> k;
            if (i + 1 < W) result.w[i] |= w[i + 1] << (64 - k);
        }
        return result;
    }
    Bits operator&(const Bits& other) const
    {
        Bits result;
        for (int i = 0; i < W; ++i) result.w[i] = w[i] & other.w[i];
        return result;
    }
    Bits operator|(const Bits& other) const
    {
        Bits result;
        for (int i = 0; i < W; ++i) result.w[i] = w[i] | other.w[i];
        return result;
    }
    Bits without(const Bits& other) const
    {
        Bits result;
        for (int i = 0; i < W; ++i) result.w[i] = w[i] & ~other.w[i];
        return result;
    }
    bool operator==(const Bits& other) const
    {
        uint64_t differ = 0;
        for (int i = 0; i < W; ++i) differ |= w[i] ^ other.w[i];
        return differ == 0;
    }
};

// The first clear bit at or after from, below limit; limit when there is none.
template <int W>
int32_t FirstEmpty(const Bits<W>& filled, int32_t from, int32_t limit)
{
    for (int32_t word = from >> 6; word < W; ++word) {
        uint64_t empty = ~filled.w[word];
        if (word == from >> 6) empty &= ~uint64_t{0} << (from & 63);
        if (empty != 0) return std::min(limit, word * 64 + __builtin_ctzll(empty));
    }
    return limit;
}

// The grid's cells numbered along the board's shorter side, so that the
// search fills a wide board column by column and closes columns early:
// cell (x, y) is x * rows + y, or y * columns + x for a tall board. Neighbours
// along that side are one number apart, across it one line apart.
struct CellOrder {
    int32_t columns = 0;
    int32_t rows = 0;
    int32_t line = 0;  // cells along the side the numbers run
    int32_t boardCells = 0;
    int32_t gridCells = 0;
    std::vector<int32_t> indexOf;  // by y * columns + x
    std::vector<Point> cellAt;
    std::vector<bool> onBoard;
};

CellOrder MakeCellOrder(const Puzzle& puzzle, bool boardOnly)
{
    CellOrder order;
    order.columns = boardOnly ? puzzle.boardWidth : puzzle.gridColumns;
    order.rows = boardOnly ? puzzle.boardHeight : puzzle.gridRows;
    bool columnsFirst = puzzle.boardHeight <= puzzle.boardWidth;
    order.line = columnsFirst ? order.rows : order.columns;
    order.gridCells = order.columns * order.rows;
    order.boardCells = puzzle.boardWidth * puzzle.boardHeight;
    order.indexOf.assign(static_cast<size_t>(order.gridCells), -1);
    order.cellAt.assign(static_cast<size_t>(order.gridCells), Point{0, 0});
    order.onBoard.assign(static_cast<size_t>(order.gridCells), false);
    for (int32_t y = 0; y < order.rows; ++y) {
        for (int32_t x = 0; x < order.columns; ++x) {
            int32_t index = columnsFirst ? x * order.rows + y : y * order.columns + x;
            order.indexOf[y * order.columns + x] = index;
            order.cellAt[index] = {x, y};
            order.onBoard[index] = x < puzzle.boardWidth && y < puzzle.boardHeight;
        }
    }
    return order;
}

struct Placement {
    int32_t piece;
    int32_t waste;               // cells off the board
    int32_t first;               // its first board cell in filling order
    std::vector<int32_t> cells;  // cell numbers, ascending
};

// Every placement of every piece that touches the board and sticks out by no
// more than the slack, sorted by first board cell (then piece).
std::vector<Placement> MakePlacements(const Puzzle& puzzle, const CellOrder& order, bool mirror, int32_t slack)
{
    std::vector<Placement> placements;
    for (int32_t piece = 0; piece < static_cast<int32_t>(puzzle.shapes.size()); ++piece) {
        for (const std::vector<Point>& orientation : Orientations(puzzle.shapes[piece], mirror)) {
            int32_t width = 0;
            int32_t height = 0;
            for (Point cell : orientation) {
                width = std::max(width, cell.x + 1);
                height = std::max(height, cell.y + 1);
            }
            for (int32_t y = 0; y + height <= order.rows; ++y) {
                for (int32_t x = 0; x + width <= order.columns; ++x) {
                    Placement placed{piece, 0, order.gridCells, {}};
                    for (Point cell : orientation) {
                        int32_t index = order.indexOf[(cell.y + y) * order.columns + cell.x + x];
                        placed.cells.push_back(index);
                        if (!order.onBoard[index]) ++placed.waste;
                        else placed.first = std::min(placed.first, index);
                    }
                    if (placed.first == order.gridCells || placed.waste > slack) continue;
                    std::sort(placed.cells.begin(), placed.cells.end());
                    placements.push_back(std::move(placed));
                }
            }
        }
    }
    std::stable_sort(placements.begin(), placements.end(), [](const Placement& a, const Placement& b) {
        return a.first != b.first ? a.first < b.first : a.piece < b.piece;
    });
    return placements;
}

// Steps a region is grown before the check gives up on it: a region still
// growing then is large, and large regions are left to the search itself.
constexpr int32_t growthSteps = 4;

// The placements as the search reads them, bitboards grouped by first board
// cell, and the masks that the region check needs.
template <int W>
struct Table {
    int32_t gridCells = 0;
    int32_t line = 0;
    std::vector<Bits<W>> masks;
    std::vector<int32_t> piece;
    std::vector<int32_t> waste;
    std::vector<Bits<W>> halo;   // the grid cells beside each placement
    int32_t pieceCount = 0;
    // Placements of piece p whose first board cell is c: group[g] .. group[g + 1] - 1, g = c * pieceCount + p.
    std::vector<int32_t> group;
    Bits<W> notBoard;            // the grid's cells off the board, and the bits past the grid
    Bits<W> board;
    Bits<W> offBoard;
    Bits<W> grid;
    Bits<W> lineStart;           // cells with no neighbour one number down
    Bits<W> lineEnd;             // cells with no neighbour one number up
    int32_t minArea = 1;         // the smallest piece
    int32_t areaGcd = 1;         // every region a set of pieces fills is a multiple of this
    std::vector<int32_t> areas;  // each piece's cells
    bool sameAreas = true;       // every piece has one area: sums of free pieces tell nothing more
};

template <int W>
Bits<W> Neighbours(const Bits<W>& region, const Table<W>& t);

template <int W>
Table<W> MakeTable(const std::vector<Placement>& placements, const CellOrder& order, const std::vector<int32_t>& areas)
{
    Table<W> table;
    table.gridCells = order.gridCells;
    table.line = order.line;
    table.pieceCount = static_cast<int32_t>(areas.size());
    size_t groups = static_cast<size_t>(order.gridCells) * static_cast<size_t>(table.pieceCount);
    table.group.assign(groups + 1, 0);
    for (const Placement& placed : placements) {
        Bits<W> mask;
        for (int32_t cell : placed.cells) mask.set(cell);
        table.masks.push_back(mask);
        table.piece.push_back(placed.piece);
        table.waste.push_back(placed.waste);
        ++table.group[static_cast<size_t>(placed.first) * table.pieceCount + placed.piece + 1];
    }
    for (size_t g = 0; g < groups; ++g) table.group[g + 1] += table.group[g];
    for (int32_t bit = 0; bit < W * 64; ++bit) {
        bool inGrid = bit < order.gridCells;
        if (inGrid) table.grid.set(bit);
        if (inGrid && order.onBoard[bit]) table.board.set(bit);
        if (inGrid && !order.onBoard[bit]) table.offBoard.set(bit);
        if (!inGrid || !order.onBoard[bit]) table.notBoard.set(bit);
        if (inGrid && bit % order.line == 0) table.lineStart.set(bit);
        if (inGrid && bit % order.line == order.line - 1) table.lineEnd.set(bit);
    }
    int32_t gcd = 0;
    int32_t least = INT32_MAX;
    for (int32_t area : areas) {
        if (area <= 0) continue;
        gcd = std::gcd(gcd, area);
        least = std::min(least, area);
    }
    table.minArea = least == INT32_MAX ? 1 : least;
    table.areas = areas;
    table.sameAreas = std::all_of(areas.begin(), areas.end(), [&](int32_t area) { return area == areas.front(); });
    table.areaGcd = gcd == 0 ? 1 : gcd;
    for (const Bits<W>& mask : table.masks) table.halo.push_back(Neighbours(mask, table));
    return table;
}

// The cells one step from any cell of region, along a line or across lines (may include region's own).
template <int W>
Bits<W> Beside(const Bits<W>& region, const Table<W>& t)
{
    return region.without(t.lineEnd).up(1) | region.without(t.lineStart).down(1) | region.up(t.line) |
           region.down(t.line);
}

template <int W>
Bits<W> Neighbours(const Bits<W>& region, const Table<W>& t)
{
    return (Beside(region, t) & t.grid).without(region);
}

// The cells of space that region reaches through neighbours, and whether
// that is all of them (false when it was still growing after growthSteps).
template <int W>
bool Grow(Bits<W>& region, const Bits<W>& space, const Table<W>& t)
{
    for (int32_t step = 0; step < growthSteps; ++step) {
        Bits<W> next = (region | Beside(region, t)) & space;
        if (next == region) return true;
        region = next;
    }
    return false;
}

// The region sizes that the free pieces can fill together, below 64: bit s
// is set when some of them have s cells in all.
template <int W>
uint64_t FillableSizes(uint64_t unused, const Table<W>& t)
{
    uint64_t sums = 1;
    for (uint64_t free = unused; free != 0; free &= free - 1) {
        int32_t area = t.areas[static_cast<size_t>(__builtin_ctzll(free))];
        if (area < 64) sums |= sums << area;
    }
    return sums;
}

// False when some small closed region of empty board cells beside seeds
// cannot be filled: no set of the free pieces has its size (or, where every
// piece has one area, it is smaller than a piece or no multiple of it).
// Skipping a region costs only search time, never a solution, so large
// regions (still growing after growthSteps) are left to the search. Under
// the game's rules pieces may stick out of the board, regions open to the
// free cells off it are common, and growing them costs more than it saves:
// there only lone empty cells are looked for.
template <int W>
bool RegionsFillable(const Bits<W>& filled, const Bits<W>& seeds, uint64_t unused, const Table<W>& t)
{
    Bits<W> empty = t.grid.without(filled);
    if (t.offBoard.any()) {
        if (t.minArea <= 1) return true;
        return !(empty & t.board & seeds).without(Beside(empty, t)).any();
    }
    Bits<W> unvisited = empty & seeds;
    uint64_t sizes = 0;  // worked out at the first closed region
    while (unvisited.any()) {
        Bits<W> region = unvisited.lowest();
        bool whole = Grow(region, empty, t);
        unvisited = unvisited.without(region);
        if (!whole) continue;
        int32_t size = region.count();
        if (size < t.minArea || size % t.areaGcd != 0) return false;
        if (t.sameAreas || size >= 64) continue;
        if (sizes == 0) sizes = FillableSizes(unused, t);
        if ((sizes >> size & 1) == 0) return false;
    }
    return true;
}

// A point of the search: what is filled, which pieces are still free, the
// slack left, where to look for the first empty cell, and the placements
// chosen on the way there. check names the symmetries under which a solution
// must be the least of its images to count (see CountDistinct).
template <int W>
struct Task {
    Bits<W> filled;
    uint64_t unused = 0;
    int32_t budget = 0;
    int32_t from = 0;
    std::vector<int32_t> chosen;
    const std::vector<std::vector<int32_t>>* check = nullptr;
    int64_t weight = 1;  // solutions each one found here stands for
};

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

    void solution()
    {
        if (check != nullptr && !leastOfItsImages()) return;
        count += weight;
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
        int64_t limit = shared->limit;
        if (limit > 0 || options.exactBelow > 0) {
            // Threads share the limit: whoever reaches it stops them all.
            int64_t total = shared->found += weight;
            if (limit > 0 && total >= limit) {
                stoppedAtLimit = true;
                shared->stop = true;
            }
            if (shared->stop) stopped = true;
        }
    }

    void fill(const Bits<W>& filled, uint64_t unused, int32_t budget, int32_t from)
    {
        if (++nodes % clockInterval == 0) {
            lookAtClock();
            if (stopped) return;
        }
        const Table<W>& t = *table;
        int32_t c = FirstEmpty(filled | t.notBoard, from, t.gridCells);
        if (c == t.gridCells) {
            solution();
            return;
        }
        const int32_t* group = t.group.data() + static_cast<size_t>(c) * t.pieceCount;
        for (uint64_t free = unused; free != 0; free &= free - 1) {
            int32_t p = __builtin_ctzll(free);
            for (int32_t k = group[p]; k < group[p + 1]; ++k) {
                if (t.waste[k] > budget || filled.collides(t.masks[k])) continue;
                Bits<W> next = filled;
                next.add(t.masks[k]);
                // Only the regions beside the new piece can have changed.
                if (!RegionsFillable(next, t.halo[k], unused & ~(uint64_t{1} << p), t)) continue;
                chosen[depth++] = k;
                fill(next, unused & ~(uint64_t{1} << p), budget - t.waste[k], c + 1);
                --depth;
                if (stopped) return;
            }
        }
    }

    void run(const Task<W>& task)
    {
        const Table<W>& t = *table;
        depth = 0;
        for (int32_t k : task.chosen) chosen[depth++] = k;
        check = task.check;
        weight = task.weight;
        if (RegionsFillable(task.filled, t.grid, task.unused, t)) fill(task.filled, task.unused, task.budget, task.from);
    }
};

// Replaces tasks by their children, one level deeper, until there are
// enough for the threads; solutions met on the way are counted by the caller.
template <int W>
std::vector<Task<W>> Split(const Table<W>& t, std::vector<Task<W>> tasks, size_t wanted, std::vector<Task<W>>& done)
{
    for (int32_t level = 0; level < 3 && tasks.size() < wanted && !tasks.empty(); ++level) {
        std::vector<Task<W>> deeper;
        for (const Task<W>& task : tasks) {
            int32_t c = FirstEmpty(task.filled | t.notBoard, task.from, t.gridCells);
            if (c == t.gridCells) {
                done.push_back(task);
                continue;
            }
            for (int32_t k = t.group[static_cast<size_t>(c) * t.pieceCount];
                 k < t.group[static_cast<size_t>(c + 1) * t.pieceCount]; ++k) {
                if ((task.unused >> t.piece[k] & 1) == 0 || t.waste[k] > task.budget ||
                    task.filled.collides(t.masks[k])) {
                    continue;
                }
                Task<W> child = task;
                child.filled.add(t.masks[k]);
                child.unused &= ~(uint64_t{1} << t.piece[k]);
                child.budget -= t.waste[k];
                child.from = c + 1;
                child.chosen.push_back(k);
                deeper.push_back(std::move(child));
            }
        }
        tasks = std::move(deeper);
    }
    return tasks;
}

// Runs the tasks on the jobs' threads and adds up what they found.
template <int W>
void RunTasks(const Table<W>& t, Shared& shared, std::vector<Task<W>> tasks, int32_t jobs, SolveResult& result)
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
    auto work = [&](Worker<W>& worker) {
        for (size_t i = next++; i < tasks.size() && !worker.stopped; i = next++) worker.run(tasks[i]);
    };
    std::vector<std::thread> threads;
    for (int32_t j = 0; j < jobs; ++j) {
        Worker<W>& worker = workers[static_cast<size_t>(j)];
        worker.table = &t;
        worker.shared = &shared;
        worker.reportsProgress = j == 0;
        worker.count = 0;
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

// The symmetries of the board, each as the map of board cell numbers.
std::vector<std::vector<int32_t>> BoardMaps(const Puzzle& puzzle, const CellOrder& order, bool mirror)
{
    int32_t w = puzzle.boardWidth;
    int32_t h = puzzle.boardHeight;
    std::vector<BoardMap> maps = BoardSymmetries(w, h, mirror);
    std::vector<std::vector<int32_t>> result;
    for (auto map : maps) {
        std::vector<int32_t> cells(static_cast<size_t>(order.gridCells));
        for (int32_t i = 0; i < order.gridCells; ++i) {
            Point to = map(order.cellAt[i], w, h);
            cells[i] = order.indexOf[to.y * order.columns + to.x];
        }
        result.push_back(std::move(cells));
    }
    return result;
}

// One orbit of a piece's placements under the board's symmetries: the
// placement the search fixes, and the symmetries that map it onto itself.
struct FixedPlacement {
    int32_t entry;  // table entry
    std::vector<std::vector<int32_t>> stabiliser;  // without the identity
};

std::vector<FixedPlacement> OrbitRepresentatives(int32_t piece, const std::vector<Placement>& placements,
                                                 const std::vector<std::vector<int32_t>>& maps)
{
    std::vector<FixedPlacement> result;
    for (size_t entry = 0; entry < placements.size(); ++entry) {
        const Placement& placed = placements[entry];
        if (placed.piece != piece) continue;
        bool least = true;
        FixedPlacement fixed{static_cast<int32_t>(entry), {}};
        for (size_t g = 1; g < maps.size() && least; ++g) {
            std::vector<int32_t> image;
            for (int32_t cell : placed.cells) image.push_back(maps[g][cell]);
            std::sort(image.begin(), image.end());
            if (image == placed.cells) fixed.stabiliser.push_back(maps[g]);
            least = !std::lexicographical_compare(image.begin(), image.end(), placed.cells.begin(), placed.cells.end());
        }
        if (least) result.push_back(std::move(fixed));
    }
    return result;
}

// The search split by the board's symmetries, over the pieces in active:
// tilings with a chosen piece P fixed to the least placement of each of its
// orbits, plus, when P may be left out, those without P. Counting up to
// symmetry, a tiling with P at a placement that no symmetry fixes meets that
// placement in exactly one of its images; where symmetries fix P's
// placement, a tiling counts when it is the least of its images under them.
// Counting every tiling, each placement of an orbit has as many tilings as
// the one searched, which stands for them all.
template <int W>
void CollectOrbitTasks(const Table<W>& t, const std::vector<Placement>& placements,
                       const std::vector<std::vector<int32_t>>& maps,
                       const std::vector<int32_t>& areas, uint64_t active, int32_t boardCells, bool distinct,
                       std::deque<std::vector<std::vector<int32_t>>>& keep, std::vector<Task<W>>& tasks)
{
    int64_t area = 0;
    for (size_t p = 0; p < areas.size(); ++p) {
        if ((active >> p & 1) != 0) area += areas[p];
    }
    if (active == 0 || area < boardCells) return;
    // P: the piece with the fewest self-symmetric placements to check, then the fewest placements.
    int32_t best = -1;
    std::vector<FixedPlacement> bestFixed;
    size_t bestSymmetric = SIZE_MAX;
    for (size_t p = 0; p < areas.size(); ++p) {
        if ((active >> p & 1) == 0) continue;
        std::vector<FixedPlacement> fixed = OrbitRepresentatives(static_cast<int32_t>(p), placements, maps);
        size_t symmetric = static_cast<size_t>(std::count_if(
            fixed.begin(), fixed.end(), [](const FixedPlacement& f) { return !f.stabiliser.empty(); }));
        if (best < 0 || symmetric < bestSymmetric || (symmetric == bestSymmetric && fixed.size() < bestFixed.size())) {
            best = static_cast<int32_t>(p);
            bestFixed = std::move(fixed);
            bestSymmetric = symmetric;
        }
    }
    uint64_t rest = active & ~(uint64_t{1} << best);
    for (FixedPlacement& fixed : bestFixed) {
        Task<W> task;
        task.filled = t.masks[fixed.entry];
        task.unused = rest;
        task.chosen = {fixed.entry};
        if (!distinct) {
            // Every placement of the orbit has as many tilings as this one.
            task.weight = static_cast<int64_t>(maps.size() / (fixed.stabiliser.size() + 1));
        } else if (!fixed.stabiliser.empty()) {
            keep.push_back(std::move(fixed.stabiliser));
            task.check = &keep.back();
        }
        tasks.push_back(std::move(task));
    }
    if (area > boardCells) {
        CollectOrbitTasks(t, placements, maps, areas, rest, boardCells, distinct, keep, tasks);
    }
}

template <int W>
SolveResult Count(const Puzzle& puzzle, const SolveOptions& options, const CellOrder& order,
                  const std::vector<Placement>& placements, const std::vector<int32_t>& areas, int32_t slack)
{
    SolveResult result;
    Table<W> table = MakeTable<W>(placements, order, areas);

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
    RunTasks(table, shared, std::move(tasks), jobs, result);
    result.stoppedAtTime = shared.timeUp;
    result.stoppedAtSteps = shared.stepsUp;
    result.seconds = std::chrono::duration<double>(Clock::now() - shared.start).count();
    return result;
}
}  // namespace

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
    CellOrder order = MakeCellOrder(puzzle, boardOnly);
    std::vector<Placement> placements = MakePlacements(puzzle, order, options.mirror, boardOnly ? 0 : slack);
    int32_t words = (order.gridCells + 63) / 64;
    switch (words) {
    case 1: return Count<1>(puzzle, options, order, placements, areas, boardOnly ? 0 : slack);
    case 2: return Count<2>(puzzle, options, order, placements, areas, boardOnly ? 0 : slack);
    case 3: return Count<3>(puzzle, options, order, placements, areas, boardOnly ? 0 : slack);
    case 4: return Count<4>(puzzle, options, order, placements, areas, boardOnly ? 0 : slack);
    case maxWords: return Count<maxWords>(puzzle, options, order, placements, areas, boardOnly ? 0 : slack);
    default: return {};
    }
}
