// GenerateStageSource: grows pieces from random seed cells until the board is split, or stirs a cut snake when sizes never fit.
#include "authoring/stage_generator.h"

#include <algorithm>
#include <array>
#include <climits>
#include <vector>

#include "game/data_files.h"
#include "authoring/stage_text.h"

namespace {
const int32_t steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};

// The cell one step in direction d from cell, or -1 off the board.
int32_t Neighbour(const GenerateOptions& options, int32_t cell, int32_t d)
{
    int32_t nx = cell % options.width + steps[d][0];
    int32_t ny = cell / options.width + steps[d][1];
    return nx < 0 || ny < 0 || nx >= options.width || ny >= options.height ? -1 : ny * options.width + nx;
}

// A split being grown, with what each growth step reads kept up to date
// rather than found by scanning the board: the pieces' cells, and how many
// of each free cell's neighbours belong to a piece that may still grow.
struct Partition {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<int32_t> owner;  // piece of each cell, -1 while unassigned
    std::vector<int32_t> sizes;
    std::vector<std::vector<int32_t>> members;  // each piece's cells
    std::vector<int32_t> choices;               // per free cell: its neighbours in pieces that may grow
    int32_t totalChoices = 0;
    std::vector<std::array<int32_t, 4>> around;  // each cell's neighbours by direction, -1 off the board

    void reset(const GenerateOptions& options)
    {
        if (width != options.width || height != options.height) {
            width = options.width;
            height = options.height;
            around.resize(static_cast<size_t>(width * height));
            for (int32_t cell = 0; cell < width * height; ++cell) {
                for (int32_t d = 0; d < 4; ++d) around[cell][d] = Neighbour(options, cell, d);
            }
        }
        owner.assign(static_cast<size_t>(width * height), -1);
        sizes.assign(static_cast<size_t>(options.pieces), 0);
        members.resize(static_cast<size_t>(options.pieces));
        for (std::vector<int32_t>& cells : members) cells.clear();
        choices.assign(owner.size(), 0);
        totalChoices = 0;
    }

    // The cell's neighbour in direction d, or -1 off the board.
    int32_t neighbour(int32_t cell, int32_t d) const { return around[cell][d]; }

    // The piece that the cell's neighbour in direction d would grow, or -1.
    int32_t grower(int32_t cell, int32_t d, int32_t maxCells) const
    {
        int32_t next = neighbour(cell, d);
        if (next < 0 || owner[next] < 0 || sizes[owner[next]] >= maxCells) return -1;
        return owner[next];
    }

    void recount(int32_t cell, int32_t maxCells)
    {
        int32_t count = 0;
        if (owner[cell] == -1) {
            for (int32_t d = 0; d < 4; ++d) count += grower(cell, d, maxCells) >= 0 ? 1 : 0;
        }
        totalChoices += count - choices[cell];
        choices[cell] = count;
    }

    void take(int32_t cell, int32_t piece, int32_t maxCells)
    {
        owner[cell] = piece;
        ++sizes[piece];
        members[piece].push_back(cell);
        // A piece that can grow no more stops being a choice beside any of its cells.
        if (sizes[piece] < maxCells) {
            recountAround(cell, maxCells);
        } else {
            for (int32_t at : members[piece]) recountAround(at, maxCells);
        }
    }

    void recountAround(int32_t cell, int32_t maxCells)
    {
        recount(cell, maxCells);
        for (int32_t d = 0; d < 4; ++d) {
            int32_t next = neighbour(cell, d);
            if (next >= 0) recount(next, maxCells);
        }
    }
};

// Whether the cell just taken shut a piece below the least size in, itself or
// a neighbour's: with no free cell beside it, it can never grow to that size.
bool Shut(const GenerateOptions& options, const Partition& partition, int32_t taken)
{
    auto freeBeside = [&](int32_t piece) {
        for (int32_t cell : partition.members[piece]) {
            for (int32_t d = 0; d < 4; ++d) {
                int32_t next = partition.neighbour(cell, d);
                if (next >= 0 && partition.owner[next] == -1) return true;
            }
        }
        return false;
    };
    auto shut = [&](int32_t piece) { return partition.sizes[piece] < options.minCells && !freeBeside(piece); };
    if (shut(partition.owner[taken])) return true;
    for (int32_t d = 0; d < 4; ++d) {
        int32_t next = partition.neighbour(taken, d);
        if (next < 0) continue;
        int32_t piece = partition.owner[next];
        if (piece >= 0 && shut(piece)) return true;
    }
    return false;
}

