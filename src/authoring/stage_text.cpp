// Printing stages and solutions: pieces as small drawings with their origin cell marked.
#include "authoring/stage_text.h"

#include <algorithm>
#include <string>

namespace {
constexpr char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr char originMark = '@';
constexpr char cellMark = '#';
constexpr char emptyMark = '.';
}  // namespace

char PieceLetter(int32_t i)
{
    return i >= 0 && i < static_cast<int32_t>(sizeof letters - 1) ? letters[i] : '?';
}

void PrintStage(std::FILE* out, const StageFile& stage)
{
    int32_t area = 0;
    for (int32_t i = 0; i < stage.pieceCount; ++i) area += stage.shapes[i].cellCount;
    std::fprintf(out, "board %d x %d (%d cells), %d pieces with %d cells\n", stage.boardWidth, stage.boardHeight,
                 stage.boardWidth * stage.boardHeight, stage.pieceCount, area);
    for (int32_t i = 0; i < stage.pieceCount; ++i) {
        const PieceShape& shape = stage.shapes[i];
        std::fprintf(out, "piece %c: %d cells:", PieceLetter(i), shape.cellCount);
        int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;
        for (int32_t k = 0; k < shape.cellCount; ++k) {
            Point cell = shape.cells[k];
            std::fprintf(out, " (%d,%d)", cell.x, cell.y);
            minX = std::min(minX, cell.x);
            minY = std::min(minY, cell.y);
            maxX = std::max(maxX, cell.x);
            maxY = std::max(maxY, cell.y);
        }
        std::fputc('\n', out);
        for (int32_t y = minY; y <= maxY && shape.cellCount > 0; ++y) {
            std::string row(static_cast<size_t>(maxX - minX + 1), emptyMark);
            for (int32_t k = 0; k < shape.cellCount; ++k) {
                Point cell = shape.cells[k];
                if (cell.y == y) row[static_cast<size_t>(cell.x - minX)] = cell.x == 0 && y == 0 ? originMark : cellMark;
            }
            if (y == 0 && row[static_cast<size_t>(-minX)] == emptyMark) row[static_cast<size_t>(-minX)] = '+';
            std::fprintf(out, "    %s\n", row.c_str());
        }
    }
}

void PrintSolution(std::FILE* out, const Puzzle& puzzle, const std::vector<PlacedPiece>& solution)
{
    int32_t width = puzzle.gridColumns;
    int32_t height = puzzle.gridRows;
    std::vector<std::string> grid(static_cast<size_t>(height), std::string(static_cast<size_t>(width), emptyMark));
    int32_t usedWidth = puzzle.boardWidth;
    int32_t usedHeight = puzzle.boardHeight;
    for (const PlacedPiece& placed : solution) {
        for (Point cell : placed.cells) {
            grid[static_cast<size_t>(cell.y)][static_cast<size_t>(cell.x)] = PieceLetter(placed.piece);
            usedWidth = std::max(usedWidth, cell.x + 1);
            usedHeight = std::max(usedHeight, cell.y + 1);
        }
    }
    for (int32_t y = 0; y < usedHeight; ++y) std::fprintf(out, "    %s\n", grid[static_cast<size_t>(y)].substr(0, static_cast<size_t>(usedWidth)).c_str());
    std::fputc('\n', out);
}
