// The exact-cover solver: board cells and the pieces in use are primary columns, cells off the board secondary.
#include "authoring/stage_solver.h"

#include <algorithm>
#include <chrono>

#include "game/piece.h"

namespace {
// One node of the sparse matrix; its four links and its column sit together
// so that covering a column touches as few cache lines as it can.
// For a column header, row holds the column's size: the number of rows
// still in it.
struct Node {
    int32_t left, right, up, down, column, row;
};

struct Links {
    std::vector<Node> nodes;
};

struct Search {
    Links links;
    std::vector<PlacedPiece> rows;  // the placement each matrix row stands for
    std::vector<int32_t> rowWaste;  // cells of that placement off the board
    int32_t budget = 0;             // off-board cells still allowed
    std::vector<int32_t> chosen;
    const SolveOptions* options = nullptr;
    SolveResult* result = nullptr;
    std::chrono::steady_clock::time_point start;
    std::chrono::steady_clock::time_point nextProgress;
};

// The clock is read once every this many steps.
constexpr int64_t clockInterval = 4096;
constexpr auto progressInterval = std::chrono::seconds(1);

// Counts a step; now and then reports progress, and says whether time is up.
bool OutOfTime(Search& search)
{
    SolveResult& result = *search.result;
    if (++result.nodes % clockInterval != 0) return false;
    auto now = std::chrono::steady_clock::now();
    const SolveOptions& options = *search.options;
    if (options.onProgress && now >= search.nextProgress) {
        options.onProgress({result.nodes, result.count});
        search.nextProgress = now + progressInterval;
    }
    if (options.timeLimit > 0 && std::chrono::duration<double>(now - search.start).count() >= options.timeLimit) {
        result.stoppedAtTime = true;
        return true;
    }
    return false;
}

int32_t AddNode(Links& links, int32_t column, int32_t row)
{
    auto index = static_cast<int32_t>(links.nodes.size());
    std::vector<Node>& n = links.nodes;
    n.push_back({index, index, n[column].up, column, column, row});
    n[n[column].up].down = index;
    n[column].up = index;
    ++n[column].row;
    return index;
}

// Header 0 is the root; headers 1..columnCount follow. Only primary columns
// are linked into the root's list, so secondary ones need not be covered.
void BuildHeaders(Links& links, int32_t columnCount, int32_t primaryCount)
{
    for (int32_t c = 0; c <= columnCount; ++c) {
        links.nodes.push_back({c, c, c, c, c, 0});
    }
    std::vector<Node>& n = links.nodes;
    for (int32_t c = 1; c <= primaryCount; ++c) {
        n[c].left = c - 1;
        n[c].right = c == primaryCount ? 0 : c + 1;
    }
    n[0].left = primaryCount;
    n[0].right = primaryCount == 0 ? 0 : 1;
}

void AddRow(Links& links, const std::vector<int32_t>& columns, int32_t row)
{
    int32_t first = -1;
    for (int32_t column : columns) {
        int32_t index = AddNode(links, column, row);
        if (first < 0) {
            first = index;
            continue;
        }
        std::vector<Node>& n = links.nodes;
        n[index].left = n[first].left;
        n[index].right = first;
        n[n[first].left].right = index;
        n[first].left = index;
    }
}

void Cover(Links& l, int32_t c)
{
    Node* n = l.nodes.data();
    n[n[c].left].right = n[c].right;
    n[n[c].right].left = n[c].left;
    for (int32_t i = n[c].down; i != c; i = n[i].down) {
        for (int32_t j = n[i].right; j != i; j = n[j].right) {
            n[n[j].up].down = n[j].down;
            n[n[j].down].up = n[j].up;
            --n[n[j].column].row;
        }
    }
}

void Uncover(Links& l, int32_t c)
{
    Node* n = l.nodes.data();
    for (int32_t i = n[c].up; i != c; i = n[i].up) {
        for (int32_t j = n[i].left; j != i; j = n[j].left) {
            ++n[n[j].column].row;
            n[n[j].up].down = j;
            n[n[j].down].up = j;
        }
    }
    n[n[c].left].right = c;
    n[n[c].right].left = c;
}

// Returns false once the limit is reached or the time is up.
bool Explore(Search& search)
{
    Links& l = search.links;
    const Node* n = l.nodes.data();
    if (OutOfTime(search)) return false;
    if (n[0].right == 0) {
        SolveResult& result = *search.result;
        ++result.count;
        if (result.count <= search.options->report && search.options->onSolution) {
            std::vector<PlacedPiece> solution;
            for (int32_t row : search.chosen) solution.push_back(search.rows[row]);
            search.options->onSolution(solution);
        }
        if (search.options->limit > 0 && result.count >= search.options->limit) {
            result.stoppedAtLimit = true;
            return false;
        }
        return true;
    }
    int32_t best = n[0].right;
    for (int32_t c = n[best].right; c != 0; c = n[c].right) {
        if (n[c].row < n[best].row) best = c;
    }
    if (n[best].row == 0) return true;
    Cover(l, best);
    bool goOn = true;
    for (int32_t r = n[best].down; r != best && goOn; r = n[r].down) {
        int32_t waste = search.rowWaste[n[r].row];
        if (waste > search.budget) continue;
        search.budget -= waste;
        search.chosen.push_back(n[r].row);
        for (int32_t j = n[r].right; j != r; j = n[j].right) Cover(l, n[j].column);
        goOn = Explore(search);
        for (int32_t j = n[r].left; j != r; j = n[j].left) Uncover(l, n[j].column);
        search.chosen.pop_back();
        search.budget += waste;
    }
    Uncover(l, best);
    return goOn;
}

void Normalise(std::vector<Point>& cells)
{
    int32_t minX = INT32_MAX;
    int32_t minY = INT32_MAX;
    for (Point cell : cells) {
        minX = std::min(minX, cell.x);
        minY = std::min(minY, cell.y);
    }
    for (Point& cell : cells) cell = {cell.x - minX, cell.y - minY};
    std::sort(cells.begin(), cells.end(), [](Point a, Point b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    cells.erase(std::unique(cells.begin(), cells.end(), [](Point a, Point b) { return a.x == b.x && a.y == b.y; }),
                cells.end());
}

bool SameCells(const std::vector<Point>& a, const std::vector<Point>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](Point p, Point q) { return p.x == q.x && p.y == q.y; });
}

std::vector<int32_t> CellKey(std::vector<Point> cells, int32_t width)
{
    std::vector<int32_t> key;
    for (Point cell : cells) key.push_back(cell.y * width + cell.x);
    std::sort(key.begin(), key.end());
    return key;
}

// Explores with one matrix row chosen first; returns false once the limit is reached.
bool ExploreWithRow(Search& search, int32_t node)
{
    Links& l = search.links;
    Node* n = l.nodes.data();
    int32_t column = n[node].column;
    Cover(l, column);
    search.chosen.push_back(n[node].row);
    for (int32_t j = n[node].right; j != node; j = n[j].right) Cover(l, n[j].column);
    bool goOn = Explore(search);
    for (int32_t j = n[node].left; j != node; j = n[j].left) Uncover(l, n[j].column);
    search.chosen.pop_back();
    Uncover(l, column);
    return goOn;
}

// Counting only: when every placement lies on the board, a symmetry of the
// board maps the solutions with piece P at p one-to-one onto those with P at
// the image of p. So one search per orbit of P's placements, weighted by the
// orbit's size, counts them all, in a fraction of the time.
void CountBySymmetry(Search& search, int32_t pieceColumn, bool pieceRequired, int32_t width, int32_t height)
{
    auto maps = BoardSymmetries(width, height, search.options->mirror);
    Links& l = search.links;
    const Node* n = l.nodes.data();
    std::vector<std::vector<int32_t>> seenKeys;
    SolveResult& result = *search.result;
    for (int32_t node = n[pieceColumn].down; node != pieceColumn; node = n[node].down) {
        const std::vector<Point>& cells = search.rows[n[node].row].cells;
        std::vector<std::vector<int32_t>> images;
        for (auto map : maps) {
            std::vector<Point> image;
            for (Point cell : cells) image.push_back(map(cell, width, height));
            std::vector<int32_t> key = CellKey(image, width);
            if (std::find(images.begin(), images.end(), key) == images.end()) images.push_back(key);
        }
        std::vector<int32_t> canonical = *std::min_element(images.begin(), images.end());
        if (std::find(seenKeys.begin(), seenKeys.end(), canonical) != seenKeys.end()) continue;
        seenKeys.push_back(canonical);
        int64_t before = result.count;
        bool goOn = ExploreWithRow(search, node);
        result.count = before + (result.count - before) * static_cast<int64_t>(images.size());
        if (!goOn) return;
    }
    if (!pieceRequired) {
        // Solutions that leave P out are counted as they are.
        Cover(l, pieceColumn);
        Explore(search);
        Uncover(l, pieceColumn);
    }
}
}  // namespace