// Every growth step picks one of the choices, each a free cell and a piece
// beside it that may grow, numbered by cell and then by direction.
bool TryPartition(const GenerateOptions& options, SeededRandom& random, Partition& partition)
{
    int32_t cellCount = options.width * options.height;
    partition.reset(options);
    for (int32_t piece = 0; piece < options.pieces; ++piece) {
        int32_t cell = 0;
        do {
            cell = random.between(0, cellCount - 1);
        } while (partition.owner[cell] != -1);
        partition.take(cell, piece, options.maxCells);
    }
    for (int32_t assigned = options.pieces; assigned < cellCount; ++assigned) {
        if (partition.totalChoices == 0) return false;
        auto chosen = static_cast<int32_t>(random.below(static_cast<uint64_t>(partition.totalChoices)));
        int32_t cell = 0;
        while (chosen >= partition.choices[cell]) chosen -= partition.choices[cell++];
        int32_t piece = -1;
        for (int32_t d = 0; d < 4 && piece < 0; ++d) {
            int32_t next = partition.grower(cell, d, options.maxCells);
            if (next >= 0 && chosen-- == 0) piece = next;
        }
        partition.take(cell, piece, options.maxCells);
        if (Shut(options, partition, cell)) return false;
    }
    for (int32_t size : partition.sizes) {
        if (size < options.minCells) return false;
    }
    return true;
}

// Whether the cells of piece, size of them, are one piece.
bool OnePiece(const GenerateOptions& options, const std::vector<int32_t>& owner, int32_t piece, int32_t size)
{
    auto cellCount = static_cast<int32_t>(owner.size());
    std::vector<int32_t> stack;
    std::vector<bool> seen(owner.size(), false);
    for (int32_t c = 0; c < cellCount && stack.empty(); ++c) {
        if (owner[static_cast<size_t>(c)] == piece) {
            stack.push_back(c);
            seen[static_cast<size_t>(c)] = true;
        }
    }
    int32_t reached = 0;
    while (!stack.empty()) {
        int32_t c = stack.back();
        stack.pop_back();
        ++reached;
        for (int32_t d = 0; d < 4; ++d) {
            int32_t a = Neighbour(options, c, d);
            if (a >= 0 && !seen[static_cast<size_t>(a)] && owner[static_cast<size_t>(a)] == piece) {
                seen[static_cast<size_t>(a)] = true;
                stack.push_back(a);
            }
        }
    }
    return reached == size;
}

// A random cell of the board (or of near) and the piece beside it in a
// random direction, when that is another piece.
bool BorderPair(const GenerateOptions& options, SeededRandom& random, const std::vector<int32_t>& near,
                const std::vector<int32_t>& owner, int32_t& cell, int32_t& neighbour)
{
    auto cellCount = static_cast<int32_t>(owner.size());
    cell = near.empty() ? random.between(0, cellCount - 1) : random.pick(near);
    neighbour = Neighbour(options, cell, static_cast<int32_t>(random.below(4)));
    if (neighbour < 0) return false;
    return owner[static_cast<size_t>(cell)] != owner[static_cast<size_t>(neighbour)];
}

