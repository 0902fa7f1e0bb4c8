// Parsing stage sources: blocks of symbol drawings, with every rule checked and reported by line.
#include "authoring/stage_source.h"

#include <algorithm>
#include <cstring>
#include <sstream>

#include "game/piece.h"
#include "support/line_error.h"

namespace {
constexpr char emptyCell = '.';

struct Block {
    int32_t firstLine;
    std::vector<std::string> rows;
    std::vector<int32_t> lineNumbers;
};

std::string TrimRight(const std::string& text)
{
    size_t end = text.find_last_not_of(" \t\r");
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

std::string Trim(const std::string& text)
{
    std::string right = TrimRight(text);
    size_t start = right.find_first_not_of(" \t");
    return start == std::string::npos ? std::string() : right.substr(start);
}

void SplitBlocks(const std::string& text, StageSource& source, std::vector<Block>& blocks)
{
    std::istringstream input(text);
    std::string line;
    int32_t lineNumber = 0;
    bool inBlock = false;
    bool seenContent = false;
    while (std::getline(input, line)) {
        ++lineNumber;
        std::string trimmed = Trim(line);
        if (!trimmed.empty() && trimmed[0] == '#') {
            if (!seenContent && source.title.empty()) source.title = Trim(trimmed.substr(1));
            continue;
        }
        seenContent = seenContent || !trimmed.empty();
        if (trimmed.empty()) {
            inBlock = false;
            continue;
        }
        if (!inBlock) blocks.push_back({lineNumber, {}, {}});
        inBlock = true;
        blocks.back().rows.push_back(TrimRight(line));
        blocks.back().lineNumbers.push_back(lineNumber);
    }
}

bool IsConnected(const std::vector<Point>& cells)
{
    if (cells.empty()) return true;
    std::vector<bool> reached(cells.size(), false);
    std::vector<size_t> pending = {0};
    reached[0] = true;
    size_t count = 1;
    while (!pending.empty()) {
        Point cell = cells[pending.back()];
        pending.pop_back();
        for (size_t j = 0; j < cells.size(); ++j) {
            if (reached[j]) continue;
            if (CellsAreAdjacent(cells[j], cell)) {
                reached[j] = true;
                pending.push_back(j);
                ++count;
            }
        }
    }
    return count == cells.size();
}

SourcePiece* FindPiece(StageSource& source, char symbol)
{
    for (SourcePiece& piece : source.pieces) {
        if (piece.symbol == symbol) return &piece;
    }
    return nullptr;
}

bool ReadBoard(const Block& block, const char* name, StageSource& source, std::string& error)
{
    size_t width = block.rows[0].size();
    for (size_t r = 0; r < block.rows.size(); ++r) {
        const std::string& row = block.rows[r];
        if (row.size() != width) {
            return FailAtLine(error, name, block.lineNumbers[r],
                        "board row is " + std::to_string(row.size()) + " cells wide, the first row " +
                            std::to_string(width) + ": the board must be a rectangle");
        }
        for (size_t c = 0; c < row.size(); ++c) {
            if (!IsPieceSymbol(row[c])) {
                return FailAtLine(error, name, block.lineNumbers[r],
                            std::string("board cell '") + row[c] + "' is not a piece symbol (A-Z, a-z, 0-9)");
            }
            SourcePiece* piece = FindPiece(source, row[c]);
            if (piece == nullptr) {
                source.pieces.push_back({row[c], block.lineNumbers[r], true, {}});
                piece = &source.pieces.back();
            }
            piece->cells.push_back({static_cast<int32_t>(c), static_cast<int32_t>(r)});
        }
    }
    source.boardRows = block.rows;
    source.boardWidth = static_cast<int32_t>(width);
    source.boardHeight = static_cast<int32_t>(block.rows.size());
    return true;
}

bool ReadDecoys(const Block& block, const char* name, StageSource& source, std::string& error)
{
    std::vector<char> symbolsHere;
    for (size_t r = 0; r < block.rows.size(); ++r) {
        const std::string& row = block.rows[r];
        for (size_t c = 0; c < row.size(); ++c) {
            char symbol = row[c];
            if (symbol == emptyCell || symbol == ' ' || symbol == '\t') continue;
            if (!IsPieceSymbol(symbol)) {
                return FailAtLine(error, name, block.lineNumbers[r],
                            std::string("'") + symbol + "' is not a piece symbol (A-Z, a-z, 0-9) or '.'");
            }
            SourcePiece* piece = FindPiece(source, symbol);
            bool fromThisBlock = std::find(symbolsHere.begin(), symbolsHere.end(), symbol) != symbolsHere.end();
            if (piece != nullptr && !fromThisBlock) {
                return FailAtLine(error, name, block.lineNumbers[r],
                            std::string("symbol '") + symbol + "' is already used for a piece drawn on line " +
                                std::to_string(piece->line));
            }
            if (piece == nullptr) {
                source.pieces.push_back({symbol, block.lineNumbers[r], false, {}});
                piece = &source.pieces.back();
                symbolsHere.push_back(symbol);
            }
            piece->cells.push_back({static_cast<int32_t>(c), static_cast<int32_t>(r)});
        }
    }
    return true;
}
}  // namespace

bool IsPieceSymbol(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool ParseStageSource(const std::string& text, const char* name, StageSource& source, std::string& error)
{
    source = {};
    std::vector<Block> blocks;
    SplitBlocks(text, source, blocks);
    if (blocks.empty()) return FailAtLine(error, name, 1, "no board drawn");
    if (!ReadBoard(blocks[0], name, source, error)) return false;
    for (size_t b = 1; b < blocks.size(); ++b) {
        if (!ReadDecoys(blocks[b], name, source, error)) return false;
    }

    int32_t boardLine = blocks[0].firstLine;
    if (static_cast<int32_t>(source.pieces.size()) > maxPieces) {
        return FailAtLine(error, name, source.pieces[maxPieces].line,
                    std::to_string(source.pieces.size()) + " pieces, at most " + std::to_string(maxPieces) +
                        " are allowed");
    }
    for (const SourcePiece& piece : source.pieces) {
        if (static_cast<int32_t>(piece.cells.size()) > maxShapeCells) {
            return FailAtLine(error, name, piece.line,
                        std::string("piece '") + piece.symbol + "' has " + std::to_string(piece.cells.size()) +
                            " cells, at most " + std::to_string(maxShapeCells) + " are allowed");
        }
        if (!IsConnected(piece.cells)) {
            return FailAtLine(error, name, piece.line, std::string("piece '") + piece.symbol + "' is in more than one part");
        }
    }
    StageFile stage = CompileStage(source);
    char reason[160];
    if (!CheckStageLimits(stage, reason, sizeof reason)) return FailAtLine(error, name, boardLine, reason);
    return true;
}

int32_t OriginCellIndex(const std::vector<Point>& cells)
{
    auto n = static_cast<int64_t>(cells.size());
    int64_t sumX = 0;
    int64_t sumY = 0;
    for (Point cell : cells) {
        sumX += cell.x;
        sumY += cell.y;
    }
    // Distances to the centroid, scaled by n so that they stay whole numbers.
    int32_t best = 0;
    int64_t bestDistance = INT64_MAX;
    for (size_t k = 0; k < cells.size(); ++k) {
        int64_t dx = n * cells[k].x - sumX;
        int64_t dy = n * cells[k].y - sumY;
        int64_t distance = dx * dx + dy * dy;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int32_t>(k);
        }
    }
    return best;
}

StageFile CompileStage(const StageSource& source)
{
    StageFile stage;
    std::memset(&stage, 0, sizeof stage);
    stage.magic = stageFileMagic;
    stage.boardWidth = source.boardWidth;
    stage.boardHeight = source.boardHeight;
    stage.pieceCount = static_cast<int32_t>(std::min<size_t>(source.pieces.size(), maxPieces));
    for (int32_t i = 0; i < stage.pieceCount; ++i) {
        std::vector<Point> cells = source.pieces[i].cells;
        std::sort(cells.begin(), cells.end(), [](Point a, Point b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
        PieceShape& shape = stage.shapes[i];
        shape.cellCount = static_cast<int32_t>(std::min<size_t>(cells.size(), maxShapeCells));
        Point origin = cells.empty() ? Point{0, 0} : cells[OriginCellIndex(cells)];
        for (int32_t k = 0; k < shape.cellCount; ++k) shape.cells[k] = {cells[k].x - origin.x, cells[k].y - origin.y};
    }
    return stage;
}