// The symmetries of a width x height board that map the puzzle onto itself:
// turns always (every piece may turn), reflections only with mirror images.
std::vector<BoardMap> BoardSymmetries(int32_t width, int32_t height, bool mirror)
{
    std::vector<BoardMap> maps = {
        [](Point p, int32_t, int32_t) { return p; },
        [](Point p, int32_t w, int32_t h) { return Point{w - 1 - p.x, h - 1 - p.y}; },
    };
    if (mirror) {
        maps.push_back([](Point p, int32_t w, int32_t) { return Point{w - 1 - p.x, p.y}; });
        maps.push_back([](Point p, int32_t, int32_t h) { return Point{p.x, h - 1 - p.y}; });
    }
    if (width == height) {
        maps.push_back([](Point p, int32_t w, int32_t) { return Point{w - 1 - p.y, p.x}; });
        maps.push_back([](Point p, int32_t w, int32_t) { return Point{p.y, w - 1 - p.x}; });
        if (mirror) {
            maps.push_back([](Point p, int32_t, int32_t) { return Point{p.y, p.x}; });
            maps.push_back([](Point p, int32_t w, int32_t) { return Point{w - 1 - p.y, w - 1 - p.x}; });
        }
    }
    return maps;
}

std::vector<std::vector<Point>> Orientations(const std::vector<Point>& shape, bool mirror)
{
    std::vector<std::vector<Point>> result;
    for (int32_t flip = 0; flip < (mirror ? 2 : 1); ++flip) {
        for (int32_t r = 0; r < 4; ++r) {
            std::vector<Point> cells = shape;
            for (Point& cell : cells) {
                if (flip == 1) cell.x = -cell.x;
                RotateOffset(cell, r);
            }
            Normalise(cells);
            bool seen = std::any_of(result.begin(), result.end(),
                                    [&](const std::vector<Point>& other) { return SameCells(other, cells); });
            if (!seen) result.push_back(cells);
        }
    }
    return result;
}