// Two touching pieces trade a cell each, so that their sizes stay: the
// only change there is when every piece must have one size.
bool TradeBorderCells(const GenerateOptions& options, SeededRandom& random, std::vector<int32_t>& owner)
{
    int32_t cell = 0;
    int32_t neighbour = 0;
    if (!BorderPair(options, random, {}, owner, cell, neighbour)) return false;
    int32_t from = owner[static_cast<size_t>(cell)];
    int32_t to = owner[static_cast<size_t>(neighbour)];
    owner[static_cast<size_t>(cell)] = to;
    // The cell given back: one of the other piece's, beside what is left of the first.
    std::vector<int32_t> back;
    for (int32_t c = 0; c < static_cast<int32_t>(owner.size()); ++c) {
        if (c == cell || owner[static_cast<size_t>(c)] != to) continue;
        for (int32_t d = 0; d < 4; ++d) {
            int32_t a = Neighbour(options, c, d);
            if (a >= 0 && owner[static_cast<size_t>(a)] == from) {
                back.push_back(c);
                break;
            }
        }
    }
    int32_t given = back.empty() ? cell : random.pick(back);
    owner[static_cast<size_t>(given)] = from;
    int32_t fromSize = static_cast<int32_t>(std::count(owner.begin(), owner.end(), from));
    int32_t toSize = static_cast<int32_t>(std::count(owner.begin(), owner.end(), to));
    if (given != cell && OnePiece(options, owner, from, fromSize) && OnePiece(options, owner, to, toSize)) return true;
    owner[static_cast<size_t>(given)] = to;
    owner[static_cast<size_t>(cell)] = from;
    return false;
}
}  // namespace

bool MoveBorderCell(const GenerateOptions& options, SeededRandom& random, const std::vector<int32_t>& near,
                    std::vector<int32_t>& owner)
{
    int32_t cell = 0;
    int32_t neighbour = 0;
    if (!BorderPair(options, random, near, owner, cell, neighbour)) return false;
    int32_t from = owner[static_cast<size_t>(cell)];
    int32_t to = owner[static_cast<size_t>(neighbour)];
    int32_t fromSize = static_cast<int32_t>(std::count(owner.begin(), owner.end(), from));
    int32_t toSize = static_cast<int32_t>(std::count(owner.begin(), owner.end(), to));
    if (fromSize - 1 < options.minCells || toSize + 1 > options.maxCells) return false;
    owner[static_cast<size_t>(cell)] = to;
    // The piece that gave the cell must still be one piece.
    if (OnePiece(options, owner, from, fromSize - 1)) return true;
    owner[static_cast<size_t>(cell)] = from;
    return false;
}

namespace {
// How many 2 x 2 windows of the board have exactly pairs of their six pairs
// of cells in one piece: 6 when the whole window is, 3 when three cells are.
int32_t WindowsWithPairs(const GenerateOptions& options, const std::vector<int32_t>& owner, int32_t pairs)
{
    auto w = static_cast<size_t>(options.width);
    int32_t windows = 0;
    for (int32_t y = 0; y + 1 < options.height; ++y) {
        for (int32_t x = 0; x + 1 < options.width; ++x) {
            auto at = static_cast<size_t>(y) * w + static_cast<size_t>(x);
            int32_t a = owner[at], b = owner[at + 1], c = owner[at + w], d = owner[at + w + 1];
            int32_t same = (a == b) + (a == c) + (a == d) + (b == c) + (b == d) + (c == d);
            windows += same == pairs ? 1 : 0;
        }
    }
    return windows;
}
}  // namespace

int32_t SquaresInPieces(const GenerateOptions& options, const std::vector<int32_t>& owner)
{
    return WindowsWithPairs(options, owner, 6);
}

int32_t CornersOfPieces(const GenerateOptions& options, const std::vector<int32_t>& owner)
{
    return WindowsWithPairs(options, owner, 3);
}

bool HoldsSquare(const std::vector<Point>& cells)
{
    auto has = [&](int32_t x, int32_t y) {
        return std::any_of(cells.begin(), cells.end(), [&](Point c) { return c.x == x && c.y == y; });
    };
    return std::any_of(cells.begin(), cells.end(),
                       [&](Point c) { return has(c.x + 1, c.y) && has(c.x, c.y + 1) && has(c.x + 1, c.y + 1); });
}

bool UnsquarePieces(const GenerateOptions& options, SeededRandom& random, std::vector<int32_t>& owner, int64_t& moves)
{
    constexpr int32_t triesPerCell = 200;
    const std::vector<int32_t> anywhere;
    int32_t squares = SquaresInPieces(options, owner);
    std::vector<int32_t> moved;
    for (int32_t tries = triesPerCell * options.width * options.height; squares > 0 && tries > 0; --tries) {
        ++moves;
        moved = owner;
        if (!MoveBorderCell(options, random, anywhere, moved)) continue;
        // A move that adds no square is kept, so the pieces drift until the last one goes.
        int32_t after = SquaresInPieces(options, moved);
        if (after > squares) continue;
        owner.swap(moved);
        squares = after;
    }
    return squares == 0;
}

namespace {
// Piece sizes from minCells to maxCells that fill the board: every piece
// starts at the least size, and each cell left goes to a piece that may still grow.
std::vector<int32_t> RandomSizes(const GenerateOptions& options, SeededRandom& random)
{
    std::vector<int32_t> sizes(static_cast<size_t>(options.pieces), options.minCells);
    std::vector<int32_t> growing;
    for (int32_t piece = 0; piece < options.pieces; ++piece) {
        if (options.minCells < options.maxCells) growing.push_back(piece);
    }
    for (int32_t left = options.width * options.height - options.pieces * options.minCells; left > 0; --left) {
        size_t at = random.below(growing.size());
        if (++sizes[static_cast<size_t>(growing[at])] == options.maxCells) {
            growing[at] = growing.back();
            growing.pop_back();
        }
    }
    return sizes;
}

}  // namespace

// For sizes that pieces grown from seed cells seldom all reach, such as
// 10 x 8 in sixteen pieces of four to seven cells.
void StirredSnakePartition(const GenerateOptions& options, SeededRandom& random, std::vector<int32_t>& owner)
{
    constexpr int32_t movesPerCell = 40;
    int32_t w = options.width;
    int32_t cellCount = w * options.height;
    std::vector<int32_t> sizes = RandomSizes(options, random);
    owner.assign(static_cast<size_t>(cellCount), 0);
    int32_t piece = 0;
    int32_t placed = 0;
    for (int32_t i = 0; i < cellCount; ++i) {
        int32_t y = i / w;
        int32_t x = y % 2 == 0 ? i % w : w - 1 - i % w;
        if (placed == sizes[static_cast<size_t>(piece)]) {
            ++piece;
            placed = 0;
        }
        owner[static_cast<size_t>(y * w + x)] = piece;
        ++placed;
    }
    // Pieces of one size can only trade cells; others mostly give them.
    const std::vector<int32_t> anywhere;
    for (int32_t move = 0; move < movesPerCell * cellCount; ++move) {
        if (options.minCells == options.maxCells) {
            TradeBorderCells(options, random, owner);
        } else {
            MoveBorderCell(options, random, anywhere, owner);
        }
    }
}

bool RandomPartition(const GenerateOptions& options, SeededRandom& random, std::vector<int32_t>& owner, bool grow)
{
    // Partitions grown from seed cells before a snake is stirred instead: so
    // many that wherever growing succeeds at all (a pack's stages need a few
    // hundred tries at most) it is the one way used, and the same seed gives
    // the same stage as it always did; where it never does, the tries cost
    // about 0.4 s on 10 x 8.
    constexpr int32_t growTries = 20000;
    Partition partition;
    for (int32_t attempt = 0; grow && attempt < growTries; ++attempt) {
        if (TryPartition(options, random, partition)) {
            owner = std::move(partition.owner);
            return true;
        }
    }
    StirredSnakePartition(options, random, owner);
    return false;
}

std::vector<Point> RandomPiece(int32_t size, SeededRandom& random)
{
    std::vector<Point> cells = {{0, 0}};
    while (static_cast<int32_t>(cells.size()) < size) {
        Point from = random.pick(cells);
        const int32_t* step = steps[random.below(4)];
        Point to = {from.x + step[0], from.y + step[1]};
        bool taken = std::any_of(cells.begin(), cells.end(), [&](Point c) { return c.x == to.x && c.y == to.y; });
        if (!taken) cells.push_back(to);
    }
    return cells;
}