Puzzle StagePuzzle(const StageFile& stage)
{
    Puzzle puzzle;
    puzzle.gridColumns = 2 * stage.boardWidth;
    puzzle.gridRows = MaxBoardHeight(stage.boardWidth);
    puzzle.boardWidth = stage.boardWidth;
    puzzle.boardHeight = stage.boardHeight;
    for (int32_t i = 0; i < stage.pieceCount; ++i) {
        const PieceShape& shape = stage.shapes[i];
        puzzle.shapes.emplace_back(shape.cells, shape.cells + shape.cellCount);
    }
    return puzzle;
}

// Placed pieces cover the board and stick out of it by some cells; the
// pieces left out and the cells sticking out together make up the slack, the
// pieces' area beyond the board's. A placement that sticks out by more than
// the slack still allows is never part of a solution, so the search skips it.
// When there is no slack at all, every piece must be placed wholly on the
// board: pieces become primary columns and the search is the classic exact
// cover.
SolveResult SolvePuzzle(const Puzzle& puzzle, const SolveOptions& options)
{
    SolveResult result;
    int32_t boardCells = puzzle.boardWidth * puzzle.boardHeight;
    int64_t totalArea = 0;
    for (const auto& shape : puzzle.shapes) {
        std::vector<Point> cells = shape;
        Normalise(cells);
        totalArea += static_cast<int64_t>(cells.size());
    }
    if (boardCells <= 0 || totalArea < boardCells) return result;
    auto slack = static_cast<int32_t>(std::min<int64_t>(totalArea - boardCells, INT32_MAX));
    bool piecesRequired = slack == 0;
    int32_t budget = options.boardOnly ? 0 : slack;
    bool onBoardOnly = budget == 0;
    int32_t columns = onBoardOnly ? puzzle.boardWidth : puzzle.gridColumns;
    int32_t rows = onBoardOnly ? puzzle.boardHeight : puzzle.gridRows;
    auto pieceCount = static_cast<int32_t>(puzzle.shapes.size());

    // Columns: board cells, then pieces, then the grid cells off the board.
    auto cellColumn = [&](Point cell) {
        if (cell.x < puzzle.boardWidth && cell.y < puzzle.boardHeight) return 1 + cell.y * puzzle.boardWidth + cell.x;
        return 1 + boardCells + pieceCount + cell.y * columns + cell.x;
    };
    Search search;
    search.options = &options;
    search.result = &result;
    search.start = std::chrono::steady_clock::now();
    search.nextProgress = search.start + progressInterval;
    search.budget = budget;
    BuildHeaders(search.links, boardCells + pieceCount + columns * rows,
                 boardCells + (piecesRequired ? pieceCount : 0));

    for (int32_t piece = 0; piece < pieceCount; ++piece) {
        for (const std::vector<Point>& orientation : Orientations(puzzle.shapes[piece], options.mirror)) {
            int32_t width = 0;
            int32_t height = 0;
            for (Point cell : orientation) {
                width = std::max(width, cell.x + 1);
                height = std::max(height, cell.y + 1);
            }
            for (int32_t y = 0; y + height <= rows; ++y) {
                for (int32_t x = 0; x + width <= columns; ++x) {
                    PlacedPiece placed{piece, {}};
                    int32_t offBoard = 0;
                    std::vector<int32_t> rowColumns = {1 + boardCells + piece};
                    for (Point cell : orientation) {
                        Point at = {cell.x + x, cell.y + y};
                        if (at.x >= puzzle.boardWidth || at.y >= puzzle.boardHeight) ++offBoard;
                        placed.cells.push_back(at);
                        rowColumns.push_back(cellColumn(at));
                    }
                    if (offBoard == static_cast<int32_t>(orientation.size()) || offBoard > budget) continue;
                    AddRow(search.links, rowColumns, static_cast<int32_t>(search.rows.size()));
                    search.rows.push_back(std::move(placed));
                    search.rowWaste.push_back(offBoard);
                }
            }
        }
    }
    bool counting = options.limit == 0 && options.report == 0;
    if (onBoardOnly && counting && pieceCount > 0) {
        int32_t pivot = 0;
        for (int32_t piece = 1; piece < pieceCount; ++piece) {
            if (search.links.nodes[1 + boardCells + piece].row < search.links.nodes[1 + boardCells + pivot].row) {
                pivot = piece;
            }
        }
        CountBySymmetry(search, 1 + boardCells + pivot, piecesRequired, puzzle.boardWidth, puzzle.boardHeight);
    } else {
        Explore(search);
    }
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - search.start).count();
    return result;
}