// Symbols follow the pieces' first appearance in reading order; decoys come
// after the board, each drawn in its own block with its own symbol.
std::string WriteStageSource(const GenerateOptions& options, const GeneratedStage& stage,
                             const std::vector<std::string>& comments)
{
    std::vector<int32_t> symbolOf(static_cast<size_t>(options.pieces), -1);
    int32_t nextSymbol = 0;
    std::string text = "# Generated " + std::to_string(options.width) + " x " + std::to_string(options.height) +
                       ", " + std::to_string(options.pieces) + " pieces, seed " + std::to_string(options.seed) + "\n";
    for (const std::string& comment : comments) text += "# " + comment + "\n";
    for (int32_t y = 0; y < options.height; ++y) {
        for (int32_t x = 0; x < options.width; ++x) {
            int32_t piece = stage.owner[static_cast<size_t>(y * options.width + x)];
            if (symbolOf[piece] < 0) symbolOf[piece] = nextSymbol++;
            text += PieceLetter(symbolOf[piece]);
        }
        text += '\n';
    }
    for (const std::vector<Point>& decoy : stage.decoys) {
        int32_t minX = INT32_MAX, minY = INT32_MAX, maxX = INT32_MIN, maxY = INT32_MIN;
        for (Point cell : decoy) {
            minX = std::min(minX, cell.x);
            minY = std::min(minY, cell.y);
            maxX = std::max(maxX, cell.x);
            maxY = std::max(maxY, cell.y);
        }
        char symbol = PieceLetter(nextSymbol++);
        text += '\n';
        for (int32_t y = minY; y <= maxY; ++y) {
            for (int32_t x = minX; x <= maxX; ++x) {
                bool filled = std::any_of(decoy.begin(), decoy.end(), [&](Point c) { return c.x == x && c.y == y; });
                text += filled ? symbol : '.';
            }
            text += '\n';
        }
    }
    return text;
}

bool CheckGenerateOptions(const GenerateOptions& options, std::string& error)
{
    // Any width and height fit in 64 bits; only checked sizes reach 32-bit arithmetic.
    int64_t area = static_cast<int64_t>(options.width) * options.height;
    auto cellCount = static_cast<int32_t>(std::min<int64_t>(area, INT32_MAX));
    if (options.width < 1 || options.width > maxBoardWidth) {
        error = "--width must be from 1 to " + std::to_string(maxBoardWidth);
    } else if (options.height < 1 || options.height > MaxBoardHeight(options.width)) {
        error = "--height must be from 1 to " + std::to_string(MaxBoardHeight(options.width)) + " for that width";
    } else if (options.pieces < 1 || options.pieces > maxPieces || options.pieces > cellCount) {
        error = "--pieces must be from 1 to " + std::to_string(std::min(maxPieces, cellCount));
    } else if (options.minCells < 1 || options.maxCells > maxShapeCells || options.minCells > options.maxCells) {
        error = "--min-cells and --max-cells must satisfy 1 <= min <= max <= " + std::to_string(maxShapeCells);
    } else if (options.pieces * options.minCells > cellCount || options.pieces * options.maxCells < cellCount) {
        error = "the board's " + std::to_string(cellCount) + " cells cannot be split into " +
                std::to_string(options.pieces) + " pieces of that size";
    } else if (options.decoys < 0 || options.pieces + options.decoys > maxPieces) {
        error = "--decoys must be from 0 to " + std::to_string(maxPieces - options.pieces) + " for that many pieces";
    }
    return error.empty();
}

bool GenerateStageSource(const GenerateOptions& options, std::string& source, std::string& error)
{
    if (!CheckGenerateOptions(options, error)) return false;
    SeededRandom random(options.seed);
    GeneratedStage stage;
    RandomPartition(options, random, stage.owner);
    int64_t moves = 0;
    if (options.noSquares && !UnsquarePieces(options, random, stage.owner, moves)) {
        error = "no split of the board into pieces without a 2 x 2 square was found";
        return false;
    }
    source = WriteStageSource(options, stage, {});
    return true;
}
